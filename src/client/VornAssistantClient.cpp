#include "client/VornAssistantClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"
#include "client/VornRootClient.h"

std::shared_ptr<VornAssistantClient> VornAssistantClient::ofRoot(const VornRootClient &root)
{
    QoJavaObjectPtr assistant = JavaCall::object(root.object(), QStringLiteral("assistant"));
    return assistant ? std::make_shared<VornAssistantClient>(std::move(assistant)) : nullptr;
}

VornAssistantClient::VornAssistantClient(QoJavaObjectPtr assistant) : assistant_(std::move(assistant)) {}
VornAssistantClient::VornAssistantClient() = default;
VornAssistantClient::~VornAssistantClient() = default;

QVariant VornAssistantClient::send(const char *selector, const QVariantList &args) const
{
    return JavaCall::send(assistant_, QString::fromLatin1(selector), args);
}

namespace
{

// A null string crosses as Java null; QString would cross as "".
QVariant orNull(const QString &text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace

QStringList VornAssistantClient::types() const
{
    return JavaCall::strings(send("types"));
}

QString VornAssistantClient::defaultColumnType() const
{
    return send("defaultColumnType").toString();
}

bool VornAssistantClient::supportsAutoNumber() const
{
    return send("supportsAutoNumber").toBool();
}

QString VornAssistantClient::autoNumberClause() const
{
    return send("autoNumberClause").toString();
}

bool VornAssistantClient::showSize(const QString &type) const
{
    return send("showSize:", {type}).toBool();
}

bool VornAssistantClient::showPrecision(const QString &type) const
{
    return send("showPrecision:", {type}).toBool();
}

bool VornAssistantClient::requireSize(const QString &type) const
{
    return send("requireSize:", {type}).toBool();
}

bool VornAssistantClient::constraintsSupportConditions() const
{
    return send("constraintsSupportConditions").toBool();
}

bool VornAssistantClient::constraintsSupportForeignKeys() const
{
    return send("constraintsSupportForeignKeys").toBool();
}

bool VornAssistantClient::indexesSupportBitmap() const
{
    return send("indexesSupportBitmap").toBool();
}

bool VornAssistantClient::indexesAreLocalOnTable() const
{
    return send("indexesAreLocalOnTable").toBool();
}

bool VornAssistantClient::indexesSupportDirection() const
{
    return send("indexesSupportDirection").toBool();
}

QString VornAssistantClient::identifierQuoteString() const
{
    return send("identifierQuoteString").toString();
}

QStringList VornAssistantClient::advancedOptions() const
{
    return JavaCall::strings(send("advancedOptions"));
}

QStringList VornAssistantClient::advancedIndexOptions() const
{
    return JavaCall::strings(send("advancedIndexOptions"));
}

QStringList VornAssistantClient::advancedConstraintOptions() const
{
    return JavaCall::strings(send("advancedConstraintOptions"));
}

QStringList VornAssistantClient::choicesForAdvancedOption(const QString &option) const
{
    return JavaCall::strings(send("choicesForAdvancedOption:", {option}));
}

QString VornAssistantClient::scriptForOptions(const QVariantMap &options) const
{
    return send("scriptForOptions3:", {options}).toString();
}

QString VornAssistantClient::scriptForIndexOptions(const QVariantMap &options) const
{
    return send("scriptForIndexOptions3:", {options}).toString();
}

QString VornAssistantClient::scriptForConstraintOptions(const QVariantMap &options) const
{
    return send("scriptForConstraintOptions3:", {options}).toString();
}

QString VornAssistantClient::commentSql(const QString &qualifiedTable, const QString &comment) const
{
    return send("commentSql::", {qualifiedTable, comment}).toString();
}

QString VornAssistantClient::quotedIdentifier(const QString &name) const
{
    return send("quotedIdentifier:", {name}).toString();
}

QString VornAssistantClient::indexedTableName(const QString &schema, const QString &table) const
{
    return send("indexedTableName::", {schema, table}).toString();
}

QList<PrimaryKeyColumn> VornAssistantClient::primaryKeysForSchemaTable(const QString &schema,
                                                                       const QString &table)
{
    QList<PrimaryKeyColumn> keys;
    const QVariant found = send("primaryKeysForSchemaTable::", {schema, orNull(table)});
    for (const QVariant &entry : JavaUtils::recursiveCollectionsFromJavaObject(found).toList()) {
        const QVariantMap key = entry.toMap();
        keys.append({key.value(QStringLiteral("schema")).toString(),
                     key.value(QStringLiteral("table")).toString(),
                     key.value(QStringLiteral("column")).toString()});
    }
    return keys;
}

QStringList VornAssistantClient::searchableColumnNamesForSchemaAndTable(const QString &schema,
                                                                        const QString &table)
{
    return JavaCall::strings(send("searchableColumnNamesForSchemaAndTable::", {schema, table}));
}

ScriptOutcome VornAssistantClient::executeScript(const QStringList &statements)
{
    JavaCall::takeFailure(); // the outcome is this script's alone
    const int standing = send("executeScript:", {statements}).toInt();
    const QString bridgeFailure = JavaCall::takeFailure();
    if (!bridgeFailure.isNull())
        return {BackendOutcome::failure(bridgeFailure), 0};
    const QoJavaObjectPtr root = JavaCall::object(assistant_, QStringLiteral("root"));
    if (JavaCall::send(root, QStringLiteral("lastActionSuccessful")).toBool())
        return {BackendOutcome::success(), standing};
    const QString message = JavaCall::send(root, QStringLiteral("lastErrorMessage")).toString();
    const QString failure = JavaCall::takeFailure();
    return {BackendOutcome::failure(failure.isNull() ? message : failure), standing};
}
