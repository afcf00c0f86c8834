#include "window/EmptyViewController.h"

EmptyViewController::EmptyViewController(QObject *parent) : PaneViewController(parent)
{
    QWidget *view = makeFilledView("Empty", Qt::white);
    setView(view);
}
