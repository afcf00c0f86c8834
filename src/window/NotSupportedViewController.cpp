#include "window/NotSupportedViewController.h"

#include <QLabel>
#include <QVBoxLayout>

NotSupportedViewController::NotSupportedViewController(QObject *parent) : PaneViewController(parent)
{
    QWidget *view = makeFilledView("NotSupported", Qt::white);
    auto *label = new QLabel(tr("Not supported for this database"));
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: #8c8c8c; font-size: 15pt;");
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(label);
    setView(view);
}
