// The real program on a private X display, driven only with real keys as a user does: in a saved
// document connected to SQLite, statements typed into the editor run with Ctrl+Return (and the
// keypad's Enter), a long one stops with Ctrl+., and Ctrl+S writes the file. What happened is read
// from outside: the window title, the document log, the saved file and the database. The screen
// is saved as "VornKeys.png" in the build's test folder for a look.
#include "LongStatements.h"
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "XvfbSession.h"
#include "document/DocumentHelper.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

constexpr int StartMs = 90000;
constexpr int RunMs = 30000;

class VornKeysXvfbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!XvfbSession::available())
            GTEST_SKIP() << "Xvfb and xdotool are needed";
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(x.isRunning());
        UserDefaults::standard().setObject(999999, PreferenceKey::last_auto_releasenotes);
        UserDefaults::standard().synchronize();
    }

    void TearDown() override
    {
        if (vorn.state() == QProcess::NotRunning)
            return;
        vorn.kill();
        vorn.waitForFinished(10000);
    }

    // The document logs of the program, which runs with this test's home.
    static QString logs()
    {
        QString text;
        QDirIterator files(QDir::homePath() + "/.local/share/Vorn/Logs", {"document-*.log"}, QDir::Files);
        while (files.hasNext()) {
            QFile log(files.next());
            if (log.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(log.readAll());
        }
        return text;
    }

    // The log entries after the first that shows the statement: its run's end, once it ended.
    static QString runOf(const QString &statement)
    {
        const QString text = logs();
        const qsizetype at = text.indexOf(". " + statement);
        if (at < 0)
            return {};
        const qsizetype end = text.indexOf(QRegularExpression("\\n[0-9:.]+ - "), at);
        return end < 0 ? QString() : text.mid(at, text.indexOf('\n', end + 1) - at);
    }

    // Replaces the editor's text by typing and runs it with the key.
    void typeAndRun(const QString &statement, const QString &runKey = "ctrl+Return")
    {
        ASSERT_TRUE(x.key("ctrl+a"));
        ASSERT_TRUE(x.type(statement));
        ASSERT_TRUE(x.key("ctrl+Home"));
        ASSERT_TRUE(x.key(runKey));
    }

    // A report the program shows as a sheet takes the keyboard: answered with its default button.
    void dismissSheet(quint64 window)
    {
        QString focused;
        VORN_WAIT_UNTIL(x.xdotool({"getwindowfocus"}, &focused) && focused != QString::number(window), 3000);
        if (focused == QString::number(window))
            return;
        ASSERT_TRUE(x.key("Return"));
        VORN_WAIT_UNTIL(x.xdotool({"getwindowfocus"}, &focused) && focused == QString::number(window), 5000);
        ASSERT_EQ(focused, QString::number(window));
    }

    QString savedText() const
    {
        QFile file(documentPath);
        if (!file.open(QIODevice::ReadOnly))
            return "<unreadable>";
        QString text = QString::fromUtf8(file.readAll());
        ConnectionParametersPtr parameters;
        std::optional<QVariantMap> arguments, options;
        DocumentHelper::obtainStoredSettingsFromSql(text, parameters, arguments, options);
        return text;
    }

    QTemporaryDir folder;
    XvfbSession x;
    QProcess vorn;
    QString documentPath;
};

TEST_F(VornKeysXvfbTest, StatementsRunWithCtrlReturnStopWithCtrlPeriodAndCtrlSSavesTheFile)
{
    const QString database = folder.filePath("keys.db");
    const ConnectionParametersPtr parameters = sqliteConnection(database, "Keys");
    ASSERT_NE(parameters, nullptr);
    QString sql = "select 1;\n";
    ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, parameters.get(), {}, {}));
    documentPath = folder.filePath("keys.sql");
    QFile document(documentPath);
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.write(sql.toUtf8());
    document.close();

    vorn.setProcessEnvironment(x.environment());
    vorn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    vorn.start(qEnvironmentVariable("VORN_BUILD_DIR") + "/bin/vorn", {documentPath});
    ASSERT_TRUE(vorn.waitForStarted(10000));
    ASSERT_WAIT_FOR_MS(logs().contains("Connected with keys.db"), StartMs);
    const quint64 window = x.waitForWindow("keys\\.sql", 10000);
    ASSERT_NE(window, 0u) << "no document window";
    ASSERT_TRUE(x.focus(window));

    // The connect holds the root a moment after the log says connected: Execute is disabled and its
    // key does nothing until then.
    typeAndRun("create table fruit (name text)");
    // The log reaches the disk once a second.
    for (int attempt = 0; attempt < 10 && !logs().contains(". create table fruit"); ++attempt) {
        VORN_WAIT_UNTIL(logs().contains(". create table fruit"), 3000);
        if (!logs().contains(". create table fruit")) {
            ASSERT_TRUE(x.key("ctrl+Return"));
        }
    }
    VORN_WAIT_UNTIL(runOf("create table fruit (name text)").contains("executed successfully"), RunMs);
    ASSERT_TRUE(runOf("create table fruit (name text)").contains("executed successfully"))
        << logs().toStdString();
    EXPECT_TRUE(x.windowTitle(window).startsWith('*'))
        << "typed text is unsaved: " << x.windowTitle(window).toStdString();

    typeAndRun("insert into fruit values ('typed by keys')", "ctrl+KP_Enter");
    VORN_WAIT_UNTIL(
        runOf("insert into fruit values ('typed by keys')").contains("Successfully inserted 1 row"), RunMs);
    ASSERT_TRUE(runOf("insert into fruit values ('typed by keys')").contains("Successfully inserted 1 row"))
        << logs().toStdString();

    // A long statement stops with Ctrl+. long before it would end.
    const QString longStatement = longStatementFor("SQLite");
    typeAndRun(longStatement);
    ASSERT_WAIT_FOR_MS(logs().contains(". " + longStatement), RunMs);
    ASSERT_TRUE(x.key("ctrl+period"));
    VORN_WAIT_UNTIL(!runOf(longStatement).isEmpty(), 20000);
    ASSERT_TRUE(!runOf(longStatement).isEmpty()) << "not stopped: " << logs().toStdString();
    EXPECT_FALSE(runOf(longStatement).contains("executed successfully"));
    dismissSheet(window);

    typeAndRun("select name from fruit");
    ASSERT_WAIT_FOR_MS(runOf("select name from fruit").contains("executed successfully"), RunMs);
    x.screenshot(qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/VornKeys.png");

    ASSERT_TRUE(x.key("ctrl+s"));
    ASSERT_WAIT_FOR(savedText() == "select name from fruit");
    ASSERT_WAIT_FOR(!x.windowTitle(window).startsWith('*'));

    if (!QStandardPaths::findExecutable("sqlite3").isEmpty()) {
        QProcess sqlite;
        sqlite.start("sqlite3", {database, "select name from fruit"});
        ASSERT_TRUE(sqlite.waitForFinished(10000));
        EXPECT_EQ(sqlite.readAllStandardOutput().trimmed(), "typed by keys");
    }

    vorn.terminate();
    ASSERT_TRUE(vorn.waitForFinished(30000)) << "no clean quit";
    EXPECT_EQ(vorn.exitCode(), 0);
}

} // namespace
