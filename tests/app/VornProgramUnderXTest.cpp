// The real program on a private X desktop (openbox, no compositor), driven only with real keys as a
// user does, with a saved SQL document whose header connects it to a SQLite file. What the program
// holds is read from the outside: its window titles, the grid on the screen, its document logs, the
// restoration file it writes, the saved file and the database. The screen is saved as
// "VornProgramUnderX.png" in the build's test folder for a look.
#include "LongStatements.h"
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"
#include "document/DocumentHelper.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

constexpr int startMs = 90000;
constexpr int runMs = 30000;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The SQL of a saved document, without its settings header.
QString savedSql(const QString &path)
{
    QString text = QString::fromUtf8(contents(path));
    ConnectionParametersPtr parameters;
    std::optional<QVariantMap> arguments, options;
    DocumentHelper::obtainStoredSettingsFromSql(text, parameters, arguments, options);
    return text;
}

bool isDark(QRgb pixel)
{
    return qRed(pixel) < 60 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

// How many text lines in the area are one solid dark bar at least minWidth wide: a value of full
// blocks ("█") drawn in a grid cell. Nothing else on the window draws such a bar.
int solidBars(const QImage &screen, const QRect &area, int minWidth)
{
    int bars = 0;
    int barRows = 0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom() + 1; ++y) {
        int run = 0;
        int longest = 0;
        for (int x = inside.left(); y <= inside.bottom() && x <= inside.right(); ++x) {
            run = isDark(screen.pixel(x, y)) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest >= minWidth) {
            ++barRows;
            continue;
        }
        // A line of text is several pixels high; a border line is one.
        if (barRows >= 5)
            ++bars;
        barRows = 0;
    }
    return bars;
}

class VornProgramUnderXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        ASSERT_TRUE(home.isValid());
        database = home.filePath("demo.db");
        const ConnectionParametersPtr parameters = sqliteConnection(database, "Demo");
        ASSERT_NE(parameters, nullptr);
        QString sql = "select 1;\n";
        ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, parameters.get(), {}, {}));
        documentPath = home.filePath("demo.sql");
        QFile document(documentPath);
        ASSERT_TRUE(document.open(QIODevice::WriteOnly));
        document.write(sql.toUtf8());
        document.close();
        // No release notes window: closing the document window is closing the program's last one.
        QDir(home.path()).mkpath(".config/Vorn");
        QFile preferences(home.filePath(".config/Vorn/Vorn.json"));
        ASSERT_TRUE(preferences.open(QIODevice::WriteOnly));
        preferences.write(R"({"last_auto_releasenotes": 999999})");
    }

    QString dataFolder() const { return home.filePath(".local/share/Vorn"); }

    // The document logs of the program; they reach the disk once a second.
    QString logs() const
    {
        QString text;
        QDirIterator files(dataFolder() + "/Logs", {"document-*.log"}, QDir::Files);
        while (files.hasNext())
            text += QString::fromUtf8(contents(files.next()));
        return text;
    }

    qsizetype connectedSessions() const { return logs().count("Connected with demo.db"); }

    // The log entries after the first that shows the statement: its run's end, once it ended.
    QString runOf(const QString &statement) const
    {
        const QString text = logs();
        const qsizetype at = text.indexOf(". " + statement);
        if (at < 0)
            return {};
        const qsizetype end = text.indexOf(QRegularExpression("\\n[0-9:.]+ - "), at);
        return end < 0 ? QString() : text.mid(at, text.indexOf('\n', end + 1) - at);
    }

    // The document entries of the restoration file, once it was written after the moment given.
    QVariantList restoredDocumentsWrittenAfter(const QDateTime &moment) const
    {
        const QString path = dataFolder() + "/WindowRestoration.json";
        if (QFileInfo(path).lastModified() <= moment)
            return {};
        QVariantList documents;
        const QVariantList windows = QJsonDocument::fromJson(contents(path))
                                         .object()
                                         .toVariantMap()
                                         .value("tabbedWindowConfiguration")
                                         .toList();
        for (const QVariant &window : windows)
            documents << window.toMap().value("documents").toList();
        return documents;
    }

    QString autosaveHolding(const QString &text) const
    {
        QDirIterator copies(dataFolder() + "/Autosave", {"*.sql"}, QDir::Files);
        while (copies.hasNext()) {
            const QString copy = copies.next();
            if (contents(copy).contains(text.toUtf8()))
                return copy;
        }
        return {};
    }

    // Starts the program and waits for the document's window and its connection.
    quint64 startConnected(const QStringList &arguments)
    {
        const qsizetype connectionsBefore = connectedSessions();
        vorn = desktop.startVorn(home.path(), arguments);
        const quint64 window = desktop.waitForWindow("demo\\.sql", startMs);
        EXPECT_NE(window, 0u) << "no document window";
        VORN_WAIT_UNTIL(connectedSessions() > connectionsBefore, startMs);
        EXPECT_GT(connectedSessions(), connectionsBefore) << "not connected";
        EXPECT_EQ(vorn->state(), QProcess::Running);
        return window;
    }

    // SIGKILL: the program gets no chance to write anything more.
    void kill()
    {
        vorn->kill();
        VORN_WAIT_UNTIL(vorn->state() == QProcess::NotRunning, 10000);
    }

    // Replaces the editor's text by typing and runs it with the key.
    void typeAndRun(const QString &statement, const QString &runKey = "ctrl+Return")
    {
        ASSERT_TRUE(desktop.key("ctrl+a"));
        ASSERT_TRUE(desktop.type(statement));
        ASSERT_TRUE(desktop.key("ctrl+Home"));
        ASSERT_TRUE(desktop.key(runKey));
    }

    // A report the program shows as a sheet takes the keyboard: answered with its default button.
    void dismissSheet(quint64 window)
    {
        VORN_WAIT_UNTIL(desktop.focusedWindow() != window, 3000);
        if (desktop.focusedWindow() == window)
            return;
        ASSERT_TRUE(desktop.key("Return"));
        ASSERT_WAIT_FOR_EQ(desktop.focusedWindow(), window);
    }

    XvfbDesktop desktop;
    QTemporaryDir home;
    QString database;
    QString documentPath;
    QProcess *vorn = nullptr;
};

TEST_F(VornProgramUnderXTest, StatementsRunAndSaveByKeysAndUnsavedWorkSurvivesAKill)
{
    quint64 window = startConnected({documentPath});
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(desktop.focus(window));

    // The connect holds the root a moment after the log says connected: Execute is disabled and its
    // key does nothing until then.
    typeAndRun("create table fruit (name text)");
    for (int attempt = 0; attempt < 10 && !logs().contains(". create table fruit"); ++attempt) {
        VORN_WAIT_UNTIL(logs().contains(". create table fruit"), 3000);
        if (!logs().contains(". create table fruit")) {
            ASSERT_TRUE(desktop.key("ctrl+Return"));
        }
    }
    VORN_WAIT_UNTIL(runOf("create table fruit (name text)").contains("executed successfully"), runMs);
    ASSERT_TRUE(runOf("create table fruit (name text)").contains("executed successfully"))
        << logs().toStdString();
    EXPECT_TRUE(desktop.windowName(window).startsWith('*'))
        << "typed text is unsaved: " << desktop.windowName(window).toStdString();

    // Two rows whose value the grid draws as a solid bar; the statement itself shows no such bar.
    const QString insert = "insert into fruit select replace(hex(zeroblob(14)), '00', char(9608)) "
                           "from (select 1 union all select 2)";
    typeAndRun(insert, "ctrl+KP_Enter");
    VORN_WAIT_UNTIL(runOf(insert).contains("Successfully inserted 2 rows"), runMs);
    ASSERT_TRUE(runOf(insert).contains("Successfully inserted 2 rows")) << logs().toStdString();

    // A long statement stops with Ctrl+. long before it would end.
    const QString longStatement = longStatementFor("SQLite");
    typeAndRun(longStatement);
    ASSERT_WAIT_FOR_MS(logs().contains(". " + longStatement), runMs);
    ASSERT_TRUE(desktop.key("ctrl+period"));
    VORN_WAIT_UNTIL(!runOf(longStatement).isEmpty(), 20000);
    ASSERT_FALSE(runOf(longStatement).isEmpty()) << "not stopped: " << logs().toStdString();
    EXPECT_FALSE(runOf(longStatement).contains("executed successfully"));
    dismissSheet(window);

    // The grid shows both rows.
    const QString select = "select name from fruit";
    typeAndRun(select);
    ASSERT_WAIT_FOR_MS(runOf(select).contains("executed successfully"), runMs);
    const QRect frame = desktop.windowGeometry(window);
    VORN_WAIT_UNTIL(solidBars(desktop.screenshot(), frame, 60) == 2, 10000);
    const QImage grid = desktop.screenshot();
    grid.save(qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/VornProgramUnderX-grid.png");
    EXPECT_EQ(solidBars(grid, frame, 60), 2) << "the grid shows the two rows";

    ASSERT_TRUE(desktop.key("ctrl+s"));
    ASSERT_WAIT_FOR(savedSql(documentPath) == select);
    ASSERT_WAIT_FOR(!desktop.windowName(window).startsWith('*'));
    if (!QStandardPaths::findExecutable("sqlite3").isEmpty()) {
        QProcess sqlite;
        sqlite.start("sqlite3", {database, "select count(*) from fruit"});
        ASSERT_TRUE(sqlite.waitForFinished(10000));
        EXPECT_EQ(sqlite.readAllStandardOutput().trimmed(), "2");
    }

    // More typed after the save is copied a moment after the last key, and the layout learns of the
    // copy; then the program dies.
    const QByteArray onDisk = contents(documentPath);
    const QString typed = " limit 1;";
    ASSERT_TRUE(desktop.key("ctrl+End"));
    ASSERT_TRUE(desktop.type(typed));
    QString copy;
    VORN_WAIT_UNTIL(!(copy = autosaveHolding(select + typed)).isEmpty(), 20000);
    ASSERT_FALSE(copy.isEmpty()) << "the typed text was not autosaved";
    const auto namesCopy = [&] {
        for (const QVariant &entry : restoredDocumentsWrittenAfter({})) {
            if (QUrl(entry.toMap().value("autosavedContentsFileURL").toString()).toLocalFile() == copy)
                return true;
        }
        return false;
    };
    ASSERT_WAIT_FOR_MS(namesCopy(), 10000);
    kill();
    EXPECT_EQ(contents(documentPath), onDisk) << "the file waits for the user to save";

    // The next start brings the tab back with its text, its file and its connection.
    const QDateTime restart = QFileInfo(dataFolder() + "/WindowRestoration.json").lastModified();
    window = startConnected({});
    ASSERT_NE(window, 0u);
    // The recovered text is not saved yet: the title marks the document edited.
    EXPECT_TRUE(desktop.windowName(window).startsWith("*demo.db"))
        << desktop.windowName(window).toStdString();
    // What the restored tab holds, as the program writes it down again after the start.
    QVariantMap restored;
    const auto tabWritten = [&] {
        const QVariantList documents = restoredDocumentsWrittenAfter(restart);
        restored = documents.size() == 1 ? documents.first().toMap() : QVariantMap();
        return restored.value("restorableDocumentInfo").toMap().value("connected").toBool();
    };
    ASSERT_WAIT_FOR_MS(tabWritten(), 20000);
    EXPECT_EQ(QUrl(restored.value("fileURL").toString()).toLocalFile().toStdString(),
              documentPath.toStdString());
    EXPECT_EQ(restored.value("restorableDocumentInfo").toMap().value("sql").toString().toStdString(),
              (select + typed).toStdString());
    desktop.screenshot().save(qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/VornProgramUnderX.png");

    // The restored tab saves to its file; with nothing left unsaved the program quits at once.
    ASSERT_TRUE(desktop.focus(window));
    ASSERT_TRUE(desktop.key("ctrl+s"));
    ASSERT_WAIT_FOR(savedSql(documentPath) == select + typed);
    ASSERT_WAIT_FOR(!desktop.windowName(window).startsWith('*'));
    vorn->terminate();
    ASSERT_WAIT_FOR_MS(vorn->state() == QProcess::NotRunning, 30000);
    EXPECT_EQ(vorn->exitStatus(), QProcess::NormalExit) << "a clean quit";
    EXPECT_EQ(vorn->exitCode(), 0);
}

TEST_F(VornProgramUnderXTest, CtrlWOnTheLastTabEndsTheRunAndTheNextStartOpensNoDocument)
{
    const quint64 window = startConnected({documentPath});
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(desktop.focus(window));
    ASSERT_TRUE(desktop.key("ctrl+w"));
    // Its last window closed, the program ends by itself.
    ASSERT_WAIT_FOR_MS(vorn->state() == QProcess::NotRunning, 30000);
    EXPECT_EQ(vorn->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vorn->exitCode(), 0);
    const qsizetype connectedBefore = connectedSessions(); // a closed document's log goes with it

    const QDateTime restart = QFileInfo(dataFolder() + "/WindowRestoration.json").lastModified();
    vorn = desktop.startVorn(home.path());
    // Started: the welcome screen shows and the empty layout is written down again.
    EXPECT_NE(desktop.waitForWindow("Welcome to Vorn", startMs), 0u);
    ASSERT_WAIT_FOR_MS(QFileInfo(dataFolder() + "/WindowRestoration.json").lastModified() > restart, 20000);
    EXPECT_TRUE(restoredDocumentsWrittenAfter(restart).isEmpty());
    EXPECT_FALSE(desktop.xdotool({"search", "--onlyvisible", "--name", "demo\\.sql"}).has_value())
        << "a closed document is not reopened";
    EXPECT_EQ(connectedSessions(), connectedBefore) << "nor reconnected";
}

} // namespace
