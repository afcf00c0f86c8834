#pragma once

#include <QtGlobal>

// The run states of an export. Single bits, compared for equality; 16, 32 and 64 end a run.
enum ExportState : qint64 {
    ExportStateIdle = 0,
    ExportStatePreparing = 1,
    ExportStateExporting = 2,
    ExportStateExported = 4,
    ExportStateFinishing = 8,
    ExportStateFinished = 16,
    ExportStateCancelled = 32,
    ExportStateError = 64,
};
