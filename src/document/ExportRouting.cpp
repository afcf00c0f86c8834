#include "document/ExportRouting.h"

#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "document/BrowserRouting.h"
#include "document/VornDocument.h"
#include "resultset/ResultsetController.h"
#include "transfer/ExportController.h"
#include "transfer/ExportViewController.h"
#include "window/VornTabbedWindowController.h"

ExportRouting::ExportRouting(VornDocument &document, const VornRootClientPtr &root,
                             std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status)
    : AssistantRouting(document), exportController_(std::make_unique<ExportController>(root))
{
    adopt(*exportController_, std::move(threads), std::move(status));
    exportController_->setExportDelegate(this);
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
    dropAssistantLater(assistant, &VornTabbedWindowController::currentExportViewController,
                       &VornTabbedWindowController::destroyExportViewController);
}
