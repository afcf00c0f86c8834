// The sort sheet of the real program on a private X desktop, driven with real keys only: a table opened
// from the schema browser, the sheet opened by its shortcut, a column added descending and Set, and the
// grid's new first row shown to be the one with the highest id by typing into it and reading the database
// file with another program. Screens are saved in the build folder under "artifacts/".
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

class SortWindowUnderXTest : public ::testing::Test
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

    // The document logs, one after another.
    QString logs() const
    {
        QString text;
        QDirIterator files(home.filePath(".local/share/Vorn/Logs"), {"document-*.log"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }

    // The text was logged after the last line holding the marker.
    bool loggedAfter(const QString &marker, const QString &text) const
    {
        const QString all = logs();
        const qsizetype at = all.lastIndexOf(marker);
        return at >= 0 && all.indexOf(text, at) > at;
    }

    XvfbDesktop desktop;
    QTemporaryDir home;
    QString database;
    QString documentPath;
};

TEST_F(SortWindowUnderXTest, TheShortcutsSheetSortsTheGridDescending)
{
    QProcess *vorn = desktop.startVorn(home.path(), {documentPath});
    const quint64 window = desktop.waitForWindow("club\\.sql", startMs);
    ASSERT_NE(window, 0u) << "no document window";
    ASSERT_WAIT_FOR_MS(logs().contains("Connected with club.db"), startMs);
    ASSERT_TRUE(desktop.focus(window));

    ASSERT_TRUE(desktop.key("ctrl+alt+b"));
    ASSERT_TRUE(desktop.type("memb"));
    ASSERT_TRUE(desktop.key("Down"));
    ASSERT_WAIT_FOR_MS(desktop.windowName(window).startsWith("members "), 30000);
    ASSERT_WAIT_FOR_MS(loggedAfter("Loading resultset", "Successfully loaded resultset"), 30000);

    // The sheet opens with the first available column (id) selected; Tab Tab reaches Add Descending.
    ASSERT_TRUE(desktop.key("ctrl+shift+s"));
    const quint64 sheet = desktop.waitForWindow("^Sort", 30000);
    ASSERT_NE(sheet, 0u) << "no sort sheet";
    ASSERT_TRUE(desktop.key("Tab Tab space"));
    const QString screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(screens);
    desktop.screenshot().save(screens + "/sort-window.png");
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR_MS(!desktop.visibleWindowsOf(vorn->processId()).contains(sheet), 30000);
    VORN_WAIT_UNTIL(loggedAfter("Sorting resultset", "Resultset loaded successfully"), 30000);
    ASSERT_TRUE(loggedAfter("Sorting resultset", "Resultset loaded successfully")) << logs().toStdString();

    // The first row of the grid now is the highest id: typing into it changes that row.
    ASSERT_TRUE(desktop.focus(window));
    ASSERT_TRUE(desktop.key("ctrl+alt+l"));
    ASSERT_TRUE(desktop.key("Home Right Right F2"));
    ASSERT_TRUE(desktop.key("ctrl+a"));
    ASSERT_TRUE(desktop.type("Top"));
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR_MS(!sqlite("select id from members where name = 'Top'").isEmpty(), 30000);
    EXPECT_EQ(sqlite("select id from members where name = 'Top'"), "3");
    desktop.screenshot().save(screens + "/sort-window-grid.png");
}

} // namespace
