#include "WaitFor.h"
#include "InMemoryKeychainScope.h"

#include "connection/ConnectionHelper.h"
#include "connection/Vorn2UpgradeAssistant.h"
#include "connection/Vorn2UpgradeConnections.h"
#include "connection/Vorn2UpgradeFinish.h"
#include "connection/Vorn2UpgradeTransfer.h"
#include "kit/AssistantWindowController.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

QVariantMap entry(const QString &name, const QString &type, const QString &server, const QString &user,
                  const QVariantMap &extra = {})
{
    QVariantMap e{{"description", name},
                  {"databasetype", type},
                  {"server", server},
                  {"username", user},
                  {"database", "DB_" + name}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        e.insert(it.key(), it.value());
    return e;
}

TEST(Vorn2UpgradeConversionTest, EntriesThatCanBeTakenOver)
{
    struct Case {
        const char *what;
        QVariantMap entry;
        bool kept;
        QString server = {}, port = {};
        quint64 label = 0, autoCommit = 0;
    };
    const Case cases[] = {
        {"host and port", entry("A", "Oracle", "dbhost:1521", "scott"), true, "dbhost", "1521", 0, 2},
        {"no colon", entry("B", "Oracle", "dbhost", "scott"), false},
        {"empty port", entry("C", "Oracle", "dbhost:", "scott"), false},
        {"empty host", entry("D", "Oracle", ":1521", "scott"), false},
        {"two colons", entry("E", "Oracle", "a:1:2", "scott"), false},
        {"SQLite", entry("F", "SQLite", "h:1", "scott"), false},
        {"no user", entry("G", "MySQL", "h:3306", ""), false},
        {"colour 5 is black", entry("H", "MySQL", "h:3306", "u", {{"tabcolor", 5}}), true, "h", "3306", 7, 2},
        {"colour 7 is gray", entry("I", "MySQL", "h:3306", "u", {{"tabcolor", 7}}), true, "h", "3306", 8, 2},
        {"colour 6 is purple", entry("J", "MySQL", "h:3306", "u", {{"tabcolor", 6}}), true, "h", "3306", 6,
         2},
        {"unknown colour", entry("K", "MySQL", "h:3306", "u", {{"tabcolor", 12}}), true, "h", "3306", 0, 2},
        {"auto-commit ask", entry("L", "MySQL", "h:3306", "u", {{"doAutoCommit", 0}}), true, "h", "3306", 0,
         2},
        {"auto-commit on", entry("M", "MySQL", "h:3306", "u", {{"doAutoCommit", 1}}), true, "h", "3306", 0,
         1},
        {"auto-commit off", entry("N", "MySQL", "h:3306", "u", {{"doAutoCommit", 2}}), true, "h", "3306", 0,
         0},
        {"auto-commit odd", entry("O", "MySQL", "h:3306", "u", {{"doAutoCommit", 7}}), true, "h", "3306", 0,
         2},
    };
    for (const Case &c : cases) {
        const auto converted =
            Vorn2UpgradeConnections::importableConnections({{"connections", QVariantList{c.entry}}});
        ASSERT_EQ(converted.size(), c.kept ? 1 : 0) << c.what;
        if (!c.kept)
            continue;
        const ConnectionParameters &p = *converted.first();
        EXPECT_EQ(p.connectionName(), c.entry.value("description").toString()) << c.what;
        EXPECT_EQ(p.server(), c.server) << c.what;
        EXPECT_EQ(p.port(), c.port) << c.what;
        EXPECT_EQ(p.label(), c.label) << c.what;
        EXPECT_EQ(p.autoCommit(), c.autoCommit) << c.what;
        EXPECT_EQ(p.databaseType(), c.entry.value("databasetype").toString());
        EXPECT_FALSE(p.password().has_value());
    }
    const QVariantMap prefs{{"connections", QVariantList{entry("A", "Oracle", "h:1", "u")}},
                            {"managementConnections", QVariantList{entry("B", "MySQL", "h:2", "u")}}};
    const auto both = Vorn2UpgradeConnections::importableConnections(prefs);
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(both[1]->connectionName(), "B") << "management connections follow";
    EXPECT_TRUE(Vorn2UpgradeConnections::importableConnections({}).isEmpty());
}

class Vorn2UpgradeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().removeObjectForKey("allConnections");
        QFile::remove(Vorn2UpgradeAssistant::oldPreferencesPath());
    }
    void TearDown() override { QFile::remove(Vorn2UpgradeAssistant::oldPreferencesPath()); }
    void writeOldPreferences(const QVariantList &connections)
    {
        ASSERT_TRUE(PropertyList::writeFile(QVariantMap{{"connections", connections}},
                                            Vorn2UpgradeAssistant::oldPreferencesPath()));
    }
    QStringList savedNames() const
    {
        QStringList names;
        for (const QVariant &v : UserDefaults::standard().arrayForKey("allConnections"))
            names << v.toMap().value("name").toString();
        return names;
    }
    InMemoryKeychainScope keychain;
};

TEST_F(Vorn2UpgradeTest, NoFileNothingToImport)
{
    EXPECT_FALSE(Vorn2UpgradeAssistant::readOldPreferences());
    Vorn2UpgradeAssistant assistant;
    EXPECT_EQ(assistant.connections()->numberOfRows(), 0);
    EXPECT_EQ(assistant.summary(), "Not importing any connections\n");
}

TEST_F(Vorn2UpgradeTest, ConnectionsPageChecksSortsAndSummarises)
{
    writeOldPreferences({entry("zeta", "Oracle", "Beta:1", "u", {{"tabcolor", 2}}),
                         entry("Alpha", "MySQL", "beta:2", "u", {{"tabcolor", 1}}),
                         entry("mid", "PostgreSQL", "alpha:3", "u")});
    Vorn2UpgradeAssistant assistant;
    Vorn2UpgradeConnections *page = assistant.connections();
    ASSERT_EQ(page->numberOfRows(), 3);
    EXPECT_TRUE(page->selectedAllConnections()) << "everything is checked at first";
    EXPECT_EQ(assistant.summary(), "Importing 3 connections\n");

    auto names = [page] {
        QStringList n;
        for (int row = 0; row < page->numberOfRows(); ++row)
            n << page->objectValue("name", row).toString();
        return n;
    };
    page->didClickTableColumn("server");
    EXPECT_EQ(names(), (QStringList{"mid", "Alpha", "zeta"})) << "equal servers ordered by name";
    page->didClickTableColumn("label");
    EXPECT_EQ(names(), (QStringList{"mid", "Alpha", "zeta"}));
    page->didClickTableColumn("type");
    EXPECT_EQ(names(), (QStringList{"Alpha", "zeta", "mid"})) << "type is compared case-sensitively";
    page->didClickTableColumn("import");
    EXPECT_EQ(names(), (QStringList{"zeta", "Alpha", "mid"})) << "back to the reading order";

    page->setObjectValue(0, "import", 1);
    EXPECT_EQ(page->objectValue("import", 1).toInt(), 0);
    EXPECT_EQ(assistant.summary(),
              "Importing 2 connections\n\nYou have not selected every connection. It is not possible to "
              "import these connections at a later point. If you are sure you wish to import only the "
              "selected connections then Click 'Import'.");
    page->toggleAll();
    EXPECT_TRUE(page->selectedAllConnections());
    page->toggleAll();
    EXPECT_EQ(assistant.summary().left(29), "Not importing any connections");
    page->setObjectValue(1, "import", 2);
    EXPECT_EQ(assistant.summary().left(22), "Importing 1 connection");
}

TEST_F(Vorn2UpgradeTest, PagesAndButtonsThroughTheImport)
{
    writeOldPreferences({entry("A", "Oracle", "h:1", "u")});
    Vorn2UpgradeAssistant assistant;
    AssistantWindowController *wizard = assistant.assistantWindowController();
    wizard->runAsSheet(nullptr);
    struct Step {
        const char *page;
        bool back, cancel;
        const char *forward;
    };
    const Step steps[] = {
        {"introduction", false, true, "Next"},
        {"connections", true, true, "Next"},
        {"transfer", true, true, "Import"},
    };
    for (const Step &s : steps) {
        EXPECT_EQ(wizard->previousButton()->isEnabled(), s.back) << s.page;
        EXPECT_EQ(wizard->cancelButton()->isVisibleTo(wizard), s.cancel) << s.page;
        EXPECT_EQ(wizard->nextButton()->text(), s.forward) << s.page;
        EXPECT_FALSE(wizard->indexCells().at(3)->isEnabled()) << "finish cannot be jumped to";
        wizard->next();
    }
    EXPECT_EQ(assistant.transfer()->options()->text(), "Importing 1 connection\n");
    ASSERT_EQ(wizard->currentStep(), 3);
    EXPECT_FALSE(wizard->nextButton()->isEnabled()) << "not until the import has run";
    EXPECT_FALSE(wizard->previousButton()->isEnabled());
    EXPECT_FALSE(wizard->cancelButton()->isVisibleTo(wizard));
    EXPECT_FALSE(wizard->indexCells().at(0)->isEnabled()) << "no way back once the finish page shows";
    ASSERT_WAIT_FOR(assistant.completed());
    EXPECT_TRUE(wizard->nextButton()->isEnabled());
    EXPECT_EQ(wizard->nextButton()->text(), "Finish");
    EXPECT_TRUE(assistant.finish()->finishedMessage()->isVisibleTo(wizard));
    wizard->next();
    EXPECT_FALSE(wizard->isVisible()) << "Finish closes the wizard";
}

// Answers the cancel question as the test says, never quitting.
class ScriptedAssistant : public Vorn2UpgradeAssistant
{
public:
    CancelChoice answer = CancelChoice::Continue;
    int asked = 0;

protected:
    CancelChoice askToCancel() override
    {
        ++asked;
        return answer;
    }
    void quitVorn() override {}
};

TEST_F(Vorn2UpgradeTest, ImportAppendsInDisplayOrderWithFoundPasswordsOnly)
{
    UserDefaults::standard().setObject(QVariantList{QVariantMap{{"name", "existing"}}}, "allConnections");
    writeOldPreferences({entry("b-with-password", "Oracle", "db1:1521", "scott"),
                         entry("a-without", "MySQL", "db2:3306", "root"),
                         entry("skipped", "SQLite", "", "")});
    Keychain::shared().storePassword("nl.dalmerik.vorn", "db1:1521/DB_b-with-password/scott", "tiger");

    ScriptedAssistant assistant;
    assistant.connections()->didClickTableColumn("name");
    // Run it as the start-up does: modal, through the pages, import, Finish.
    QTimer::singleShot(0, [&assistant] {
        AssistantWindowController *wizard = assistant.assistantWindowController();
        wizard->next();
        wizard->next();
        wizard->next();
        QTimer::singleShot(0, wizard, [wizard] { wizard->next(); });
    });
    assistant.run();
    ASSERT_TRUE(assistant.completed());
    EXPECT_EQ(savedNames(), (QStringList{"existing", "a-without", "b-with-password"}));
    EXPECT_EQ(
        ConnectionHelper::passwordFromKeychainType("Oracle", "db1", "1521", "DB_b-with-password", "scott"),
        std::optional<QString>("tiger"));
    EXPECT_FALSE(ConnectionHelper::passwordFromKeychainType("MySQL", "db2", "3306", "DB_a-without", "root"))
        << "no old password: none stored, so a later connect asks";
    EXPECT_EQ(keychain.keychain().itemCount(), 2);
    EXPECT_EQ(assistant.asked, 0) << "no question once the import has run";
}

TEST_F(Vorn2UpgradeTest, CancelAsksAndDontImportLeavesTheListAlone)
{
    UserDefaults::standard().setObject(QVariantList{QVariantMap{{"name", "existing"}}}, "allConnections");
    writeOldPreferences({entry("A", "Oracle", "h:1", "u")});
    ScriptedAssistant assistant;
    AssistantWindowController *wizard = assistant.assistantWindowController();
    wizard->runAsSheet(nullptr);
    wizard->next();

    assistant.answer = Vorn2UpgradeAssistant::CancelChoice::Continue;
    wizard->cancel();
    EXPECT_TRUE(wizard->isVisible());
    assistant.answer = Vorn2UpgradeAssistant::CancelChoice::DontImport;
    wizard->cancel();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(assistant.asked, 2);
    EXPECT_EQ(savedNames(), QStringList{"existing"});
}

} // namespace
