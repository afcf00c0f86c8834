#include "bridge/BridgeLog.h"

Q_LOGGING_CATEGORY(lcBridge, "vorn.bridge", QtWarningMsg)
