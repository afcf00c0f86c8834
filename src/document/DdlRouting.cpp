#include "document/DdlRouting.h"

#include "browser/BrowserController.h"
#include "ddl/DDLController.h"
#include "document/InfoColumnRouting.h"
#include "document/PaneSelection.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

DdlRouting::DdlRouting(VornDocument &document, PaneSelection &panes, const VornRootClientPtr &root)
    : DocumentConnectionAnswers(document), document_(document), panes_(panes),
      ddlController_(std::make_unique<DDLController>(root))
{
    ddlController_->setDelegate(this);
    ddlController_->setDdlDelegate(this);
    ddlController_->setThreadController(document.threadController());
    ddlController_->setStatusManager(document.statusManager());
}

DdlRouting::~DdlRouting()
{
    ddlController_->setDdlDelegate(nullptr);
    ddlController_->setDelegate(nullptr);
}

void DdlRouting::DDLControllerNeedsClearResults()
{
    document_.browserController()->nonBrowserResultWillBeLoaded();
    panes_.show(ContentPane::Nothing);
    document_.infoColumn().showNothing();
}

void DdlRouting::DDLControllerDidPerformAction(const QString &text)
{
    SimpleTextController *pane = document_.simpleTextController();
    pane->setText(text);
    pane->setBrowserElement(nullptr);
    if (VornTabbedWindowController *controller = document_.vornWindowController())
        controller->simpleTextViewController()->textUpdated();
    panes_.show(ContentPane::SimpleText);
}

void DdlRouting::DDLControllerNeedsBackgroundReloadConnectionInfo()
{
    document_.markDDLDirty();
}

void DdlRouting::DDLControllerWantsToInsertCodeIntoEditor(DDLController *, const QString &code)
{
    if (code.isNull())
        return;
    const TextRange inserted = document_.sqlEditorController()->insertTextAddEnd(code);
    VornTabbedWindowController *controller = document_.vornWindowController();
    if (auto *editor = controller ? qobject_cast<SQLEditorViewController *>(
                                        controller->pane(VornTabbedWindowController::Pane::SqlEditor))
                                  : nullptr)
        editor->setSelectedRange(inserted);
}

bool DdlRouting::DDLControllerNeedsCommitBeforeObjectIsVisible(DDLController *)
{
    // Only an open transaction hides a new object: none where DDL commits itself or each statement does.
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    const bool autoCommit = parameters && parameters->autoCommit() != 0;
    return !autoCommit && !document_.vornRoot()->dataDefinitionCausesTransactionCommit();
}

bool DdlRouting::canTruncate(const BrowserElementPtr &element) const
{
    return ddlController_->canTruncate(element);
}

bool DdlRouting::canDrop(const BrowserElementPtr &element) const
{
    return ddlController_->canDrop(element);
}

void DdlRouting::truncate(const BrowserElementPtr &element, QWidget *window)
{
    ddlController_->truncate(element, window);
}

void DdlRouting::drop(const BrowserElementPtr &element, QWidget *window)
{
    ddlController_->drop(element, window);
}

bool DdlRouting::supportCreateNew(const QString &type) const
{
    return ddlController_->supportCreateNew(type);
}

bool DdlRouting::canCreateNew(const QString &type) const
{
    return ddlController_->canCreateNew(type);
}

void DdlRouting::createNew(const QString &type, QWidget *window)
{
    ddlController_->createNew(type, window);
}
