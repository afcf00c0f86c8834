#pragma once

#include <QIcon>
#include <QString>

// What the status bar shows of the browser's selected element: its name and its type's icon.
class StatusBarElement
{
public:
    virtual ~StatusBarElement() = default;
    virtual QString name() const = 0;
    virtual QIcon icon() const = 0;
};
