#pragma once

#include <QLoggingCategory>

// The export's log: settings changes and unknown values as the assistant and the controller see them.
Q_DECLARE_LOGGING_CATEGORY(lcTransfer)
