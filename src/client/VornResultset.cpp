#include "client/VornResultset.h"
#include "client/JavaCall.h"

#include "bridge/JavaUtils.h"
#include "client/VornResultsetMetaData.h"

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
    return JavaCall::send(object_, QStringLiteral("rowCount")).toInt();
}

bool VornResultset::fullyLoaded() const
{
    return JavaCall::send(object_, QStringLiteral("fullyLoaded")).toBool();
}

void VornResultset::preload() const
{
    JavaCall::takeFailure(); // the outcome is this preload's alone
    JavaCall::send(object_, QStringLiteral("preload"));
}

QoJavaObjectPtr VornResultset::getRow(qint32 row) const
{
    return JavaCall::send(object_, QStringLiteral("getRow:"), {row}).value<QoJavaObjectPtr>();
}

QVariantMap VornResultset::rowValues(qint32 row) const
{
    return JavaUtils::dictionaryFromHashtable(getRow(row));
}

QVariant VornResultset::cell(const QoJavaObjectPtr &row, const QString &columnName)
{
    return row ? JavaCall::send(row, QStringLiteral("get:"), {columnName}) : QVariant();
}

QStringList VornResultset::columnNames() const
{
    std::call_once(columnsRead_, [this] {
        columnNames_ = stringsOf(JavaCall::send(object_, QStringLiteral("columnNames")));
        columnLabels_ = stringsOf(JavaCall::send(object_, QStringLiteral("columnLabels")));
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
    return JavaCall::send(object_, QStringLiteral("tableName")).toString();
}

QString VornResultset::resultSetDescription() const
{
    return JavaCall::send(object_, QStringLiteral("resultSetDescription")).toString();
}

QString VornResultset::selectStatement() const
{
    return JavaCall::send(object_, QStringLiteral("selectStatement")).toString();
}

bool VornResultset::readOnly() const
{
    return JavaCall::send(object_, QStringLiteral("readOnly")).toBool();
}

QString VornResultset::readOnlyReason() const
{
    return JavaCall::send(object_, QStringLiteral("readOnlyReason")).toString();
}

QStringList VornResultset::searchableColumnNames() const
{
    return stringsOf(JavaCall::send(object_, QStringLiteral("searchableColumnNames")));
}

QString VornResultset::primaryColumnTypeForColumn(const QString &columnName) const
{
    return JavaCall::send(object_, QStringLiteral("primaryColumnTypeForColumn:"), {columnName}).toString();
}

VornResultsetMetaData VornResultset::resultsetMetaData() const
{
    return VornResultsetMetaData(
        JavaCall::send(object_, QStringLiteral("resultsetMetaData")).value<QoJavaObjectPtr>());
}
