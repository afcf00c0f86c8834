#include "resultset/ResultsetSplitView.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <QVariantAnimation>

ResultsetSplitView::ResultsetSplitView(QScrollArea *topPane, QWidget *bottomPane, QWidget *parent)
    : QWidget(parent), topPane_(topPane), bottomPane_(bottomPane)
{
    topPane_->setParent(this);
    bottomPane_->setParent(this);
    topPane_->setFrameShape(QFrame::NoFrame);
    topPane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    topPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

std::pair<int, int> ResultsetSplitView::paneHeights(int height, int wanted)
{
    int bar = wanted;
    if (height - bar < minimumGridHeight) {
        bar = height - minimumGridHeight;
        if (bar < minimumBarHeight)
            bar = minimumBarHeight;
    }
    return {bar, height - bar};
}

int ResultsetSplitView::wantedHeight() const
{
    return quickfilterDisabled_ || !requiredHeight_ ? 0 : requiredHeight_();
}

void ResultsetSplitView::setFrames(int barHeight)
{
    topPane_->setGeometry(0, 0, width(), barHeight);
    bottomPane_->setGeometry(0, barHeight, width(), height() - barHeight);
}

void ResultsetSplitView::resetViewEnableQuickFilter(bool enable, bool animate)
{
    quickfilterDisabled_ = !enable;
    const int bar = paneHeights(height(), wantedHeight()).first;
    if (!animate && animating_ < 1) {
        setFrames(bar);
        return;
    }
    topPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ++animating_;
    auto *animation = new QVariantAnimation(this);
    animation->setDuration(animationMs);
    animation->setStartValue(topPane_->height());
    animation->setEndValue(bar);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { setFrames(value.toInt()); });
    connect(animation, &QVariantAnimation::finished, this, [this, bar] {
        --animating_;
        setFrames(bar);
        // The scroller shows only while the bar is higher than its pane.
        topPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ResultsetSplitView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (animating_ > 0 && (topPane_->geometry() | bottomPane_->geometry()) == rect())
        return;
    setFrames(paneHeights(height(), wantedHeight()).first);
}
