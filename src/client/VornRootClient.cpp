#include "client/VornRootClient.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "client/JavaCall.h"
#include "client/SqlConnectionClient.h"
#include "client/VornAnalyserClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornImporterClient.h"
#include "client/VornProcedureClient.h"
#include "client/VornRecyclebinClient.h"
#include "client/VornResultset.h"
#include "platform/Preferences.h"

namespace
{

QString s(const char *selector)
{
    return QString::fromLatin1(selector);
}

bool askRootClass(const char *selector, const QString &type)
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    const QoJavaClass *root = bridge ? bridge->classForName(s(VornRootClient::className)) : nullptr;
    return JavaCall::sendStatic(root, s(selector), {type}).toBool();
}

} // namespace

std::shared_ptr<VornRootClient> VornRootClient::create(const QString &backendClassName)
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    QoJavaObjectPtr root = bridge ? bridge->instanceOfObject(backendClassName) : nullptr;
    return root ? std::make_shared<VornRootClient>(std::move(root)) : nullptr;
}

VornRootClient::VornRootClient(QoJavaObjectPtr root) : root_(std::move(root))
{
    Q_ASSERT_X(root_, "VornRootClient", "A root client needs its backend object");
}

VornRootClient::VornRootClient() = default;
VornRootClient::~VornRootClient() = default;

bool VornRootClient::ask(const char *selector) const
{
    return JavaCall::send(root_, s(selector)).toBool();
}

void VornRootClient::initRoot(const RootSettings &settings)
{
    JavaCall::send(root_, s("initRoot:::::::"),
                   {settings.supportFolder, settings.timestampFormat, settings.quickFilterUseLike ? 1 : 0,
                    settings.quickFilterUseLikeMatchOnNumeric ? 1 : 0,
                    settings.timestampRoundMidnight ? 1 : 0, settings.resultsetRowLimit, 0});
}

void VornRootClient::deInitialize()
{
    JavaCall::send(root_, s("deInitialize"));
}

bool VornRootClient::hasConnection() const
{
    return ask("hasConnection");
}

bool VornRootClient::isConnected() const
{
    return ask("isConnected");
}

BackendOutcome VornRootClient::startNewConnection(const ConnectRequestFields &request)
{
    JavaCall::takeFailure();
    JavaCall::send(root_, s("startNewConnection:::::::::"),
                   {request.server, request.port, request.database, request.userName, request.password,
                    request.databaseType, request.clientName, request.timeOutSeconds, request.flags});
    return lastOutcome();
}

void VornRootClient::cancelConnecting()
{
    JavaCall::send(root_, s("cancelConnecting"));
}

void VornRootClient::endConnection()
{
    JavaCall::send(root_, s("endConnection"));
}

void VornRootClient::dropConnection()
{
    JavaCall::send(root_, s("dropConnection"));
}

bool VornRootClient::localDatabaseFileConnection() const
{
    return ask("localDatabaseFileConnection");
}

QString VornRootClient::connectionType() const
{
    return JavaCall::send(root_, s("connectionType")).toString();
}

QString VornRootClient::database() const
{
    return JavaCall::send(root_, s("database")).toString();
}

QString VornRootClient::userName() const
{
    return JavaCall::send(root_, s("username")).toString();
}

QString VornRootClient::server() const
{
    return JavaCall::send(root_, s("server")).toString();
}

QVariantMap VornRootClient::connectionInfo() const
{
    return JavaUtils::dictionaryFromHashtable(JavaCall::object(root_, s("connectionInfo")));
}

bool VornRootClient::fullyLoadedForSchema(const QString &schema) const
{
    return JavaCall::send(root_, s("fullyLoadedForSchema:"), {schema}).toBool();
}

void VornRootClient::fullyLoadForSchema(const QString &schema)
{
    JavaCall::send(root_, s("fullyLoadForSchema:"), {schema});
}

void VornRootClient::reloadConnectionMetaDataCache()
{
    JavaCall::send(root_, s("reloadConnectionMetaDataCache"));
}

bool VornRootClient::needsRefreshAfterCommit() const
{
    return ask("needsRefreshAfterCommit");
}

bool VornRootClient::reserved() const
{
    return ask("reserved");
}

bool VornRootClient::reserveRoot(const QString &description)
{
    return JavaCall::send(root_, s("reserveRoot:"), {description}).toBool();
}

void VornRootClient::releaseReservedRoot()
{
    JavaCall::send(root_, s("releaseReservedRoot"));
}

bool VornRootClient::lastActionSuccessful() const
{
    return ask("lastActionSuccessful");
}

QString VornRootClient::lastErrorMessage() const
{
    return JavaCall::send(root_, s("lastErrorMessage")).toString();
}

BackendOutcome VornRootClient::lastOutcome() const
{
    const QString bridgeFailure = JavaCall::takeFailure();
    if (!bridgeFailure.isNull())
        return BackendOutcome::failure(bridgeFailure);
    if (lastActionSuccessful())
        return BackendOutcome::success();
    return BackendOutcome::failure(lastErrorMessage());
}

BackendOutcome VornRootClient::commit()
{
    JavaCall::takeFailure();
    JavaCall::send(root_, s("commit"));
    return lastOutcome();
}

BackendOutcome VornRootClient::rollback()
{
    JavaCall::takeFailure();
    JavaCall::send(root_, s("rollback"));
    return lastOutcome();
}

bool VornRootClient::dirty() const
{
    return ask("dirty");
}

bool VornRootClient::dataDefinitionCausesTransactionCommit() const
{
    return ask("dataDefinitionCausesTransactionCommit");
}

bool VornRootClient::allowFocusChange() const
{
    return ask("allowFocusChange");
}

bool VornRootClient::supportsRecycleBin() const
{
    return Preferences().flag(PreferenceKey::recycleBinSupport) && databaseHasRecycleBin();
}

bool VornRootClient::databaseHasRecycleBin() const
{
    return ask("supportsRecycleBin");
}

int VornRootClient::dirtySeconds() const
{
    return JavaCall::send(root_, s("dirtySeconds")).toInt();
}

void VornRootClient::resetDirtySeconds()
{
    JavaCall::send(root_, s("resetDirtySeconds"));
}

QStringList VornRootClient::metaDataWords(const char *selector) const
{
    return JavaCall::strings(JavaCall::send(JavaCall::object(root_, s("connectionMetaData")), s(selector)));
}

QString VornRootClient::metaDataTerm(const char *selector) const
{
    return JavaCall::send(JavaCall::object(root_, s("connectionMetaData")), s(selector)).toString();
}

bool VornRootClient::backgroundCheckRecycleBin(const QString &activity)
{
    return JavaCall::send(root_, s("backgroundCheckRecycleBin:"), {activity}).toBool();
}

bool VornRootClient::backgroundCheckValidAndUpdateMetaData(const QString &activity,
                                                           const QStringList &schemas, bool dirtyOnly)
{
    QVariantList names;
    for (const QString &schema : schemas)
        names << schema;
    const QoJavaObjectPtr vector = JavaUtils::vectorFromArray(names);
    return JavaCall::send(root_, s("backgroundCheckValidAndUpdateMetaData:::"),
                          {activity, QVariant::fromValue(vector), dirtyOnly})
        .toBool();
}

QString VornRootClient::connectionMetaDataDescription() const
{
    if (!hasConnection())
        return QString();
    const QoJavaObjectPtr metaData = JavaCall::object(root_, s("connectionMetaData"));
    return metaData ? metaData->description() : QString();
}

bool VornRootClient::sameConnectionTarget(const VornRootClient &other) const
{
    const QoJavaObjectPtr mine = JavaCall::object(root_, s("connectionMetaData"));
    const QoJavaObjectPtr theirs = JavaCall::object(other.root_, s("connectionMetaData"));
    return mine && theirs && mine->isEqualTo(theirs);
}

QString VornRootClient::schemaTerm() const
{
    return metaDataTerm("schemaTerm");
}

QString VornRootClient::catalogTerm() const
{
    return metaDataTerm("catalogTerm");
}

QStringList VornRootClient::reservedWords() const
{
    return metaDataWords("reservedWords");
}

QStringList VornRootClient::contextWords() const
{
    return metaDataWords("contextWords");
}

QStringList VornRootClient::defaultReservedWords() const
{
    QoJavaBridge *bridge = root_ ? root_->bridge() : nullptr;
    const QoJavaClass *words = bridge ? bridge->classForName(s("nl.dalmerik.vorn.ReservedWords")) : nullptr;
    return JavaCall::strings(JavaCall::sendStatic(words, s("getReservedWords")));
}

std::shared_ptr<SqlConnectionClient> VornRootClient::sqlConnection() const
{
    QoJavaObjectPtr connection = JavaCall::object(root_, s("sqlConnection"));
    return connection ? std::make_shared<SqlConnectionClient>(std::move(connection)) : nullptr;
}

std::shared_ptr<VornBrowserClient> VornRootClient::browser() const
{
    QoJavaObjectPtr browser = JavaCall::object(root_, s("browser"));
    return browser ? std::make_shared<VornBrowserClient>(std::move(browser)) : nullptr;
}

std::shared_ptr<VornAnalyserClient> VornRootClient::analyse() const
{
    QoJavaObjectPtr analyser = JavaCall::object(root_, s("analyse"));
    return analyser ? std::make_shared<VornAnalyserClient>(std::move(analyser)) : nullptr;
}

std::shared_ptr<VornRecyclebinClient> VornRootClient::recyclebin() const
{
    QoJavaObjectPtr recyclebin = JavaCall::object(root_, s("recyclebin"));
    return recyclebin ? std::make_shared<VornRecyclebinClient>(std::move(recyclebin)) : nullptr;
}

bool VornRootClient::hasContentDescription() const
{
    return ask("hasContentDescription");
}

QString VornRootClient::contentDescription() const
{
    return JavaCall::send(root_, s("contentDescription")).toString();
}

bool VornRootClient::analysisSupported() const
{
    return ask("analysisSupported");
}

std::shared_ptr<VornImporterClient> VornRootClient::importer() const
{
    QoJavaObjectPtr importer = JavaCall::object(root_, s("importer"));
    return importer ? std::make_shared<VornImporterClient>(std::move(importer)) : nullptr;
}

std::shared_ptr<VornProcedureClient> VornRootClient::procedure() const
{
    QoJavaObjectPtr procedure = JavaCall::object(root_, s("procedure"));
    return procedure ? std::make_shared<VornProcedureClient>(std::move(procedure)) : nullptr;
}

std::shared_ptr<VornResultset> VornRootClient::resultset() const
{
    QoJavaObjectPtr resultset = JavaCall::object(root_, s("resultset"));
    std::lock_guard lock(resultsetMutex_);
    if (!resultset)
        resultset_.reset();
    else if (!resultset_ || !resultset_->object()->isSameObject(*resultset))
        resultset_ = std::make_shared<VornResultset>(std::move(resultset));
    return resultset_;
}

std::optional<ResultsetState> VornRootClient::resultsetState() const
{
    // The result set may be cleared between two questions: a missing one answers like an empty one.
    const QoJavaObjectPtr current = JavaCall::object(root_, s("resultset"));
    if (!current)
        return std::nullopt;
    return ResultsetState{JavaCall::send(current, s("rowCount")).toInt(),
                          JavaCall::send(current, s("fullyLoaded")).toBool(),
                          JavaCall::send(current, s("readOnly")).toBool(),
                          JavaCall::send(current, s("readOnlyReason")).toString()};
}

void VornRootClient::clearResultset()
{
    JavaCall::send(root_, s("clearResultset"));
    std::lock_guard lock(resultsetMutex_);
    resultset_.reset();
}

bool VornRootClient::databaseTypeHasLocalDatabaseFileConnection(const QString &type)
{
    return askRootClass("databaseTypeHasLocalDatabaseFileConnection:", type);
}

bool VornRootClient::databaseTypeHasDedicatedTransactionSupport(const QString &type)
{
    return askRootClass("databaseTypeHasDedicatedTransactionSupport:", type);
}
