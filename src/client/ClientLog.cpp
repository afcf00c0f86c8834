#include "client/ClientLog.h"

Q_LOGGING_CATEGORY(lcClient, "vorn.client", QtInfoMsg)
