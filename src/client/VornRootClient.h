#pragma once

#include "bridge/QoJavaObject.h"
#include "client/BackendOutcome.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <mutex>
#include <optional>

class SqlConnectionClient;
class VornAnalyserClient;
class VornBrowserClient;
class VornImporterClient;
class VornProcedureClient;
class VornRecyclebinClient;
class VornResultset;

// What the backend's root object of a document needs to start: it keeps its files in the support
// folder and formats timestamps and quick filters as the preferences say.
struct RootSettings {
    QString supportFolder;
    QString timestampFormat = QStringLiteral("dd-MM-yyyy HH:mm:ss.S");
    bool quickFilterUseLike = true;
    bool quickFilterUseLikeMatchOnNumeric = true;
    bool timestampRoundMidnight = true;
    int resultsetRowLimit = 2000;
};

// What the status bar shows of the root's current result set.
struct ResultsetState {
    int rowCount = 0;
    bool fullyLoaded = false;
    bool readOnly = false;
    // The reason code ("NOSTATE", "VIEW", ...), or a null string.
    QString readOnlyReason;
};

// One connect attempt as the backend's startNewConnection takes it.
struct ConnectRequestFields {
    QString server;
    QString port;
    QString database;
    QString userName;
    QString password;
    QString databaseType;
    QString clientName;
    int timeOutSeconds = 0;
    int flags = 0;
};

// The typed client of one document's backend root ("nl/dalmerik/vorn/VornRoot"): the only code that
// knows the root's selectors. Calls go to Java, so they run on threads attached to the VM; a bridge
// failure answers the neutral value (false, 0, empty) or a failed BackendOutcome. Virtual so that
// tests can put their one fake in its place.
class VornRootClient
{
public:
    static constexpr const char *className = "nl/dalmerik/vorn/VornRoot";

    // A new root through the shared bridge; null without a VM.
    static std::shared_ptr<VornRootClient>
    create(const QString &backendClassName = QString::fromLatin1(className));
    explicit VornRootClient(QoJavaObjectPtr root);
    VornRootClient(const VornRootClient &) = delete;
    VornRootClient &operator=(const VornRootClient &) = delete;
    virtual ~VornRootClient();

    // The proxy itself, for the bridge's own checks; null for a fake.
    QoJavaObjectPtr object() const { return root_; }

    // Life of the root.
    virtual void initRoot(const RootSettings &settings);
    virtual void deInitialize();

    // Connection.
    virtual bool hasConnection() const;
    virtual bool isConnected() const;
    virtual BackendOutcome startNewConnection(const ConnectRequestFields &request);
    virtual void cancelConnecting();
    virtual void endConnection();
    // Drops the connection at once, without waiting on the server (one that answers no cancel): the
    // running statement fails as stopped and the root has no connection afterwards. Any thread.
    virtual void dropConnection();
    virtual bool localDatabaseFileConnection() const;
    virtual QString connectionType() const;
    virtual QString database() const;
    virtual QString userName() const;
    virtual QString server() const;
    // The live connection's details (login, product, driver, ...), for the details sheet.
    virtual QVariantMap connectionInfo() const;
    virtual bool fullyLoadedForSchema(const QString &schema) const;
    virtual void fullyLoadForSchema(const QString &schema);
    // Forgets every cached schema's elements and reads the list of schemas again.
    virtual void reloadConnectionMetaDataCache();
    // The last commit changed the shown result set: it is to be read again.
    virtual bool needsRefreshAfterCommit() const;
    // The connection's words for a schema and a catalog ("schema", "database", ...).
    virtual QString schemaTerm() const;
    virtual QString catalogTerm() const;

    // The background checker's questions. They run on a connection of the backend's own, so they
    // neither wait for nor disturb the user's action or open transaction; false answers "no" or
    // "could not tell".
    virtual bool backgroundCheckRecycleBin(const QString &activity);
    // Reads the schemas' metadata again; true when the backend renewed it.
    virtual bool backgroundCheckValidAndUpdateMetaData(const QString &activity, const QStringList &schemas,
                                                       bool dirtyOnly);
    // The text form of the connection's metadata, which names the connection's target; null without
    // a connection.
    virtual QString connectionMetaDataDescription() const;
    // Both roots are connected to the same target: their metadata are equal.
    virtual bool sameConnectionTarget(const VornRootClient &other) const;

    // The one action at a time the backend serves.
    virtual bool reserved() const;
    virtual bool reserveRoot(const QString &description);
    virtual void releaseReservedRoot();

    // Outcome of the last action.
    virtual bool lastActionSuccessful() const;
    virtual QString lastErrorMessage() const;
    // lastActionSuccessful and lastErrorMessage as one value, a bridge failure of this thread since
    // the last outcome counting as a failure.
    BackendOutcome lastOutcome() const;

    // Transactions.
    virtual BackendOutcome commit();
    virtual BackendOutcome rollback();
    // The connection holds uncommitted changes.
    virtual bool dirty() const;
    // DDL commits the open transaction on this database.
    virtual bool dataDefinitionCausesTransactionCommit() const;
    virtual int dirtySeconds() const;
    virtual void resetDirtySeconds();

    // The root lets the user's focus move on: no edit or compile is pending.
    virtual bool allowFocusChange() const;
    // The connected database keeps dropped objects and the preferences offer its recycle bin. Any thread.
    bool supportsRecycleBin() const;
    // The connected database explains statements.
    virtual bool analysisSupported() const;

    // Words for colouring: the connection's own, or the standard ones without a connection.
    virtual QStringList reservedWords() const;
    virtual QStringList contextWords() const;
    virtual QStringList defaultReservedWords() const;

    // The parts the root holds.
    virtual std::shared_ptr<SqlConnectionClient> sqlConnection() const;
    virtual std::shared_ptr<VornBrowserClient> browser() const;
    virtual std::shared_ptr<VornAnalyserClient> analyse() const;
    virtual std::shared_ptr<VornRecyclebinClient> recyclebin() const;
    // Writes imported rows into a table of the connection.
    virtual std::shared_ptr<VornImporterClient> importer() const;
    // The stored code the browser loaded last; null when rows or a statement's result came after it.
    virtual std::shared_ptr<VornProcedureClient> procedure() const;
    // The loaded object shown as text (its definition) instead of rows or stored code.
    virtual bool hasContentDescription() const;
    virtual QString contentDescription() const;
    // The current result set; null when the root holds none. The same client as long as the root holds
    // the same result set: its rows cross to the client once.
    virtual std::shared_ptr<VornResultset> resultset() const;
    // The current result set's state; none when the root holds no result set.
    virtual std::optional<ResultsetState> resultsetState() const;
    virtual void clearResultset();

    // Questions about a database type, asked of the root's class.
    static bool databaseTypeHasLocalDatabaseFileConnection(const QString &type);
    static bool databaseTypeHasDedicatedTransactionSupport(const QString &type);

protected:
    // For fakes.
    VornRootClient();
    // The connected database keeps dropped objects in a recycle bin (only Oracle does).
    virtual bool databaseHasRecycleBin() const;

private:
    bool ask(const char *selector) const;
    QStringList metaDataWords(const char *selector) const;
    QString metaDataTerm(const char *selector) const;

    QoJavaObjectPtr root_;
    mutable std::mutex resultsetMutex_;
    mutable std::shared_ptr<VornResultset> resultset_;
};

using VornRootClientPtr = std::shared_ptr<VornRootClient>;
