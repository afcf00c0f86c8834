#pragma once

#include "elements/BrowserElement.h"

#include <QString>

class QWidget;

// What the browser's menus ask of the document's definitions (DDL) controller: which objects may be
// truncated, dropped or created, and the commands, which confirm on the window themselves.
class BrowserDefinitionActions
{
public:
    virtual ~BrowserDefinitionActions() = default;
    virtual bool canTruncate(const BrowserElementPtr &element) const = 0;
    virtual bool canDrop(const BrowserElementPtr &element) const = 0;
    virtual void truncate(const BrowserElementPtr &element, QWidget *window) = 0;
    virtual void drop(const BrowserElementPtr &element, QWidget *window) = 0;
    // The connection's database can create objects of the type ("TABLE", "INDEX", ...).
    virtual bool supportCreateNew(const QString &type) const = 0;
    virtual bool canCreateNew(const QString &type) const = 0;
    virtual void createNew(const QString &type, QWidget *window) = 0;
};
