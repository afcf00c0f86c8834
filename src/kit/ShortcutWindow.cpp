#include "kit/ShortcutWindow.h"

#include "kit/ShortcutView.h"

#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

namespace
{

constexpr Qt::WindowFlags ownWindowFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;

} // namespace

ShortcutWindow::ShortcutWindow(QWidget *window, const QRect &frame, bool ownWindow)
    : QWidget(window, ownWindow ? ownWindowFlags : Qt::Widget)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    if (ownWindow) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(frame);
    } else {
        setGeometry(window->rect());
    }
}

void ShortcutWindow::fadeOut()
{
    // The labels fade, not the layer: window opacity means nothing where the desktop does not
    // compose, and a child has none.
    auto *fading = new QParallelAnimationGroup(this);
    for (ShortcutView *label : findChildren<ShortcutView *>()) {
        auto *effect = qobject_cast<QGraphicsOpacityEffect *>(label->graphicsEffect());
        if (!effect)
            continue;
        auto *animation = new QPropertyAnimation(effect, "opacity", fading);
        animation->setDuration(250);
        animation->setEndValue(0.0);
        fading->addAnimation(animation);
    }
    connect(fading, &QAbstractAnimation::finished, this, [this] {
        hide();
        deleteLater();
    });
    fading->start();
}
