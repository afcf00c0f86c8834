#include "tabs/TabsLog.h"

Q_LOGGING_CATEGORY(lcTabs, "vorn.tabs", QtWarningMsg)
