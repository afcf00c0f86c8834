#include "resultset/ExtendedFilter.h"

#include "bridge/QoJavaBridge.h"

#include <QDataStream>
#include <QIODevice>
#include <QVariantMap>

namespace
{
const quint32 archiveTag = 0x56455846; // "VEXF"
const quint32 archiveVersion = 1;
const QString columnsKey = QStringLiteral("quickFilterColumns");
const QString operatorsKey = QStringLiteral("quickFilterOperators");
const QString valuesKey = QStringLiteral("quickFilterValues");
const QString sortKey = QStringLiteral("quickFilterSort");
} // namespace

QByteArray ExtendedFilter::archive() const
{
    QVariantList sort;
    for (const QoJavaObjectPtr &sortObject : sort_) {
        sort.append(
            QVariantMap{{"name", sortObject->call("name")}, {"direction", sortObject->call("direction")}});
    }
    QVariantMap keyed;
    keyed.insert(columnsKey, columns_);
    keyed.insert(operatorsKey, operators_);
    keyed.insert(valuesKey, values_);
    keyed.insert(sortKey, sort);

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << archiveTag << archiveVersion << keyed;
    return data;
}

std::shared_ptr<ExtendedFilter> ExtendedFilter::fromArchive(const QByteArray &data, QoJavaBridge *bridge)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 tag = 0;
    quint32 version = 0;
    QVariantMap keyed;
    in >> tag >> version >> keyed;
    if (in.status() != QDataStream::Ok || tag != archiveTag || version != archiveVersion)
        return nullptr;
    auto filter = std::make_shared<ExtendedFilter>();
    const auto list = [&keyed](const QString &key) {
        return keyed.contains(key) ? keyed.value(key).toList() : QVariantList();
    };
    filter->columns_ = list(columnsKey);
    filter->operators_ = list(operatorsKey);
    filter->values_ = list(valuesKey);
    for (const QVariant &entry : list(sortKey)) {
        const QVariantMap sort = entry.toMap();
        QoJavaObjectPtr sortObject = bridge->instanceOfObject(QStringLiteral("nl/dalmerik/vorn/VornSort"));
        if (!sortObject)
            return nullptr;
        sortObject->call("initSort::", {sort.value("name"), sort.value("direction")});
        filter->sort_.append(sortObject);
    }
    return filter;
}
