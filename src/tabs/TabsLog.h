#pragma once

#include <QLoggingCategory>

// The tabbed documents' log ("vorn.tabs"): real trouble as warnings; the chatty lines (documents
// made and opened, windows closing, tab drags, restoration steps) are debug and info, off unless the
// category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcTabs)
