#pragma once

// The one fake of the backend clients: a document's root, its SQL connection, its browser and its
// importer, with plain fields for what the tests set and scripts for statements. Any thread may call it.
#include "client/SqlConnectionClient.h"
#include "client/VornAnalyserClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornImporterClient.h"
#include "client/VornProcedureClient.h"
#include "client/VornRecyclebinClient.h"
#include "client/VornRootClient.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// The outcome of the last action, shared by the fake root and its connection like the backend's
// lastActionSuccessful / lastErrorMessage.
struct FakeLastAction {
    mutable std::mutex mutex;
    QString error; // null: the last action succeeded

    void set(const QString &message)
    {
        std::lock_guard lock(mutex);
        error = message;
    }
    QString get() const
    {
        std::lock_guard lock(mutex);
        return error;
    }
};

// What the fake connection does with one statement text.
struct FakeStatement {
    bool executable = true;
    bool producesRows = false;
    QString type;
    qint32 count = 1;
    QString error; // set: the statement fails with it
    bool waitsForCancel = false;
    bool abortsOnCancel = true;

    static FakeStatement failing(const QString &error)
    {
        FakeStatement statement;
        statement.error = error;
        return statement;
    }
    static FakeStatement counting(qint32 count)
    {
        FakeStatement statement;
        statement.count = count;
        return statement;
    }
    static FakeStatement declined()
    {
        FakeStatement statement;
        statement.executable = false;
        return statement;
    }
    // Blocks until cancelled; then fails as stopped, or completes.
    static FakeStatement waiting(bool aborts, qint32 count = 1)
    {
        FakeStatement statement = counting(count);
        statement.waitsForCancel = true;
        statement.abortsOnCancel = aborts;
        return statement;
    }
};

class FakeSqlConnectionClient : public SqlConnectionClient
{
public:
    explicit FakeSqlConnectionClient(std::shared_ptr<FakeLastAction> lastAction)
        : lastAction_(std::move(lastAction))
    {
    }

    std::optional<bool> executable(const QString &sql) override { return planned(sql).executable; }
    bool executeQuery(const QString &sql, const QVariantList &parameters) override
    {
        const FakeStatement statement = planned(sql);
        {
            std::unique_lock lock(mutex_);
            sent_.append({sql, parameters});
            if (statement.waitsForCancel) {
                waiting_ = true;
                changed_.wait(lock, [&] { return cancelled_; });
                waiting_ = false;
            }
            const bool aborted = statement.waitsForCancel && statement.abortsOnCancel;
            type_ = statement.type.isNull() ? sql.section(' ', 0, 0).toUpper() : statement.type;
            count_ = statement.count;
            lastAction_->set(aborted ? QStringLiteral("CANCELLED") : statement.error);
        }
        return lastAction_->get().isNull() && statement.producesRows;
    }
    int resultCount() const override
    {
        std::lock_guard lock(mutex_);
        return count_;
    }
    QString statementType() const override
    {
        std::lock_guard lock(mutex_);
        return type_;
    }
    void cancelQuery() override
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }

    void plan(const QString &sql, FakeStatement statement)
    {
        std::lock_guard lock(mutex_);
        script_.insert(sql, statement);
    }
    QList<std::pair<QString, QVariantList>> sent() const
    {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    QStringList sentTexts() const
    {
        QStringList texts;
        for (const auto &[text, parameters] : sent())
            texts << text;
        return texts;
    }
    bool waitingForCancel() const
    {
        std::lock_guard lock(mutex_);
        return waiting_;
    }

private:
    // A text without a script runs; a SELECT produces rows.
    FakeStatement planned(const QString &sql) const
    {
        std::lock_guard lock(mutex_);
        FakeStatement statement = script_.value(sql);
        if (!script_.contains(sql) && sql.startsWith(QLatin1String("SELECT")))
            statement.producesRows = true;
        return statement;
    }

    std::shared_ptr<FakeLastAction> lastAction_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    QHash<QString, FakeStatement> script_;
    QList<std::pair<QString, QVariantList>> sent_;
    bool waiting_ = false;
    bool cancelled_ = false;
    QString type_;
    qint32 count_ = -1;
};

class FakeVornBrowserClient : public VornBrowserClient
{
public:
    QString selectedSchema() const override { return schemaName; }
    void refresh() override {}
    QString name() const override { return objectName; }
    QString schema() const override { return schemaName; }
    QString type() const override { return objectType; }
    QString filter() const override { return freeFilter; }
    QList<VornSort> sort() const override { return sorts; }
    QVariantList quickFilterColumnInfo() const override { return {}; }
    QVariantList quickFilterColumns() const override { return {}; }
    QVariantList quickFilterOperators() const override { return {}; }
    std::optional<QVariantList> quickFilterValues() const override { return std::nullopt; }

    bool canStopStoppableStatement() const override { return stoppable; }
    void stopStoppableStatement() override { ++stops; }
    std::atomic<bool> stoppable{false};
    std::atomic<int> stops{0};

    QString schemaName;
    QString objectName;
    QString objectType;
    QString freeFilter;
    QList<VornSort> sorts;

    // The info column's descriptions: what describe answers (null by default), and how often it was asked.
    VornInfoClientPtr elementDescription(const QString &schema, const QString &type,
                                         const QString &name) override
    {
        ++descriptionsAsked;
        return describe ? describe(schema, type, name) : nullptr;
    }
    VornInfoClientPtr elementDescriptionForReferringElement(const QString &schema, const QString &type,
                                                            const QString &name) override
    {
        return describeReferred ? describeReferred(schema, type, name) : nullptr;
    }
    VornInfoClientPtr elementDescriptionForSessionInfo() override
    {
        return describeSession ? describeSession() : nullptr;
    }
    std::function<VornInfoClientPtr(const QString &, const QString &, const QString &)> describe;
    std::function<VornInfoClientPtr()> describeSession;
    std::function<VornInfoClientPtr(const QString &, const QString &, const QString &)> describeReferred;
    int descriptionsAsked = 0;
};

// Plans as a test sets them; each call records the outcome the test planned.
class FakeVornAnalyserClient : public VornAnalyserClient
{
public:
    explicit FakeVornAnalyserClient(std::shared_ptr<FakeLastAction> lastAction)
        : lastAction_(std::move(lastAction))
    {
    }

    bool planTableAvailable() override
    {
        ++planTableQuestions;
        return hasPlanTable;
    }
    QVariantMap getPlanTable(const QString &sql) override
    {
        std::lock_guard lock(mutex_);
        analysed.append(sql);
        lastAction_->set(error);
        return error.isNull() ? plan : QVariantMap();
    }
    QString query() const override
    {
        std::lock_guard lock(mutex_);
        return analysed.value(analysed.size() - 1);
    }
    void createPlanTable(const QString &userName, const QString &password, const QString &server,
                         const QString &port, const QString &database) override
    {
        std::lock_guard lock(mutex_);
        created.append({userName, password, server, port, database});
        lastAction_->set(error);
    }

    std::atomic<bool> hasPlanTable{true};
    std::atomic<int> planTableQuestions{0};
    QVariantMap plan;
    QString error;
    QStringList analysed;
    QList<QStringList> created;

private:
    std::shared_ptr<FakeLastAction> lastAction_;
    mutable std::mutex mutex_;
};

// Stored code held in memory: the source as stored and as edited, and the kind of object.
class FakeVornProcedureClient : public VornProcedureClient
{
public:
    QString name() const override { return objectName; }
    bool supportSourceEdit() const override { return true; }
    QString getSource() const override { return source; }
    QString getBodySource() const override { return body; }
    void updateSource(const QString &text) override { source = text; }
    void updateBodySource(const QString &text) override { body = text; }
    bool sourceIsDirty() const override { return source != storedSource || body != storedBody; }
    void commitSource() override {}
    void revert() override
    {
        source = storedSource;
        body = storedBody;
    }
    QVariantList getWarnings() const override { return warnings; }
    bool isFunction() const override { return false; }
    bool isProcedure() const override { return false; }
    bool isPackage() const override { return true; }
    bool isPackageFunction() const override { return false; }
    bool isPackageProcedure() const override { return false; }
    QStringList getPackageProcedures() const override { return {}; }
    QString getSelectedPackageProcedure() const override { return {}; }
    void setSelectedPackageProcedure(const QString &) override {}
    QVariantList inputOutputColumns() const override { return {}; }
    bool isInputColumn(int) const override { return false; }
    bool isOutputColumn(int) const override { return false; }
    bool isReturnColumn(int) const override { return false; }
    void setValueForColumn(int, const QVariant &) override {}
    void doExecute() override {}
    QVariant value(int) const override { return {}; }
    bool running() const override { return false; }
    bool cancelling() const override { return false; }
    void cancelQuery() override {}

    QString objectName = QStringLiteral("pkg");
    QString storedSource, storedBody, source, body;
    QVariantList warnings;
};

// The importer's questions about a target table; counts the sequence-support questions and tells
// whether one came on the main thread.
class FakeVornImporterClient : public VornImporterClient
{
public:
    QList<ImportTargetColumn> columnsOfTable(const QString &, const QString &) override { return columns; }
    bool supportsSequences() override
    {
        ++sequenceSupportCalls;
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            sequenceSupportOnMainThread = true;
        return sequencesSupported;
    }
    QStringList sequences(const QString &) override { return sequenceNames; }

    QList<ImportTargetColumn> columns;
    std::atomic<bool> sequencesSupported{true};
    QStringList sequenceNames;
    std::atomic<int> sequenceSupportCalls{0};
    std::atomic<bool> sequenceSupportOnMainThread{false};
};

// A recycle bin held in memory: update lists contents (or fails with listError), and restore and purge
// record their call and fail with actionError or take the object out of contents. holdActions keeps
// the next action or listing waiting until released.
class FakeVornRecyclebinClient : public VornRecyclebinClient
{
public:
    explicit FakeVornRecyclebinClient(std::shared_ptr<FakeLastAction> lastAction)
        : lastAction_(std::move(lastAction))
    {
    }

    void update() override
    {
        std::unique_lock lock(mutex_);
        waitWhileHeld(lock);
        ++updates;
        lastAction_->set(listError);
        listed_ = listError.isNull() ? contents : QVariantList();
    }
    QVariantList items() const override
    {
        std::lock_guard lock(mutex_);
        return listed_;
    }
    bool isFilled() const override
    {
        std::lock_guard lock(mutex_);
        return !listed_.isEmpty();
    }
    void flashBackObject(const QString &type, const QString &name) override { act("restore", type, name); }
    void purgeObject(const QString &type, const QString &name) override { act("purge", type, name); }
    void purgeBin() override { act("purge all", QString(), QString()); }

    void setContents(const QVariantList &entries)
    {
        std::lock_guard lock(mutex_);
        contents = entries;
    }
    void setErrors(const QString &list, const QString &action)
    {
        std::lock_guard lock(mutex_);
        listError = list;
        actionError = action;
    }
    QList<QStringList> callsSoFar() const
    {
        std::lock_guard lock(mutex_);
        return calls;
    }
    int updatesSoFar() const
    {
        std::lock_guard lock(mutex_);
        return updates;
    }
    void setHoldActions(bool hold)
    {
        std::lock_guard lock(mutex_);
        holdActions_ = hold;
        released_.notify_all();
    }
    bool waiting() const
    {
        std::lock_guard lock(mutex_);
        return waiting_;
    }

private:
    void waitWhileHeld(std::unique_lock<std::mutex> &lock)
    {
        waiting_ = holdActions_;
        released_.wait(lock, [&] { return !holdActions_; });
        waiting_ = false;
    }
    void act(const QString &what, const QString &type, const QString &name)
    {
        std::unique_lock lock(mutex_);
        waitWhileHeld(lock);
        calls.append({what, type, name});
        lastAction_->set(actionError);
        if (!actionError.isNull())
            return;
        if (what == QLatin1String("purge all"))
            contents.clear();
        else
            contents.removeIf(
                [&](const QVariant &entry) { return entry.toMap().value("objectName").toString() == name; });
    }

    std::shared_ptr<FakeLastAction> lastAction_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    QVariantList contents;
    QVariantList listed_;
    QString listError;
    QString actionError;
    QList<QStringList> calls;
    int updates = 0;
    bool holdActions_ = false;
    bool waiting_ = false;
};

class FakeVornRootClient : public VornRootClient
{
public:
    FakeVornRootClient()
        : lastAction(std::make_shared<FakeLastAction>()),
          connection(std::make_shared<FakeSqlConnectionClient>(lastAction)),
          browserClient(std::make_shared<FakeVornBrowserClient>()),
          analyserClient(std::make_shared<FakeVornAnalyserClient>(lastAction)),
          recyclebinClient(std::make_shared<FakeVornRecyclebinClient>(lastAction))
    {
    }

    void initRoot(const RootSettings &settings) override { initialized = settings; }
    void deInitialize() override {}

    bool hasConnection() const override { return connected; }
    bool isConnected() const override { return connected; }
    BackendOutcome startNewConnection(const ConnectRequestFields &) override { return lastOutcome(); }
    void cancelConnecting() override {}
    void endConnection() override { connected = false; }
    void dropConnection() override { connected = false; }
    bool localDatabaseFileConnection() const override { return false; }
    QString connectionType() const override { return type; }
    QString database() const override { return {}; }
    QString userName() const override { return {}; }
    QString server() const override { return {}; }
    QVariantMap connectionInfo() const override { return {}; }
    bool fullyLoadedForSchema(const QString &) const override { return true; }
    void fullyLoadForSchema(const QString &) override {}

    bool reserved() const override { return reservedByOther || reservedHere; }
    bool reserveRoot(const QString &) override
    {
        if (reserved())
            return false;
        reservedHere = true;
        return true;
    }
    void releaseReservedRoot() override
    {
        reservedHere = false;
        ++releases;
    }

    bool lastActionSuccessful() const override { return lastAction->get().isNull(); }
    QString lastErrorMessage() const override { return lastAction->get(); }

    BackendOutcome commit() override { return lastOutcome(); }
    BackendOutcome rollback() override { return lastOutcome(); }
    bool dirty() const override { return dirtyConnection; }
    bool dataDefinitionCausesTransactionCommit() const override { return false; }
    bool allowFocusChange() const override { return true; }
    bool databaseHasRecycleBin() const override { return recycleBinSupported; }
    std::shared_ptr<VornRecyclebinClient> recyclebin() const override { return recyclebinClient; }
    bool analysisSupported() const override { return analyses; }
    std::shared_ptr<VornAnalyserClient> analyse() const override { return analyserClient; }
    int dirtySeconds() const override { return 0; }
    void resetDirtySeconds() override {}

    QStringList reservedWords() const override { return {"select", "from", "where"}; }
    QStringList contextWords() const override { return {"orders"}; }
    QStringList defaultReservedWords() const override { return {"select"}; }

    std::shared_ptr<SqlConnectionClient> sqlConnection() const override { return connection; }
    std::shared_ptr<VornBrowserClient> browser() const override { return browserClient; }
    std::shared_ptr<VornResultset> resultset() const override { return nullptr; }
    std::shared_ptr<VornProcedureClient> procedure() const override { return procedureClient; }
    std::shared_ptr<VornImporterClient> importer() const override { return importerClient; }
    bool hasContentDescription() const override { return !contentDescriptionText.isNull(); }
    QString contentDescription() const override { return contentDescriptionText; }
    std::optional<ResultsetState> resultsetState() const override { return resultsetStateValue; }
    void clearResultset() override { resultsetStateValue.reset(); }

    // The background checker's questions.
    bool backgroundCheckRecycleBin(const QString &) override { return recyclebinFull; }
    bool backgroundCheckValidAndUpdateMetaData(const QString &activity, const QStringList &schemas,
                                               bool dirtyOnly) override
    {
        std::unique_lock lock(validationMutex);
        validations.append({activity, schemas, dirtyOnly});
        validationChanged.notify_all();
        validationChanged.wait(lock, [&] { return !holdValidations; });
        return renewMetaData;
    }
    QString connectionMetaDataDescription() const override
    {
        return connected ? metaDataDescription : QString();
    }
    bool sameConnectionTarget(const VornRootClient &other) const override
    {
        const auto *fake = dynamic_cast<const FakeVornRootClient *>(&other);
        return fake && connected && fake->connected && fake->metaDataDescription == metaDataDescription;
    }
    struct Validation {
        QString activity;
        QStringList schemas;
        bool dirtyOnly = false;
    };
    QList<Validation> validationsSoFar() const
    {
        std::lock_guard lock(validationMutex);
        return validations;
    }
    // Holds the next validations until released.
    void setHoldValidations(bool hold)
    {
        std::lock_guard lock(validationMutex);
        holdValidations = hold;
        validationChanged.notify_all();
    }
    QString metaDataDescription = QStringLiteral("PostgreSQL vorn@db on localhost:5432");
    std::atomic<bool> renewMetaData{true};
    std::atomic<bool> recyclebinFull{false};
    std::atomic<bool> recycleBinSupported{false};
    mutable std::mutex validationMutex;
    std::condition_variable validationChanged;
    QList<Validation> validations;
    bool holdValidations = false;

    std::shared_ptr<FakeLastAction> lastAction;
    std::shared_ptr<FakeSqlConnectionClient> connection;
    std::shared_ptr<FakeVornBrowserClient> browserClient;
    std::shared_ptr<FakeVornAnalyserClient> analyserClient;
    std::shared_ptr<FakeVornRecyclebinClient> recyclebinClient;
    std::shared_ptr<FakeVornProcedureClient> procedureClient;
    std::shared_ptr<FakeVornImporterClient> importerClient = std::make_shared<FakeVornImporterClient>();
    // A loaded object shown as text; null when the root has none.
    QString contentDescriptionText;
    std::atomic<bool> analyses{true};
    std::optional<ResultsetState> resultsetStateValue;
    std::atomic<bool> connected{true};
    std::atomic<bool> reservedByOther{false};
    std::atomic<bool> dirtyConnection{false};
    std::atomic<bool> reservedHere{false};
    std::atomic<int> releases{0};
    QString type = QStringLiteral("PostgreSQL");
    RootSettings initialized;
};
