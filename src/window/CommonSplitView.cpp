#include "window/CommonSplitView.h"
#include "platform/Preferences.h"

#include "kit/AdvancedWindow.h"
#include "kit/ColorBox.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRect>
#include <QResizeEvent>
#include <QVariantAnimation>

#include <cmath>

namespace
{

QVariantList rectToList(const QRect &r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

QRect listToRect(const QVariant &value)
{
    const QVariantList l = value.toList();
    if (l.size() != 4)
        return {};
    return {l[0].toInt(), l[1].toInt(), l[2].toInt(), l[3].toInt()};
}

// The divider between two panes: it paints itself in the palette's border colour and moves
// within the split view's limits when dragged.
class CommonSplitViewHandle : public QSplitterHandle
{
public:
    CommonSplitViewHandle(Qt::Orientation orientation, CommonSplitView *parent)
        : QSplitterHandle(orientation, parent), view_(parent)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), view_->dividerColor());
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            offset_ = pick(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!(event->buttons() & Qt::LeftButton))
            return;
        const QPoint inSplitView = view_->mapFromGlobal(event->globalPosition().toPoint());
        const int divider = view_->indexOf(this) - 1;
        view_->setPosition(view_->constrainSplitPosition(pick(inSplitView) - offset_, divider), divider);
    }
    void mouseReleaseEvent(QMouseEvent *) override {}

private:
    int pick(const QPoint &p) const { return orientation() == Qt::Horizontal ? p.x() : p.y(); }

    CommonSplitView *view_;
    int offset_ = 0;
};

} // namespace

CommonSplitView::CommonSplitView(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(1);
    setChildrenCollapsible(true);
    for (int i = 0; i < 3; ++i)
        addWidget(new QWidget);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setStretchFactor(2, 0);
}

CommonSplitView::~CommonSplitView() = default;

void CommonSplitView::setDimensionRequirements(const int *requirements)
{
    Q_ASSERT_X(requirements, "setDimensionRequirements",
               "requirements is null, make sure to supply a int[5] as parameter");
    if (!requirements)
        return;
    std::copy(requirements, requirements + 5, requirements_.begin());
}

void CommonSplitView::setView(QWidget *view, int index)
{
    Q_ASSERT_X(index >= 0 && index <= 2, "setView", "index>=0 && index<=2");
    if (!view || index < 0 || index > 2)
        return;
    QWidget *old = widget(index);
    if (old == view)
        return;
    const bool hidden = old->isHidden();
    const QList<int> oldSizes = sizes();
    replaceWidget(index, view);
    view->setHidden(hidden);
    setSizes(oldSizes);
    old->hide();
    old->setParent(nullptr);
    old->deleteLater();
}

bool CommonSplitView::viewAEnabled() const
{
    return !viewA()->isHidden();
}

bool CommonSplitView::viewBEnabled() const
{
    return !viewB()->isHidden();
}

void CommonSplitView::setViewAEnabled(bool enabled)
{
    if (animating_ || enabled == viewAEnabled())
        return;
    setCollapsed(!enabled, viewA(), true);
}

void CommonSplitView::setViewBEnabled(bool enabled)
{
    if (animating_ || enabled == viewBEnabled())
        return;
    setCollapsed(!enabled, viewB(), true);
}

void CommonSplitView::setViewAEnabled(bool enabled, bool animate)
{
    if (enabled != viewAEnabled())
        setCollapsed(!enabled, viewA(), animate);
}

void CommonSplitView::setViewBEnabled(bool enabled, bool animate)
{
    if (enabled != viewBEnabled())
        setCollapsed(!enabled, viewB(), animate);
}

int CommonSplitView::extent() const
{
    return orientation() == Qt::Horizontal ? width() : height();
}

int CommonSplitView::extentOf(const QWidget *view) const
{
    return orientation() == Qt::Horizontal ? view->width() : view->height();
}

// Sizes with one side pane at the given extent and the centre taking the rest.
QList<int> CommonSplitView::sizesForSideExtent(int side, int sideExtent) const
{
    QList<int> s = sizes();
    const int total = s[0] + s[1] + s[2];
    s[side] = sideExtent;
    const int other = side == 0 ? 2 : 0;
    s[1] = std::max(0, total - sideExtent - s[other]);
    return s;
}

void CommonSplitView::setCollapsed(bool collapsed, QWidget *view, bool animate)
{
    if (view->isHidden() == collapsed)
        return;
    const int side = indexOf(view);
    if (side != 0 && side != 2)
        return;
    int fullExtent = lastSideExtent_[side];
    if (collapsed) {
        fullExtent = extentOf(view);
        lastSideExtent_[side] = fullExtent;
    } else if (fullExtent <= 0) {
        fullExtent = requirements_[side == 0 ? DefaultA : DefaultB];
    }
    if (!animate) {
        if (collapsed) {
            const QList<int> s = sizesForSideExtent(side, 0);
            view->hide();
            setSizes(s);
        } else {
            view->show();
            setSizes(sizesForSideExtent(side, fullExtent));
        }
        return;
    }
    animating_ = true;
    holdWindow(true);
    if (!collapsed) {
        setSizes(sizesForSideExtent(side, 0));
        view->show();
    }
    delete animation_;
    animation_ = new QVariantAnimation(this);
    animation_->setDuration(DividerAnimationMs);
    animation_->setStartValue(collapsed ? fullExtent : 0);
    animation_->setEndValue(collapsed ? 0 : fullExtent);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this, side](const QVariant &v) { setSizes(sizesForSideExtent(side, v.toInt())); });
    connect(animation_, &QVariantAnimation::finished, this,
            [this, collapsed, view] { finishCollapse(collapsed, view); });
    animation_->start();
}

// While a pane slides, the window keeps its size and does not switch to or from full screen.
void CommonSplitView::holdWindow(bool hold)
{
    QWidget *w = window();
    if (auto *advanced = qobject_cast<AdvancedWindow *>(w))
        advanced->setEnableFullScreen(!hold);
    if (hold) {
        heldMinimum_ = w->minimumSize();
        heldMaximum_ = w->maximumSize();
        w->setFixedSize(w->size());
    } else {
        w->setMinimumSize(heldMinimum_);
        w->setMaximumSize(heldMaximum_);
    }
}

void CommonSplitView::finishCollapse(bool collapsed, QWidget *view)
{
    const int side = indexOf(view);
    if (collapsed) {
        const QList<int> s = sizesForSideExtent(side, 0);
        view->hide();
        setSizes(s);
    } else {
        setSizes(sizesForSideExtent(side, lastSideExtent_[side] > 0
                                              ? lastSideExtent_[side]
                                              : requirements_[side == 0 ? DefaultA : DefaultB]));
    }
    animating_ = false;
    holdWindow(false);
    animation_->deleteLater();
    animation_ = nullptr;
    NotificationCenter::defaultCenter().postNotification("SplitViewUpdates");
}

void CommonSplitView::encodeInferfaceState(QVariantMap &archive) const
{
    Q_ASSERT_X(!identifier_.isEmpty(), "encodeInferfaceState", "View must have a unique identifier");
    if (identifier_.isEmpty())
        return;
    archive.insert(identifier_ + ".frame", rectToList(geometry()));
    archive.insert(identifier_ + "1", !viewAEnabled());
    archive.insert(identifier_ + "2", !viewBEnabled());
    QVariantList frames;
    for (int i = 0; i < count(); ++i)
        frames.append(QVariant(rectToList(widget(i)->geometry())));
    archive.insert(identifier_ + ".subviews", frames);
}

void CommonSplitView::decodeInferfaceState(const QVariantMap &archive)
{
    Q_ASSERT_X(!identifier_.isEmpty(), "decodeInferfaceState", "View must have a unique identifier");
    if (identifier_.isEmpty() || !archive.contains(identifier_ + ".frame"))
        return;
    const QRect savedFrame = listToRect(archive.value(identifier_ + ".frame"));
    const bool aCollapsed = archive.value(identifier_ + "1").toBool();
    const bool bCollapsed = archive.value(identifier_ + "2").toBool();
    const QVariantList frames = archive.value(identifier_ + ".subviews").toList();

    std::array<int, 3> side{requirements_[DefaultA], 0, requirements_[DefaultB]};
    if (savedFrame == geometry() && frames.size() == 3) {
        for (int i : {0, 2}) {
            const QRect r = listToRect(frames[i]);
            side[i] = orientation() == Qt::Horizontal ? r.width() : r.height();
        }
    }
    lastSideExtent_ = side;
    viewA()->setHidden(aCollapsed);
    viewB()->setHidden(bCollapsed);
    const int a = aCollapsed ? 0 : side[0];
    const int b = bCollapsed ? 0 : side[2];
    const int handles = (aCollapsed ? 0 : handleWidth()) + (bCollapsed ? 0 : handleWidth());
    setSizes({a, std::max(0, extent() - a - b - handles), b});
}

void CommonSplitView::setDefaultInterfaceState()
{
    const int a = requirements_[DefaultA];
    const int b = requirements_[DefaultB];
    lastSideExtent_ = {a, 0, b};
    viewA()->setHidden(!UserDefaults::standard().boolForKey(PreferenceKey::startWithBrowserPanel));
    viewB()->setHidden(!UserDefaults::standard().boolForKey(PreferenceKey::startWithInfoPanel));
    setSizes({viewAEnabled() ? a : 0, std::max(0, extent() - a - b), viewBEnabled() ? b : 0});
}

int CommonSplitView::constrainSplitPosition(double proposed, int dividerIndex) const
{
    int position = int(std::floor(proposed));
    const int total = extent();
    const int a = viewAEnabled() ? extentOf(viewA()) : 0;
    const int b = viewBEnabled() ? extentOf(viewB()) : 0;
    if (dividerIndex == 0) {
        position = std::max(position, requirements_[MinimumA]);
        if (position + requirements_[MinimumCenter] + b > total)
            position = total - b - requirements_[MinimumCenter];
    } else if (dividerIndex == 1) {
        position = std::min(position, total - requirements_[MinimumB]);
        if (position < a + requirements_[MinimumCenter] - handleWidth())
            position = a + requirements_[MinimumCenter] - handleWidth();
    }
    return position;
}

void CommonSplitView::setPosition(int position, int dividerIndex)
{
    QList<int> s = sizes();
    if (dividerIndex == 0 && viewAEnabled()) {
        const int a = std::max(0, position);
        s[1] = std::max(0, s[1] + s[0] - a);
        s[0] = a;
    } else if (dividerIndex == 1 && viewBEnabled()) {
        const int before = viewAEnabled() ? s[0] + handleWidth() : 0;
        const int centre = std::max(0, position - before);
        s[2] = std::max(0, s[2] + s[1] - centre);
        s[1] = centre;
    } else {
        return;
    }
    setSizes(s);
}

bool CommonSplitView::shouldAdjustSizeOfSubview(const QWidget *subview) const
{
    return shouldAdjust(indexOf(const_cast<QWidget *>(subview)), sizes());
}

bool CommonSplitView::shouldAdjust(int index, const QList<int> &extents) const
{
    if (growing_ || extents[1] >= requirements_[MinimumCenter])
        return index == 1;
    if (index == 0)
        return extents[0] > requirements_[MinimumA];
    if (index == 2)
        return extents[2] > requirements_[MinimumB];
    return false;
}

void CommonSplitView::resizeEvent(QResizeEvent *event)
{
    const QList<int> oldSizes = sizes();
    const int oldExtent =
        orientation() == Qt::Horizontal ? event->oldSize().width() : event->oldSize().height();
    const int newExtent = extent();
    growing_ = event->size().width() > event->oldSize().width() ||
               event->size().height() > event->oldSize().height();
    QSplitter::resizeEvent(event);
    if (oldExtent <= 0 && newExtent > 0)
        layOutFirstTime();
    else if (newExtent != oldExtent)
        distributeResize(oldSizes, oldExtent);
}

// The first real extent: the side panes take the extents they were given before there was room.
void CommonSplitView::layOutFirstTime()
{
    const int a = viewAEnabled() ? lastSideExtent_[0] : 0;
    const int b = viewBEnabled() ? lastSideExtent_[2] : 0;
    const int handles = (viewAEnabled() ? handleWidth() : 0) + (viewBEnabled() ? handleWidth() : 0);
    if (a > 0 || b > 0)
        setSizes({a, std::max(0, extent() - a - b - handles), b});
}

// Hands a change of the split view's extent to the subviews that take it (the resize rule),
// in proportion to their extents.
void CommonSplitView::distributeResize(const QList<int> &oldSizes, int oldExtent)
{
    int delta = extent() - oldExtent;
    QList<int> s = oldSizes;
    QList<int> takers;
    for (int i = 0; i < 3; ++i) {
        if (!widget(i)->isHidden() && shouldAdjust(i, oldSizes))
            takers.append(i);
    }
    if (takers.isEmpty())
        takers.append(1);
    int takersTotal = 0;
    for (int i : takers)
        takersTotal += std::max(1, s[i]);
    int given = 0;
    for (int k = 0; k < takers.size(); ++k) {
        const int i = takers[k];
        const int share = k + 1 == takers.size() ? delta - given : delta * std::max(1, s[i]) / takersTotal;
        s[i] = std::max(0, s[i] + share);
        given += share;
    }
    setSizes(s);
}

QSplitterHandle *CommonSplitView::createHandle()
{
    return new CommonSplitViewHandle(orientation(), this);
}

QColor CommonSplitView::dividerColor() const
{
    return ColorBox::colors().forView(this).paneBorder;
}
