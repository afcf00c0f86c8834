#pragma once

#include <QString>

class QWidget;
class TabbarDelegate;

// The strip of tabs across the top of a tabbed window, as its window controller drives it.
class TabbarView
{
public:
    virtual ~TabbarView() = default;

    virtual QWidget *widget() = 0;
    virtual TabbarDelegate *delegate() const = 0;
    virtual void setDelegate(TabbarDelegate *delegate) = 0;
    // Tabs were added, removed or reordered.
    virtual void reEvaluateTabs() = 0;
    // One tab's title, label or state changed.
    virtual void reEvaluateTab(int index) = 0;
    virtual void fullScreenStateUpdate() = 0;
    // The bar (and its add button) accept drops of this type too.
    virtual void registerForExternalDragType(const QString &type) = 0;
};
