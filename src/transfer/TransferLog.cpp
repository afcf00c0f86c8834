#include "transfer/TransferLog.h"

Q_LOGGING_CATEGORY(lcTransfer, "vorn.transfer", QtInfoMsg)
