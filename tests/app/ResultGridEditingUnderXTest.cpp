// The result grid of the real program on a private X desktop, driven with real keys only: a table opened
// from the schema browser, one of its cells typed into, the row written with Return, and the value read
// back from the database file by another program. The screen with the edited grid is saved in the build
// folder as "artifacts/grid-editing.png".
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"
#include "document/DocumentHelper.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

constexpr int startMs = 90000;

class ResultGridEditingUnderXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        if (QStandardPaths::findExecutable("sqlite3").isEmpty())
            GTEST_SKIP() << "sqlite3 is needed to make and read the database";
        ASSERT_TRUE(home.isValid());
        database = home.filePath("club.db");
        const ConnectionParametersPtr parameters = sqliteConnection(database, "Club");
        ASSERT_NE(parameters, nullptr);
        ASSERT_EQ(sqlite("create table members (id integer primary key, name text);"
                         "insert into members values (1, 'Ann'), (2, 'Bob'), (3, 'Cas');"),
                  "");
        QString sql = "select 1;\n";
        ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, parameters.get(), {}, {}));
        documentPath = home.filePath("club.sql");
        QFile document(documentPath);
        ASSERT_TRUE(document.open(QIODevice::WriteOnly));
        document.write(sql.toUtf8());
        document.close();
        QDir(home.path()).mkpath(".config/Vorn");
        QFile preferences(home.filePath(".config/Vorn/Vorn.json"));
        ASSERT_TRUE(preferences.open(QIODevice::WriteOnly));
        preferences.write(R"({"last_auto_releasenotes": 999999,
                              "browser_skip_favourite_keyboard_navigation": true})");
    }

    // What sqlite3 printed for the statements, trimmed; null when it failed.
    QString sqlite(const QString &statements) const
    {
        QProcess process;
        process.start("sqlite3", {database, statements});
        if (!process.waitForFinished(10000) || process.exitCode() != 0)
            return QString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    bool logsHold(const QString &text) const
    {
        QDirIterator files(home.filePath(".local/share/Vorn/Logs"), {"document-*.log"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text))
                return true;
        }
        return false;
    }

    XvfbDesktop desktop;
    QTemporaryDir home;
    QString database;
    QString documentPath;
};

TEST_F(ResultGridEditingUnderXTest, ACellTypedIntoIsWrittenToTheDatabaseOnReturn)
{
    desktop.startVorn(home.path(), {documentPath});
    const quint64 window = desktop.waitForWindow("club\\.sql", startMs);
    ASSERT_NE(window, 0u) << "no document window";
    ASSERT_WAIT_FOR_MS(logsHold("Connected with club.db"), startMs);
    ASSERT_TRUE(desktop.focus(window));

    // The table, found with the browser's search field, fills the grid.
    ASSERT_TRUE(desktop.key("ctrl+alt+b"));
    ASSERT_TRUE(desktop.type("memb"));
    ASSERT_TRUE(desktop.key("Down"));
    ASSERT_WAIT_FOR_MS(desktop.windowName(window).startsWith("members "), 30000);

    // The grid takes the keyboard with its first row selected; the name of that row is typed over.
    ASSERT_TRUE(desktop.key("ctrl+alt+l"));
    ASSERT_TRUE(desktop.key("Home Right Right F2"));
    ASSERT_TRUE(desktop.key("ctrl+a"));
    ASSERT_TRUE(desktop.type("Annie"));
    const QString screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(screens);
    desktop.screenshot().save(screens + "/grid-editing-typed.png");
    EXPECT_EQ(sqlite("select name from members where id = 1"), "Ann") << "nothing written while typing";
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR_MS(sqlite("select name from members where id = 1") == "Annie", 30000);
    EXPECT_EQ(sqlite("select group_concat(name, ',') from (select name from members order by id)"),
              "Annie,Bob,Cas");
    desktop.screenshot().save(screens + "/grid-editing.png");
}

} // namespace
