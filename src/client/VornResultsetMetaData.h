#pragma once

#include "bridge/QoJavaObject.h"

#include <QList>
#include <QVariantMap>

// The backend's description of a result set's columns ("nl/dalmerik/vorn/VornResultsetMetaData").
class VornResultsetMetaData
{
public:
    explicit VornResultsetMetaData(QoJavaObjectPtr object) : object_(std::move(object)) {}

    // One dictionary per column with at least "name", "label" and "typeName"; empty without an object.
    QList<QVariantMap> columns() const;

private:
    QoJavaObjectPtr object_;
};
