#include "client/VornResultsetMetaData.h"
#include "client/JavaCall.h"

#include "bridge/JavaUtils.h"

QList<QVariantMap> VornResultsetMetaData::columns() const
{
    QList<QVariantMap> columns;
    if (!object_)
        return columns;
    const QVariantList list =
        JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(object_, QStringLiteral("columns")))
            .toList();
    for (const QVariant &column : list)
        columns.append(column.toMap());
    return columns;
}
