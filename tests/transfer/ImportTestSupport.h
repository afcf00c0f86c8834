#pragma once

// What the import tests share: the document's part for an import controller.
#include "../backend/BackendTestSupport.h"
#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "transfer/ImportController.h"
#include "transfer/ImportControllerDelegate.h"

// The document's part: the root's reservation, and the count of status updates.
class ImportOwner : public ConnectedControllerDelegate, public ImportControllerDelegate
{
public:
    explicit ImportOwner(VornRootClientPtr root) : root_(std::move(root)) {}
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
        return QStringLiteral("IMPORT_TEST");
    }
    void importControllerHasUpdatedPreview(ImportController *) override { ++previews; }
    void importControllerStatusUpdated(ImportController *) override { ++statusUpdates; }

    int previews = 0;
    int statusUpdates = 0;

private:
    VornRootClientPtr root_;
};
