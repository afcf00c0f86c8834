// The real program on a private X display, driven with real keys through xdotool, with a saved SQL
// document whose header points at a SQLite file. What the program holds is read from the outside:
// its window titles, its document logs and the restoration file it writes. The screen is saved as
// "VornProgramUnderX.png" in the build's test folder for a look.
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "XvfbDisplay.h"
#include "document/DocumentHelper.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

constexpr int startMs = 90000;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One run of the program; a run still going at the end of the test is killed.
class Program
{
public:
    Program(const XvfbDisplay &display, const QString &home, const QStringList &arguments)
    {
        process_.setProcessEnvironment(display.environment(home));
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(qEnvironmentVariable("VORN_BUILD_DIR") + "/bin/vorn", arguments);
    }
    ~Program() { kill(); }

    bool isRunning() const { return process_.state() == QProcess::Running; }
    // SIGKILL: the program gets no chance to write anything more.
    void kill()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.kill();
        VORN_WAIT_UNTIL(process_.state() == QProcess::NotRunning, 10000);
    }
    QProcess &process() { return process_; }

private:
    QProcess process_;
};

class VornProgramUnderXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!XvfbDisplay::toolsAvailable())
            GTEST_SKIP() << "Xvfb and xdotool are needed";
        ASSERT_TRUE(display.isRunning());
        ASSERT_TRUE(home.isValid());
        const ConnectionParametersPtr parameters = sqliteConnection(home.filePath("demo.db"), "Demo");
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

    qsizetype connectedSessions() const
    {
        qsizetype count = 0;
        QDirIterator logs(dataFolder() + "/Logs", {"document-*.log"}, QDir::Files);
        while (logs.hasNext())
            count += QString::fromUtf8(contents(logs.next())).count("Connected with demo.db");
        return count;
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
    QString startConnected(Program &program, qsizetype connectionsBefore)
    {
        const QString window = display.waitForWindow("demo.sql", startMs);
        EXPECT_FALSE(window.isEmpty()) << "no document window";
        VORN_WAIT_UNTIL(connectedSessions() > connectionsBefore, startMs);
        EXPECT_GT(connectedSessions(), connectionsBefore) << "not connected";
        EXPECT_TRUE(program.isRunning());
        return window;
    }

    XvfbDisplay display;
    QTemporaryDir home;
    QString documentPath;
};

TEST_F(VornProgramUnderXTest, TypedWorkSurvivesAKillAndComesBackConnectedInItsTab)
{
    const QByteArray onDisk = contents(documentPath);
    const QString typed = "select 42 as answer;";
    {
        Program first(display, home.path(), {documentPath});
        const QString window = startConnected(first, 0);
        ASSERT_FALSE(window.isEmpty());
        ASSERT_TRUE(display.focus(window));
        ASSERT_TRUE(display.keys("ctrl+End"));
        ASSERT_TRUE(display.type(typed));
        // The typed work is copied a moment after the last key, and the layout learns of the copy.
        QString copy;
        VORN_WAIT_UNTIL(!(copy = autosaveHolding(typed)).isEmpty(), 20000);
        ASSERT_FALSE(copy.isEmpty()) << "the typed text was not autosaved";
        const auto namesCopy = [&] {
            for (const QVariant &entry : restoredDocumentsWrittenAfter({}))
                if (QUrl(entry.toMap().value("autosavedContentsFileURL").toString()).toLocalFile() == copy)
                    return true;
            return false;
        };
        ASSERT_WAIT_FOR_MS(namesCopy(), 10000);
        first.kill();
    }
    EXPECT_EQ(contents(documentPath), onDisk) << "the file waits for the user to save";

    const QDateTime restart = QFileInfo(dataFolder() + "/WindowRestoration.json").lastModified();
    Program second(display, home.path(), {});
    const QString window = startConnected(second, 1);
    ASSERT_FALSE(window.isEmpty());
    // The recovered text is not saved yet: the title marks the document edited.
    EXPECT_TRUE(display.windowTitle(window).startsWith("*demo.db"))
        << display.windowTitle(window).toStdString();
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
              ("select 1;\n" + typed).toStdString());
    EXPECT_TRUE(display.screenshot(qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/VornProgramUnderX.png"));
}

TEST_F(VornProgramUnderXTest, CtrlWOnTheLastTabEndsTheRunAndTheNextStartOpensNoDocument)
{
    {
        Program first(display, home.path(), {documentPath});
        const QString window = startConnected(first, 0);
        ASSERT_FALSE(window.isEmpty());
        ASSERT_TRUE(display.focus(window));
        ASSERT_TRUE(display.keys("ctrl+w"));
        // Its last window closed, the program ends by itself.
        ASSERT_WAIT_FOR_MS(!first.isRunning(), 30000);
        EXPECT_EQ(first.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(first.process().exitCode(), 0);
    }
    const qsizetype connectedBefore = connectedSessions(); // a closed document's log goes with it

    const QDateTime restart = QFileInfo(dataFolder() + "/WindowRestoration.json").lastModified();
    Program second(display, home.path(), {});
    // Started: the welcome screen shows and the empty layout is written down again.
    EXPECT_FALSE(display.waitForWindow("Welcome to Vorn", startMs).isEmpty());
    ASSERT_WAIT_FOR_MS(QFileInfo(dataFolder() + "/WindowRestoration.json").lastModified() > restart, 20000);
    EXPECT_TRUE(restoredDocumentsWrittenAfter(restart).isEmpty());
    EXPECT_TRUE(display.xdotool({"search", "--onlyvisible", "--name", "demo\\.sql"}) == std::nullopt)
        << "a closed document is not reopened";
    EXPECT_EQ(connectedSessions(), connectedBefore) << "nor reconnected";
}

} // namespace
