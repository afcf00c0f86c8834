#include "resultset/VornResultsetMetaData.h"

#include "bridge/JavaUtils.h"

QList<QVariantMap> VornResultsetMetaData::columns() const
{
    QList<QVariantMap> columns;
    if (!object_)
        return columns;
    const QVariantList list =
        JavaUtils::recursiveCollectionsFromJavaObject(object_->call("columns")).toList();
    for (const QVariant &column : list)
        columns.append(column.toMap());
    return columns;
}
