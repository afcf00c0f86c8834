#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"
#include "tabs/TabDelegate.h"
#include "tabs/TabbarView.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class QDragMoveEvent;
class Tab;
class TabDragWindow;

// The strip of tabs across the top of a tabbed window: one Tab per document, then the add button.
// Lays the tabs out from its width, hides those that do not fit behind an overflow menu, gives each
// a Ctrl+digit shortcut, and turns clicks and drags into requests to its delegate (the window
// controller). Tabs are dragged along the bar, onto another window's bar, or out into a window of
// their own; items of one registered external type may be dropped on it too.
class Tabbar : public QWidget, public TabbarView, public TabDelegate, public AdvancedWindowKeyAwareView
{
    Q_OBJECT
public:
    static constexpr int barHeight = 24;
    static constexpr int addButtonReserve = 32;
    static constexpr int fullTabWidth = 384;
    static constexpr int minimumTabWidth = 128;
    static constexpr int overflowReserve = 16;
    // The pasteboard type of a dragged tab; its data only marks the item as a tab.
    static const QString tabDragType;
    // No gap opened for a dragged tab.
    static constexpr int noHover = -1;

    explicit Tabbar(QWidget *parent = nullptr);
    ~Tabbar() override;

    // TabbarView.
    QWidget *widget() override { return this; }
    TabbarDelegate *delegate() const override { return delegate_; }
    void setDelegate(TabbarDelegate *delegate) override { delegate_ = delegate; }
    void reEvaluateTabs() override;
    void reEvaluateTab(int index) override;
    void fullScreenStateUpdate() override;
    void registerForExternalDragType(const QString &type) override;

    void reEvaluateTabs(bool animate);
    int tabWidth(int index) const;
    int tabWidth() const { return tabWidth(0); }
    int visibleTabCount() const;
    int addTabOrigin() const;
    int moreTabsOrigin() const;
    static QPixmap imageForLabel(unsigned label);

    // The layout arithmetic, for a bar of the given width holding tabViews tabs (plus one slot for a
    // foreign tab hovering over it).
    static int tabWidthFor(int index, int tabViews, bool foreignSlot, int barWidth);
    static int visibleTabCountFor(int tabViews, int barWidth);
    static int addTabOriginFor(int tabViews, int barWidth);

    const QList<Tab *> &allTabs() const { return allTabs_; }
    Tab *addTabTab() const { return addTabTab_; }
    // The overflow menu: the tabs that do not fit. The caller takes it.
    QMenu *extendedTabsMenu();

    // TabDelegate.
    void tabWantsToClose(Tab *tab) override;
    void tabWantsToActivate(Tab *tab) override;
    void tabWantsToShowExtendedTabsWithEvent(const QPoint &globalPosition) override;
    void tabWantsToAddTab() override;
    void tabMightReceiveDrop(Tab *tab) override;
    void tabReceivedExternalDrop(const QString &type, const QByteArray &data) override;
    QMenu *tabWantsContextMenu(Tab *tab) override;
    void windowKeyChanged(bool newState) override;

    // Tab dragging. begin takes the press position and where the pointer is now, both in the bar;
    // false when that tab may not be dragged.
    bool beginTabDrag(const QPoint &pressPosition, const QPoint &pointerPosition);
    void endTabDrag();
    TabDragWindow *currentDragWindow() const { return currentDragWindow_.get(); }
    int currentDragDraggingTabNo() const { return currentDragDraggingTabNo_; }
    int currentDragDraggingTabNoHoveringPosition() const { return hoveringPosition_; }
    bool receivingForeignDrag() const { return receivingForeignDrag_; }
    int foreignTabHoverLocation() const { return foreignTabHoverLocation_; }
    void updateHoveringTabNo(int position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int indexAt(int x) const;
    int tabIndex(Tab *tab) const;
    // The shown tab or add button under position, or none.
    Tab *tabAt(const QPoint &position) const;
    // An item of the external type moved over the bar: the tab under it decides whether it is taken.
    void externalDragMoved(QDragMoveEvent *event);
    void runTabDrag();
    void followPointer();

    std::unique_ptr<TabDragWindow> currentDragWindow_;
    TabbarDelegate *delegate_ = nullptr;
    bool receivingForeignDrag_ = false;
    float currentDraggingTabXDelta_ = 0;
    int foreignTabHoverLocation_ = 0;
    int currentDragDraggingTabNo_ = 0;
    int hoveringPosition_ = noHover;
    QList<Tab *> allTabs_;
    Tab *addTabTab_ = nullptr;
    QString externalDragType_;
    QPoint pressPosition_;
    bool pressed_ = false;
    // The bar whose tab is hovering here, while it does.
    QPointer<Tabbar> dragSource_;
    // The tab under an external item being dragged over the bar, and whether it takes the item.
    QPointer<Tab> externalDragTab_;
    bool externalDragTabTakes_ = false;
};
