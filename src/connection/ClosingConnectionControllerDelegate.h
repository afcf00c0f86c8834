#pragma once

#include "connection/ConnectedControllerDelegate.h"

// What the closing checks ask of the connection document before it disconnects or changes its
// connection. Main thread.
class ClosingConnectionControllerDelegate : public ConnectedControllerDelegate
{
public:
    // Whether the focus may leave what the user is editing now; false stops the checks.
    virtual bool canChangeFocus() = 0;
    virtual bool hasConnection() = 0;
    // The connection holds uncommitted changes.
    virtual bool hasDirtyConnection() = 0;
    // A statement or other backend action is running and can be cancelled.
    virtual bool hasRunningQuery() = 0;
    virtual void cancelRunningQuery() = 0;
    // The checks were cancelled after a rollback: what the document shows must be reloaded.
    virtual void cancelledClosingConnectionDidRollback() = 0;
};
