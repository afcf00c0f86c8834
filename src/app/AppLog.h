#pragma once

#include <QLoggingCategory>

// The application's log ("vorn.app"): real trouble as warnings; the chatty lines (start-up steps,
// the welcome screen's requests) are debug and info, off unless the category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
