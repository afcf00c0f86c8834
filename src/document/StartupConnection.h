#pragma once

#include "connection/ConnectionParameters.h"

#include <QPointer>

#include <memory>

class VornDocument;
class VornDocumentSession;

// What one connect attempt needs, copied on the main thread before the worker starts.
struct ConnectRequest {
    ConnectionParameters parameters;
    bool localFile = false;
    int timeOutSeconds = 0;
    qint32 flags = 0;
    // The background checker runs and reads the schema's metadata after the connect.
    bool backgroundChecks = false;
};

// Runs one connect attempt of the document's session on the runner: reserves the root, connects,
// loads the selected schema, lets the document start from the new connection and reports the
// outcome through the status manager. Stops quietly once the document has closed; when it closed
// during the attempt, the attempt ends the root itself.
void startConnectionAttempt(std::shared_ptr<VornDocumentSession> session, QPointer<VornDocument> document,
                            ConnectRequest request);
