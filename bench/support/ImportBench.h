#pragma once

// What the import benchmarks need to drive an ImportController as the document does: an owner that
// reserves the root and hears nothing else, and a wait that lets the controller's threads report.
#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "transfer/ImportControllerDelegate.h"

#include <QCoreApplication>
#include <QTimer>

#include <functional>

namespace ImportBench
{

class Owner : public ConnectedControllerDelegate, public ImportControllerDelegate
{
public:
    explicit Owner(VornRootClientPtr root) : root_(std::move(root)) {}
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
        return QStringLiteral("IMPORT_BENCH");
    }
    void importControllerHasUpdatedPreview(ImportController *) override {}
    void importControllerStatusUpdated(ImportController *) override {}

private:
    VornRootClientPtr root_;
};

// Sleeps between the events (a timer wakes it now and then), so the wait takes no core of its own.
inline void waitUntil(const std::function<bool()> &done)
{
    QTimer wake;
    wake.start(50);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace ImportBench
