#pragma once

#include <QString>
#include <QStringList>

class FeaturedToolbar;
class ToolbarItem;

// What a FeaturedToolbar asks of the object that supplies its items.
class ToolbarDelegate
{
public:
    virtual ~ToolbarDelegate() = default;
    // The item for an identifier, or null for an unknown one. An item the delegate makes anew
    // should have the toolbar as parent: the toolbar deletes such items when it removes them.
    virtual ToolbarItem *itemForItemIdentifier(FeaturedToolbar *toolbar, const QString &identifier,
                                               bool willBeInserted) = 0;
    virtual QStringList allowedItemIdentifiers(FeaturedToolbar *toolbar) = 0;
    virtual QStringList defaultItemIdentifiers(FeaturedToolbar *toolbar) = 0;
};
