#include "resultset/ExtendedFilter.h"

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
const QString sortNameKey = QStringLiteral("name");
const QString sortDirectionKey = QStringLiteral("direction");

// As the backend takes a sort's direction: anything but "DESC", in any case, sorts ascending.
QString storedDirection(const QVariant &direction)
{
    const bool descending = direction.toString().compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
    return descending ? QStringLiteral("DESC") : QStringLiteral("ASC");
}
} // namespace

QByteArray ExtendedFilter::archive() const
{
    QVariantList sort;
    for (const VornSort &entry : sort_)
        sort.append(QVariantMap{{sortNameKey, entry.name}, {sortDirectionKey, entry.direction}});
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

std::shared_ptr<ExtendedFilter> ExtendedFilter::fromArchive(const QByteArray &data)
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
        filter->sort_.append(
            {sort.value(sortNameKey).toString(), storedDirection(sort.value(sortDirectionKey))});
    }
    return filter;
}
