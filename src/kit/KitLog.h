#pragma once

#include <QLoggingCategory>

// The widget kit's log ("vorn.kit"): real trouble as warnings; anything chattier is debug and info,
// off unless the category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcKit)
