#include "browser/InfoColumnView.h"

#include "platform/NotificationCenter.h"

#include <QResizeEvent>
#include <QScrollArea>

namespace
{
QWidget *strip(QWidget *parent, const QString &name, const QColor &colour)
{
    auto *view = new QWidget(parent);
    view->setObjectName(name);
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, colour);
    view->setPalette(palette);
    return view;
}
} // namespace

InfoColumnView::InfoColumnView(QWidget *parent)
    : QWidget(parent), topBar_(strip(this, QStringLiteral("topBar"), QColor::fromRgbF(0.95, 0.95, 0.95))),
      scrollView_(new QScrollArea(this)),
      bottomBar_(strip(this, QStringLiteral("bottomBar"), QColor::fromRgbF(0.93, 0.93, 0.93)))
{
    setObjectName(QStringLiteral("InfoColumnView"));
    scrollView_->setObjectName(QStringLiteral("infoScrollView"));
    scrollView_->setFrameShape(QFrame::NoFrame);
    // The column is read with the pointer; the keyboard stays with the editor when the window opens.
    scrollView_->setFocusPolicy(Qt::NoFocus);
    scrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollView_->setWidgetResizable(false);
    setMinimumWidth(120);
}

void InfoColumnView::setBottomBarShown(bool shown)
{
    bottomBar_->setVisible(shown);
    layOut();
}

void InfoColumnView::layOut()
{
    const int bottom = bottomBar_->isVisibleTo(this) ? bottomBarHeight : 0;
    topBar_->setGeometry(0, 0, width(), topBarHeight);
    scrollView_->setGeometry(0, topBarHeight, width(), std::max(0, height() - topBarHeight - bottom));
    bottomBar_->setGeometry(0, height() - bottom, width(), bottom);
}

void InfoColumnView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
    if (event->size() == size_)
        return;
    size_ = event->size();
    NotificationCenter::defaultCenter().postNotification(sizeChangedNotification, this);
}
