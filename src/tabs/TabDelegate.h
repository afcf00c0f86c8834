#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

class QMenu;
class Tab;

// What a tab asks of its bar.
class TabDelegate
{
public:
    virtual ~TabDelegate() = default;
    virtual void tabWantsToClose(Tab *tab) = 0;
    virtual void tabWantsToActivate(Tab *tab) = 0;
    virtual void tabWantsToShowExtendedTabsWithEvent(const QPoint &globalPosition) = 0;
    virtual void tabWantsToAddTab() = 0;
    virtual void tabMightReceiveDrop(Tab *tab) = 0;
    virtual void tabReceivedExternalDrop(const QString &type, const QByteArray &data) = 0;
    // The caller takes the menu.
    virtual QMenu *tabWantsContextMenu(Tab *tab) = 0;
};
