#include "window/ContentSplitView.h"

#include "platform/NotificationCenter.h"
#include "window/WindowLog.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QVBoxLayout>

ContentSplitView::ContentSplitView(QWidget *parent) : CommonSplitView(Qt::Vertical, parent)
{
    static const int requirements[5] = {200, 100, 100, 100, 200};
    setDimensionRequirements(requirements);
    setIdentifier("ContentSplitView");
    auto *centre = new QWidget;
    auto *layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setView(centre, 1);
    viewA()->hide();
    viewB()->hide();
}

void ContentSplitView::setViewAEnabled(bool enabled)
{
    CommonSplitView::setViewAEnabled(enabled);
    if (enabled)
        NotificationCenter::defaultCenter().postNotification("ContentSplitViewABecameVisible");
}

void ContentSplitView::setViewBEnabled(bool enabled)
{
    CommonSplitView::setViewBEnabled(enabled);
    if (enabled)
        NotificationCenter::defaultCenter().postNotification("ContentSplitViewBBecameVisible");
}

void ContentSplitView::setDefaultInterfaceState()
{
    CommonSplitView::setDefaultInterfaceState();
    viewA()->hide();
    viewB()->hide();
    setSizes({0, extent(), 0});
}

void ContentSplitView::setContentView(QWidget *view, bool animate)
{
    if (!view) {
        qCWarning(lcWindow, "no content view to show");
        return;
    }
    if (view == content_)
        return;
    auto *layout = static_cast<QVBoxLayout *>(viewCenter()->layout());
    if (content_) {
        layout->removeWidget(content_);
        content_->hide();
    }
    content_ = view;
    layout->addWidget(view);
    view->show();
    if (!animate)
        return;
    auto *effect = new QGraphicsOpacityEffect(view);
    view->setGraphicsEffect(effect);
    auto *fade = new QPropertyAnimation(effect, "opacity", view);
    fade->setDuration(ContentAnimationMs);
    fade->setEasingCurve(QEasingCurve::InQuad);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    connect(fade, &QPropertyAnimation::finished, view, [view] { view->setGraphicsEffect(nullptr); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}
