#pragma once

#include <QByteArray>
#include <QString>

class QMenu;
class TabbarView;

// What a tab bar asks of its window controller. Indexes are positions in the window's tab order.
class TabbarDelegate
{
public:
    virtual ~TabbarDelegate() = default;

    virtual int numberOfTabs() const = 0;
    virtual void activateTab(int index) = 0;
    // -1 when the window has no tab.
    virtual int activeTab() const = 0;
    virtual QString titleForTab(int index) const = 0;
    virtual unsigned labelForTab(int index) const = 0;
    virtual bool isDirtyForTab(int index) const = 0;
    virtual bool isBusyForTab(int index) const = 0;
    virtual bool isAlertForTab(int index) const = 0;
    virtual bool isSuccessForTab(int index) const = 0;
    // Moves the tab so that it ends at index `to`.
    virtual void moveTabFrom(int from, int to) = 0;
    virtual void closeTab(int index) = 0;
    virtual void tabShouldBeMovedToOwnWindow(int index) = 0;
    virtual void tabShouldBeDroppedToForeignTabBar(TabbarView *tabBar, int position, int fromPosition,
                                                   TabbarView *ofTabBar) = 0;
    virtual void tabBarMightReceiveDrop(TabbarView *tabBar) = 0;
    // An item of a registered external type was dropped on the bar: its type and raw bytes, to be
    // validated by whoever understands the type.
    virtual void tabBarReceivedExternalDrop(const QString &type, const QByteArray &data) = 0;
    // The context menu of a tab; the caller takes it.
    virtual QMenu *tabWantsContextMenu(int index) = 0;
};
