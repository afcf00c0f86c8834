#include "kit/TabDragWindow.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace
{

constexpr Qt::WindowFlags floatingFlags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;

void makeFloating(QWidget *window)
{
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_TransparentForMouseEvents);
}

// An image view that fills its window, scaling the picture proportionally and centring it.
QLabel *pictureIn(QWidget *window)
{
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return label;
}

void showPicture(QLabel *label, const QPixmap &image, const QSize &size)
{
    label->setPixmap(image.isNull() ? image
                                    : image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

TabDragWindow::TabDragWindow(const QRect &contentRect)
    : QWidget(nullptr, floatingFlags), subWindow_(std::make_unique<QWidget>(nullptr, floatingFlags))
{
    makeFloating(this);
    makeFloating(subWindow_.get());
    setGeometry(contentRect);
    tabPicture_ = pictureIn(this);
    windowPicture_ = pictureIn(subWindow_.get());
    // A 4:3 box as wide as the tab, centred on it vertically; invisible until the drag leaves the bars.
    const int height = int(contentRect.width() * 0.25 * 3.0);
    subWindow_->setGeometry(contentRect.x(), int(contentRect.y() + contentRect.height() * 0.5 - height * 0.5),
                            contentRect.width(), height);
    subWindow_->setWindowOpacity(0.0);
}

TabDragWindow::~TabDragWindow() = default;

void TabDragWindow::setTabImage(const QPixmap &image, const QSize &size, qreal)
{
    showPicture(tabPicture_, image, this->size());
    originalWidth_ = float(size.width());
}

void TabDragWindow::setImage(const QPixmap &image, const QSize &size, qreal alpha)
{
    auto *effect = new QGraphicsOpacityEffect(windowPicture_);
    effect->setOpacity(alpha);
    windowPicture_->setGraphicsEffect(effect);
    subWindow_->resize(size);
    showPicture(windowPicture_, image, size);
    placeSubWindow();
    subWindow_->show();
    subWindow_->repaint();
}

void TabDragWindow::placeSubWindow()
{
    const QRect frame = geometry();
    subWindow_->move(frame.x(), int(frame.y() + frame.height() * 0.5 - subWindow_->height() * 0.5));
}

void TabDragWindow::setSnappingTabBar(QWidget *tabBar)
{
    snappingTabBar_ = tabBar;
    setOrigin(pos());
}

QPoint TabDragWindow::snappedOrigin(const QRect &barRect, int width, const QPoint &origin, bool *onTab)
{
    const int bx = barRect.x();
    const int bw = barRect.width();
    const double halfWidth = width * 0.5;
    const bool snaps = std::abs(origin.y() - barRect.y()) < snapDistance && origin.x() > bx - halfWidth &&
                       bx + bw - halfWidth > origin.x();
    *onTab = snaps;
    if (!snaps)
        return origin;
    int x = std::max(bx, origin.x());
    if (x > bx + bw - width)
        x = bx + bw - width;
    return {x, barRect.y()};
}

void TabDragWindow::setOrigin(const QPoint &origin)
{
    bool snapped = false;
    QPoint landed = origin;
    if (snappingTabBar_) {
        const QRect bar(snappingTabBar_->mapToGlobal(QPoint(0, 0)), snappingTabBar_->size());
        landed = snappedOrigin(bar, width(), origin, &snapped);
    }
    setOnTab(snapped);
    move(landed);
    placeSubWindow();
}

void TabDragWindow::fade(QWidget *window, qreal to)
{
    auto *animation = new QPropertyAnimation(window, "windowOpacity", this);
    animation->setDuration(150);
    animation->setEndValue(to);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void TabDragWindow::setOnTab(bool onTab)
{
    if (onTab == onTab_)
        return;
    onTab_ = onTab;
    fade(subWindow_.get(), onTab ? 0.0 : 0.8);
    setWindowOpacity(onTab ? 1.0 : 0.0);
    if (!onTab)
        setSuggestedWidth(originalWidth_);
}
