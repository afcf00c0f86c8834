#include "connection/ConnectionEditor.h"

#include "InMemoryKeychainScope.h"
#include "RefusingKeychain.h"
#include "connection/ConnectionHelper.h"
#include "connection/ConnectionListModel.h"
#include "connection/DatabaseTypeTraits.h"
#include "connection/SavedConnections.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

// The answers of the backend for the five types, without starting a Java VM.
class KnownTypeTraits : public DatabaseTypeTraits
{
public:
    bool hasLocalDatabaseFileConnection(const QString &type) const override { return type == "SQLite"; }
    bool hasDedicatedTransactionSupport(const QString &type) const override { return type != "MySQL"; }
};

class ConnectionEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().removeObjectForKey(SavedConnections::allConnectionsKey);
        list.reloadConnections();
    }

    // Saves a complete server connection through the editor.
    ConnectionParametersPtr saveServerConnection(const QString &name, const QString &type,
                                                 const QString &password, const QString &port = {})
    {
        editor.createNew();
        editor.form().name = name;
        editor.changeDatabaseType(type);
        if (!port.isEmpty())
            editor.form().port = port;
        editor.form().server = "dbhost";
        editor.form().database = "SALES";
        editor.form().userName = "scott";
        editor.form().password = password;
        const ConnectionParametersPtr connection = editor.editingConnection();
        editor.save();
        return connection;
    }

    QStringList savedNames() const
    {
        QStringList names;
        for (const ConnectionParametersPtr &connection : SavedConnections::allConnections())
            names.append(connection->connectionName());
        return names;
    }

    InMemoryKeychainScope keychain;
    ConnectionListModel list;
    KnownTypeTraits traits;
    ConnectionEditor editor{list, traits};
};

TEST_F(ConnectionEditorTest, TypeChoosesVariantDefaultPortAndAutoCommit)
{
    struct Case {
        const char *type;
        bool local;
        const char *port;
        quint64 autoCommit;
    };
    const Case cases[] = {
        {"Oracle", false, "1521", 0},     {"MySQL", false, "3306", 2}, {"PostgreSQL", false, "5432", 0},
        {"SQL Server", false, "1433", 0}, {"SQLite", true, "", 0},
    };
    for (const Case &c : cases) {
        editor.createNew();
        editor.form().server = "old";
        editor.form().database = "old";
        editor.form().userName = "old";
        editor.form().password = "old";
        editor.form().localFile = "file:///old.db";
        editor.changeDatabaseType(c.type);
        EXPECT_EQ(editor.isLocalFileType(), c.local) << c.type;
        EXPECT_EQ(editor.form().port, c.port) << c.type;
        EXPECT_EQ(ConnectionEditor::defaultPortForType(c.type), c.port);
        if (c.local) {
            EXPECT_EQ(editor.form().localFile, "") << c.type;
            EXPECT_EQ(editor.form().autoCommitLocal, c.autoCommit) << c.type;
        } else {
            for (const QString &field : {editor.form().server, editor.form().database, editor.form().userName,
                                         editor.form().password})
                EXPECT_EQ(field, "") << c.type;
            EXPECT_EQ(editor.form().autoCommit, c.autoCommit) << c.type;
        }
    }
}

TEST_F(ConnectionEditorTest, CompletenessNeedsTypeAndTheVariantsRequiredFields)
{
    struct Case {
        const char *what;
        const char *type;
        const char *server;
        const char *port;
        const char *database;
        const char *user;
        const char *file;
        bool complete;
    };
    const Case cases[] = {
        {"no type", "", "h", "1", "d", "u", "", false},
        {"server complete, empty password", "PostgreSQL", "h", "5432", "d", "u", "", true},
        {"empty user name", "PostgreSQL", "h", "5432", "d", "", "", false},
        {"empty server", "Oracle", "", "1521", "d", "u", "", false},
        {"empty port", "Oracle", "h", "", "d", "u", "", false},
        {"empty database", "MySQL", "h", "3306", "", "u", "", false},
        {"local file", "SQLite", "", "", "", "", "file:///tmp/a.db", true},
        {"local without file", "SQLite", "h", "1", "d", "u", "", false},
    };
    for (const Case &c : cases) {
        editor.createNew();
        editor.changeDatabaseType(c.type);
        ConnectionForm &form = editor.form();
        form.server = c.server;
        form.port = c.port;
        form.database = c.database;
        form.userName = c.user;
        form.localFile = c.file;
        EXPECT_EQ(editor.isComplete(), c.complete) << c.what;
    }
}

TEST_F(ConnectionEditorTest, NewConnectionStartsNamedWithoutTypeAndIsAppendedWithItsPassword)
{
    saveServerConnection("First", "Oracle", "one");
    editor.createNew();
    EXPECT_EQ(editor.form().name, "New connection");
    EXPECT_EQ(editor.form().type, "");
    EXPECT_EQ(editor.saveButtonTitle(), "Create");
    EXPECT_FALSE(editor.isComplete());
    const ConnectionParametersPtr second = saveServerConnection("Second", "PostgreSQL", "secret");
    EXPECT_EQ(savedNames(), QStringList({"First", "Second"}));
    EXPECT_EQ(list.selectedConnection(), second);
    EXPECT_EQ(editor.editingConnection(), nullptr);
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("PostgreSQL", "dbhost", "5432", "SALES", "scott"),
              "secret");
    EXPECT_FALSE(SavedConnections::allConnections().at(1)->dictionary().contains("password"));
}

TEST_F(ConnectionEditorTest, EditingShowsStoredValuesAndSavingKeepsThePlace)
{
    saveServerConnection("A", "Oracle", "a");
    const ConnectionParametersPtr mysql = saveServerConnection("B", "MySQL", "b", "3307");
    saveServerConnection("C", "Oracle", "c");

    editor.editConnection(mysql);
    EXPECT_EQ(editor.saveButtonTitle(), "Save");
    EXPECT_EQ(editor.editingConnection(), mysql);
    EXPECT_EQ(editor.form().port, "3307");
    EXPECT_EQ(editor.form().password, "b");
    EXPECT_EQ(editor.form().userName, "scott");
    editor.form().name = "B renamed";
    editor.form().server = "otherhost";
    editor.save();
    EXPECT_EQ(savedNames(), QStringList({"A", "B renamed", "C"}));
    EXPECT_EQ(list.selectedConnection(), mysql);
    EXPECT_EQ(SavedConnections::allConnections().at(1)->server(), "otherhost");
    // The password moves to an item of the new server; the old item stays.
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("MySQL", "otherhost", "3307", "SALES", "scott"),
              "b");
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("MySQL", "dbhost", "3307", "SALES", "scott"), "b");
}

TEST_F(ConnectionEditorTest, CancellingAnEditLeavesTheConnectionUnchanged)
{
    const ConnectionParametersPtr connection = saveServerConnection("A", "Oracle", "a");
    editor.editConnection(connection);
    editor.form().name = "changed";
    editor.changeDatabaseType("SQLite");
    editor.form().localFile = "file:///tmp/x.db";
    editor.cancel();
    EXPECT_EQ(connection->connectionName(), "A");
    EXPECT_EQ(connection->databaseType(), "Oracle");
    EXPECT_EQ(SavedConnections::allConnections().at(0)->server(), "dbhost");
}

TEST_F(ConnectionEditorTest, DuplicateIsANewCopyNamedCopySharingThePassword)
{
    const ConnectionParametersPtr source = saveServerConnection("Prod", "PostgreSQL", "pw");
    saveServerConnection("Other", "Oracle", "x");
    editor.duplicateConnection(source);
    EXPECT_EQ(editor.saveButtonTitle(), "Create");
    EXPECT_NE(editor.editingConnection(), source);
    EXPECT_EQ(editor.form().name, "Prod Copy");
    EXPECT_EQ(editor.form().password, "pw");
    EXPECT_EQ(editor.form().port, "5432");
    editor.form().password = "changed";
    editor.save();
    EXPECT_EQ(savedNames(), QStringList({"Prod", "Other", "Prod Copy"}));
    EXPECT_EQ(source->connectionName(), "Prod");
    // Same type, server, port, database and user: one keyring item for both.
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("PostgreSQL", "dbhost", "5432", "SALES", "scott"),
              "changed");
}

TEST_F(ConnectionEditorTest, LocalFileConnectionSavesOnlyTypeFileAndItsChoices)
{
    editor.createNew();
    editor.form().name = "Shop";
    editor.changeDatabaseType("SQLite");
    editor.form().server = "ignored";
    editor.form().userName = "ignored";
    editor.form().label = 2;
    editor.form().localFile = "file:///home/me/shop.db";
    editor.form().autoCommitLocal = 1;
    editor.form().labelLocal = 5;
    editor.save();
    const ConnectionParametersPtr saved = SavedConnections::allConnections().at(0);
    EXPECT_EQ(saved->database(), "file:///home/me/shop.db");
    EXPECT_EQ(saved->server(), "");
    EXPECT_EQ(saved->userName(), "");
    EXPECT_EQ(saved->port(), "");
    EXPECT_EQ(saved->autoCommit(), 1u);
    EXPECT_EQ(saved->label(), 5u);
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("SQLite", "", "", "file:///home/me/shop.db", ""),
              "");

    editor.editConnection(list.selectedConnection());
    EXPECT_TRUE(editor.isLocalFileType());
    EXPECT_EQ(editor.form().localFile, "file:///home/me/shop.db");
    EXPECT_EQ(editor.form().labelLocal, 5u);
    EXPECT_EQ(editor.form().autoCommitLocal, 1u);
}

// A typed file is saved as the file URL the browse button would give, so it connects from any
// folder and finds the same keyring item as a chosen one.
TEST_F(ConnectionEditorTest, TypedLocalFileIsSavedAsItsAbsoluteFileUrl)
{
    const QString cwd = QDir::currentPath();
    const struct {
        QString typed;
        QString saved;
    } cases[] = {
        {"/data/shop ✓.db", QUrl::fromLocalFile("/data/shop ✓.db").toString(QUrl::FullyEncoded)},
        {"  /data/shop.db ", "file:///data/shop.db"},
        {"~/shop.db", QUrl::fromLocalFile(QDir::homePath() + "/shop.db").toString(QUrl::FullyEncoded)},
        {"sub/shop.db", QUrl::fromLocalFile(cwd + "/sub/shop.db").toString(QUrl::FullyEncoded)},
        {"file:///data/shop.db", "file:///data/shop.db"},
        {"https://example.org/shop.db", "https://example.org/shop.db"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        editor.createNew();
        editor.changeDatabaseType("SQLite");
        editor.form().localFile = c.typed;
        editor.save();
        EXPECT_EQ(SavedConnections::allConnections().last()->database(), c.saved);
    }
}

// A refused password must not leave the older one in the keyring to be used: the connection is
// saved, the refusal is told, and the next lookup finds nothing, so the next connect asks.
TEST_F(ConnectionEditorTest, PasswordTheKeyringRefusesIsToldAndNotLookedUpUntilStored)
{
    RefusingKeychainScope refusing;
    const ConnectionParametersPtr connection = saveServerConnection("Prod", "PostgreSQL", "old");
    ASSERT_EQ(ConnectionHelper::passwordFromKeychainType("PostgreSQL", "dbhost", "5432", "SALES", "scott"),
              "old");

    refusing.keychain().refuses = true;
    editor.editConnection(connection);
    editor.form().password = "new";
    editor.form().label = 3;
    EXPECT_EQ(editor.save(), ConnectionEditor::SaveResult::PasswordNotStored);
    EXPECT_EQ(SavedConnections::allConnections().at(0)->label(), 3u)
        << "the connection is saved all the same";
    EXPECT_FALSE(
        ConnectionHelper::passwordFromKeychainType("PostgreSQL", "dbhost", "5432", "SALES", "scott"));

    // A local file has no password to lose.
    editor.createNew();
    editor.changeDatabaseType("SQLite");
    editor.form().localFile = "file:///data/shop.db";
    EXPECT_EQ(editor.save(), ConnectionEditor::SaveResult::Saved);

    refusing.keychain().refuses = false;
    editor.editConnection(connection);
    editor.form().password = "typed again";
    EXPECT_EQ(editor.save(), ConnectionEditor::SaveResult::Saved);
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("PostgreSQL", "dbhost", "5432", "SALES", "scott"),
              "typed again");
}

TEST_F(ConnectionEditorTest, IncompleteFormIsNotSaved)
{
    editor.createNew();
    editor.changeDatabaseType("PostgreSQL");
    editor.form().server = "h";
    editor.form().database = "d";
    editor.save();
    EXPECT_TRUE(savedNames().isEmpty());
    EXPECT_NE(editor.editingConnection(), nullptr);
}

} // namespace
