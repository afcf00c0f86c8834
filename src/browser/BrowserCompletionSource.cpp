#include "browser/BrowserCompletionSource.h"

#include "browser/BrowserController.h"
#include "client/BackgroundRunner.h"
#include "client/VornBrowserClient.h"

#include <atomic>
#include <optional>

BrowserCompletionSource::BrowserCompletionSource(BrowserController &controller) : controller_(controller) {}

BrowserCompletionSource::~BrowserCompletionSource() = default;

void BrowserCompletionSource::forgetNames()
{
    columnsKnown_.clear();
    tableNames_.clear();
}

// A schema is loaded when the user selects it in the browser; completion never starts that load itself,
// since it holds the connection and would keep the user's next statement from running.
bool BrowserCompletionSource::schemaLoaded(const QString &schema) const
{
    const BrowserElementStore *store = controller_.browserElementStore();
    return store && !schema.isNull() && !store->sectionsOfSchema(schema).isEmpty();
}

QStringList BrowserCompletionSource::autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &kind)
{
    const BrowserElementStore *store = controller_.browserElementStore();
    return store && schemaLoaded(store->selectedSchema()) ? controller_.objectNamesForAutoCompleteOfType(kind)
                                                          : QStringList();
}

QStringList BrowserCompletionSource::autoCompleteNeedsTableAndViewNamesForAutoComplete()
{
    const BrowserElementStore *store = controller_.browserElementStore();
    if (!store || store->selectedSchema().isNull())
        return {};
    if (schemaLoaded(store->selectedSchema()))
        return controller_.tableAndViewNamesForAutoComplete();
    return tableNamesReadFor(store->selectedSchema(), store->selectedSchema());
}

QStringList
BrowserCompletionSource::autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &schema)
{
    const BrowserElementStore *store = controller_.browserElementStore();
    if (!store || schema.isEmpty() || schemaLoaded(schema))
        return controller_.tableAndViewNamesForAutoCompleteInSchema(schema);
    // As for a loaded schema, the names come qualified against the selected schema: the user has typed
    // the schema already.
    return tableNamesReadFor(schema, store->selectedSchema());
}

QStringList BrowserCompletionSource::tableNamesReadFor(const QString &schema, const QString &qualifier)
{
    const auto read = tableNames_.constFind(schema);
    const VornRootClientPtr &root = controller_.vornRoot();
    const std::shared_ptr<VornBrowserClient> browser = root ? root->browser() : nullptr;
    if (read == tableNames_.cend() || !browser) {
        readTableNamesInBackground(schema);
        return {};
    }
    QStringList names;
    for (const TableName &table : *read)
        names.append(browser->qualifiedTableNameOfElement(table.type, qualifier, table.name));
    return BrowserController::uniqueAndSorted(names);
}

void BrowserCompletionSource::readTableNamesInBackground(const QString &schema)
{
    const VornRootClientPtr &root = controller_.vornRoot();
    if (!root || tableNamesReading_.contains(schema))
        return;
    tableNamesReading_.insert(schema);
    auto read = std::make_shared<std::optional<QList<TableName>>>();
    BackgroundJob job;
    job.threadName = warmThreadName;
    job.threads = controller_.threadController();
    job.daemon = true;
    job.ownerAlive = [alive = std::weak_ptr<const char>(alive_)] { return !alive.expired(); };
    job.work = [root, schema, read](const WorkerControl &) {
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (!browser || !browser->readElementsOfSchemaWhenFree(schema))
            return;
        QList<TableName> names;
        for (const QString &type : {QStringLiteral("TABLE"), QStringLiteral("VIEW")}) {
            for (const QString &name : browser->elementsOfTypeInSchemaLike(type, schema, QString("")))
                names.append({type, name});
        }
        *read = std::move(names);
    };
    job.done = [this, schema, read] {
        tableNamesReading_.remove(schema);
        if (*read)
            tableNames_.insert(schema, **read);
    };
    BackgroundRunner::run(std::move(job));
}

QStringList BrowserCompletionSource::autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
    const QStringList &tables, bool restrictedToTables,
    const std::optional<QList<SQLCompletionAlias>> &usedAliases)
{
    const BrowserElementStore *store = controller_.browserElementStore();
    if (!store || !schemaLoaded(store->selectedSchema()))
        return {};
    const QString schema = store->selectedSchema();
    if (!columnsKnown_.contains(schema)) {
        readColumnsInBackground(schema);
        return {};
    }
    std::optional<QList<CompletionAlias>> aliases;
    if (usedAliases) {
        aliases.emplace();
        for (const SQLCompletionAlias &alias : *usedAliases)
            aliases->append({alias.alias, alias.refers});
    }
    return controller_.columnNamesForAutoCompleteInTables(tables, restrictedToTables, aliases);
}

// Reading a schema's columns and keys may take a while; once the backend holds them, questions about them
// are answered from its cache. The backend reads only while no statement holds the connection.
void BrowserCompletionSource::readColumnsInBackground(const QString &schema)
{
    const VornRootClientPtr &root = controller_.vornRoot();
    if (!root || columnsReading_.contains(schema))
        return;
    columnsReading_.insert(schema);
    auto known = std::make_shared<std::atomic<bool>>(false);
    BackgroundJob job;
    job.threadName = warmThreadName;
    job.threads = controller_.threadController();
    job.daemon = true;
    job.ownerAlive = [alive = std::weak_ptr<const char>(alive_)] { return !alive.expired(); };
    job.work = [root, schema, known](const WorkerControl &) {
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (!browser)
            return;
        const bool read = !browser->allColumnsInSchema(schema).isEmpty();
        browser->exportedKeysInSchemaAndTable(schema, QString());
        known->store(read);
    };
    job.done = [this, schema, known] {
        columnsReading_.remove(schema);
        if (known->load())
            columnsKnown_.insert(schema);
    };
    BackgroundRunner::run(std::move(job));
}
