#include "document/ExportRouting.h"

#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "document/BrowserRouting.h"
#include "document/VornDocument.h"
#include "resultset/ResultsetController.h"
#include "transfer/ExportController.h"
#include "transfer/ExportViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QCoreApplication>
#include <QPointer>

ExportRouting::ExportRouting(VornDocument &document, const VornRootClientPtr &root,
                             std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status)
    : document_(document), exportController_(std::make_unique<ExportController>(root))
{
    exportController_->setDelegate(this);
    exportController_->setExportDelegate(this);
    exportController_->setThreadController(std::move(threads));
    exportController_->setStatusManager(std::move(status));
}

ExportRouting::~ExportRouting()
{
    if (VornTabbedWindowController *window = document_.vornWindowController()) {
        if (auto *assistant = qobject_cast<ExportViewController *>(window->currentExportViewController()))
            assistant->setDelegate(nullptr);
    }
}

void ExportRouting::startExport(const BrowserElementPtr &element)
{
    if (!document_.connectedControllerWantsToChangeFocus(nullptr, true))
        return;
    VornTabbedWindowController *window = document_.vornWindowController();
    // One export assistant per window: the one open goes on.
    if (window && window->currentExportViewController())
        return;
    exportController_->reset();
    exportController_->setSelectedBrowserElement(element);
    exportController_->setSelectedFileURL(QString());
    if (!element && exportController_->supportsExportCurrentResult())
        exportController_->setSelectCurrentResultset(true);
    if (!window)
        return;
    auto *assistant = qobject_cast<ExportViewController *>(window->createExportViewController());
    if (!assistant)
        return;
    assistant->setDelegate(this);
    assistant->setExportController(exportController_.get());
    assistant->startupImportOnWindow(document_.windowForSheet());
}

bool ExportRouting::connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                               const QString &description)
{
    return document_.connectedControllerWantsRootReservationFor(controller, description);
}

void ExportRouting::connectedControllerWantsEndRootReservation(ConnectedController *controller)
{
    document_.connectedControllerWantsEndRootReservation(controller);
}

bool ExportRouting::connectedControllerWantsToChangeFocus(ConnectedController *controller,
                                                          bool requiresEditing)
{
    return document_.connectedControllerWantsToChangeFocus(controller, requiresEditing);
}

bool ExportRouting::connectedControllerWantsClearRootSelection(ConnectedController *controller)
{
    return document_.connectedControllerWantsClearRootSelection(controller);
}

ConnectionParametersPtr
ExportRouting::connectedControllerWantsConnectionParameters(ConnectedController *controller)
{
    return document_.connectedControllerWantsConnectionParameters(controller);
}

QString ExportRouting::connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller)
{
    return document_.connectedControllerWantsUniqueConnectionIdentifier(controller);
}

QList<BrowserElementPtr> ExportRouting::exportControllerNeedsExportableBrowserElements(ExportController *)
{
    BrowserController *browser = document_.browserController();
    BrowserElementStore *store = browser ? browser->dataBrowserElementStore() : nullptr;
    if (!store)
        return {};
    const QString schema = document_.browserRouting().selectedSchema();
    return store->browserElementsOfType(BrowserElement::Table, schema) +
           store->browserElementsOfType(BrowserElement::View, schema);
}

ExtendedResultsetDescription ExportRouting::exportControllerNeedsResultsetDescription(ExportController *)
{
    ResultsetController *resultset = document_.resultsetController();
    return resultset ? resultset->extendedResultsetDescription() : ExtendedResultsetDescription{};
}

void ExportRouting::exportControllerStatusUpdated(ExportController *)
{
    VornTabbedWindowController *window = document_.vornWindowController();
    if (auto *assistant =
            window ? qobject_cast<ExportViewController *>(window->currentExportViewController()) : nullptr)
        assistant->update();
}

void ExportRouting::exportViewControllerFinishedSuccessful(ExportViewController *assistant, bool)
{
    // The assistant is still inside its own wizard's call: it goes once that call has returned.
    QPointer<VornTabbedWindowController> window = document_.vornWindowController();
    QPointer<ExportViewController> closed = assistant;
    QMetaObject::invokeMethod(
        qApp,
        [window, closed] {
            if (window && closed && window->currentExportViewController() == closed)
                window->destroyExportViewController();
        },
        Qt::QueuedConnection);
}
