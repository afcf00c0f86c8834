#pragma once

#include "bridge/QoJavaObject.h"

#include <QList>
#include <QString>

// One sort of a result set, as the backend's "nl/dalmerik/vorn/VornSort" holds it.
struct VornSort {
    QString name;
    // "ASC" or "DESC".
    QString direction;

    bool ascending() const { return direction == QLatin1String("ASC"); }
    bool operator==(const VornSort &) const = default;

    // The sorts of a Java Vector of VornSort objects.
    static QList<VornSort> fromJavaVector(const QoJavaObjectPtr &vector);
    // A new backend sort object; null without a VM.
    QoJavaObjectPtr toJava() const;
};
