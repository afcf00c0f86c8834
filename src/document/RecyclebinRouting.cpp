#include "document/RecyclebinRouting.h"

#include "browser/RecycleBinViewController.h"
#include "browser/RecyclebinController.h"
#include "document/BackgroundController.h"
#include "document/VornDocument.h"
#include "window/VornTabbedWindowController.h"

RecyclebinRouting::RecyclebinRouting(VornDocument &document, const VornRootClientPtr &root)
    : document_(document), recyclebinController_(std::make_unique<RecyclebinController>(root))
{
    recyclebinController_->setDelegate(&document_);
    recyclebinController_->setRecyclebinDelegate(this);
    recyclebinController_->setThreadController(document.threadController());
    recyclebinController_->setStatusManager(document.statusManager());
}

RecyclebinRouting::~RecyclebinRouting()
{
    recyclebinController_->setRecyclebinDelegate(nullptr);
    recyclebinController_->setDelegate(nullptr);
    // The window's sheet outlives this document's bin.
    RecycleBinViewController *shared = sheet();
    if (shared && shared->recyclebinController() == recyclebinController_.get())
        shared->setRecyclebinController(nullptr);
}

RecycleBinViewController *RecyclebinRouting::sheet() const
{
    VornTabbedWindowController *controller = document_.vornWindowController();
    return controller ? qobject_cast<RecycleBinViewController *>(controller->sharedRecycleBinViewController())
                      : nullptr;
}

void RecyclebinRouting::openSheet()
{
    if (RecycleBinViewController *shared = sheet()) {
        shared->setRecyclebinController(recyclebinController_.get());
        shared->startupOnWindow(document_.windowForSheet());
    }
}

void RecyclebinRouting::recyclebinUpdated()
{
    // The bin's image follows its last listing, not the empty one shown while an action runs.
    if (!recyclebinController_->busy()) {
        const bool full = !recyclebinController_->items().isEmpty();
        if (full != document_.recyclebinIsFull()) {
            document_.setRecyclebinIsFull(full);
            document_.documentStatusUpdated(); // the toolbar brings the bin's image up to date
        }
    }
    RecycleBinViewController *shared = sheet();
    if (shared && shared->recyclebinController() == recyclebinController_.get())
        shared->recyclebinUpdated();
}

void RecyclebinRouting::recycledidPerformRestore()
{
    document_.setDirtyDDL(true);
    BackgroundController::instance().notifyOfDirtyDocument();
}
