#pragma once

#include "connection/ConnectionParameters.h"

#include <QString>

class ConnectedController;

// What a connected controller asks of its owner (the connection document, or the floating info
// panel): the exclusive use of the backend root, permission to move the focus, clearing the
// root's current result, and the connection's identity. Called on the main thread.
class ConnectedControllerDelegate
{
public:
    virtual ~ConnectedControllerDelegate() = default;

    // Grants the exclusive use of the root for the described action.
    virtual bool connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                            const QString &description) = 0;
    virtual void connectedControllerWantsEndRootReservation(ConnectedController *controller) = 0;
    // Whether the focus may leave the current result; with requiresEditing, editing ends first.
    virtual bool connectedControllerWantsToChangeFocus(ConnectedController *controller,
                                                       bool requiresEditing) = 0;
    // Drops the root's current result selection; true when done.
    virtual bool connectedControllerWantsClearRootSelection(ConnectedController *controller) = 0;
    virtual ConnectionParametersPtr
    connectedControllerWantsConnectionParameters(ConnectedController *controller) = 0;
    // Server, port, database and user name joined by "_", upper case; never null.
    virtual QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller) = 0;
};
