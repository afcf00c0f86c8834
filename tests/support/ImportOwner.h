#pragma once

// The document's part for an import controller, for the import tests and benchmarks alike (so no
// GoogleTest here): it reserves the root and counts what the controller reports.
#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "transfer/ImportControllerDelegate.h"

#include <QString>

class ImportOwner : public ConnectedControllerDelegate, public ImportControllerDelegate
{
public:
    // The identifier names the connection, as the document's would.
    ImportOwner(VornRootClientPtr root, QString identifier)
        : root_(std::move(root)), identifier_(std::move(identifier))
    {
    }
    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override
    {
        return root_->reserveRoot(description);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        root_->releaseReservedRoot();
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
    void importControllerHasUpdatedPreview(ImportController *) override { ++previews; }
    void importControllerStatusUpdated(ImportController *) override { ++statusUpdates; }

    int previews = 0;
    int statusUpdates = 0;

private:
    VornRootClientPtr root_;
    QString identifier_;
};
