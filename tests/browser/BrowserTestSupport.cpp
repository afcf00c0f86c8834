#include "BrowserTestSupport.h"

#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "kit/UserNotifier.h"
#include "platform/DesktopNotifier.h"
#include "status/StatusManager.h"
#include "status/StatusManagerMessage.h"

#include <QDBusConnection>
#include <QUuid>

// The fake browser.

void FakeMetadataBrowser::record(const QString &selector, const QVariantList &arguments) const
{
    calls_.append({selector, arguments});
}

QStringList FakeMetadataBrowser::schemas() const
{
    std::lock_guard lock(mutex_);
    return schemas_;
}

QString FakeMetadataBrowser::selectedSchema() const
{
    std::lock_guard lock(mutex_);
    return selected_;
}

void FakeMetadataBrowser::setSelectedSchema(const QString &schema)
{
    std::lock_guard lock(mutex_);
    selected_ = schema;
}

bool FakeMetadataBrowser::hasCachedTypesOfSchema(const QString &schema) const
{
    std::lock_guard lock(mutex_);
    return cached_.contains(schema);
}

QStringList FakeMetadataBrowser::typesInSchema(const QString &schema)
{
    std::lock_guard lock(mutex_);
    record("typesInSchema", {schema});
    if (schemaFailures_.contains(schema)) {
        lastAction_->set(schemaFailures_.value(schema));
        return {};
    }
    lastAction_->set(QString());
    cached_.insert(schema);
    QStringList types;
    for (const auto &[type, names] : objects_.value(schema))
        types.append(type);
    return types;
}

QStringList FakeMetadataBrowser::elementsOfTypeInSchemaLike(const QString &type, const QString &schema,
                                                            const QString &pattern)
{
    std::lock_guard lock(mutex_);
    record("elementsOfTypeInSchemaLike", {type, schema, pattern});
    for (const auto &[listed, names] : objects_.value(schema)) {
        if (listed == type)
            return names;
    }
    return {};
}

QString FakeMetadataBrowser::referringTypeOfElementOfTypeInSchemaWithName(const QString &, const QString &,
                                                                          const QString &name)
{
    std::lock_guard lock(mutex_);
    return synonymTargets_.value(name);
}

QStringList FakeMetadataBrowser::allColumnsInTable(const QString &schema, const QString &table)
{
    std::lock_guard lock(mutex_);
    record("allColumnsInTable", {schema, table});
    return columns_.value(schema + '.' + table);
}

bool FakeMetadataBrowser::readElementsOfSchemaWhenFree(const QString &schema)
{
    std::lock_guard lock(mutex_);
    record("readElementsOfSchemaWhenFree", {schema});
    return objects_.contains(schema);
}

QStringList FakeMetadataBrowser::allColumnsInSchema(const QString &schema)
{
    std::lock_guard lock(mutex_);
    record("allColumnsInSchema", {schema});
    QStringList all;
    for (auto it = columns_.cbegin(); it != columns_.cend(); ++it) {
        if (it.key().startsWith(schema + '.'))
            all += it.value();
    }
    return all;
}

QList<BrowserTableName> FakeMetadataBrowser::tablesWithColumnsNamed(const QString &, const QString &)
{
    std::lock_guard lock(mutex_);
    return similar_;
}

QList<ForeignKeyEntry> FakeMetadataBrowser::exportedKeysForColumnInSchemaAndTable(const QString &column,
                                                                                  const QString &,
                                                                                  const QString &table)
{
    std::lock_guard lock(mutex_);
    QList<ForeignKeyEntry> found;
    for (const ForeignKeyEntry &key : keys_.value(table)) {
        if (key.column == column)
            found.append(key);
    }
    return found;
}

QList<ForeignKeyEntry> FakeMetadataBrowser::exportedKeysInSchemaAndTable(const QString &schema,
                                                                         const QString &table)
{
    std::lock_guard lock(mutex_);
    record("exportedKeysInSchemaAndTable", {schema, table});
    return keys_.value(table);
}

QString FakeMetadataBrowser::qualifiedTableNameOfElement(const QString &, const QString &schema,
                                                         const QString &name)
{
    std::lock_guard lock(mutex_);
    return schema == selected_ ? name : schema + '.' + name;
}

QString FakeMetadataBrowser::fullyQualifiedTableNameOfElement(const QString &, const QString &schema,
                                                              const QString &name)
{
    return schema + '.' + name;
}

BackendOutcome FakeMetadataBrowser::recordLoad(const QString &selector, const QVariantList &arguments,
                                               const QString &name)
{
    std::unique_lock lock(mutex_);
    record(selector, arguments);
    if (hold_) {
        ++held_;
        released_.wait(lock, [this] { return passes_ > 0 || !hold_; });
        if (passes_ > 0)
            --passes_;
        --held_;
    }
    QString error;
    auto failure = loadFailures_.find(name);
    if (failure != loadFailures_.end() && failure->second != 0) {
        error = failure->first;
        if (failure->second > 0)
            --failure->second;
    }
    lastAction_->set(error);
    return error.isNull() ? BackendOutcome::success() : BackendOutcome::failure(error);
}

BackendOutcome FakeMetadataBrowser::selectElement(const QString &schema, const QString &type,
                                                  const QString &name)
{
    return recordLoad("selectElement", {schema, type, name}, name);
}

BackendOutcome FakeMetadataBrowser::selectElementWithFilter(const QString &schema, const QString &type,
                                                            const QString &name, const QString &column,
                                                            const QVariant &values, bool negate)
{
    return recordLoad("selectElementWithFilter", {schema, type, name, column, values, negate}, name);
}

BackendOutcome FakeMetadataBrowser::selectElementWithQuickFiltersAndSort(
    const QString &schema, const QString &type, const QString &name, const QStringList &columns,
    const QStringList &operators, const QVariantList &values, const QList<VornSort> &sort)
{
    QStringList sorts;
    for (const VornSort &one : sort)
        sorts << one.name + ' ' + one.direction;
    return recordLoad("selectElementWithQuickFiltersAndSort",
                      {schema, type, name, columns, operators, values, sorts}, name);
}

bool FakeMetadataBrowser::previousStateHadFilterOrSort(const QString &schema, const QString &type,
                                                       const QString &name)
{
    std::lock_guard lock(mutex_);
    record("previousStateHadFilterOrSort", {schema, type, name});
    return previousStateHadFilterOrSort_;
}

void FakeMetadataBrowser::addObjects(const QString &schema, const QString &type, const QStringList &names,
                                     bool cached)
{
    std::lock_guard lock(mutex_);
    if (!schemas_.contains(schema))
        schemas_.append(schema);
    if (selected_.isNull())
        selected_ = schema;
    objects_[schema].append({type, names});
    if (cached)
        cached_.insert(schema);
}

void FakeMetadataBrowser::setSchemaList(const QStringList &schemas)
{
    std::lock_guard lock(mutex_);
    schemas_ = schemas;
}

void FakeMetadataBrowser::setSynonymTarget(const QString &name, const QString &type)
{
    std::lock_guard lock(mutex_);
    synonymTargets_.insert(name, type);
}

void FakeMetadataBrowser::setColumns(const QString &schema, const QString &table, const QStringList &columns)
{
    std::lock_guard lock(mutex_);
    columns_.insert(schema + '.' + table, columns);
}

void FakeMetadataBrowser::setKeys(const QString &table, const QList<ForeignKeyEntry> &keys)
{
    std::lock_guard lock(mutex_);
    keys_.insert(table, keys);
}

void FakeMetadataBrowser::setSimilarTables(const QList<BrowserTableName> &tables)
{
    std::lock_guard lock(mutex_);
    similar_ = tables;
}

void FakeMetadataBrowser::failLoadsOf(const QString &name, const QString &message, int times)
{
    std::lock_guard lock(mutex_);
    loadFailures_.insert(name, {message, times});
}

void FakeMetadataBrowser::failSchemaLoad(const QString &schema, const QString &message)
{
    std::lock_guard lock(mutex_);
    schemaFailures_.insert(schema, message);
}

void FakeMetadataBrowser::setPreviousStateHadFilterOrSort(bool had)
{
    std::lock_guard lock(mutex_);
    previousStateHadFilterOrSort_ = had;
}

void FakeMetadataBrowser::holdLoads(bool hold)
{
    std::lock_guard lock(mutex_);
    hold_ = hold;
    released_.notify_all();
}

void FakeMetadataBrowser::releaseOneLoad()
{
    std::lock_guard lock(mutex_);
    ++passes_;
    released_.notify_all();
}

int FakeMetadataBrowser::heldLoads() const
{
    std::lock_guard lock(mutex_);
    return held_;
}

QList<BrowserCall> FakeMetadataBrowser::calls() const
{
    std::lock_guard lock(mutex_);
    return calls_;
}

QList<BrowserCall> FakeMetadataBrowser::loads() const
{
    QList<BrowserCall> found;
    for (const BrowserCall &call : calls()) {
        if (call.selector.startsWith(QLatin1String("selectElement")))
            found.append(call);
    }
    return found;
}

int FakeMetadataBrowser::callCount(const QString &selector) const
{
    int count = 0;
    for (const BrowserCall &call : calls())
        count += call.selector == selector ? 1 : 0;
    return count;
}

void FakeMetadataBrowser::clearCalls()
{
    std::lock_guard lock(mutex_);
    calls_.clear();
}

// The document stand-in.

bool FakeBrowserDocument::connectedControllerWantsRootReservationFor(ConnectedController *,
                                                                     const QString &description)
{
    reservations << description;
    return !refuseReservations && root_->reserveRoot(description);
}

void FakeBrowserDocument::connectedControllerWantsEndRootReservation(ConnectedController *)
{
    root_->releaseReservedRoot();
    if (controller)
        controller->rootReservationEnded();
}

// The fixture.

QString uniqueIdentifier()
{
    return QStringLiteral("BROWSER_TEST_") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

BrowserFixture::BrowserFixture() : BrowserFixture(uniqueIdentifier()) {}

BrowserFixture::BrowserFixture(const QString &identifier)
    : root(std::make_shared<FakeBrowserRoot>()),
      browser(std::make_shared<FakeMetadataBrowser>(root->lastAction)),
      desktop(std::make_unique<DesktopNotifier>(QDBusConnection("no-desktop"))),
      notifier(std::make_unique<UserNotifier>(*desktop)), threads(std::make_shared<ThreadController>()),
      status(std::make_shared<StatusManager>(root, *notifier)), document(root, identifier)
{
    root->browserClient = browser;
    controller = std::make_unique<BrowserController>(root);
    controller->setDelegate(&document);
    controller->setThreadController(threads);
    controller->setStatusManager(status);
    document.controller = controller.get();
}

BrowserFixture::~BrowserFixture()
{
    browser->holdLoads(false);
    waitForIdle();
    controller.reset();
    status->endStatusManager();
}

bool BrowserFixture::waitForIdle()
{
    const auto idle = [this] {
        return !root->reserved() && threads->numberOfRegisteredThreads(true) == 0 &&
               !(controller && controller->isLoading());
    };
    VORN_WAIT_UNTIL(idle(), 10000);
    return idle();
}

QStringList BrowserFixture::alerts() const
{
    QStringList texts;
    for (const auto &message : status->messageQueue())
        texts << message->title + ": " + message->message;
    if (const auto active = status->activeMessage())
        texts << active->title + ": " + active->message;
    return texts;
}
