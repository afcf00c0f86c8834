#pragma once

#include <QLoggingCategory>

// The SQL language's log ("vorn.sql"): real trouble as warnings; the parser's dumps are debug, off
// unless the category is enabled.
Q_DECLARE_LOGGING_CATEGORY(lcSql)
