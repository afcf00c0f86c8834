#pragma once

#include <QWidget>

class QScrollArea;

// The root view of the info column: the top strip behind the button bar, the scroll view that shows one
// section, and a bottom strip (hidden when popped out). Each real change of its size is announced as
// "NOTIFICATION_InfoColumnView_UPDATE" with the view as sender.
class InfoColumnView : public QWidget
{
    Q_OBJECT
public:
    static inline const QString sizeChangedNotification =
        QStringLiteral("NOTIFICATION_InfoColumnView_UPDATE");
    static constexpr int topBarHeight = 22;
    static constexpr int bottomBarHeight = 22;

    explicit InfoColumnView(QWidget *parent = nullptr);

    QWidget *topBar() const { return topBar_; }
    QScrollArea *scrollView() const { return scrollView_; }
    QWidget *bottomBar() const { return bottomBar_; }
    QSize reportedSize() const { return size_; }
    // Whether the bottom strip is shown; the scroll view takes its room when it is not.
    void setBottomBarShown(bool shown);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();

    QWidget *topBar_;
    QScrollArea *scrollView_;
    QWidget *bottomBar_;
    QSize size_;
};
