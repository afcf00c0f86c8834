#include "sql/SqlLog.h"

Q_LOGGING_CATEGORY(lcSql, "vorn.sql", QtWarningMsg)
