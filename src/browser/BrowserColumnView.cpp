#include "browser/BrowserColumnView.h"

#include <QVBoxLayout>

BrowserColumnView::BrowserColumnView(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void BrowserColumnView::setOutlineView(QTreeView *outline)
{
    outlineView_ = outline;
    layout()->addWidget(outline);
}
