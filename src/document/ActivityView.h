#pragma once

#include <QWidget>

#include <optional>

class ActivityView;
class QLabel;
class QProgressBar;
class QToolButton;

class ActivityViewDelegate
{
public:
    virtual ~ActivityViewDelegate() = default;
    virtual void activityViewWantsToStopUid(ActivityView *view, qint64 uid) = 0;
};

// One row of the activity viewer: the status and message of one backend connection, a progress bar
// while it works and a stop button. A secondary row (a helper connection without a document of its
// own) has no stop button.
class ActivityView : public QWidget
{
    Q_OBJECT
public:
    ActivityView(qint64 uid, bool secundary, QWidget *parent = nullptr);

    qint64 uid() const { return uid_; }
    bool secundary() const { return secundary_; }
    void setDelegate(ActivityViewDelegate *delegate) { delegate_ = delegate; }

    // Progress: a value between 0 and 1, or none for work without measurable progress.
    void updateStatus(const QString &status, const QString &message, bool active, bool stopable,
                      std::optional<double> progress);

    QLabel *statusLabel() const { return status_; }
    QLabel *messageLabel() const { return message_; }
    QProgressBar *progress() const { return progress_; }
    // Null on a secondary row.
    QToolButton *stopButton() const { return stopButton_; }

private:
    void stopButtonPressed();

    const qint64 uid_;
    const bool secundary_;
    ActivityViewDelegate *delegate_ = nullptr;
    QLabel *status_;
    QLabel *message_;
    QProgressBar *progress_;
    QToolButton *stopButton_ = nullptr;
};
