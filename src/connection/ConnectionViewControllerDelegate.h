#pragma once

#include "connection/ConnectionParameters.h"

class ConnectionViewController;

// What the connection list tells its host (the welcome screen or a document's connection panel).
class ConnectionViewControllerDelegate
{
public:
    virtual ~ConnectionViewControllerDelegate() = default;

    // The list's cancel button.
    virtual void connectionViewControllerWantsToCancel(ConnectionViewController *controller) = 0;
    // Open this connection; its password has been filled from the keyring.
    virtual void connectionViewControllerWantsToConnect(ConnectionViewController *controller,
                                                        const ConnectionParametersPtr &parameters) = 0;
    // The list is back: after saving or cancelling the edit form, or a reset.
    virtual void connectionViewControllerEnteredListMode(ConnectionViewController *controller) = 0;
    // The edit form is about to show (create, edit, duplicate).
    virtual void connectionViewControllerEnteredEditMode(ConnectionViewController *controller) = 0;
};
