#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"
#include "kit/VisualShortcut.h"
#include "resultset/Filter.h"

#include <QWidget>

class QMimeData;

// What the quick-filter bar asks of its controller about dropped filter items.
class QuickFilterViewDelegate
{
public:
    virtual ~QuickFilterViewDelegate() = default;
    virtual bool canReceiveFilterItem(const Filter &filter) = 0;
    virtual void quickFilterReceivedFilterItem(const Filter &filter) = 0;
};

// The quick-filter bar: paints its gradient (a management view's own), takes filter items dragged from
// the grid when its controller accepts their column, and shows the hint of the shortcut that selects
// the quick filter. Main thread only.
class QuickFilterView : public QWidget, public AdvancedWindowKeyAwareView, public VisualShortcutAdopter
{
    Q_OBJECT
public:
    explicit QuickFilterView(QWidget *parent = nullptr);

    QuickFilterViewDelegate *delegate() const { return delegate_; }
    void setDelegate(QuickFilterViewDelegate *delegate) { delegate_ = delegate; }
    bool managementMode() const { return managementMode_; }
    void setManagementMode(bool managementMode);

    void windowKeyChanged(bool newState) override;
    QList<VisualShortcut> visualShortcuts() override;

    // The filter item a drag carries; null when it carries none.
    static FilterPtr filterItemOf(const QMimeData *data);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool accepts(const QMimeData *data) const;

    QuickFilterViewDelegate *delegate_ = nullptr;
    bool managementMode_ = false;
};
