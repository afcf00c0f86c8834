#include "kit/TransparentWindow.h"

TransparentWindow::TransparentWindow(const QRect &contentRect, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    if (contentRect.isValid())
        setGeometry(contentRect);
}
