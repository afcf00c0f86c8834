#include "kit/NotifyingScrollView.h"

NotifyingScrollView::NotifyingScrollView(QWidget *parent) : QScrollArea(parent) {}

void NotifyingScrollView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    if (delegate_)
        delegate_->notifyingScrollViewScrolled(this);
}
