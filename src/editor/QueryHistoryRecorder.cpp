#include "editor/QueryHistoryRecorder.h"

namespace
{
QueryHistoryRecorder *sharedRecorder = nullptr;
}

QueryHistoryRecorder *QueryHistoryRecorder::shared()
{
    return sharedRecorder;
}

void QueryHistoryRecorder::setShared(QueryHistoryRecorder *recorder)
{
    sharedRecorder = recorder;
}
