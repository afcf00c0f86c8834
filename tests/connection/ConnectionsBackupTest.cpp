#include "connection/ConnectionsBackup.h"
#include "FileSizeLimit.h"

#include "InMemoryKeychainScope.h"
#include "RefusingKeychain.h"
#include "connection/ConnectionHelper.h"
#include "connection/ConnectionsBackupPrompt.h"
#include "connection/SavedConnections.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

struct Alert {
    QString message, informative;
};

class FakePrompt : public ConnectionsBackupPrompt
{
public:
    void cancelSheets() override { ++sheetsCancelled; }
    void showAlert(const QString &messageText, const QString &informativeText) override
    {
        alerts.append({messageText, informativeText});
    }
    bool confirm(const QString &messageText, const QString &informativeText, const QString &defaultButton,
                 const QString &otherButton, const QString &checkboxTitle, bool *checked) override
    {
        questions.append({messageText, informativeText});
        EXPECT_EQ(defaultButton, "Import");
        EXPECT_EQ(otherButton, "Cancel");
        EXPECT_EQ(checkboxTitle, "Replace all existing connections");
        EXPECT_FALSE(*checked);
        *checked = replaceAll;
        return answerImport;
    }

    bool answerImport = true;
    bool replaceAll = false;
    int sheetsCancelled = 0;
    QList<Alert> alerts;
    QList<Alert> questions;
};

QVariantMap savedEntry(const QString &name, const QString &type, quint64 autoCommit, quint64 label)
{
    return QVariantMap{{"name", name},
                       {"databaseType", type},
                       {"server", type == "SQLite" ? "" : "host"},
                       {"port", "5432"},
                       {"database", "db"},
                       {"username", type == "SQLite" ? "" : "u"},
                       {"autocommit", qint64(autoCommit)},
                       {"label", qint64(label)}};
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class ConnectionsBackupTest : public ::testing::Test
{
protected:
    void SetUp() override { defaults().removeObjectForKey(SavedConnections::allConnectionsKey); }

    static UserDefaults &defaults() { return UserDefaults::standard(); }
    static QVariantList saved() { return defaults().arrayForKey(SavedConnections::allConnectionsKey); }
    static void setSaved(const QVariantList &entries)
    {
        defaults().setObject(entries, SavedConnections::allConnectionsKey);
    }
    QString writeFile(const QByteArray &content)
    {
        const QString path = dir.filePath(QString("backup%1.vornconnections").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QString writeBackup(const QJsonArray &connections, const QString &creator = "Vorn 3")
    {
        return writeFile(
            QJsonDocument(QJsonObject{{"connections", connections}, {"creator", creator}}).toJson());
    }
    static QJsonObject readJson(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    QTemporaryDir dir;
    int files = 0;
    InMemoryKeychainScope scope;
    FakePrompt prompt;
};

} // namespace

TEST_F(ConnectionsBackupTest, RoundTripWithoutPasswords)
{
    const QVariantList original{savedEntry("pg", "PostgreSQL", 1, 0), savedEntry("file", "SQLite", 0, 3),
                                savedEntry("my", "MySQL", 2, 7)};
    setSaved(original);
    ConnectionHelper::storePasswordInKeychainType("PostgreSQL", "host", "5432", "db", "u", "kept secret");

    const QString path = dir.filePath("out.vornconnections");
    ConnectionsBackup::exportConnectionsBackupToURL(path, false, prompt);
    ASSERT_EQ(prompt.alerts.size(), 1);
    EXPECT_EQ(prompt.alerts[0].message, "Connections backup complete");
    EXPECT_EQ(prompt.alerts[0].informative,
              "Vorn has successfully created a connections backup. 3 connections were stored.");

    const QJsonObject root = readJson(path);
    EXPECT_EQ(root.value("creator").toString(), "Vorn 3");
    EXPECT_TRUE(root.contains("creatorVersion"));
    const QJsonArray entries = root.value("connections").toArray();
    ASSERT_EQ(entries.size(), 3);
    for (const QJsonValue &entry : entries)
        EXPECT_FALSE(entry.toObject().contains("password"));
    EXPECT_EQ(entries[0].toObject().value("autoCommit").toString(), "on");
    EXPECT_FALSE(entries[0].toObject().contains("colorLabel"));
    EXPECT_EQ(entries[0].toObject().value("label").toInt(-1), 0);
    EXPECT_EQ(entries[2].toObject().value("colorLabel").toString(), "black");

    setSaved({});
    prompt.replaceAll = true;
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    EXPECT_EQ(prompt.sheetsCancelled, 1);
    ASSERT_EQ(prompt.questions.size(), 1);
    EXPECT_EQ(prompt.questions[0].message, "Import Connections Backup");
    EXPECT_EQ(
        prompt.questions[0].informative,
        "Vorn found 3 connections to import. Select import options below and click 'Import' to start the "
        "import process.");
    EXPECT_EQ(prompt.alerts.last().message, "Import connections backup complete");
    EXPECT_EQ(prompt.alerts.last().informative,
              "Vorn has successfully imported a connections backup. 2 connections were imported. 1 SQLite "
              "connection was skipped: local database files do not move with a backup.");

    // The local-file connection is skipped; the others come back unchanged.
    const QVariantList imported = saved();
    ASSERT_EQ(imported.size(), 2);
    EXPECT_TRUE(
        ConnectionParameters(imported[0].toMap()).isEqualTo(ConnectionParameters(original[0].toMap())));
    EXPECT_TRUE(
        ConnectionParameters(imported[1].toMap()).isEqualTo(ConnectionParameters(original[2].toMap())));
    EXPECT_EQ(scope.keychain().itemCount(), 1);
}

TEST_F(ConnectionsBackupTest, RoundTripWithPasswordsInAPrivateFile)
{
    setSaved({savedEntry("pg", "PostgreSQL", 1, 0), savedEntry("my", "MySQL", 0, 2)});
    ConnectionHelper::storePasswordInKeychainType("PostgreSQL", "host", "5432", "db", "u", "pässword");

    // An earlier, world-readable file at the same place must not keep its mode.
    const QString path = writeFile("old");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    ConnectionsBackup::exportConnectionsBackupToURL(path, true, prompt);
    EXPECT_EQ(prompt.alerts.value(0).message, "Connections backup complete");
    struct stat status {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    const QJsonArray entries = readJson(path).value("connections").toArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toObject().value("password").toString(), "pässword");
    EXPECT_FALSE(entries[1].toObject().contains("password")) << "no keyring item, no password";

    // Importing elsewhere stores the password in that keyring.
    Keychain::setShared(std::make_unique<InMemoryKeychain>());
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("PostgreSQL", "host", "5432", "db", "u"),
              std::optional<QString>("pässword"));
    EXPECT_FALSE(ConnectionHelper::passwordFromKeychainType("MySQL", "host", "5432", "db", "u"));
    EXPECT_EQ(saved().size(), 4) << "appended to the two saved ones";
}

TEST_F(ConnectionsBackupTest, ImportTellsThePasswordsTheKeyringRefused)
{
    setSaved({savedEntry("pg", "PostgreSQL", 1, 0), savedEntry("my", "MySQL", 0, 2)});
    ConnectionHelper::storePasswordInKeychainType("PostgreSQL", "host", "5432", "db", "u", "secret");
    ConnectionHelper::storePasswordInKeychainType("MySQL", "host", "5432", "db", "u", "other");
    const QString path = dir.filePath("with-passwords.vornconnections");
    ConnectionsBackup::exportConnectionsBackupToURL(path, true, prompt);

    RefusingKeychainScope refusing;
    refusing.keychain().refuses = true;
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    ASSERT_EQ(prompt.alerts.size(), 2);
    EXPECT_EQ(prompt.alerts[1].message, "Import connections backup complete");
    EXPECT_EQ(
        prompt.alerts[1].informative,
        "Vorn has successfully imported a connections backup. 2 connections were imported. The passwords "
        "of 2 connections could not be stored in the keyring; Vorn will ask for them when you connect.");
    EXPECT_EQ(saved().size(), 4) << "the connections are imported all the same";
    EXPECT_FALSE(ConnectionHelper::passwordFromKeychainType("PostgreSQL", "host", "5432", "db", "u"));
}

TEST_F(ConnectionsBackupTest, GenerationTwoConversion)
{
    const struct {
        const char *what;
        int generation;
        QVariantMap entry;
        QString name, server, port;
    } cases[] = {
        {"host and port",
         2,
         {{"server", "host:1521"}, {"description", "Old prod"}, {"name", "x"}},
         "Old prod",
         "host",
         "1521"},
        {"third part ignored",
         2,
         {{"server", "host:1521:ORCL"}, {"port", "1"}},
         "Nameless connection",
         "host",
         "1521"},
        {"no colon", 2, {{"server", "host"}, {"port", "3306"}, {"name", "n"}}, "n", "host", "3306"},
        {"generation 3 keeps the text",
         3,
         {{"server", "host:1521"}, {"description", "d"}, {"name", "n"}},
         "n",
         "host:1521",
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const ConnectionParameters p = ConnectionsBackup::convertConnectionFromBackup(c.entry, c.generation);
        EXPECT_EQ(p.connectionName(), c.name);
        EXPECT_EQ(p.server(), c.server);
        EXPECT_EQ(p.port(), c.port);
    }
}

TEST_F(ConnectionsBackupTest, AutoCommitAndColorLabelMappings)
{
    const struct {
        QVariantMap entry;
        quint64 autoCommit, label;
    } reading[] = {
        {{{"autoCommit", "on"}, {"autocommit", 0}}, 1, 0},
        {{{"autoCommit", "off"}}, 0, 0},
        {{{"autoCommit", "sometimes"}, {"autocommit", 1}}, 2, 0},
        {{}, 2, 0},
        {{{"autocommit", 0}}, 0, 0},
        {{{"colorLabel", "red"}}, 0 + 2, 1},
        {{{"colorLabel", "black"}, {"label", 1}}, 2, 7},
        {{{"colorLabel", "white"}}, 2, 9},
        {{{"colorLabel", "magenta"}, {"label", 4}}, 2, 0},
        {{{"label", 4}}, 2, 4},
    };
    for (const auto &c : reading) {
        const ConnectionParameters p = ConnectionsBackup::convertConnectionFromBackup(c.entry, 3);
        EXPECT_EQ(p.autoCommit(), c.autoCommit)
            << QJsonDocument(QJsonObject::fromVariantMap(c.entry)).toJson().data();
        EXPECT_EQ(p.label(), c.label) << QJsonDocument(QJsonObject::fromVariantMap(c.entry)).toJson().data();
    }

    const QStringList colors{"",     "red",    "orange", "yellow", "green",
                             "blue", "purple", "black",  "gray",   "white"};
    for (quint64 label = 0; label <= 10; ++label) {
        ConnectionParameters p(QVariantMap{});
        p.setLabel(label);
        p.setAutoCommit(label % 4);
        const QVariantMap entry = ConnectionsBackup::convertConnectionToBackup(p, true);
        EXPECT_EQ(entry.value("colorLabel").toString(), colors.value(qsizetype(label))) << label;
        EXPECT_EQ(entry.contains("colorLabel"), label >= 1 && label <= 9);
        EXPECT_EQ(entry.value("autoCommit").toString(), QStringList({"off", "on", "ask", ""}).at(label % 4));
        EXPECT_EQ(entry.contains("autoCommit"), label % 4 != 3);
        EXPECT_FALSE(entry.contains("password")) << "no password set";
    }
}

TEST_F(ConnectionsBackupTest, UnusableFilesChangeNothing)
{
    const QVariantList before{savedEntry("keep", "Oracle", 1, 1)};
    const QString corruptedTitle = "Import Connections Backup Error";
    const struct {
        const char *what;
        QByteArray content;
        bool formatError;
    } cases[] = {
        {"not JSON", "{\"connections\": [", true},
        {"empty file", "", true},
        {"wrong creator", R"({"creator":"Other","connections":[{"name":"a"}]})", false},
        {"no creator", R"({"connections":[{"name":"a"}]})", false},
        {"empty connections", R"({"creator":"Vorn 3","connections":[]})", false},
        {"connections not an array", R"({"creator":"Vorn 3","connections":{"name":"a"}})", false},
        {"no valid entry", R"({"creator":"Vorn 3","connections":[1,"x",{"name":5},{"label":"red"}]})", false},
        {"top level array", R"([{"creator":"Vorn 3"}])", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        setSaved(before);
        prompt.alerts.clear();
        ConnectionsBackup::importConnectionsBackupFromURL(writeFile(c.content), prompt);
        ASSERT_EQ(prompt.alerts.size(), 1);
        if (c.formatError) {
            EXPECT_TRUE(prompt.alerts[0].message.contains("isn’t in the correct format"));
        } else {
            EXPECT_EQ(prompt.alerts[0].message, corruptedTitle);
            EXPECT_EQ(prompt.alerts[0].informative,
                      "Vorn cannot import the selected file, it is corrupted or "
                      "important information is missing.");
        }
        EXPECT_EQ(saved(), before);
    }
    ConnectionsBackup::importConnectionsBackupFromURL(dir.filePath("absent.vornconnections"), prompt);
    EXPECT_TRUE(prompt.alerts.last().message.contains("couldn’t be opened"));
    EXPECT_TRUE(prompt.questions.isEmpty());
    EXPECT_EQ(saved(), before);
}

TEST_F(ConnectionsBackupTest, MalformedEntriesAreSkippedAndTheRestImported)
{
    const QJsonArray connections{
        QJsonObject{{"name", "good"}, {"databaseType", "MySQL"}, {"autocommit", "1"}, {"label", 2}},
        "not an object",
        QJsonObject{{"name", "bad port"}, {"port", 5432}},
        QJsonObject{{"name", "bad label"}, {"label", "red"}},
        QJsonObject{{"name", "negative"}, {"autocommit", -1}},
        QJsonObject{{"name", "bad password"}, {"password", QJsonValue::Null}},
        QJsonObject{{"name", "good too"}, {"server", "h"}, {"password", "pw"}},
    };
    ConnectionsBackup::importConnectionsBackupFromURL(writeBackup(connections), prompt);
    ASSERT_EQ(prompt.questions.size(), 1);
    EXPECT_TRUE(prompt.questions[0].informative.startsWith("Vorn found 2 connections"));
    const QVariantList imported = saved();
    ASSERT_EQ(imported.size(), 2);
    const ConnectionParameters first(imported[0].toMap());
    EXPECT_EQ(first.connectionName(), "good");
    EXPECT_EQ(first.autoCommit(), 1u);
    EXPECT_EQ(first.label(), 2u);
    EXPECT_EQ(ConnectionParameters(imported[1].toMap()).connectionName(), "good too");
    EXPECT_EQ(scope.keychain().itemCount(), 1);
}

TEST_F(ConnectionsBackupTest, AppendReplaceAndCancel)
{
    setSaved({savedEntry("existing", "Oracle", 1, 0)});
    const QString path = writeBackup({QJsonObject{{"name", "a"}}, QJsonObject{{"name", "b"}}});

    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    EXPECT_EQ(saved().size(), 5) << "no duplicate detection: the same file twice doubles";

    prompt.answerImport = false;
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    EXPECT_EQ(saved().size(), 5);

    // Replacing server connections with a file of local-file connections only leaves an empty list.
    prompt.answerImport = true;
    prompt.replaceAll = true;
    ConnectionsBackup::importConnectionsBackupFromURL(
        writeBackup({QJsonObject{{"name", "f"}, {"databaseType", "SQLite"}}}, "Vorn 2"), prompt);
    EXPECT_TRUE(saved().isEmpty());
    EXPECT_EQ(prompt.alerts.last().informative,
              "Vorn has successfully imported a connections backup. 0 connections were imported. 1 SQLite "
              "connection was skipped: local database files do not move with a backup.");
}

TEST_F(ConnectionsBackupTest, ReplacingKeepsTheLocalFileConnectionsABackupCannotBring)
{
    setSaved({savedEntry("old oracle", "Oracle", 1, 0), savedEntry("file one", "SQLite", 0, 3),
              savedEntry("old pg", "PostgreSQL", 1, 0), savedEntry("file two", "SQLite", 1, 0)});
    const QString path = writeBackup({
        QJsonObject{{"name", "new my"}, {"databaseType", "MySQL"}},
        QJsonObject{{"name", "their file"}, {"databaseType", "SQLite"}},
        "not an object",
        QJsonObject{{"name", "bad label"}, {"label", "red"}},
        QJsonObject{{"name", "new pg"}, {"databaseType", "PostgreSQL"}},
    });
    prompt.replaceAll = true;
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);

    QStringList names;
    for (const QVariant &entry : saved())
        names.append(ConnectionParameters(entry.toMap()).connectionName());
    EXPECT_EQ(names, QStringList({"file one", "file two", "new my", "new pg"}));
    EXPECT_EQ(ConnectionParameters(saved()[0].toMap()).label(), 3u) << "kept as it was";
    EXPECT_EQ(prompt.alerts.last().message, "Import connections backup complete");
    EXPECT_EQ(prompt.alerts.last().informative,
              "Vorn has successfully imported a connections backup. 2 connections were imported. 1 SQLite "
              "connection was skipped: local database files do not move with a backup. 2 entries were "
              "skipped because they are damaged or incomplete. The 2 saved SQLite connections were kept.");

    // Appending keeps everything and says nothing of kept connections.
    prompt.replaceAll = false;
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    EXPECT_EQ(saved().size(), 6);
    EXPECT_FALSE(prompt.alerts.last().informative.contains("were kept"));
}

TEST_F(ConnectionsBackupTest, ImportThatCannotBeSavedKeepsTheSavedListAndSaysSo)
{
    const QVariantList before{savedEntry("existing", "Oracle", 1, 0)};
    setSaved(before);
    defaults().synchronize();
    const QString storePath = defaults().filePath();
    const QByteArray storedBefore = fileContent(storePath);
    ASSERT_FALSE(storedBefore.isEmpty());
    const QString path =
        writeBackup({QJsonObject{{"name", "a"}, {"password", "pw"}}, QJsonObject{{"name", "b"}}});

    for (const bool replaceAll : {false, true}) {
        SCOPED_TRACE(replaceAll ? "replace all" : "append");
        prompt.replaceAll = replaceAll;
        prompt.alerts.clear();
        {
            const FileSizeLimit full(storedBefore.size());
            ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
        }
        ASSERT_EQ(prompt.alerts.size(), 1);
        EXPECT_EQ(prompt.alerts[0].message, "Import connections backup failed");
        EXPECT_EQ(prompt.alerts[0].informative,
                  QString("Vorn could not save the imported connections to “%1”. Your saved connections "
                          "are unchanged.")
                      .arg(storePath));
        EXPECT_EQ(saved(), before);
        EXPECT_EQ(fileContent(storePath).toStdString(), storedBefore.toStdString());
        EXPECT_EQ(scope.keychain().itemCount(), 0) << "no password of a failed import is kept";
    }

    // With room again, the same import goes through.
    ConnectionsBackup::importConnectionsBackupFromURL(path, prompt);
    EXPECT_EQ(prompt.alerts.last().message, "Import connections backup complete");
    EXPECT_EQ(saved().size(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(fileContent(storePath))
                  .object()
                  .value(SavedConnections::allConnectionsKey)
                  .toArray()
                  .size(),
              2);
    EXPECT_EQ(scope.keychain().itemCount(), 1);
}

TEST_F(ConnectionsBackupTest, AFailedWriteIsReportedNotCompleted)
{
    setSaved({savedEntry("pg", "PostgreSQL", 1, 0)});
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    for (const QString &path : {dir.filePath("missing/out.vornconnections"), dir.filePath("folder")}) {
        prompt.alerts.clear();
        ConnectionsBackup::exportConnectionsBackupToURL(path, true, prompt);
        ASSERT_EQ(prompt.alerts.size(), 1) << path.toStdString();
        EXPECT_EQ(prompt.alerts[0].message, "Connections backup failed");
        EXPECT_TRUE(prompt.alerts[0].informative.contains(path));
    }
}
