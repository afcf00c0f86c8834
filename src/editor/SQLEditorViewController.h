#pragma once

#include "editor/SQLTextViewDelegate.h"
#include "sql/TextRange.h"
#include "window/PaneViewController.h"

#include <QPointer>
#include <QVariantMap>

class SQLEditorControllerInterface;
class SQLTextView;

// The SQL editor pane of the main window: the text view with its line-number ruler, bound to the editor
// model of whichever document is shown, turning the menu, toolbar and context-menu commands into calls on
// that model. Commands are invokable by name for the window's command router.
class SQLEditorViewController : public PaneViewController, public SQLTextViewDelegate
{
    Q_OBJECT
public:
    explicit SQLEditorViewController(QObject *parent = nullptr);
    ~SQLEditorViewController() override;

    SQLTextView *sqlTextView() const { return sqlTextView_; }

    // Shows the model's text, colours and undo history in the shared view. Not owned: bind another model
    // (or null, which shows an empty text of the view's own) before the bound one goes away.
    void setSqlEditorController(SQLEditorControllerInterface *controller);
    SQLEditorControllerInterface *sqlEditorController() const { return sqlEditorController_; }

    void sqlEditorDefaultsUpdated();

    Q_INVOKABLE void executeSql(QObject *sender);
    Q_INVOKABLE void analyseSql(QObject *sender);
    Q_INVOKABLE void formatSql(QObject *sender);
    // The sender is an action whose data is an export-format identifier.
    Q_INVOKABLE void exportSql(QObject *sender);
    Q_INVOKABLE void cancelExecution(QObject *sender);
    Q_INVOKABLE void cancelOperation(QObject *sender);
    // Whether a command can run now; all of them need the text view to have the focus.
    Q_INVOKABLE bool validateAction(const QString &action) const;

    // Typed-like insertion replacing the selection.
    void insertText(const QString &text);
    // A statement from elsewhere (the history): into the blank-line gap at the caret, after the statement
    // around the caret, or at the start.
    Q_INVOKABLE void insertQueryNearCursor(const QString &query);
    void setSelectedRange(TextRange range);

    // Caret and scroll position of the shown document, kept by the window per tab.
    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;
    // The window's last tab closed: the view shows an empty text of its own.
    void detachModel() override;

    QMenu *textViewMenu(SQLTextView *textView, QMenu *menu, QContextMenuEvent *event, int index) override;
    // Replaces the menu's items by the bound model's code formats (headings, separators and one item
    // per format, each copying the statement in that format); answers how many formats it offers.
    int fillExportMenu(QMenu *menu);

protected:
    // The system beep; a seam for tests.
    virtual void beep();

private:
    TextRange selectedRange() const;
    TextRange rangeForStatementCommand() const;
    void replaceRange(TextRange range, const QString &text);
    void splitViewUpdates();
    void fixScroll(QPoint origin);
    void installRuler();

    QPointer<SQLTextView> sqlTextView_; // inside the view, which the window owns once placed
    SQLEditorControllerInterface *sqlEditorController_ = nullptr;
    quint64 splitViewObserver_ = 0;
    quint64 preferenceObserver_ = 0;
};
