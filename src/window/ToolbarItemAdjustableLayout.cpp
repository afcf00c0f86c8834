#include "window/ToolbarItemAdjustableLayout.h"

#include "window/FeaturedToolbar.h"

ToolbarItemAdjustableLayout::ToolbarItemAdjustableLayout(const QString &identifier, QObject *parent)
    : ToolbarItem(identifier, new QWidget, parent)
{
    setItemSize(QSize(int(MinimumWidth), int(MinimumWidth)));
    view()->setAttribute(Qt::WA_TransparentForMouseEvents);
}

ToolbarItemAdjustableLayout::~ToolbarItemAdjustableLayout()
{
    stopObserving();
}

void ToolbarItemAdjustableLayout::stopObserving()
{
    if (observer_)
        NotificationCenter::defaultCenter().removeObserver(observer_);
    observer_ = 0;
}

void ToolbarItemAdjustableLayout::setSplitView(QSplitter *splitView)
{
    stopObserving();
    splitView_ = splitView;
    if (splitView)
        observer_ = NotificationCenter::defaultCenter().addObserver(
            "SplitViewUpdates", splitView, [this](const Notification &) { synchronizeWidth(); });
}

double ToolbarItemAdjustableLayout::width() const
{
    return view()->minimumWidth();
}

double ToolbarItemAdjustableLayout::widthFor(const Geometry &g)
{
    const double w = g.width;
    double desired = synchronizeLeftSide_ ? w + g.itemLeft - g.paneLeft - 2 : g.paneLeft - g.itemLeft - 2;
    const double reference = g.paneOrAncestorHidden ? g.windowWidth : g.paneLeft;
    if (g.allItemsVisible && w > MinimumWidth && reference - w < minimumSupportedRestWidth_)
        minimumSupportedRestWidth_ = float(reference - w);
    const double limit = reference - minimumSupportedRestWidth_;
    if (limit < desired && limit > MinimumWidth)
        desired = MinimumWidth;
    double result = desired;
    if (desired < MinimumWidth || g.paneHidden || g.itemOrAncestorHidden || !g.allItemsVisible)
        result = MinimumWidth;
    return std::min(result, MaximumWidth);
}

void ToolbarItemAdjustableLayout::synchronizeWidth()
{
    FeaturedToolbar *bar = toolbar();
    if (!bar || !bar->isVisible() || !splitView_ || !splitView_->window()->isVisible())
        return;
    QWidget *pane = splitView_->widget(int(dividerIndex_ + 1));
    if (!pane)
        return;
    QWidget *item = view();
    const QWidget *window = splitView_->window();
    Geometry g;
    g.width = width();
    g.paneLeft = pane->mapToGlobal(QPoint(0, 0)).x();
    g.itemLeft = item->mapToGlobal(QPoint(0, 0)).x();
    g.windowWidth = window->width();
    g.paneHidden = pane->isHidden();
    g.paneOrAncestorHidden = !pane->isVisibleTo(window) || !pane->isVisible();
    g.itemOrAncestorHidden = !item->isVisible();
    g.allItemsVisible = bar->allItemsVisible();
    const double result = widthFor(g);
    if (int(result) != int(g.width))
        setItemSize(QSize(int(result), int(MinimumWidth)));
}

void ToolbarItemAdjustableLayout::validate()
{
    synchronizeWidth();
}
