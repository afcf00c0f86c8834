#include "browser/BrowserCompletionSource.h"

#include "browser/BrowserController.h"
#include "client/BackgroundRunner.h"
#include "client/VornBrowserClient.h"

#include <atomic>

BrowserCompletionSource::BrowserCompletionSource(BrowserController &controller) : controller_(controller) {}

BrowserCompletionSource::~BrowserCompletionSource() = default;

// A schema is loaded when the user selects it in the browser; completion never starts a load itself,
// since a load holds the connection and would keep the user's next statement from running.
bool BrowserCompletionSource::selectedSchemaLoaded() const
{
    const BrowserElementStore *store = controller_.browserElementStore();
    return store && !store->selectedSchema().isNull() &&
           !store->sectionsOfSchema(store->selectedSchema()).isEmpty();
}

QStringList BrowserCompletionSource::autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &kind)
{
    return selectedSchemaLoaded() ? controller_.objectNamesForAutoCompleteOfType(kind) : QStringList();
}

QStringList BrowserCompletionSource::autoCompleteNeedsTableAndViewNamesForAutoComplete()
{
    return selectedSchemaLoaded() ? controller_.tableAndViewNamesForAutoComplete() : QStringList();
}

QStringList
BrowserCompletionSource::autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &schema)
{
    return controller_.tableAndViewNamesForAutoCompleteInSchema(schema);
}

QStringList BrowserCompletionSource::autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
    const QStringList &tables, bool restrictedToTables,
    const std::optional<QList<SQLCompletionAlias>> &usedAliases)
{
    if (!selectedSchemaLoaded())
        return {};
    const QString schema = controller_.browserElementStore()->selectedSchema();
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
