#pragma once

#include "client/VornRootClient.h"
#include "document/DocumentConnectionAnswers.h"
#include "editor/SQLEditorControllerDelegate.h"
#include "resultset/ResultsetControllerDelegate.h"

#include <memory>

class ParameterInputController;
class PaneSelection;
class ResultsetController;
class ResultsetViewController;
class SQLEditorController;
class VornDocument;

// The document's statement road: it owns the SQL editor model, the result-set model and the
// parameter form, answers them as their delegate, and decides which content pane a run shows and
// keeps the grid in step with its model. What concerns the connection (the root's reservation,
// focus, the connection's identity) it passes to the document.
class StatementRouting : public DocumentConnectionAnswers<SQLEditorControllerDelegate>,
                         public DocumentConnectionAnswers<ResultsetControllerDelegate>
{
public:
    StatementRouting(VornDocument &document, PaneSelection &panes, const VornRootClientPtr &root);
    StatementRouting(const StatementRouting &) = delete;
    StatementRouting &operator=(const StatementRouting &) = delete;
    ~StatementRouting() override;

    SQLEditorController *sqlEditorController() const { return sqlEditorController_.get(); }
    ResultsetController *resultsetController() const { return resultsetController_.get(); }
    ParameterInputController *parameterInputController() const { return parameterInputController_.get(); }
    // The last statement result the grid shows, for the info column; null before one.
    BrowserElementPtr statementResultElement() const { return statementResultElement_; }

    // The window's result grid while the document has a window.
    ResultsetViewController *resultsetViewController() const;
    // Gives the window's editor and grid panes their models.
    void bindWindowPanes() const;
    // The window's panes let go of this document's models before they die.
    void unbindWindowPanes() const;
    // The root's result was dropped: the model and the grid forget it.
    void resultsetClearedFromRoot();

    // SQLEditorControllerDelegate.
    void sqlEditorControllerWillExecuteStatement() override;
    void sqlEditorControllerDidNotExecute(bool resultCleared) override;
    // The document's file, named on printed pages; null when it was never saved.
    QString sqlEditorControllerNeedsFilename() override;
    void sqlEditorControllerNeedsParameters(const QStringList &parameterNames, const QVariant &userInfo,
                                            ParameterAction action,
                                            const QVariantMap &parameterCache) override;
    void sqlEditorControllerLoadedResultSetWithInfo(const LoadedResultInfo &info) override;
    void sqlEditorControllerExecutionResult(const QString &message) override;
    void sqlEditorControllerRequiresMissingPlanTable() override;
    void sqlEditorControllerAnalysisResult(const QVariantMap &plan) override;

    // ResultsetControllerDelegate.
    void resultsetWillUpdate() override;
    void resultsetCancelledUpdate() override;
    void resultSetRemovedRowAt(qint64 row) override;
    void resultsetHasBeenUpdated() override;
    void resultsetQuickFilterOrSortHasBeenUpdated() override;
    void resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &filter,
                                                      const BrowserElementPtr &element,
                                                      bool newWindow) override;
    void resultsetHasBeenReset() override;
    BrowserElementPtr resultsetNeedsSelectedElement() override;
    void resultsetSelectedSession(const QVariantMap &row, const QStringList &order,
                                  const QVariantList &sessionId) override;

private:
    VornDocument &document_;
    PaneSelection &panes_;
    std::unique_ptr<ResultsetController> resultsetController_;
    std::unique_ptr<SQLEditorController> sqlEditorController_;
    std::unique_ptr<ParameterInputController> parameterInputController_;
    BrowserElementPtr statementResultElement_;
};
