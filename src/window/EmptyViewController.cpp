#include "window/EmptyViewController.h"

EmptyViewController::EmptyViewController(QObject *parent) : PaneViewController(parent)
{
    auto *view = new QWidget;
    view->setObjectName("Empty");
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, Qt::white);
    view->setPalette(palette);
    setView(view);
}
