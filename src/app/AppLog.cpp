#include "app/AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "vorn.app", QtWarningMsg)
