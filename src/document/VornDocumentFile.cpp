// Saving and opening SQL documents, showing the tab for the first time, restoration and tab
// duplication.

#include "bridge/QoJavaObject.h"
#include "connection/ConnectionHelper.h"
#include "connection/DatabaseTypeTraits.h"
#include "document/BrowserRouting.h"
#include "document/DocumentHelper.h"
#include "document/StatusManagerViewController.h"
#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"
#include "window/PaneViewController.h"
#include "window/VornTabbedWindowController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QStringDecoder>

#include <utility>

namespace
{

const QString sqlContentKey = QStringLiteral("sqlContent");
const QString sqlArgumentsKey = QStringLiteral("sqlArguments");
const QString connectionParametersKey = QStringLiteral("connectionParameters");
const QString connectedKey = QStringLiteral("connected");
const QString restorationKey = QStringLiteral("sourceIsRestoration");

double secondsSinceReferenceDate()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0 - 978307200.0;
}

// The text of a document file; nothing, with the reason, for bytes that are not UTF-8.
std::optional<QString> decodedText(const QByteArray &data, QString *error)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(data);
    if (decoder.hasError()) {
        if (error)
            *error = QCoreApplication::translate("document",
                                                 "The file is not a text file in UTF-8. Vorn opens SQL "
                                                 "documents only as UTF-8 text, so that nothing of it "
                                                 "is lost when it is saved again.");
        return std::nullopt;
    }
    return text;
}

// A header written without a connection holds an empty one, read as a connection to no server and
// no database; the document then has none, rather than one it would try to open and show as "@ on".
ConnectionParametersPtr storedConnection(const ConnectionParametersPtr &parameters)
{
    if (!parameters || (parameters->server().isEmpty() && parameters->database().isEmpty()))
        return nullptr;
    return parameters;
}

} // namespace

ConnectionParametersPtr VornDocument::connectionParametersFromInfo(const QVariant &value)
{
    if (value.canConvert<ConnectionParametersPtr>())
        return value.value<ConnectionParametersPtr>();
    if (value.typeId() == QMetaType::QVariantMap)
        return std::make_shared<ConnectionParameters>(value.toMap());
    return nullptr;
}

// Saving and opening.

QByteArray VornDocument::dataOfType() const
{
    QVariantMap options = documentOptions_;
    if (!options.contains(QStringLiteral("created")))
        options.insert(QStringLiteral("created"), secondsSinceReferenceDate());
    if (!options.contains(QStringLiteral("creator")))
        options.insert(QStringLiteral("creator"), DocumentHelper::userFullName());
    options.insert(QStringLiteral("modified"), secondsSinceReferenceDate());
    options.insert(QStringLiteral("modifier"), DocumentHelper::userFullName());
    documentOptions_ = options;
    QString text = sqlContents();
    DocumentHelper::createStorageSettingsForSQL(text, connectionParameters_.get(), sqlParameterCache(),
                                                options);
    return withLineEnding(text, lineEnding_).toUtf8();
}

bool VornDocument::readFromData(const QByteArray &data, QString *error)
{
    std::optional<QString> text = decodedText(data, error);
    if (!text)
        return false;
    lineEnding_ = lineEndingOf(*text);
    *text = withLfLineEndings(*text);
    ConnectionParametersPtr parameters;
    std::optional<QVariantMap> arguments;
    std::optional<QVariantMap> options;
    QVariantMap info;
    if (DocumentHelper::obtainStoredSettingsFromSql(*text, parameters, arguments, options)) {
        setSqlContents(*text);
        if (arguments) {
            updateSqlParameterCache(*arguments);
            info.insert(sqlArgumentsKey, *arguments);
        }
        if (options)
            setDocumentOptions(*options);
        if (storedConnection(parameters))
            info.insert(connectionParametersKey, QVariant::fromValue(parameters));
    }
    info.insert(sqlContentKey, *text);
    setInitializationInfo(info);
    return true;
}

bool VornDocument::revertToContentsOfURL(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    std::optional<QString> text = decodedText(file.readAll(), error);
    if (!text)
        return false;
    lineEnding_ = lineEndingOf(*text);
    *text = withLfLineEndings(*text);
    ConnectionParametersPtr parameters;
    std::optional<QVariantMap> arguments;
    std::optional<QVariantMap> options;
    if (DocumentHelper::obtainStoredSettingsFromSql(*text, parameters, arguments, options)) {
        if (options)
            setDocumentOptions(*options);
        if (storedConnection(parameters))
            setConnectionParameters(parameters);
        if (arguments)
            updateSqlParameterCache(*arguments);
    }
    setSqlContents(*text);
    return true;
}

// First showing of the tab.

void VornDocument::showWindows()
{
    MainWindowDocument::showWindows();
    if (std::exchange(windowsShown_, true))
        return;
    const QVariantMap info = initializationInfo();
    const bool restoring = info.contains(restorationKey);
    UserDefaults &defaults = UserDefaults::standard();
    bool showEditor = !restoring && defaults.boolForKey(PreferenceKey::startWithSqlEditor);
    if (info.contains(sqlContentKey)) {
        setSqlContents(info.value(sqlContentKey).toString());
        // Text from elsewhere than the document's own file is unsaved work.
        if (!restoring && !sqlContents().isEmpty() && filePath().isEmpty())
            setDocumentEdited(true);
    }
    showEditor = showEditor || !sqlContents().isEmpty();
    if (info.contains(sqlArgumentsKey))
        updateSqlParameterCache(info.value(sqlArgumentsKey).toMap());
    if (ConnectionParametersPtr parameters =
            connectionParametersFromInfo(info.value(connectionParametersKey))) {
        const bool shouldConnect = restoring ? info.value(connectedKey).toBool() : true;
        setConnectionParameters(parameters);
        bool havePassword = true;
        // A database file has no password to look up.
        if (!parameters->password() &&
            !DatabaseTypeTraits().hasLocalDatabaseFileConnection(parameters->databaseType())) {
            const std::optional<QString> password = ConnectionHelper::passwordFromKeychainType(
                parameters->databaseType(), parameters->server(), parameters->port(), parameters->database(),
                parameters->userName());
            parameters->setPassword(password);
            havePassword = password.has_value();
        }
        if (!shouldConnect || havePassword) {
            if (showEditor)
                showEditorPane();
            if (shouldConnect)
                goStartupConnection();
            return;
        }
    }
    if (showEditor)
        showEditorPane();
    if (!preventConnectionOnShowWindows_)
        MainThread::post([guard = QPointer<VornDocument>(this)] {
            if (guard && !guard->isClosed())
                guard->connect(nullptr);
        });
}

void VornDocument::showEditorPane()
{
    if (VornTabbedWindowController *controller = vornWindowController())
        controller->enableContentUpperView(nullptr);
}

// Restoration and duplication.

QVariantMap VornDocument::restorableDocumentInfo() const
{
    QVariantMap info;
    if (connectionParameters_) {
        info.insert(connectionParametersKey, connectionParameters_->dictionary());
        if (connected())
            info.insert(connectedKey, true);
    }
    info.insert(QStringLiteral("tabTitleFormat"), tabTitleFormat_);
    info.insert(QStringLiteral("tabLabel"), tabLabel());
    info.insert(QStringLiteral("sql"), sqlContents());
    if (connected()) {
        const QVariantMap browser = browserRouting_->restorableInfo();
        for (auto it = browser.cbegin(); it != browser.cend(); ++it)
            info.insert(it.key(), it.value());
    }
    LoggerController *logger = session_->statusManager->loggerController();
    info.insert(QStringLiteral("logFileUrl"), logger->logFileUrl().toString());
    logger->flushToDisk();
    return info;
}

void VornDocument::restoreDocumentWithInfo(const std::optional<QVariantMap> &state)
{
    QVariantMap info = initializationInfo();
    info.insert(restorationKey, true);
    const QVariantMap stored = state.value_or(QVariantMap());
    if (stored.contains(connectionParametersKey)) {
        info.insert(connectionParametersKey,
                    QVariant::fromValue(connectionParametersFromInfo(stored.value(connectionParametersKey))));
        if (stored.contains(connectedKey))
            info.insert(connectedKey, stored.value(connectedKey));
    }
    // The browser's state and the element it showed come back with the connection.
    for (const QString &key : {QStringLiteral("browserController"), QStringLiteral("lastElement"),
                               QStringLiteral("lastElementFilter")}) {
        if (stored.contains(key))
            info.insert(key, stored.value(key));
    }
    // A document with a file keeps the file's text.
    if (stored.contains(QStringLiteral("sql")) && filePath().isEmpty() &&
        autosavedContentsFilePath().isEmpty())
        info.insert(sqlContentKey, stored.value(QStringLiteral("sql")));
    setInitializationInfo(info);
    if (stored.contains(QStringLiteral("logFileUrl")))
        session_->statusManager->loggerController()->continueLogFile(
            QUrl(stored.value("logFileUrl").toString()));
    setTabLabel(unsigned(stored.value(QStringLiteral("tabLabel")).toInt()));
    tabTitleFormat_ = stored.value(QStringLiteral("tabTitleFormat")).toInt();
    preventConnectionOnShowWindows_ = true;
}

void VornDocument::documentRestorationComplete()
{
    if (VornTabbedWindowController *controller = vornWindowController()) {
        if (auto *status = controller->pane(VornTabbedWindowController::Pane::Status)
                               ->findChild<StatusManagerViewController *>())
            status->statusReset();
    }
}

QVariantMap VornDocument::initializationInfoForTabDuplication() const
{
    if (!connectionParameters_)
        return {};
    QVariantMap info{{connectionParametersKey, QVariant::fromValue(connectionParameters_)},
                     {connectedKey, connected()}};
    if (connected()) {
        const QVariantMap browser = browserRouting_->duplicationInfo();
        for (auto it = browser.cbegin(); it != browser.cend(); ++it)
            info.insert(it.key(), it.value());
    }
    if (UserDefaults::standard().boolForKey(PreferenceKey::tabDuplicateSQL))
        info.insert(sqlContentKey, sqlContents());
    return info;
}
