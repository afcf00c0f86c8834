// Object and column names for the SQL editor's completion, from the loaded store and the backend.
#include "browser/BrowserController.h"

#include "client/VornBrowserClient.h"

#include <QCollator>

#include <algorithm>

namespace
{

const QString tablesAndViews = QStringLiteral("TABLE");

QString joinedList(const QStringList &list)
{
    return list.join(QChar(0x1f));
}

// Equal arguments give equal keys; a missing list differs from an empty one.
QString columnCacheKey(const QStringList &tables, bool restricted,
                       const std::optional<QList<CompletionAlias>> &aliases)
{
    QStringList aliasParts;
    if (aliases) {
        for (const CompletionAlias &alias : *aliases)
            aliasParts << alias.alias << alias.refers;
    }
    return QStringLiteral("%1\x1e%2\x1e%3%4")
        .arg(joinedList(tables), restricted ? QStringLiteral("1") : QStringLiteral("0"),
             aliases ? QStringLiteral("A") : QStringLiteral("N"), joinedList(aliasParts));
}

} // namespace

QStringList BrowserController::uniqueAndSorted(const QStringList &names)
{
    QStringList unique = names;
    unique.removeDuplicates();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(unique.begin(), unique.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return unique;
}

QStringList BrowserController::tableAndViewNamesForAutoComplete()
{
    return tableAndViewNamesForAutoCompleteInSchema(QString());
}

QStringList BrowserController::tableAndViewNamesForAutoCompleteInSchema(const QString &schema)
{
    const BrowserElementStore *store = browserElementStore();
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!store || !browser || store->sectionsPerSchema().isEmpty())
        return {};
    QStringList walked;
    if (schema.isNull()) {
        if (store->selectedSchema().isNull())
            return {};
        walked = store->sectionsPerSchema().keys();
    } else {
        walked = {schema};
    }
    QStringList names;
    for (const QString &walkedSchema : std::as_const(walked)) {
        for (const BrowserElementSectionPtr &section : store->sectionsOfSchema(walkedSchema)) {
            if (section->type() != BrowserElementSection::TablesAndViews)
                continue;
            for (const BrowserElementPtr &element : section->elements()) {
                const QString qualifier = schema.isNull() ? element->schema() : store->selectedSchema();
                names.append(
                    browser->qualifiedTableNameOfElement(element->type(), qualifier, element->name()));
            }
        }
    }
    return uniqueAndSorted(names);
}

QStringList BrowserController::objectNamesForAutoCompleteOfType(const QString &type)
{
    const BrowserElementStore *store = browserElementStore();
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!store || !browser || store->selectedSchema().isNull())
        return {};
    QStringList names;
    for (const BrowserElementSectionPtr &section : store->sectionsOfSchema(store->selectedSchema())) {
        for (const BrowserElementPtr &element : section->elements()) {
            if (element->type() == type)
                names.append(browser->qualifiedTableNameOfElement(element->type(), element->schema(),
                                                                  element->name()));
        }
    }
    return uniqueAndSorted(names);
}

QStringList BrowserController::sequenceNames(VornBrowserClient &browser, const QString &schema) const
{
    return browser.elementsOfTypeInSchemaLike(QStringLiteral("SEQUENCE"), schema, QString(""));
}

QStringList BrowserController::columnNamesForAutoCompleteInTables(
    const QStringList &tables, bool restrictedToTables,
    const std::optional<QList<CompletionAlias>> &usedAliases)
{
    const BrowserElementStore *store = browserElementStore();
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!store || !browser)
        return {};
    const QString key = columnCacheKey(tables, restrictedToTables, usedAliases);
    {
        std::lock_guard lock(columnCacheMutex_);
        const QVariant cached = volatileColumnCache_.objectForKey(key);
        if (cached.isValid())
            return cached.toStringList();
    }
    const QString schema = store->selectedSchema();
    QStringList names;
    if (tables.isEmpty()) {
        names = browser->allColumnsInSchema(schema);
    } else {
        for (const QString &table : tables) {
            const BrowserElementPtr element = store->findElementInStoreWithName(table, schema);
            if (!element)
                continue;
            if (element->browserType() == BrowserElement::Sequence)
                return {QStringLiteral("nextval"), QStringLiteral("currval")};
            names += browser->allColumnsInTable(schema, element->name());
        }
    }
    if (!restrictedToTables)
        names += sequenceNames(*browser, schema);
    if (!tables.isEmpty() && usedAliases && tables.size() == 1)
        names += joinConditions(*browser, schema, tables.first(), *usedAliases);
    names = uniqueAndSorted(names);
    std::lock_guard lock(columnCacheMutex_);
    volatileColumnCache_.setObject(names, key);
    return names;
}

// "column = alias.column" for each key or equal column name between the table and an aliased table.
QStringList BrowserController::joinConditions(VornBrowserClient &browser, const QString &schema,
                                              const QString &table,
                                              const QList<CompletionAlias> &aliases) const
{
    const QStringList columns = browser.allColumnsInTable(schema, table);
    QStringList conditions;
    for (const CompletionAlias &alias : aliases) {
        if (alias.refers == table)
            continue;
        const QList<ForeignKeyEntry> keys = browser.exportedKeysInSchemaAndTable(schema, table);
        const QStringList referredColumns = browser.allColumnsInTable(schema, alias.refers);
        for (const QString &column : columns) {
            for (const ForeignKeyEntry &key : keys) {
                if (key.column == column && key.foreignName == alias.refers)
                    conditions.append(
                        QStringLiteral("%1 = %2.%3").arg(column, alias.alias, key.foreignColumn));
            }
            if (referredColumns.contains(column))
                conditions.append(QStringLiteral("%1 = %2.%3").arg(column, alias.alias, column));
        }
    }
    return conditions;
}

void BrowserController::clearColumnCache()
{
    std::lock_guard lock(columnCacheMutex_);
    volatileColumnCache_.clear();
}

void BrowserController::setColumnCacheClock(VolatileCache::Clock clock)
{
    std::lock_guard lock(columnCacheMutex_);
    volatileColumnCache_ = VolatileCache(50, 300.0, std::move(clock));
}
