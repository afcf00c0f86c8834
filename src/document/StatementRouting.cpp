#include "document/StatementRouting.h"
#include "document/ManagementRefresh.h"

#include "browser/BrowserController.h"
#include "browser/InfoController.h"
#include "client/VornBrowserClient.h"
#include "document/AnalyserRouting.h"
#include "document/BrowserRouting.h"
#include "document/InfoColumnRouting.h"
#include "document/NewDocumentOpening.h"
#include "document/PaneSelection.h"
#include "document/ProcedureRouting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "elements/SqlBrowserElement.h"
#include "resultset/ParameterInputController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QThread>

using Pane = VornTabbedWindowController::Pane;

namespace
{

// The parameter form answers with a map of agreed keys; the editor takes them typed.
std::optional<ParameterAnswer> answerFromForm(const QVariant &result)
{
    if (!result.isValid())
        return std::nullopt;
    const QVariantMap form = result.toMap();
    return ParameterAnswer{form.value(QStringLiteral("parameterNames")).toStringList(),
                           form.value(QStringLiteral("parameterValues")).toMap(),
                           form.value(QStringLiteral("userInfo"))};
}

} // namespace

StatementRouting::StatementRouting(VornDocument &document, PaneSelection &panes,
                                   const VornRootClientPtr &root)
    : DocumentConnectionAnswers<SQLEditorControllerDelegate>(document),
      DocumentConnectionAnswers<ResultsetControllerDelegate>(document), document_(document), panes_(panes),
      resultsetController_(std::make_unique<ResultsetController>(root)),
      sqlEditorController_(std::make_unique<SQLEditorController>(root)),
      parameterInputController_(std::make_unique<ParameterInputController>())
{
    resultsetController_->setDelegate(static_cast<ResultsetControllerDelegate *>(this));
    resultsetController_->setThreadController(document.threadController());
    resultsetController_->setStatusManager(document.statusManager());
    sqlEditorController_->setDelegate(static_cast<SQLEditorControllerDelegate *>(this));
    sqlEditorController_->setThreadController(document.threadController());
    sqlEditorController_->setStatusManager(document.statusManager());
}

StatementRouting::~StatementRouting()
{
    resultsetController_->setDelegate(nullptr);
    sqlEditorController_->setDelegate(nullptr);
}

ResultsetViewController *StatementRouting::resultsetViewController() const
{
    VornTabbedWindowController *controller = document_.vornWindowController();
    return controller ? qobject_cast<ResultsetViewController *>(controller->pane(Pane::Resultset)) : nullptr;
}

void StatementRouting::bindWindowPanes() const
{
    VornTabbedWindowController *controller = document_.vornWindowController();
    if (!controller)
        return;
    if (ResultsetViewController *grid = resultsetViewController())
        grid->setResultsetController(resultsetController_.get());
    if (auto *editor = qobject_cast<SQLEditorViewController *>(controller->pane(Pane::SqlEditor)))
        editor->setSqlEditorController(sqlEditorController_.get());
}

void StatementRouting::unbindWindowPanes() const
{
    VornTabbedWindowController *controller = document_.vornWindowController();
    if (!controller || !controller->isWindowLoaded())
        return;
    if (ResultsetViewController *grid = resultsetViewController();
        grid && grid->resultsetController() == resultsetController_.get())
        grid->setResultsetController(nullptr);
    auto *editor = qobject_cast<SQLEditorViewController *>(controller->pane(Pane::SqlEditor));
    if (editor && editor->sqlEditorController() == sqlEditorController_.get())
        editor->setSqlEditorController(nullptr);
}

void StatementRouting::resultsetClearedFromRoot()
{
    resultsetController_->resetResultsetFromRoot();
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetReset();
}

// SQL editor.

void StatementRouting::sqlEditorControllerWillExecuteStatement()
{
    document_.browserController()->nonBrowserResultWillBeLoaded();
    document_.infoColumn().showNothing();
    panes_.beginRun();
}

void StatementRouting::sqlEditorControllerDidNotExecute(bool resultCleared)
{
    panes_.endRunWithoutExecution(resultCleared);
}

void StatementRouting::sqlEditorControllerNeedsParameters(const QStringList &parameterNames,
                                                          const QVariant &userInfo, ParameterAction action,
                                                          const QVariantMap &parameterCache)
{
    QWidget *window = document_.windowForSheet();
    if (!window) {
        // Nothing can ask for the values, so nothing runs.
        action(std::nullopt);
        return;
    }
    parameterInputController_->runForSqlParameters(
        parameterNames, window, userInfo,
        [action](const QVariant &result) { action(answerFromForm(result)); }, parameterCache);
}

void StatementRouting::sqlEditorControllerLoadedResultSetWithInfo(const LoadedResultInfo &info)
{
    Q_ASSERT_X(QThread::currentThread() == document_.thread(), "StatementRouting",
               "sqlEditorControllerLoadedResultSet should only happen on the mainthread.");
    document_.browserController()->nonBrowserResultWasLoaded();
    resultsetController_->resetResultsetFromRoot();
    const QString schema = document_.browserRouting().selectedSchema();
    statementResultElement_ = std::make_shared<SqlBrowserElement>(schema, info.source, info.timing);
    document_.infoColumn().showStatementResult(statementResultElement_,
                                               resultsetController_->vornResultset());
    if (resultsetController_->vornResultset()) {
        panes_.show(ContentPane::Resultset);
        if (ResultsetViewController *grid = resultsetViewController())
            grid->resultsetReset();
    } else {
        panes_.show(ContentPane::NotSupported);
    }
    document_.documentStatusUpdated();
}

void StatementRouting::sqlEditorControllerExecutionResult(const QString &message)
{
    SimpleTextController *text = document_.simpleTextController();
    text->setText(message);
    text->setBrowserElement(nullptr);
    if (VornTabbedWindowController *controller = document_.vornWindowController())
        controller->simpleTextViewController()->textUpdated();
    panes_.show(ContentPane::SimpleText);
    if (sqlEditorController_->ddlDirtyFlag()) {
        sqlEditorController_->setDdlDirtyFlag(false);
        document_.markDDLDirty();
    }
}

void StatementRouting::sqlEditorControllerRequiresMissingPlanTable()
{
    document_.analyserRouting().offerPlanTable();
}

void StatementRouting::sqlEditorControllerAnalysisResult(const QVariantMap &plan)
{
    document_.analyserRouting().showAnalysis(plan);
}

// Result set.

void StatementRouting::resultsetWillUpdate()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetWillUpdate();
}

void StatementRouting::resultsetCancelledUpdate()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetCancelledUpdate();
}

void StatementRouting::resultSetRemovedRowAt(qint64 row)
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetRemovedRowAt(row);
}

void StatementRouting::resultsetHasBeenUpdated()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetUpdated();
    document_.managementRefresh().checkManagementTimer();
    if (document_.activeContent() == ContentPane::Procedure)
        document_.procedureRouting().resetFromRoot();
}

void StatementRouting::resultsetQuickFilterOrSortHasBeenUpdated()
{
    document_.browserController()->quickFilterUpdatedForCurrentSelection(
        resultsetController_->extendedFilter());
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetQuickFilterOrSortUpdated();
}

void StatementRouting::resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &filter,
                                                                    const BrowserElementPtr &element,
                                                                    bool newWindow)
{
    const QVariantMap info{
        {QStringLiteral("extendedFilter"), QVariant::fromValue(filter)},
        {QStringLiteral("connectionParameters"), QVariant::fromValue(document_.connectionParameters())},
        {QStringLiteral("element"), QVariant::fromValue(element)}};
    openNewDocumentLater(document_, info, newWindow);
}

void StatementRouting::resultsetHasBeenReset()
{
    if (ResultsetViewController *grid = resultsetViewController())
        grid->resultsetReset();
}

BrowserElementPtr StatementRouting::resultsetNeedsSelectedElement()
{
    return document_.browserRouting().selectedElement();
}

void StatementRouting::resultsetSelectedSession(const QVariantMap &, const QStringList &,
                                                const QVariantList &sessionId)
{
    document_.infoColumn().infoController()->referToManagement(sessionId);
}

QString StatementRouting::sqlEditorControllerNeedsFilename()
{
    return document_.filePath().isEmpty() ? QString() : document_.filePath();
}
