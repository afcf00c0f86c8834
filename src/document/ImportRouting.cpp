#include "document/ImportRouting.h"

#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "document/BrowserRouting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "transfer/ImportController.h"
#include "transfer/ImportViewController.h"
#include "window/VornTabbedWindowController.h"

ImportRouting::ImportRouting(VornDocument &document, const VornRootClientPtr &root,
                             std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status)
    : AssistantRouting(document), importController_(std::make_unique<ImportController>(root))
{
    adopt(*importController_, std::move(threads), std::move(status));
    importController_->setImportDelegate(this);
}

ImportRouting::~ImportRouting()
{
    importController_->setImportDelegate(nullptr);
    if (VornTabbedWindowController *window = document_.vornWindowController()) {
        if (auto *assistant = qobject_cast<ImportViewController *>(window->currentImportViewController()))
            assistant->setDelegate(nullptr);
    }
}

void ImportRouting::startImport(const BrowserElementPtr &element)
{
    if (!document_.connectedControllerWantsClearRootSelection(nullptr))
        return;
    VornTabbedWindowController *window = document_.vornWindowController();
    // One import assistant per window: the one open goes on.
    if (window && window->currentImportViewController())
        return;
    importController_->reset();
    importController_->setSelectedBrowserElement(element);
    if (!window)
        return;
    auto *assistant = qobject_cast<ImportViewController *>(window->createImportViewController());
    if (!assistant)
        return;
    assistant->setDelegate(this);
    assistant->setImportController(importController_.get());
    assistant->startupImportOnWindow(document_.windowForSheet());
}

void ImportRouting::updateAssistant()
{
    VornTabbedWindowController *window = document_.vornWindowController();
    if (auto *assistant =
            window ? qobject_cast<ImportViewController *>(window->currentImportViewController()) : nullptr)
        assistant->update();
}

void ImportRouting::importControllerHasUpdatedPreview(ImportController *)
{
    updateAssistant();
}

void ImportRouting::importControllerStatusUpdated(ImportController *)
{
    updateAssistant();
}

QList<BrowserElementPtr> ImportRouting::importControllerNeedsImportableBrowserElements(ImportController *)
{
    BrowserController *browser = document_.browserController();
    BrowserElementStore *store = browser ? browser->dataBrowserElementStore() : nullptr;
    if (!store)
        return {};
    return store->browserElementsOfType(BrowserElement::Table, document_.browserRouting().selectedSchema());
}

void ImportRouting::importControllerInsertSqlIntoEditor(ImportController *, const QString &text)
{
    if (text.isNull())
        return;
    const TextRange inserted = document_.sqlEditorController()->insertTextAddEnd(text);
    VornTabbedWindowController *window = document_.vornWindowController();
    if (auto *editor = window ? qobject_cast<SQLEditorViewController *>(
                                    window->pane(VornTabbedWindowController::Pane::SqlEditor))
                              : nullptr)
        editor->setSelectedRange(inserted);
}

void ImportRouting::importViewControllerFinishedSuccessful(ImportViewController *assistant, bool)
{
    dropAssistantLater(assistant, &VornTabbedWindowController::currentImportViewController,
                       &VornTabbedWindowController::destroyImportViewController);
}
