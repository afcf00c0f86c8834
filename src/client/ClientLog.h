#pragma once

#include <QLoggingCategory>

// The backend clients' log: bridge failures as warnings; debug lines off unless enabled.
Q_DECLARE_LOGGING_CATEGORY(lcClient)
