#pragma once

#include "elements/BrowserElement.h"

#include <QVariant>

// What a row of the info column asks of the column: open a referred object, run an action, change the
// favourite mark.
class InfoColumnDataViewDelegate
{
public:
    virtual ~InfoColumnDataViewDelegate() = default;
    virtual void shouldReferTo(const BrowserElementPtr &element) = 0;
    virtual void shouldReferToAction(const QVariant &action) = 0;
    virtual void shouldChangeFavouriteStatusTo(bool favourite) = 0;
};
