#pragma once

#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"

#include <QString>

#include <utility>

// The connection answers of the document around a benchmarked controller: reservations through the
// root, focus and selection always granted, no saved connection. Delegate is the controller's delegate
// interface that carries those questions.
template <class Delegate> class BenchConnection : public Delegate
{
public:
    BenchConnection(VornRootClientPtr root, QString identifier)
        : root_(std::move(root)), identifier_(std::move(identifier))
    {
    }
    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &reason) override
    {
        return root_->reserveRoot(reason);
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

protected:
    VornRootClientPtr root_;

private:
    QString identifier_;
};
