#pragma once

#include "elements/BrowserElement.h"

#include <QString>
#include <QVariant>

// One line of the info column. A null name shows the value alone (messages, long texts); a null value
// shows the name alone (a sub-heading). With an element the line links to that element's
// information; with an action it runs the action (management sessions).
struct InfoItem {
    QString name;
    QString value;
    BrowserElementPtr element;
    QVariant actionRefer;

    static InfoItem itemWithNameValue(const QString &name, const QString &value)
    {
        return {name, value, {}, {}};
    }
};
