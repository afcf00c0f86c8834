#pragma once

#include "connection/ConnectionParameters.h"
#include "sql/SQLParserComponent.h"

// Where executed statements are recorded for later recall. The application's history store installs
// itself as the shared recorder; until one is installed, nothing is recorded. Main thread only.
class QueryHistoryRecorder
{
public:
    virtual ~QueryHistoryRecorder() = default;

    virtual void registerQuery(const SQLParserComponentList &query,
                               const ConnectionParametersPtr &connectionParameters) = 0;

    // Null while no store is installed.
    static QueryHistoryRecorder *shared();
    // Not owned; install null before the recorder goes away.
    static void setShared(QueryHistoryRecorder *recorder);
};
