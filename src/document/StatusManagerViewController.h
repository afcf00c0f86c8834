#pragma once

#include <QObject>
#include <QPointer>

class QParallelAnimationGroup;
class QWidget;
class StatusManager;
class StatusManagerViewPart;

// The status bar at the bottom of a document window: the connection button, the current schema,
// the selected object, the running or last action, the loaded records and a read-only marker. It
// shows the status manager of the document in front; the window lays out contentStatusView.
class StatusManagerViewController : public QObject
{
    Q_OBJECT

public:
    static constexpr int animationMilliseconds = 650;

    explicit StatusManagerViewController(QWidget *parent = nullptr);
    ~StatusManagerViewController() override;

    QWidget *contentStatusView() const { return contentStatusView_; }
    StatusManager *statusManager() const { return statusManager_; }
    // Not owned: the document owns its manager and hands the bar another one when tabs switch.
    void setStatusManager(StatusManager *statusManager);

    StatusManagerViewPart *connectView() const { return connectView_; }
    StatusManagerViewPart *databaseView() const { return databaseView_; }
    StatusManagerViewPart *selectionView() const { return selectionView_; }
    StatusManagerViewPart *statusView() const { return statusView_; }
    StatusManagerViewPart *recordsView() const { return recordsView_; }
    StatusManagerViewPart *readOnlyView() const { return readOnlyView_; }

    void statusReset();
    void statusUpdated();
    void statusTextUpdated();
    void update(bool reset);
    void orderViews(bool animate);
    // The busy text with its elapsed time: "text 5s...", "text 1m1s...", "text 1h2m...".
    static QString statusText(const QString &text, double time);

    void showReadOnly();
    void cancelButtonPressed();
    void connectButtonPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StatusManagerViewPart *createPart(bool heightend, bool rightAligned);
    QString busyText() const;
    void updateConnection(qint64 state, const QString &name);
    void updateDatabaseAndSelection(qint64 state);
    void updateReadOnly();
    void updateRecords();
    void updateStatus();
    void placePart(StatusManagerViewPart *part, const QPoint &position, bool animate);

    QPointer<QWidget> contentStatusView_;
    StatusManager *statusManager_ = nullptr;
    StatusManagerViewPart *connectView_ = nullptr;
    StatusManagerViewPart *databaseView_ = nullptr;
    StatusManagerViewPart *selectionView_ = nullptr;
    StatusManagerViewPart *statusView_ = nullptr;
    StatusManagerViewPart *recordsView_ = nullptr;
    StatusManagerViewPart *readOnlyView_ = nullptr;
    QPointer<QParallelAnimationGroup> animation_;
};
