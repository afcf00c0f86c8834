#pragma once

#include "connection/ConnectionParameters.h"

class ConnectionPanel;

// What the connection panel hands to its document.
class ConnectionPanelDelegate
{
public:
    virtual ~ConnectionPanelDelegate() = default;

    // The chosen connection, its password filled from the keyring. The sheet is closed by then.
    virtual void connectionPanelWantsToConnect(ConnectionPanel *panel,
                                               const ConnectionParametersPtr &parameters) = 0;
};
