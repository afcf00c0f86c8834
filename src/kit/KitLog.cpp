#include "kit/KitLog.h"

Q_LOGGING_CATEGORY(lcKit, "vorn.kit", QtWarningMsg)
