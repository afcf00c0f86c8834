#include "client/VornBrowserClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

VornBrowserClient::VornBrowserClient(QoJavaObjectPtr browser) : browser_(std::move(browser)) {}
VornBrowserClient::VornBrowserClient() = default;
VornBrowserClient::~VornBrowserClient() = default;

QVariantList VornBrowserClient::list(const char *selector) const
{
    return JavaUtils::recursiveCollectionsFromJavaObject(
               JavaCall::send(browser_, QString::fromLatin1(selector)))
        .toList();
}

QString VornBrowserClient::selectedSchema() const
{
    return JavaCall::send(browser_, QStringLiteral("selectedSchema")).toString();
}

bool VornBrowserClient::canStopStoppableStatement() const
{
    return JavaCall::send(browser_, QStringLiteral("canStopStoppableStatement")).toBool();
}

void VornBrowserClient::stopStoppableStatement()
{
    JavaCall::send(browser_, QStringLiteral("stopStoppableStatement"));
}

void VornBrowserClient::refresh()
{
    JavaCall::takeFailure(); // the outcome is this refresh's alone
    JavaCall::send(browser_, QStringLiteral("refresh"));
}

QString VornBrowserClient::name() const
{
    return JavaCall::send(browser_, QStringLiteral("name")).toString();
}

QString VornBrowserClient::schema() const
{
    return JavaCall::send(browser_, QStringLiteral("schema")).toString();
}

QString VornBrowserClient::type() const
{
    return JavaCall::send(browser_, QStringLiteral("type")).toString();
}

QString VornBrowserClient::filter() const
{
    return JavaCall::send(browser_, QStringLiteral("filter")).toString();
}

QList<VornSort> VornBrowserClient::sort() const
{
    return VornSort::fromJavaVector(JavaCall::object(browser_, QStringLiteral("sort")));
}

QVariantList VornBrowserClient::quickFilterColumnInfo() const
{
    return list("quickFilterColumnInfo");
}

QVariantList VornBrowserClient::quickFilterColumns() const
{
    return list("quickFilterColumns");
}

QVariantList VornBrowserClient::quickFilterOperators() const
{
    return list("quickFilterOperators");
}

std::optional<QVariantList> VornBrowserClient::quickFilterValues() const
{
    const QVariant values = JavaCall::send(browser_, QStringLiteral("quickFilterValues"));
    if (!values.isValid())
        return std::nullopt;
    return JavaUtils::recursiveCollectionsFromJavaObject(values).toList();
}

namespace
{

QString s(const char *selector)
{
    return QString::fromLatin1(selector);
}

// A null string crosses as Java null ("any", "the selected one"); QString would cross as "".
QVariant orNull(const QString &text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

QList<QVariantMap> maps(const QVariant &javaVector)
{
    QList<QVariantMap> rows;
    for (const QVariant &row : JavaUtils::recursiveCollectionsFromJavaObject(javaVector).toList())
        rows.append(row.toMap());
    return rows;
}

} // namespace

BackendOutcome VornBrowserClient::outcomeOf(const QString &selector, const QVariantList &args)
{
    JavaCall::takeFailure(); // the outcome is this action's alone
    JavaCall::send(browser_, selector, args);
    const QString bridgeFailure = JavaCall::takeFailure();
    if (!bridgeFailure.isNull())
        return BackendOutcome::failure(bridgeFailure);
    const QoJavaObjectPtr root = JavaCall::object(browser_, s("root"));
    if (JavaCall::send(root, s("lastActionSuccessful")).toBool())
        return BackendOutcome::success();
    const QString message = JavaCall::send(root, s("lastErrorMessage")).toString();
    const QString failure = JavaCall::takeFailure();
    return BackendOutcome::failure(failure.isNull() ? message : failure);
}

QStringList VornBrowserClient::schemas() const
{
    return JavaCall::strings(JavaCall::send(browser_, s("schemas")));
}

void VornBrowserClient::setSelectedSchema(const QString &schema)
{
    JavaCall::send(browser_, s("setSelectedSchema:"), {schema});
}

bool VornBrowserClient::hasCachedTypesOfSchema(const QString &schema) const
{
    return JavaCall::send(browser_, s("hasCachedTypesOfSchema:"), {schema}).toBool();
}

QStringList VornBrowserClient::typesInSchema(const QString &schema)
{
    return JavaCall::strings(JavaCall::send(browser_, s("typesInSchema:"), {schema}));
}

QStringList VornBrowserClient::elementsOfTypeInSchemaLike(const QString &type, const QString &schema,
                                                          const QString &pattern)
{
    return JavaCall::strings(
        JavaCall::send(browser_, s("elementsOfTypeInSchemaLike:::"), {type, schema, pattern}));
}

QString VornBrowserClient::referringTypeOfElementOfTypeInSchemaWithName(const QString &schema,
                                                                        const QString &type,
                                                                        const QString &name)
{
    return JavaCall::send(browser_, s("referringTypeOfElementOfTypeInSchemaWithName:::"),
                          {schema, type, name})
        .toString();
}

QStringList VornBrowserClient::allColumnsInTable(const QString &schema, const QString &table)
{
    return JavaCall::strings(JavaCall::send(browser_, s("allColumnsInTable::"), {schema, table}));
}

QStringList VornBrowserClient::allColumnsInSchema(const QString &schema)
{
    return JavaCall::strings(JavaCall::send(browser_, s("allColumnsInSchema:"), {schema}));
}

bool VornBrowserClient::readElementsOfSchemaWhenFree(const QString &schema)
{
    return JavaCall::send(browser_, s("readElementsOfSchemaWhenFree:"), {schema}).toBool();
}

QList<BrowserTableName> VornBrowserClient::tablesWithColumnsNamed(const QString &schema,
                                                                  const QString &column)
{
    QList<BrowserTableName> tables;
    for (const QVariantMap &row :
         maps(JavaCall::send(browser_, s("tablesWithColumnsNamed::"), {schema, column})))
        tables.append({row.value(s("name")).toString(), row.value(s("type")).toString()});
    return tables;
}

namespace
{

QList<ForeignKeyEntry> foreignKeys(const QVariant &javaVector)
{
    QList<ForeignKeyEntry> keys;
    for (const QVariantMap &row : maps(javaVector))
        keys.append({row.value(s("name")).toString(), row.value(s("column")).toString(),
                     row.value(s("foreignname")).toString(), row.value(s("foreigncolumn")).toString()});
    return keys;
}

} // namespace

QList<ForeignKeyEntry> VornBrowserClient::exportedKeysForColumnInSchemaAndTable(const QString &column,
                                                                                const QString &schema,
                                                                                const QString &table)
{
    return foreignKeys(JavaCall::send(browser_, s("exportedKeysForColumnInSchemaAndTable:::"),
                                      {column, orNull(schema), orNull(table)}));
}

QList<ForeignKeyEntry> VornBrowserClient::exportedKeysInSchemaAndTable(const QString &schema,
                                                                       const QString &table)
{
    return foreignKeys(JavaCall::send(browser_, s("exportedKeysInSchemaAndTable::"), {schema, table}));
}

QString VornBrowserClient::qualifiedTableNameOfElement(const QString &type, const QString &schema,
                                                       const QString &name)
{
    return JavaCall::send(browser_, s("qualifiedTableNameOfElement:::"), {type, schema, name}).toString();
}

QString VornBrowserClient::fullyQualifiedTableNameOfElement(const QString &type, const QString &schema,
                                                            const QString &name)
{
    return JavaCall::send(browser_, s("fullyQualifiedTableNameOfElement:::"), {type, schema, name})
        .toString();
}

BackendOutcome VornBrowserClient::selectElement(const QString &schema, const QString &type,
                                                const QString &name)
{
    return outcomeOf(s("selectElement:::"), {schema, type, name});
}

BackendOutcome VornBrowserClient::selectElementWithFilter(const QString &schema, const QString &type,
                                                          const QString &name, const QString &column,
                                                          const QVariant &values, bool negate)
{
    return outcomeOf(s("selectElementWithFilter::::::"), {schema, type, name, column, values, negate});
}

BackendOutcome VornBrowserClient::selectElementWithQuickFiltersAndSort(
    const QString &schema, const QString &type, const QString &name, const QStringList &columns,
    const QStringList &operators, const QVariantList &values, const QList<VornSort> &sort)
{
    QVariantList sorts;
    for (const VornSort &one : sort)
        sorts.append(QVariant::fromValue(one.toJava()));
    return outcomeOf(s("selectElementWithQuickFiltersAndSort:::::::"),
                     {schema, type, name, columns, operators, values, sorts});
}

bool VornBrowserClient::previousStateHadFilterOrSort(const QString &schema, const QString &type,
                                                     const QString &name)
{
    return JavaCall::send(browser_, s("previousStateHadFilterOrSort:::"), {schema, type, name}).toBool();
}

VornInfoClientPtr VornBrowserClient::elementDescription(const QString &schema, const QString &type,
                                                        const QString &name)
{
    QoJavaObjectPtr info =
        JavaCall::object(browser_, QStringLiteral("elementDescription:::"), {schema, type, name});
    return info ? std::make_shared<VornInfoClient>(std::move(info)) : nullptr;
}

VornInfoClientPtr VornBrowserClient::elementDescriptionForSessionInfo()
{
    QoJavaObjectPtr info = JavaCall::object(browser_, QStringLiteral("elementDescriptionForSessionInfo"));
    return info ? std::make_shared<VornInfoClient>(std::move(info)) : nullptr;
}

VornInfoClientPtr VornBrowserClient::elementDescriptionForReferringElement(const QString &schema,
                                                                           const QString &type,
                                                                           const QString &name)
{
    QoJavaObjectPtr info = JavaCall::object(
        browser_, QStringLiteral("elementDescriptionForReferringElement:::"), {schema, type, name});
    return info ? std::make_shared<VornInfoClient>(std::move(info)) : nullptr;
}

QStringList VornBrowserClient::sequencesForColumn(const QString &column)
{
    return JavaCall::strings(JavaCall::send(browser_, QStringLiteral("sequencesForColumn:"), {column}));
}

QString VornBrowserClient::lastSequenceForColumn(const QString &column)
{
    return JavaCall::send(browser_, QStringLiteral("lastSequenceForColumn:"), {column}).toString();
}

void VornBrowserClient::storeLastSequenceForColumn(const QString &column, const QString &sequence)
{
    JavaCall::send(browser_, QStringLiteral("storeLastSequenceForColumn::"), {column, sequence});
}

QString VornBrowserClient::nextValueForSequence(const QString &sequence)
{
    JavaCall::takeFailure(); // the outcome is this call's alone
    return JavaCall::send(browser_, QStringLiteral("nextValueForSequence:"), {sequence}).toString();
}
