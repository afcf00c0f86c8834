#include "document/BrowserRouting.h"
#include "document/BackgroundController.h"
#include "document/ManagementRefresh.h"
#include "status/StatusManagerDelegate.h"

#include "browser/BrowserCompletionSource.h"
#include "browser/BrowserController.h"
#include "browser/BrowserViewController.h"
#include "browser/InfoController.h"
#include "document/DdlRouting.h"
#include "document/ExportRouting.h"
#include "document/ImportRouting.h"
#include "document/InfoColumnRouting.h"
#include "document/NewDocumentOpening.h"
#include "document/PaneSelection.h"
#include "document/ProcedureRouting.h"
#include "document/RecyclebinRouting.h"
#include "document/StatementRouting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorTextStorage.h"
#include "kit/ImageUtil.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

#include <utility>

namespace
{
const QString browserStateKey = QStringLiteral("browserController");
const QString filterKey = QStringLiteral("filter");
const QString elementKey = QStringLiteral("element");
const QString extendedFilterKey = QStringLiteral("extendedFilter");
const QString lastElementKey = QStringLiteral("lastElement");
const QString lastElementFilterKey = QStringLiteral("lastElementFilter");

// An extended filter as the info carries it: the object, or its archive once restored from disk.
ExtendedFilterPtr extendedFilterFrom(const QVariant &value)
{
    if (value.canConvert<QByteArray>() && value.typeId() == QMetaType::QByteArray)
        return ExtendedFilter::fromArchive(value.toByteArray());
    return qvariant_cast<ExtendedFilterPtr>(value);
}
} // namespace

// The selected element as the status bar shows it: its name and its type's icon.
class BrowserRouting::ElementForStatusBar : public StatusBarElement
{
public:
    void setElement(BrowserElementPtr element) { element_ = std::move(element); }
    QString name() const override { return element_ ? element_->name() : QString(); }
    QIcon icon() const override
    {
        return element_
                   ? QIcon(ImageUtil::imageForBrowserElement(element_->browserType(), element_->subtype()))
                   : QIcon();
    }

private:
    BrowserElementPtr element_;
};

BrowserRouting::BrowserRouting(VornDocument &document, PaneSelection &panes, StatementRouting &statements,
                               const VornRootClientPtr &root)
    : DocumentConnectionAnswers(document), document_(document), panes_(panes), statements_(statements),
      browserController_(std::make_unique<BrowserController>(root)),
      statusBarElement_(std::make_unique<ElementForStatusBar>())
{
    browserController_->setDelegate(static_cast<ConnectedControllerDelegate *>(this));
    browserController_->setThreadController(document.threadController());
    browserController_->setStatusManager(document.statusManager());
    completionSource_ = std::make_shared<BrowserCompletionSource>(*browserController_);
    statements.sqlEditorController()->sqlEditorTextStorage()->setAutoCompleteSource(completionSource_);
}

BrowserRouting::~BrowserRouting()
{
    unbindWindowPane();
    browserController_->setDelegate(nullptr);
}

BrowserViewController *BrowserRouting::browserViewController() const
{
    VornTabbedWindowController *window = document_.vornWindowController();
    if (!window || !window->isWindowLoaded())
        return nullptr;
    return qobject_cast<BrowserViewController *>(window->pane(VornTabbedWindowController::Pane::Browser));
}

void BrowserRouting::bindWindowPane() const
{
    if (BrowserViewController *pane = browserViewController()) {
        pane->setBrowserController(browserController_.get());
        pane->setDefinitionActions(&document_.ddlRouting());
    }
}

void BrowserRouting::unbindWindowPane() const
{
    if (BrowserViewController *pane = paneShowingBrowser()) {
        pane->setBrowserController(nullptr);
        pane->setDefinitionActions(nullptr);
    }
}

BrowserViewController *BrowserRouting::paneShowingBrowser() const
{
    BrowserViewController *pane = browserViewController();
    return pane && pane->browserController() == browserController_.get() ? pane : nullptr;
}

void BrowserRouting::selectDefaultSchema()
{
    if (BrowserViewController *pane = paneShowingBrowser())
        pane->schemaSelectionUpdated(nullptr);
}

BrowserElementPtr BrowserRouting::selectedElement() const
{
    const BrowserElementStore *store = browserController_->browserElementStore();
    return store ? store->selectedElement() : nullptr;
}

QString BrowserRouting::selectedSchema() const
{
    const BrowserElementStore *store = browserController_->browserElementStore();
    return store ? store->selectedSchema() : QString();
}

const StatusBarElement *BrowserRouting::selectedStatusBarElement()
{
    const BrowserElementPtr element = selectedElement();
    if (!element)
        return nullptr;
    statusBarElement_->setElement(element);
    return statusBarElement_.get();
}

void BrowserRouting::resetFromRoot()
{
    pendingElement_.clear();
    browserController_->resetBrowserFromRoot();
}

void BrowserRouting::startFromRoot(const QVariantMap &info)
{
    pendingElement_.clear();
    browserController_->resetBrowserFromRoot();
    if (info.contains(browserStateKey)) {
        browserController_->restoreWithInfo(info.value(browserStateKey).toMap());
        // A document saved in management mode comes back in it: the info column shows its notice.
        infoFollowsManagementMode();
    }
    for (const QString &key :
         {filterKey, elementKey, extendedFilterKey, lastElementKey, lastElementFilterKey}) {
        if (info.contains(key))
            pendingElement_.insert(key, info.value(key));
    }
    // The element to show waits until its schema's objects have been read.
    loadPendingElement();
}

void BrowserRouting::loadPendingElement()
{
    const BrowserElementStore *store = browserController_->browserElementStore();
    if (pendingElement_.isEmpty() || !store || !store->sectionsPerSchema().contains(store->selectedSchema()))
        return;
    const QVariantMap info = std::exchange(pendingElement_, {});
    if (const FilterPtr filter = qvariant_cast<FilterPtr>(info.value(filterKey))) {
        browserController_->requestExternalLoadOfFilter(filter);
    } else if (const BrowserElementPtr element = qvariant_cast<BrowserElementPtr>(info.value(elementKey))) {
        browserController_->requestExternalLoadOfElement(element,
                                                         extendedFilterFrom(info.value(extendedFilterKey)));
    } else if (info.contains(lastElementKey)) {
        if (const BrowserElementPtr last =
                BrowserElement::elementForIdentifier(info.value(lastElementKey).toString()))
            browserController_->requestExternalLoadOfElement(
                last, extendedFilterFrom(info.value(lastElementFilterKey)));
    }
}

QVariantMap BrowserRouting::restorableInfo() const
{
    QVariantMap info{{browserStateKey, browserController_->restorableDocumentInfo()}};
    if (const BrowserElementPtr element = selectedElement()) {
        info.insert(lastElementKey, element->serializableIdentifier());
        if (const ExtendedFilterPtr filter = document_.resultsetController()->extendedFilter())
            info.insert(lastElementFilterKey, filter->archive());
    }
    return info;
}

QVariantMap BrowserRouting::duplicationInfo() const
{
    QVariantMap info{{browserStateKey, browserController_->restorableDocumentInfo()}};
    if (const BrowserElementPtr element = selectedElement()) {
        info.insert(elementKey, QVariant::fromValue(element));
        info.insert(extendedFilterKey,
                    QVariant::fromValue(document_.resultsetController()->extendedFilter()));
    }
    return info;
}

// The browser's news.

void BrowserRouting::resultsetHasBeenUpdated()
{
    statements_.resultsetHasBeenUpdated();
}

void BrowserRouting::browserHasBeenUpdated()
{
    if (BrowserViewController *pane = paneShowingBrowser())
        pane->browserUpdated();
    loadPendingElement();
    document_.documentStatusUpdated();
}

void BrowserRouting::browserControllerLoadedElement(const BrowserElementPtr &element)
{
    ResultsetController *resultset = document_.resultsetController();
    statements_.resultsetClearedFromRoot();
    document_.procedureRouting().resetFromRoot();
    browserController_->quickFilterUpdatedForCurrentSelection(resultset->extendedFilter());
    if (!element)
        panes_.show(ContentPane::Nothing);
    else if (resultset->vornResultset()) {
        panes_.show(ContentPane::Resultset);
        document_.managementRefresh().checkManagementTimer();
    } else if (!document_.procedureRouting().showLoadedProcedure() && !showContentDescription(element))
        panes_.show(ContentPane::NotSupported);
    if (element)
        document_.infoColumn().browserLoadedElement(element, resultset->vornResultset());
    else
        document_.infoColumn().showNothing();
    document_.documentStatusUpdated();
}

bool BrowserRouting::showContentDescription(const BrowserElementPtr &element)
{
    const VornRootClientPtr root = document_.vornRoot();
    if (!root->hasContentDescription())
        return false;
    // With its element the text is the object's own, and can be printed as such.
    SimpleTextController *text = document_.simpleTextController();
    text->setText(root->contentDescription());
    text->setBrowserElement(element);
    if (VornTabbedWindowController *controller = document_.vornWindowController())
        controller->simpleTextViewController()->textUpdated();
    panes_.show(ContentPane::SimpleText);
    return true;
}

void BrowserRouting::browserNeedsARefresh()
{
    ResultsetController *resultset = document_.resultsetController();
    if (resultset->canRefresh())
        resultset->refresh();
}

void BrowserRouting::browserWillUpdate() {}

void BrowserRouting::browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &update)
{
    if (BrowserViewController *pane = paneShowingBrowser())
        pane->browserDidUpdate(update);
    document_.documentStatusUpdated();
}

void BrowserRouting::browserWantsToConnect()
{
    document_.connect(nullptr);
}

void BrowserRouting::browserWantsToDisconnect()
{
    document_.disconnect(nullptr);
}

void BrowserRouting::browserDidReloadConnectionInfo()
{
    document_.infoColumn().clearCaches();
    completionSource_->forgetNames();
}

void BrowserRouting::browserRequestsNewDocumentFor(const BrowserElementPtr &element, const FilterPtr &filter,
                                                   bool newWindow)
{
    QVariantMap info{
        {QStringLiteral("connectionParameters"), QVariant::fromValue(document_.connectionParameters())}};
    if (filter)
        info.insert(filterKey, QVariant::fromValue(filter));
    else
        info.insert(elementKey, QVariant::fromValue(element));
    openNewDocumentLater(document_, info, newWindow);
}

void BrowserRouting::browserWantsInfoOfElement(const BrowserElementPtr &element)
{
    document_.infoColumn().showInfoOfElementSeparately(element);
}

void BrowserRouting::browserWantsExportOfElement(const BrowserElementPtr &element)
{
    document_.exportRouting().startExport(element);
}

void BrowserRouting::browserWantsImportOfDataIntoElement(const BrowserElementPtr &element)
{
    document_.importRouting().startImport(element);
}

void BrowserRouting::browserWantsToOpenRecyclebin()
{
    document_.recyclebinRouting().openSheet();
}

void BrowserRouting::browserNeedsBackgroundReloadConnectionInfo()
{
    // The background checker reads the schema's metadata.
    document_.setDirtyDDL(true);
    BackgroundController::instance().notifyOfDirtyDocument();
}

void BrowserRouting::commitOrRollbackCompleted()
{
    // Definitions changed inside the transaction are read again now that it has ended.
    if (document_.dirtyDDLWaitingForTransaction())
        document_.markDDLDirty();
    document_.documentStatusUpdated();
}

void BrowserRouting::browserUpdatedManagementMode()
{
    infoFollowsManagementMode();
    // The status bar names the browser's schema, which the mode just changed.
    static_cast<StatusManagerDelegate &>(document_).statusManagerHasStatusUpdate(
        document_.statusManager().get());
}

void BrowserRouting::infoFollowsManagementMode()
{
    document_.infoColumn().infoController()->setManagementMode(browserController_->managementMode());
    document_.infoColumn().refreshColumn();
}

DDLController *BrowserRouting::browserWantsDDLController()
{
    return document_.ddlRouting().ddlController();
}
