#pragma once

#include <QLoggingCategory>

// The main window's log ("vorn.window"): real trouble as warnings; anything chattier is debug and
// info, off unless the category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcWindow)
