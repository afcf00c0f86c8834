#pragma once

// The connection answers of a document that lends its root as the real one does: the reservation is
// the root's own, focus changes and clearing the selection are granted, and there are no saved
// connection parameters. For the tests and the benchmarks alike, so no GoogleTest here.
#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"

#include <QString>

class RootLendingDocument : public ConnectedControllerDelegate
{
public:
    // The identifier names the connection, as the document's would.
    explicit RootLendingDocument(QString identifier, VornRootClientPtr lent = nullptr)
        : root(std::move(lent)), identifier_(std::move(identifier))
    {
    }

    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override
    {
        return root->reserveRoot(description);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        root->releaseReservedRoot();
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return identifier_;
    }

    VornRootClientPtr root;

private:
    QString identifier_;
};
