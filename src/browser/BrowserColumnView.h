#pragma once

#include <QPointer>
#include <QTreeView>
#include <QWidget>

// The plain container of the browser's outline; it draws nothing of its own.
class BrowserColumnView : public QWidget
{
    Q_OBJECT
public:
    explicit BrowserColumnView(QWidget *parent = nullptr);

    QTreeView *outlineView() const { return outlineView_; }
    // The outline fills the container.
    void setOutlineView(QTreeView *outline);

private:
    QPointer<QTreeView> outlineView_;
};
