#pragma once

#include <QString>

// How one backend action ended: the backend's own verdict (lastActionSuccessful, lastErrorMessage),
// or a failure of the bridge itself (an unknown method, a Java exception), told apart by nothing
// more than the message: either way the action did not happen.
struct BackendOutcome {
    bool successful = true;
    QString errorMessage;

    static BackendOutcome success() { return {}; }
    static BackendOutcome failure(const QString &message) { return {false, message}; }
    explicit operator bool() const { return successful; }
};
