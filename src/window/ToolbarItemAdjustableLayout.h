#pragma once

#include "platform/NotificationCenter.h"
#include "window/ToolbarItem.h"

#include <QPointer>
#include <QSplitter>

// An invisible spacer whose width follows a split view's divider, so that the toolbar items
// after it line up with a pane of the window. Its width stays within MinimumWidth..MaximumWidth.
class ToolbarItemAdjustableLayout : public ToolbarItem
{
    Q_OBJECT
public:
    static constexpr double MinimumWidth = 10;
    static constexpr double MaximumWidth = 200;

    // The screen facts one width computation works from.
    struct Geometry {
        double width;    // current width W
        double itemLeft; // Xi
        double paneLeft; // Xp
        double windowWidth;
        bool paneOrAncestorHidden;
        bool paneHidden;
        bool itemOrAncestorHidden;
        bool allItemsVisible; // nothing in the overflow menu
    };

    explicit ToolbarItemAdjustableLayout(const QString &identifier, QObject *parent = nullptr);
    ~ToolbarItemAdjustableLayout() override;

    QSplitter *splitView() const { return splitView_; }
    void setSplitView(QSplitter *splitView);
    qint64 dividerIndex() const { return dividerIndex_; }
    void setDividerIndex(qint64 index) { dividerIndex_ = index; }
    bool synchronizeLeftSide() const { return synchronizeLeftSide_; }
    void setSynchronizeLeftSide(bool left) { synchronizeLeftSide_ = left; }
    float minimumSupportedRestWidth() const { return minimumSupportedRestWidth_; }
    void setMinimumSupportedRestWidth(float width) { minimumSupportedRestWidth_ = width; }
    double width() const;

    // The width the spacer should take; learns the smallest rest width the other items need.
    double widthFor(const Geometry &g);
    void synchronizeWidth();
    void validate() override;

private:
    void stopObserving();

    QPointer<QSplitter> splitView_;
    qint64 dividerIndex_ = 0;
    bool synchronizeLeftSide_ = false;
    float minimumSupportedRestWidth_ = 4000;
    NotificationCenter::ObserverId observer_ = 0;
};
