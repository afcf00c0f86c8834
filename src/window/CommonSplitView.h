#pragma once

#include <QSplitter>
#include <QVariantMap>

#include <array>

class QVariantAnimation;

// A three-pane split view: side panes A (index 0) and B (index 2) collapse and expand with a
// sliding animation, the centre (index 1) never collapses. A side pane is collapsed exactly when
// its view is hidden. Minimum sizes hold while the user drags a divider or resizes the window,
// and the positions are saved per tab under the view's identifier.
class CommonSplitView : public QSplitter
{
    Q_OBJECT
public:
    enum Requirement { DefaultA, DefaultB, MinimumA, MinimumB, MinimumCenter };
    static constexpr int DividerAnimationMs = 250;

    explicit CommonSplitView(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~CommonSplitView() override;

    // {default A, default B, minimum A, minimum B, minimum centre}, along the split axis.
    void setDimensionRequirements(const int *requirements);
    int requirement(Requirement which) const { return requirements_[which]; }

    // Key prefix of the saved state; every split view that saves state needs one.
    QString identifier() const { return identifier_; }
    void setIdentifier(const QString &identifier) { identifier_ = identifier; }

    QWidget *viewA() const { return widget(0); }
    QWidget *viewCenter() const { return widget(1); }
    QWidget *viewB() const { return widget(2); }
    // Replaces subview 0, 1 or 2; the new view takes the old one's place and size.
    void setView(QWidget *view, int index);

    bool viewAEnabled() const;
    bool viewBEnabled() const;
    // Animated; ignored while an animation runs or when the side already has that state.
    virtual void setViewAEnabled(bool enabled);
    virtual void setViewBEnabled(bool enabled);
    void setViewAEnabled(bool enabled, bool animate);
    void setViewBEnabled(bool enabled, bool animate);
    void setCollapsed(bool collapsed, QWidget *view, bool animate = true);
    bool isAnimating() const { return animating_; }
    bool isGrowing() const { return growing_; }

    void encodeInferfaceState(QVariantMap &archive) const;
    void decodeInferfaceState(const QVariantMap &archive);
    virtual void setDefaultInterfaceState();

    // Extent = width side by side, height when stacked.
    int extent() const;
    int extentOf(const QWidget *view) const;
    // Where a dragged divider (0 between A and centre, 1 between centre and B) may go.
    int constrainSplitPosition(double proposed, int dividerIndex) const;
    // Moves a divider to a position along the split axis, as a drag there would.
    void setPosition(int position, int dividerIndex);
    // Whether a subview takes a change of the split view's size.
    bool shouldAdjustSizeOfSubview(const QWidget *subview) const;

    QColor dividerColor() const;
    void windowKeyChanged() { update(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    QSplitterHandle *createHandle() override;

private:
    void finishCollapse(bool collapsed, QWidget *view);
    void holdWindow(bool hold);
    QList<int> sizesForSideExtent(int side, int sideExtent) const;
    bool shouldAdjust(int index, const QList<int> &extents) const;
    void layOutFirstTime();
    void distributeResize(const QList<int> &oldSizes, int oldExtent);

    std::array<int, 5> requirements_{100, 100, 100, 100, 100};
    QString identifier_;
    bool animating_ = false;
    bool growing_ = false;
    std::array<int, 3> lastSideExtent_{0, 0, 0};
    QVariantAnimation *animation_ = nullptr;
    QSize heldMinimum_;
    QSize heldMaximum_;
};
