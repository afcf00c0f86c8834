#pragma once

#include "ddl/ProcedureMembers.h"
#include "editor/SQLTextViewDelegate.h"
#include "window/PaneViewController.h"

#include <QVariantList>

class ProcedureEditorController;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTextBrowser;
class QTimer;
class QUrl;
class SQLTextView;

// The content pane for stored code: the source in an SQL text view with line numbers, a header/body
// switch and a member pop-up that follows the caret for packages, the build warnings as clickable
// lines under the text, and the compile, execute, stop and revert commands.
class ProcedureEditorViewController : public PaneViewController, public SQLTextViewDelegate
{
    Q_OBJECT
public:
    // The member pop-up follows the caret this long after the last selection change.
    static constexpr int caretFollowDelayMs = 500;

    explicit ProcedureEditorViewController(QObject *parent = nullptr);
    ~ProcedureEditorViewController() override;

    ProcedureEditorController *procedureEditorController() const { return controller_; }
    void setProcedureEditorController(ProcedureEditorController *controller);
    // After a run.
    void procedureUpdate();
    // After a load, a build or a revert.
    void procedureReset();

    Q_INVOKABLE void compile(QObject *sender = nullptr);
    Q_INVOKABLE void executeSql(QObject *sender = nullptr);
    Q_INVOKABLE void cancelExecution(QObject *sender = nullptr);
    Q_INVOKABLE void revertProcedure(QObject *sender = nullptr);
    Q_INVOKABLE bool validateAction(const QString &action) const;

    // 0 shows the header (or the whole source), 1 a package's body.
    void packageToggle(int segment);
    bool modusIsBody() const { return modusIsBody_; }
    // A warning's line link: selects that line, in the body when it lies past a package header's end.
    void warningLinkClicked(qint64 line);
    // Follows the caret now, as the timer does.
    void autoproclistupdate();

    SQLTextView *sqlTextView() const { return sqlTextView_; }
    SQLTextView *sqlBodyTextView() const { return sqlBodyTextView_; }
    SQLTextView *shownTextView() const;
    QTextBrowser *warningView() const { return warningView_; }
    QComboBox *procedureList() const { return procedureList_; }
    QPushButton *revertButton() const { return revertButton_; }
    QSplitter *splitView() const { return splitView_; }

    void textViewSelectionChanged(SQLTextView *textView, int location, int length) override;

    void encodeInferfaceState(QVariantMap &state) const override;
    void decodeInferfaceState(const QVariantMap &state) override;
    void setDefaultInterfaceState() override;
    void detachModel() override { setProcedureEditorController(nullptr); }

private:
    void buildView();
    void textEdited();
    void updateWarnings(const QVariantList &warnings);
    const ProcedureMembers &shownMembers() const;
    void loadSelectableProcedures();
    void packageProcedureUpdate(int index);
    void selectLine(SQLTextView *view, qint64 line, bool caretOnlyWithoutNext);
    bool eventFilter(QObject *watched, QEvent *event) override;

    ProcedureEditorController *controller_ = nullptr;
    QSplitter *splitView_ = nullptr;
    QStackedWidget *textStack_ = nullptr;
    SQLTextView *sqlTextView_ = nullptr;
    SQLTextView *sqlBodyTextView_ = nullptr;
    QTextBrowser *warningView_ = nullptr;
    QPushButton *revertButton_ = nullptr;
    QButtonGroup *packageControl_ = nullptr;
    QWidget *packageControlView_ = nullptr;
    QComboBox *procedureList_ = nullptr;
    QLabel *procedureListLabel_ = nullptr;
    QTimer *proclisttimer_ = nullptr;
    bool proclistInvalid_ = false;
    bool modusIsBody_ = false;
    quint64 preferencesObserver_ = 0;
};
