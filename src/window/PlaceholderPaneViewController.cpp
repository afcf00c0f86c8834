#include "window/PlaceholderPaneViewController.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderPaneViewController::PlaceholderPaneViewController(const QString &name, QObject *parent)
    : PaneViewController(parent)
{
    QWidget *view = makeFilledView(name, QColor(0xf6, 0xf6, 0xf6));
    auto *label = new QLabel(name);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: #a0a0a0;");
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    setView(view);
}
