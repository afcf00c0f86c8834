#include "tabs/Tabbar.h"

#include "kit/AdvancedWindow.h"
#include "kit/ColorBox.h"
#include "kit/CommandRouter.h"
#include "kit/LabelImages.h"
#include "kit/TabDragWindow.h"
#include "tabs/Tab.h"
#include "tabs/TabbarDelegate.h"
#include "tabs/TabsLog.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QTimer>

#include <cmath>

const QString Tabbar::tabDragType = QStringLiteral("com.ostrel.apps.vorn.tab");

namespace
{

// The bar of this process whose tab is being dragged: only its tabs are taken as tab drops.
QPointer<Tabbar> &draggingTabbar()
{
    static QPointer<Tabbar> bar;
    return bar;
}

} // namespace

Tabbar::Tabbar(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(barHeight);
    setAcceptDrops(true);
    allTabs_.reserve(10);
    addTabTab_ = new Tab(QRect(0, 0, addButtonReserve, barHeight));
    addTabTab_->setTitle(QString());
    addTabTab_->setDelegate(this);
    addTabTab_->setAddTabTab(true);
}

Tabbar::~Tabbar()
{
    if (!addTabTab_->parent())
        delete addTabTab_;
    if (draggingTabbar() == this)
        draggingTabbar() = nullptr;
}

// --- Layout arithmetic ----------------------------------------------------------------------------

int Tabbar::tabWidthFor(int index, int tabViews, bool foreignSlot, int barWidth)
{
    const int n = tabViews + (foreignSlot ? 1 : 0);
    const int available = barWidth - addButtonReserve;
    if (n <= 0)
        return fullTabWidth;
    int width = fullTabWidth;
    if (fullTabWidth * n > available) {
        width = available / n;
        if (index == tabViews - 1)
            width = available - width * (n - 1);
    }
    if (double(available) / n < minimumTabWidth) {
        const int shown = (available - overflowReserve) / minimumTabWidth;
        // Too narrow for a single tab: every tab gets no width and is hidden.
        if (shown <= 0 || shown <= index)
            return 0;
        width = (available - overflowReserve) / shown;
        if (index == shown - 1)
            width = available - width * index;
    }
    return std::max(width, 0);
}

int Tabbar::visibleTabCountFor(int tabViews, int barWidth)
{
    if (tabViews <= 0)
        return 0;
    const int available = barWidth - addButtonReserve;
    const int room = double(available) / tabViews < minimumTabWidth ? available - overflowReserve : available;
    return std::clamp(room / minimumTabWidth, 0, tabViews);
}

int Tabbar::addTabOriginFor(int tabViews, int barWidth)
{
    const int available = barWidth - addButtonReserve;
    return tabViews * fullTabWidth <= available ? tabViews * fullTabWidth : std::max(available, 0);
}

int Tabbar::tabWidth(int index) const
{
    return tabWidthFor(index, int(allTabs_.size()), receivingForeignDrag_, width());
}

int Tabbar::visibleTabCount() const
{
    return visibleTabCountFor(int(allTabs_.size()), width());
}

int Tabbar::addTabOrigin() const
{
    return addTabOriginFor(int(allTabs_.size()), width());
}

int Tabbar::moreTabsOrigin() const
{
    return width() - 48;
}

// --- Layout pass ----------------------------------------------------------------------------------

void Tabbar::reEvaluateTabs()
{
    if (!delegate_)
        return;
    // Counted for the tabs the bar is about to show, not the views it still has: a tab inserted before
    // the active one must not make it look hidden.
    const int visible = visibleTabCountFor(delegate_->numberOfTabs(), width());
    const int active = delegate_->activeTab();
    if (visible >= 2 && active >= visible)
        delegate_->moveTabFrom(active, visible - 1); // the active tab is always shown
    reEvaluateTabs(false);
}

void Tabbar::reEvaluateTabs(bool animate)
{
    for (Tab *tab : std::as_const(allTabs_))
        tab->setAnimate(false);
    const int wanted = delegate_ ? delegate_->numberOfTabs() : 0;
    const bool countChanged = wanted != allTabs_.size();
    while (allTabs_.size() > wanted)
        delete allTabs_.takeFirst();
    while (allTabs_.size() < wanted) {
        auto *tab = new Tab(QRect(0, 1, tabWidth(), 22), this);
        tab->setDelegate(this);
        tab->setClosable(true);
        tab->registerForExternalDragType(externalDragType_);
        tab->show();
        allTabs_.append(tab);
    }
    const int active = receivingForeignDrag_ || !delegate_ ? -1 : delegate_->activeTab();
    const bool dragging = currentDragWindow_ != nullptr;
    const bool direct = !animate || countChanged;
    const int common = tabWidth();
    for (int i = 0; i < allTabs_.size(); ++i) {
        Tab *tab = allTabs_.at(i);
        tab->setHideLeftBorder(i == 0);
        tab->setTitle(delegate_->titleForTab(i));
        tab->setLabel(delegate_->labelForTab(i));
        tab->setHasAlert(delegate_->isAlertForTab(i));
        tab->setHasSuccess(delegate_->isSuccessForTab(i));
        tab->setIsBusy(delegate_->isBusyForTab(i));
        int slot = i;
        if (dragging || receivingForeignDrag_) {
            const int taken = dragging && i >= currentDragDraggingTabNo_ ? 1 : 0;
            slot = i - taken + (hoveringPosition_ != noHover && hoveringPosition_ <= i - taken ? 1 : 0);
        }
        const int width = tabWidth(i);
        const bool beingDragged = dragging && i == currentDragDraggingTabNo_;
        if (!beingDragged) {
            const QRect frame(int(std::floor(double(common) * slot)), 0, width + 1, barHeight);
            if (direct) {
                tab->setFrame(frame);
            } else {
                auto *slide = new QPropertyAnimation(tab, "geometry", tab);
                slide->setDuration(150);
                slide->setEndValue(frame);
                slide->start(QAbstractAnimation::DeleteWhenStopped);
            }
        }
        tab->setActiveTab(i == active);
        tab->setCurrentlyBeingDragged(beingDragged);
        tab->setExtensionTab(false);
        tab->setVisible(width != 0);
        tab->update();
    }
    const int visible = visibleTabCount();
    if (allTabs_.size() != visible && visible >= 1)
        allTabs_.at(visible - 1)->setExtensionTab(true);
    addTabTab_->move(addTabOrigin(), 0);
    if (!addTabTab_->parent()) {
        addTabTab_->setParent(this);
        addTabTab_->registerForExternalDragType(externalDragType_);
    }
    addTabTab_->setVisible(!receivingForeignDrag_);
    addTabTab_->lower(); // tabs overlap it
    for (int i = 0; i < allTabs_.size(); ++i)
        allTabs_.at(i)->setActivationKey(i + 1);
    addTabTab_->setActivationKey(-2);
    addTabTab_->setHideRightBorder(addTabTab_->x() + addTabTab_->width() == width());
    for (Tab *tab : std::as_const(allTabs_))
        tab->setAnimate(true);
    update();
}

void Tabbar::reEvaluateTab(int index)
{
    if (!delegate_ || index < 0 || index >= allTabs_.size())
        return;
    Tab *tab = allTabs_.at(index);
    tab->setTitle(delegate_->titleForTab(index));
    tab->setLabel(delegate_->labelForTab(index));
    tab->setHasAlert(delegate_->isAlertForTab(index));
    tab->setHasSuccess(delegate_->isSuccessForTab(index));
    tab->setIsBusy(delegate_->isBusyForTab(index));
}

void Tabbar::fullScreenStateUpdate()
{
    // The bar stays in the window's own layout in full screen: only its look may change.
    AdvancedWindow::redrawViewsRecursively(this, true);
}

void Tabbar::registerForExternalDragType(const QString &type)
{
    externalDragType_ = type;
    addTabTab_->registerForExternalDragType(type);
    for (Tab *tab : std::as_const(allTabs_))
        tab->registerForExternalDragType(type);
}

void Tabbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    reEvaluateTabs(false);
}

void Tabbar::windowKeyChanged(bool)
{
    update();
}

void Tabbar::paintEvent(QPaintEvent *event)
{
    const Colors &colors = ColorBox::colors().forView(this);
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(rect(), colors.tabBarColor());
    painter.setPen(QPen(colors.tabBorder, 1));
    painter.drawLine(QPointF(0.5, 0.5), QPointF(width() - 0.5, 0.5));
    painter.drawLine(QPointF(0.5, height() - 0.5), QPointF(width() - 0.5, height() - 0.5));
}

QPixmap Tabbar::imageForLabel(unsigned label)
{
    return LabelImages::swatchForLabel(label);
}

// --- Clicks and menus -----------------------------------------------------------------------------

int Tabbar::indexAt(int x) const
{
    const int common = tabWidth();
    return common > 0 ? x / common : -1;
}

int Tabbar::tabIndex(Tab *tab) const
{
    return int(allTabs_.indexOf(tab));
}

void Tabbar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !delegate_) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int x = event->position().toPoint().x();
    const int index = indexAt(x);
    if (x >= 0 && index >= 0 && index < visibleTabCount() && index < delegate_->numberOfTabs())
        delegate_->activateTab(index);
    pressPosition_ = event->position().toPoint();
    pressed_ = true;
}

void Tabbar::mouseMoveEvent(QMouseEvent *event)
{
    if (!pressed_ || !(event->buttons() & Qt::LeftButton) || currentDragWindow_ ||
        (event->position().toPoint() - pressPosition_).manhattanLength() < QApplication::startDragDistance())
        return;
    pressed_ = false;
    if (beginTabDrag(pressPosition_, event->position().toPoint()))
        runTabDrag();
}

QMenu *Tabbar::extendedTabsMenu()
{
    auto *menu = new QMenu(QStringLiteral("TabMenu"));
    if (!delegate_)
        return menu;
    const int active = delegate_->activeTab();
    for (int index = visibleTabCount(); index < allTabs_.size(); ++index) {
        QAction *item = menu->addAction(delegate_->titleForTab(index));
        if (const unsigned label = delegate_->labelForTab(index))
            item->setIcon(imageForLabel(label));
        item->setCheckable(true);
        item->setChecked(index == active);
        connect(item, &QAction::triggered, this, [this, index] {
            if (delegate_) {
                delegate_->activateTab(index);
                reEvaluateTabs();
            }
        });
    }
    return menu;
}

void Tabbar::tabWantsToShowExtendedTabsWithEvent(const QPoint &globalPosition)
{
    QMenu *menu = extendedTabsMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void Tabbar::tabWantsToClose(Tab *tab)
{
    if (delegate_ && tabIndex(tab) >= 0)
        delegate_->closeTab(tabIndex(tab));
}

void Tabbar::tabWantsToActivate(Tab *tab)
{
    if (delegate_ && tabIndex(tab) >= 0)
        delegate_->activateTab(tabIndex(tab));
}

void Tabbar::tabWantsToAddTab()
{
    CommandRouter::shared().sendAction("newTabFromBar:", this, nullptr, window());
}

void Tabbar::tabMightReceiveDrop(Tab *)
{
    if (delegate_)
        delegate_->tabBarMightReceiveDrop(this);
}

void Tabbar::tabReceivedExternalDrop(const QString &type, const QByteArray &data)
{
    if (delegate_)
        delegate_->tabBarReceivedExternalDrop(type, data);
}

QMenu *Tabbar::tabWantsContextMenu(Tab *tab)
{
    return delegate_ && tabIndex(tab) >= 0 ? delegate_->tabWantsContextMenu(tabIndex(tab)) : nullptr;
}

// --- Tab dragging -----------------------------------------------------------------------------------

bool Tabbar::beginTabDrag(const QPoint &pressPosition, const QPoint &pointerPosition)
{
    if (currentDragWindow_ || !delegate_)
        return false;
    const int common = tabWidth();
    const int index = indexAt(pressPosition.x());
    const int visible = visibleTabCount();
    const bool overflowing = visible != allTabs_.size();
    // Only the active tab moves, and never the one holding the overflow button.
    if (index < 0 || index != delegate_->activeTab() || index >= visible ||
        (overflowing && index >= visible - 1) || index >= delegate_->numberOfTabs())
        return false;
    Tab *tab = allTabs_.at(index);
    const QPixmap tabPicture = grab(tab->geometry()); // the tab with the bar behind it
    tab->setHideLeftBorder(false);
    tab->setHideRightBorder(false);
    tab->setCurrentlyBeingDragged(true);
    reEvaluateTabs(false);

    currentDragWindow_ = std::make_unique<TabDragWindow>(QRect(mapToGlobal(tab->pos()), tab->size()));
    currentDragWindow_->setTabImage(tabPicture, tabPicture.size(), 1.0);
    const QPixmap windowPicture = window()->grab();
    const int pictureHeight =
        windowPicture.width() > 0 ? common * windowPicture.height() / windowPicture.width() : common;
    currentDragWindow_->setImage(windowPicture, QSize(common, pictureHeight), 0.5);
    currentDragWindow_->setSnappingTabBar(this);
    // A drag that left the bar before it started gets no exit from the bar: it starts free, and the
    // bar takes the tab again when the pointer comes back over it.
    if (!rect().contains(pointerPosition))
        currentDragWindow_->setSnappingTabBar(nullptr);
    currentDragWindow_->orderFront();

    currentDragDraggingTabNo_ = index;
    hoveringPosition_ = index;
    currentDraggingTabXDelta_ = std::fmod(float(pressPosition.x()), float(common));
    draggingTabbar() = this;
    reEvaluateTabs(true);
    return true;
}

void Tabbar::followPointer()
{
    if (currentDragWindow_)
        currentDragWindow_->setOrigin(QCursor::pos() - QPoint(int(currentDraggingTabXDelta_), barHeight / 2));
}

void Tabbar::runTabDrag()
{
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setData(tabDragType, QByteArrayLiteral("Tab"));
    drag->setMimeData(data);
    if (QGuiApplication::platformName().startsWith("wayland")) {
        // Floating windows cannot be placed there: the picture travels as the drag's own.
        drag->setPixmap(grab(allTabs_.at(currentDragDraggingTabNo_)->geometry()));
        drag->setHotSpot(QPoint(int(currentDraggingTabXDelta_), barHeight / 2));
    }
    QTimer follow;
    connect(&follow, &QTimer::timeout, this, &Tabbar::followPointer);
    follow.start(16);
    followPointer();
    drag->exec(Qt::MoveAction);
    follow.stop();
    endTabDrag();
}

void Tabbar::updateHoveringTabNo(int position)
{
    if (position == hoveringPosition_)
        return;
    hoveringPosition_ = position;
    reEvaluateTabs(true);
}

void Tabbar::endTabDrag()
{
    qCDebug(lcTabs, "tab drag ended");
    if (currentDragWindow_) {
        const int dragged = currentDragDraggingTabNo_;
        if (dragged < allTabs_.size()) {
            Tab *tab = allTabs_.at(dragged);
            tab->move(mapFromGlobal(currentDragWindow_->pos())); // slides from where it was let go
        }
        auto *target = qobject_cast<Tabbar *>(currentDragWindow_->snappingTabBar());
        if (target && target != this) {
            delegate_->tabShouldBeDroppedToForeignTabBar(target, foreignTabHoverLocation_, dragged, this);
        } else if (target == this) {
            const int count = delegate_->numberOfTabs();
            int hover =
                hoveringPosition_ >= count || hoveringPosition_ == noHover ? count - 1 : hoveringPosition_;
            if (hover != dragged && hover >= 0) {
                delegate_->moveTabFrom(dragged, hover);
                allTabs_.move(dragged, hover);
                allTabs_.at(hover)->raise();
            }
        } else if (delegate_) {
            delegate_->tabShouldBeMovedToOwnWindow(dragged);
        }
        currentDragWindow_.reset();
        if (dragged < allTabs_.size())
            allTabs_.at(dragged)->setCurrentlyBeingDragged(false);
    }
    if (draggingTabbar() == this)
        draggingTabbar() = nullptr;
    hoveringPosition_ = noHover;
    reEvaluateTabs(true);
}

void Tabbar::dragEnterEvent(QDragEnterEvent *event)
{
    if (delegate_)
        delegate_->tabBarMightReceiveDrop(this);
    Tabbar *source = draggingTabbar();
    if (event->mimeData()->hasFormat(tabDragType)) {
        // Only a tab of this process's own bars: the drag names no tab, its source does.
        if (!source || !source->currentDragWindow_) {
            event->ignore();
            return;
        }
        dragSource_ = source;
        source->currentDragWindow_->setSnappingTabBar(this);
        if (source != this) {
            receivingForeignDrag_ = true;
            addTabTab_->hide();
            source->currentDragWindow_->setSuggestedWidth(float(tabWidth()));
        }
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    if (!externalDragType_.isEmpty() && event->mimeData()->hasFormat(externalDragType_)) {
        externalDragTab_ = nullptr;
        externalDragMoved(event);
        // Taken, or no moves would follow: each move tells whether the item may be dropped there.
        event->accept();
        return;
    }
    event->ignore();
}

Tab *Tabbar::tabAt(const QPoint &position) const
{
    for (QWidget *widget = childAt(position); widget && widget != this; widget = widget->parentWidget()) {
        if (auto *tab = qobject_cast<Tab *>(widget))
            return tab;
    }
    return nullptr;
}

void Tabbar::externalDragMoved(QDragMoveEvent *event)
{
    Tab *tab = tabAt(event->position().toPoint());
    if (tab != externalDragTab_) {
        externalDragTab_ = tab;
        externalDragTabTakes_ = tab && tab->externalDragEntered(event->mimeData());
    }
    if (tab && !externalDragTabTakes_) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void Tabbar::dragMoveEvent(QDragMoveEvent *event)
{
    Tabbar *source = dragSource_;
    if (!event->mimeData()->hasFormat(tabDragType)) {
        if (!externalDragType_.isEmpty() && event->mimeData()->hasFormat(externalDragType_))
            externalDragMoved(event);
        else
            event->ignore();
        return;
    }
    if (!source) {
        event->ignore();
        return;
    }
    const int common = tabWidth();
    const double x = event->position().x();
    int position = common > 0 ? int((common / 2 + x - source->currentDraggingTabXDelta_) / common) : 0;
    position = std::max(position, 0);
    if (source != this) {
        position = std::min(position, int(allTabs_.size()));
        source->foreignTabHoverLocation_ = position;
    }
    updateHoveringTabNo(position);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void Tabbar::dragLeaveEvent(QDragLeaveEvent *)
{
    externalDragTab_ = nullptr;
    Tabbar *source = dragSource_;
    if (!source)
        return;
    receivingForeignDrag_ = false;
    if (source->currentDragWindow_)
        source->currentDragWindow_->setSnappingTabBar(nullptr);
    dragSource_ = nullptr;
    addTabTab_->show();
    updateHoveringTabNo(noHover);
    reEvaluateTabs(true);
}

void Tabbar::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasFormat(tabDragType)) {
        Tabbar *source = dragSource_;
        if (!source) {
            event->ignore();
            return;
        }
        if (source != this) {
            receivingForeignDrag_ = false;
            addTabTab_->show();
        }
        dragSource_ = nullptr;
        event->setDropAction(Qt::MoveAction);
        event->accept(); // the source moves the tab when its drag ends
        return;
    }
    externalDragTab_ = nullptr;
    if (externalDragType_.isEmpty() || !event->mimeData()->hasFormat(externalDragType_)) {
        event->ignore();
        return;
    }
    if (Tab *tab = tabAt(event->position().toPoint())) {
        event->setAccepted(tab->externalDrop(event->mimeData()));
        return;
    }
    if (delegate_) {
        delegate_->tabBarReceivedExternalDrop(externalDragType_, event->mimeData()->data(externalDragType_));
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}
