#include "client/VornImporterClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

VornImporterClient::VornImporterClient(QoJavaObjectPtr importer) : importer_(std::move(importer)) {}
VornImporterClient::VornImporterClient() = default;
VornImporterClient::~VornImporterClient() = default;

QList<ImportTargetColumn> VornImporterClient::columnsOfTable(const QString &schema, const QString &table)
{
    JavaCall::takeFailure();
    const QVariant answer = JavaCall::send(importer_, QStringLiteral("columnsOfTable::"), {schema, table});
    QList<ImportTargetColumn> columns;
    for (const QVariant &entry : JavaUtils::recursiveCollectionsFromJavaObject(answer).toList()) {
        const QVariantMap column = entry.toMap();
        columns.append({column.value("name").toString(), column.value("type").toString()});
    }
    return columns;
}

bool VornImporterClient::prepareImport(const QString &schema, const QString &table,
                                       const QList<ImportColumnTarget> &columns)
{
    JavaCall::takeFailure();
    QVariantList maps;
    for (const ImportColumnTarget &column : columns) {
        QVariantMap map{{"name", column.name}};
        if (!column.sequenceName.isEmpty())
            map.insert("sequenceName", column.sequenceName);
        maps.append(QVariant::fromValue(JavaUtils::hashtableFromDictionary(map)));
    }
    const QVariant list = QVariant::fromValue(JavaUtils::vectorFromArray(maps));
    return JavaCall::send(importer_, QStringLiteral("prepareImport:::"), {schema, table, list}).toBool();
}

void VornImporterClient::setStopOnError(bool stop)
{
    JavaCall::send(importer_, QStringLiteral("setStopOnError:"), {stop ? 1 : 0});
}

bool VornImporterClient::addRow(const QVariantMap &row)
{
    JavaCall::takeFailure();
    const QVariant map = QVariant::fromValue(JavaUtils::hashtableFromDictionary(row));
    return JavaCall::send(importer_, QStringLiteral("addRow:"), {map}).toBool();
}

int VornImporterClient::addRows(ImportRowPacker &rows)
{
    JavaCall::takeFailure();
    const QVariant taken = JavaCall::send(importer_, QStringLiteral("addRows:"), {rows.take()});
    return taken.isValid() ? taken.toInt() : -1;
}

bool VornImporterClient::closeImport()
{
    JavaCall::takeFailure();
    return JavaCall::send(importer_, QStringLiteral("closeImport")).toBool();
}

QList<RefusedImportRow> VornImporterClient::takeRefusedRows()
{
    const QVariant answer = JavaCall::send(importer_, QStringLiteral("takeRefusedRows"));
    QList<RefusedImportRow> rows;
    for (const QVariant &entry : JavaUtils::recursiveCollectionsFromJavaObject(answer).toList()) {
        const QVariantMap map = entry.toMap();
        rows.append({map.value("row").toLongLong(), map.value("message").toString(),
                     map.value("values").toMap(), map.value("rowsNotWritten").toLongLong()});
    }
    return rows;
}

QString VornImporterClient::qualifiedTableNameFor(const QString &schema, const QString &name)
{
    return JavaCall::send(importer_, QStringLiteral("qualifiedTableNameFor::"), {schema, name}).toString();
}

QString VornImporterClient::qualifiedColumnName(const QString &name)
{
    return JavaCall::send(importer_, QStringLiteral("qualifiedColumnName:"), {name}).toString();
}

QString VornImporterClient::safeColumnValue(const QString &value, const QString &type)
{
    return JavaCall::send(importer_, QStringLiteral("safeColumnValue::"), {value, type}).toString();
}

bool VornImporterClient::supportsSequences()
{
    return JavaCall::send(importer_, QStringLiteral("supportsSequences")).toBool();
}

QStringList VornImporterClient::sequences(const QString &schema)
{
    JavaCall::takeFailure();
    return JavaCall::strings(JavaCall::send(importer_, QStringLiteral("sequences:"), {schema}));
}

QString VornImporterClient::nextValueExpression(const QString &schema, const QString &sequence)
{
    return JavaCall::send(importer_, QStringLiteral("nextValueExpression::"), {schema, sequence}).toString();
}
