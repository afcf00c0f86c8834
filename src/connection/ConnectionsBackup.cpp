#include "connection/ConnectionsBackup.h"

#include "connection/ConnectionHelper.h"
#include "connection/ConnectionsBackupPrompt.h"
#include "connection/SavedConnections.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>

#include <cmath>

namespace
{

Q_LOGGING_CATEGORY(backupLog, "vorn.connections")

const QStringList autoCommitNames{"off", "on", "ask"};
const QStringList colorLabelNames{"red",    "orange", "yellow", "green", "blue",
                                  "purple", "black",  "gray",   "white"};
const QStringList textKeys{"name",     "databaseType", "databasetype", "server",     "port",    "database",
                           "username", "description",  "autoCommit",   "colorLabel", "password"};
const QStringList numberKeys{"autocommit", "label"};

QString tr(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

struct BackupContents {
    int generation = 0;
    QList<QVariantMap> entries;
    // Entries left out because they are not connections the import can read.
    int malformed = 0;
};

// Local database files stay on the machine that has them: a backup never brings such a connection,
// so replacing the saved list leaves them in place.
bool backupCanBring(const ConnectionParameters &connection)
{
    return connection.databaseType() != QLatin1String("SQLite");
}

bool isNonNegativeInteger(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        return number >= 0 && number <= 9007199254740992.0 && std::floor(number) == number;
    }
    static const QRegularExpression digits(QStringLiteral("^\\s*\\+?\\d+\\s*$"));
    return value.isString() && digits.match(value.toString()).hasMatch();
}

// An entry the import can use: an object whose known keys hold values of their kind.
bool isValidEntry(const QJsonValue &value)
{
    if (!value.isObject())
        return false;
    const QJsonObject entry = value.toObject();
    for (const QString &key : textKeys) {
        if (entry.contains(key) && !entry.value(key).isString())
            return false;
    }
    for (const QString &key : numberKeys) {
        if (entry.contains(key) && !isNonNegativeInteger(entry.value(key)))
            return false;
    }
    return true;
}

// The file's generation and usable entries; generation 0 when the file is not a backup.
BackupContents readContents(const QJsonObject &root)
{
    BackupContents contents;
    const QString creator = root.value("creator").toString();
    const int generation = creator == QLatin1String("Vorn 3")   ? 3
                           : creator == QLatin1String("Vorn 2") ? 2
                                                                : 0;
    const QJsonArray connections = root.value("connections").toArray();
    for (const QJsonValue &value : connections) {
        if (isValidEntry(value)) {
            contents.entries.append(value.toObject().toVariantMap());
        } else {
            ++contents.malformed;
            qCWarning(backupLog) << "Skipping a malformed connection in the backup";
        }
    }
    if (generation != 0 && !contents.entries.isEmpty())
        contents.generation = generation;
    return contents;
}

// Reads and parses the file; tells the user and answers nothing when it cannot.
std::optional<QJsonObject> readBackupFile(const QString &path, ConnectionsBackupPrompt &prompt)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompt.showAlert(tr("The file “%1” couldn’t be opened.").arg(QFileInfo(path).fileName()),
                         file.errorString());
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        prompt.showAlert(tr("The file “%1” couldn’t be opened because it isn’t in the correct format.")
                             .arg(QFileInfo(path).fileName()),
                         tr("%1 at offset %2.").arg(error.errorString()).arg(error.offset));
        return std::nullopt;
    }
    return document.object();
}

bool writeBackupFile(const QString &path, const QByteArray &json, bool privateFile, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // Plain-text passwords are for the owner's eyes only.
    if (privateFile && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(json) != json.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// One sentence of the import report, in the singular or the plural form as the count asks.
QString counted(qsizetype count, const char *one, const char *many)
{
    return u' ' + (count == 1 ? tr(one) : tr(many).arg(count));
}

// What the import did, for its closing alert: what came in, what was left out and why, and which
// saved connections a replacing import kept.
QString importReport(qsizetype imported, qsizetype localSkipped, int malformed, qsizetype localKept)
{
    QString report =
        tr("Vorn has successfully imported a connections backup. %1 connections were imported.").arg(imported);
    if (localSkipped > 0)
        report += counted(
            localSkipped, "1 SQLite connection was skipped: local database files do not move with a backup.",
            "%1 SQLite connections were skipped: local database files do not move with a backup.");
    if (malformed > 0)
        report += counted(malformed, "1 entry was skipped because it is damaged or incomplete.",
                          "%1 entries were skipped because they are damaged or incomplete.");
    if (localKept > 0)
        report += counted(localKept, "The saved SQLite connection was kept.",
                          "The %1 saved SQLite connections were kept.");
    return report;
}

} // namespace

QVariantMap ConnectionsBackup::convertConnectionToBackup(const ConnectionParameters &connection,
                                                         bool includePassword)
{
    QVariantMap entry = connection.dictionary();
    if (connection.autoCommit() < quint64(autoCommitNames.size()))
        entry.insert("autoCommit", autoCommitNames.at(qsizetype(connection.autoCommit())));
    if (connection.label() >= 1 && connection.label() <= quint64(colorLabelNames.size()))
        entry.insert("colorLabel", colorLabelNames.at(qsizetype(connection.label() - 1)));
    if (includePassword && connection.password())
        entry.insert("password", *connection.password());
    return entry;
}

ConnectionParameters ConnectionsBackup::convertConnectionFromBackup(const QVariantMap &entry,
                                                                    int inputVersion)
{
    QVariantMap adjusted = entry;
    if (inputVersion == 2) {
        const QString server = entry.value("server").toString();
        if (server.contains(':')) {
            adjusted.insert("server", server.section(':', 0, 0));
            adjusted.insert("port", server.section(':', 1, 1));
        }
        if (entry.contains("description"))
            adjusted.insert("name", entry.value("description"));
    }
    ConnectionParameters connection(adjusted);
    if (entry.contains("autoCommit")) {
        const QString choice = entry.value("autoCommit").toString();
        connection.setAutoCommit(choice == QLatin1String("on") ? 1 : choice == QLatin1String("off") ? 0 : 2);
    }
    if (entry.contains("colorLabel"))
        connection.setLabel(quint64(colorLabelNames.indexOf(entry.value("colorLabel").toString()) + 1));
    if (entry.contains("password"))
        connection.setPassword(entry.value("password").toString());
    return connection;
}

void ConnectionsBackup::exportConnectionsBackupToURL(const QString &path, bool includePasswords,
                                                     ConnectionsBackupPrompt &prompt)
{
    QJsonArray entries;
    for (const ConnectionParametersPtr &connection : SavedConnections::allConnections()) {
        if (includePasswords) {
            connection->setPassword(ConnectionHelper::passwordFromKeychainType(
                connection->databaseType(), connection->server(), connection->port(), connection->database(),
                connection->userName()));
        }
        entries.append(QJsonObject::fromVariantMap(convertConnectionToBackup(*connection, includePasswords)));
    }
    const QJsonObject root{{"connections", entries},
                           {"creator", "Vorn 3"},
                           {"creatorVersion", QCoreApplication::applicationVersion()}};

    QString error;
    if (!writeBackupFile(path, QJsonDocument(root).toJson(QJsonDocument::Compact), includePasswords,
                         &error)) {
        qCWarning(backupLog).noquote() << "Writing the connections backup" << path << "failed:" << error;
        prompt.showAlert(tr("Connections backup failed"),
                         tr("Vorn could not write the connections backup to “%1”: %2").arg(path, error));
        return;
    }
    prompt.showAlert(tr("Connections backup complete"),
                     tr("Vorn has successfully created a connections backup. %1 connections were stored.")
                         .arg(entries.size()));
}

void ConnectionsBackup::importConnectionsBackupFromURL(const QString &path, ConnectionsBackupPrompt &prompt)
{
    prompt.cancelSheets();
    const std::optional<QJsonObject> root = readBackupFile(path, prompt);
    if (!root)
        return;
    const BackupContents contents = readContents(*root);
    if (contents.generation == 0) {
        prompt.showAlert(
            tr("Import Connections Backup Error"),
            tr("Vorn cannot import the selected file, it is corrupted or important information is "
               "missing."));
        return;
    }

    bool replaceAll = false;
    const bool import = prompt.confirm(
        tr("Import Connections Backup"),
        tr("Vorn found %1 connections to import. Select import options below and click 'Import' "
           "to start the import process.")
            .arg(contents.entries.size()),
        tr("Import"), tr("Cancel"), tr("Replace all existing connections"), &replaceAll);
    if (!import)
        return;

    QVariantList imported;
    QList<ConnectionParameters> withPassword;
    qsizetype localSkipped = 0;
    for (const QVariantMap &entry : contents.entries) {
        const ConnectionParameters connection = convertConnectionFromBackup(entry, contents.generation);
        if (!backupCanBring(connection)) {
            qCInfo(backupLog) << "Skipping SQLite connection";
            ++localSkipped;
            continue;
        }
        imported.append(connection.dictionary());
        if (connection.password())
            withPassword.append(connection);
    }

    UserDefaults &defaults = UserDefaults::standard();
    const QVariantList previous = SavedConnections::storedList(&defaults);
    // Replacing takes the place of what a backup can bring; the rest stays, in its order.
    QVariantList kept;
    if (replaceAll) {
        for (const QVariant &entry : previous) {
            if (!backupCanBring(ConnectionParameters(entry.toMap())))
                kept.append(entry);
        }
    }
    const QVariantList all = (replaceAll ? kept : previous) + imported;
    defaults.setObject(all, SavedConnections::allConnectionsKey);
    if (!defaults.synchronize()) {
        // The file keeps the list the user had; so does the store, and nothing of the backup is kept.
        defaults.setObject(previous, SavedConnections::allConnectionsKey);
        defaults.synchronize();
        qCWarning(backupLog).noquote() << "Saving the imported connections to" << defaults.filePath()
                                       << "failed; the previous list was kept";
        prompt.showAlert(tr("Import connections backup failed"),
                         tr("Vorn could not save the imported connections to “%1”. Your saved connections "
                            "are unchanged.")
                             .arg(defaults.filePath()));
        return;
    }
    int unstoredPasswords = 0;
    for (const ConnectionParameters &connection : withPassword) {
        if (!ConnectionHelper::storePasswordInKeychainType(connection.databaseType(), connection.server(),
                                                           connection.port(), connection.database(),
                                                           connection.userName(), *connection.password()))
            ++unstoredPasswords;
    }

    QString report = importReport(imported.size(), localSkipped, contents.malformed, kept.size());
    if (unstoredPasswords > 0) {
        report += QLatin1Char(' ') + tr("The passwords of %1 connections could not be stored in the keyring; "
                                        "Vorn will ask for them when you connect.")
                                         .arg(unstoredPasswords);
    }
    prompt.showAlert(tr("Import connections backup complete"), report);
}
