#pragma once

#include <QLoggingCategory>

// The bridge's log ("vorn.bridge"): real trouble as warnings; the chatty lines (thread attaches,
// libraries opened, class dumps) are debug and info, off unless the category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcBridge)
