// The connection document as the delegate of the SQL editor and the result-set model: which content
// pane a statement's run shows, the parameter form, and the result grid kept in step with its model.
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "elements/SqlBrowserElement.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "resultset/ParameterInputController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "tabs/TabbedDocumentController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QThread>

using Pane = VornTabbedWindowController::Pane;

ResultsetViewController *VornDocument::resultsetViewController() const
{
    VornTabbedWindowController *controller = vornWindowController();
    return controller ? qobject_cast<ResultsetViewController *>(controller->pane(Pane::Resultset)) : nullptr;
}

void VornDocument::unbindWindowPanes()
{
    VornTabbedWindowController *controller = vornWindowController();
    if (!controller || !controller->isWindowLoaded())
        return;
    if (ResultsetViewController *grid = resultsetViewController();
        grid && grid->resultsetController() == resultsetController_.get())
        grid->setResultsetController(nullptr);
    auto *editor = qobject_cast<SQLEditorViewController *>(controller->pane(Pane::SqlEditor));
    if (editor && editor->sqlEditorController() == sqlEditorController_.get())
        editor->setSqlEditorController(nullptr);
}

void VornDocument::resultsetClearedFromRoot()
{
    resultsetController_->resetResultsetFromRoot();
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetReset();
}

void VornDocument::markDDLDirty()
{
    if (rootIs("dirty") && !rootIs("dataDefinitionCausesTransactionCommit")) {
        dirtyDDLWaitingForTransaction_ = true;
        return;
    }
    dirtyDDLWaitingForTransaction_ = false;
    dirtyDDL_ = true;
    // The background checker is told here once it exists.
}

// SQL editor.

void VornDocument::sqlEditorControllerWillExecuteStatement()
{
    // The browser and the info column let go of their selection here once they exist.
    if (activeContent_ != ContentBusy)
        paneBeforeRun_ = activeContent_;
    setActiveContent(ContentBusy);
}

void VornDocument::sqlEditorControllerDidNotExecute(bool resultCleared)
{
    if (activeContent_ != ContentBusy)
        return;
    // A dropped result leaves nothing for the previous pane to show.
    setActiveContent(resultCleared ? ContentNothing : paneBeforeRun_);
}

void VornDocument::sqlEditorControllerNeedsParameters(const QStringList &parameterNames,
                                                      const QVariant &userInfo, ParameterAction action,
                                                      const QVariantMap &parameterCache)
{
    QWidget *window = windowForSheet();
    if (!window) {
        // Nothing can ask for the values, so nothing runs.
        action(std::nullopt);
        return;
    }
    parameterInputController_->runForSqlParameters(
        parameterNames, window, userInfo,
        [action](const QVariant &result) {
            if (result.isValid())
                action(result.toMap());
            else
                action(std::nullopt);
        },
        parameterCache);
}

void VornDocument::sqlEditorControllerLoadedResultSetWithInfo(const QVariantMap &info)
{
    Q_ASSERT_X(QThread::currentThread() == thread(), "VornDocument",
               "sqlEditorControllerLoadedResultSet should only happen on the mainthread.");
    // The browser forgets its selection here once it exists.
    resultsetController_->resetResultsetFromRoot();
    const QoJavaObjectPtr browser =
        session_->vornRoot->call(QStringLiteral("browser")).value<QoJavaObjectPtr>();
    const QString schema = browser ? browser->call(QStringLiteral("selectedSchema")).toString() : QString();
    statementResultElement_ =
        std::make_shared<SqlBrowserElement>(schema, info.value(QStringLiteral("source")).toString(),
                                            info.value(QStringLiteral("timing")).toDouble());
    // The info column describes the element here once it exists.
    if (resultsetController_->vornResultset()) {
        setActiveContent(ContentResultset);
        if (ResultsetViewController *grid = resultsetViewController())
            grid->resultsetReset();
    } else {
        setActiveContent(ContentNotSupported);
    }
    documentStatusUpdated();
}

void VornDocument::sqlEditorControllerExecutionResult(const QString &message)
{
    simpleTextController_->setText(message);
    simpleTextController_->setBrowserElement(nullptr);
    if (VornTabbedWindowController *controller = vornWindowController())
        controller->simpleTextViewController()->textUpdated();
    setActiveContent(ContentSimpleText);
    if (sqlEditorController_->ddlDirtyFlag()) {
        sqlEditorController_->setDdlDirtyFlag(false);
        markDDLDirty();
    }
}

// Result set.

void VornDocument::resultsetWillUpdate()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetWillUpdate();
}

void VornDocument::resultsetCancelledUpdate()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetCancelledUpdate();
}

void VornDocument::resultSetRemovedRowAt(qint64 row)
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetRemovedRowAt(row);
}

void VornDocument::resultsetHasBeenUpdated()
{
    // The procedure editor and the management views' auto-refresh follow here once they exist.
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetUpdated();
}

void VornDocument::resultsetQuickFilterOrSortHasBeenUpdated()
{
    // The browser remembers the filter of its selection here once it exists.
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetQuickFilterOrSortUpdated();
}

void VornDocument::resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &filter,
                                                                const BrowserElementPtr &element,
                                                                bool newWindow)
{
    const QVariantMap info{
        {QStringLiteral("extendedFilter"), QVariant::fromValue(filter)},
        {QStringLiteral("connectionParameters"), QVariant::fromValue(connectionParameters_)},
        {QStringLiteral("element"), QVariant::fromValue(element)}};
    QPointer<TabbedWindowController> window = newWindow ? nullptr : windowController();
    // Opening a tab from inside a model's report would rebuild the window under it.
    QMetaObject::invokeMethod(
        this,
        [info, window, newWindow] {
            TabbedDocumentController *documents = TabbedDocumentController::sharedDocumentController();
            if (!documents || (!newWindow && !window))
                return;
            TabbedDocument *document = documents->openUntitledDocumentAndDisplay(
                true, window, true, UserDefaults::standard().boolForKey(PreferenceKey::selectCreatedTabs),
                info, nullptr);
            if (document && document->windowController() && document->windowController()->isWindowLoaded())
                document->windowController()->window()->activateWindow();
        },
        Qt::QueuedConnection);
}

void VornDocument::resultsetHasBeenReset()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetReset();
}

BrowserElementPtr VornDocument::resultsetNeedsSelectedElement()
{
    return nullptr; // the browser's element store answers once it exists
}

void VornDocument::resultsetSelectedSession(const QVariantMap &, const QStringList &, const QVariantList &)
{
    // The info column shows the chosen session once it exists.
}
