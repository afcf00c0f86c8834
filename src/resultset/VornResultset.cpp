#include "resultset/VornResultset.h"

#include "bridge/JavaUtils.h"
#include "resultset/VornResultsetMetaData.h"

namespace
{
QStringList stringsOf(const QVariant &vector)
{
    QStringList strings;
    for (const QVariant &element : JavaUtils::arrayFromVector(vector.value<QoJavaObjectPtr>()))
        strings.append(element.toString());
    return strings;
}
} // namespace

VornResultset::VornResultset(QoJavaObjectPtr object) : object_(std::move(object))
{
    Q_ASSERT_X(object_, "VornResultset", "A result set needs its backend object");
}

std::shared_ptr<VornResultset> VornResultset::fromVariant(const QVariant &value)
{
    const QoJavaObjectPtr object = value.value<QoJavaObjectPtr>();
    return object ? std::make_shared<VornResultset>(object) : nullptr;
}

qint32 VornResultset::rowCount() const
{
    return object_->call("rowCount").toInt();
}

bool VornResultset::fullyLoaded() const
{
    return object_->call("fullyLoaded").toBool();
}

void VornResultset::preload() const
{
    object_->call("preload");
}

QoJavaObjectPtr VornResultset::getRow(qint32 row) const
{
    return object_->call("getRow:", {row}).value<QoJavaObjectPtr>();
}

QVariant VornResultset::cell(const QoJavaObjectPtr &row, const QString &columnName)
{
    return row ? row->call("get:", {columnName}) : QVariant();
}

QStringList VornResultset::columnNames() const
{
    std::call_once(columnsRead_, [this] {
        columnNames_ = stringsOf(object_->call("columnNames"));
        columnLabels_ = stringsOf(object_->call("columnLabels"));
    });
    return columnNames_;
}

QStringList VornResultset::columnLabels() const
{
    columnNames();
    return columnLabels_;
}

QString VornResultset::tableName() const
{
    return object_->call("tableName").toString();
}

QString VornResultset::resultSetDescription() const
{
    return object_->call("resultSetDescription").toString();
}

QString VornResultset::selectStatement() const
{
    return object_->call("selectStatement").toString();
}

bool VornResultset::readOnly() const
{
    return object_->call("readOnly").toBool();
}

QString VornResultset::readOnlyReason() const
{
    return object_->call("readOnlyReason").toString();
}

QStringList VornResultset::searchableColumnNames() const
{
    return stringsOf(object_->call("searchableColumnNames"));
}

QString VornResultset::primaryColumnTypeForColumn(const QString &columnName) const
{
    return object_->call("primaryColumnTypeForColumn:", {columnName}).toString();
}

VornResultsetMetaData VornResultset::resultsetMetaData() const
{
    return VornResultsetMetaData(object_->call("resultsetMetaData").value<QoJavaObjectPtr>());
}

QoJavaObjectPtr VornResultset::root() const
{
    return object_->call("root").value<QoJavaObjectPtr>();
}
