#include "kit/TabDragWindow.h"

#include <QFrame>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace
{

constexpr Qt::WindowFlags floatingFlags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;

void makeFloating(QWidget *window, bool translucent)
{
    window->setAttribute(Qt::WA_TranslucentBackground, translucent);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_TransparentForMouseEvents);
}

// The window picture's own window: clear where the desktop composes it, else an opaque framed box.
std::unique_ptr<QWidget> makeSubWindow(bool translucent)
{
    auto window = std::make_unique<QFrame>(nullptr, floatingFlags);
    makeFloating(window.get(), translucent);
    if (!translucent) {
        window->setFrameStyle(QFrame::Box | QFrame::Plain);
        window->setAutoFillBackground(true);
    }
    return window;
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

TabDragWindow::TabDragWindow(const QRect &contentRect, bool translucent)
    : QWidget(nullptr, floatingFlags), translucent_(translucent), subWindow_(makeSubWindow(translucent))
{
    makeFloating(this, translucent);
    setGeometry(contentRect);
    tabPicture_ = pictureIn(this);
    windowPicture_ = pictureIn(subWindow_.get());
    // A 4:3 box as wide as the tab, centred on it vertically; invisible until the drag leaves the bars.
    const int height = int(contentRect.width() * 0.25 * 3.0);
    subWindow_->setGeometry(contentRect.x(), int(contentRect.y() + contentRect.height() * 0.5 - height * 0.5),
                            contentRect.width(), height);
    if (translucent_)
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
    // An opaque window cannot fade as a whole: its picture takes the window's alpha as well.
    effect->setOpacity(translucent_ ? alpha : alpha * offTabAlpha);
    windowPicture_->setGraphicsEffect(effect);
    subWindow_->resize(size);
    showPicture(windowPicture_, image, subWindow_->contentsRect().size());
    placeSubWindow();
    showPictures();
    subWindow_->repaint();
}

void TabDragWindow::orderFront()
{
    orderedFront_ = true;
    showPictures();
}

void TabDragWindow::showPictures()
{
    if (!orderedFront_)
        return;
    if (translucent_) {
        // Both stay on screen; their alpha decides which one shows.
        show();
        subWindow_->show();
        return;
    }
    setVisible(onTab_);
    subWindow_->setVisible(!onTab_);
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
    if (translucent_) {
        fade(subWindow_.get(), onTab ? 0.0 : offTabAlpha);
        setWindowOpacity(onTab ? 1.0 : 0.0);
    } else {
        showPictures();
    }
    if (!onTab)
        setSuggestedWidth(originalWidth_);
}
