#pragma once

#include <QLoggingCategory>

// The SQL editor's log ("vorn.editor"): real trouble as warnings; the cancel breadcrumbs and other
// chatter are debug, off unless the category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcEditor)
