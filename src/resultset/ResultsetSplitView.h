#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QScrollArea;
class QVariantAnimation;

// Stacks the quick-filter bar over the grid and gives the bar the height it asks for, within limits that
// keep the grid usable: the grid keeps 150 points, and the bar gets at least 30 whenever the grid would
// fall below that. There is no divider to drag; the bar's height changes only through code, animated
// while the user works and at once when a result set loads. Main thread only.
class ResultsetSplitView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int minimumGridHeight = 150;
    static constexpr int minimumBarHeight = 30;
    static constexpr int animationMs = 350;

    // The top pane shows the bar (and scrolls it when it is higher); the bottom pane is the grid's.
    ResultsetSplitView(QScrollArea *topPane, QWidget *bottomPane, QWidget *parent = nullptr);

    // How high the bar wants to be.
    void setRequiredHeight(std::function<int()> requiredHeight)
    {
        requiredHeight_ = std::move(requiredHeight);
    }
    void resetViewEnableQuickFilter(bool enable, bool animate);
    // The bar's and the grid's heights for a split view that high.
    static std::pair<int, int> paneHeights(int height, int wanted);

    int animating() const { return animating_; }
    bool quickfilterDisabled() const { return quickfilterDisabled_; }
    QScrollArea *topPane() const { return topPane_; }
    QWidget *bottomPane() const { return bottomPane_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int wantedHeight() const;
    void setFrames(int barHeight);

    QPointer<QScrollArea> topPane_;
    QPointer<QWidget> bottomPane_;
    std::function<int()> requiredHeight_;
    int animating_ = 0;
    bool quickfilterDisabled_ = false;
};
