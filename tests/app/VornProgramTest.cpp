// The real program, started as a user starts it: offscreen, with a saved SQL document whose header
// points at a SQLite file. The document connects in its tab and the program quits on request.
#include "SqliteConnection.h"
#include "document/DocumentHelper.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QString documentLogs(const QString &home)
{
    QString text;
    QDirIterator logs(home + "/.local/share/Vorn/Logs", {"document-*.log"}, QDir::Files);
    while (logs.hasNext()) {
        QFile log(logs.next());
        if (log.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(log.readAll());
    }
    return text;
}

TEST(VornProgramTest, SavedDocumentOpensConnectedToSqliteQuitsCleanlyAndComesBackAtTheNextStart)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const ConnectionParametersPtr parameters = sqliteConnection(home.filePath("demo.db"), "Demo");
    ASSERT_NE(parameters, nullptr);
    QString sql = "select 1;\n";
    ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, parameters.get(), {}, {}));
    const QString documentPath = home.filePath("demo.sql");
    QFile document(documentPath);
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.write(sql.toUtf8());
    document.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    environment.insert("XDG_DATA_HOME", home.filePath(".local/share"));
    environment.insert("XDG_CACHE_HOME", home.filePath(".cache"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    const auto connectedSessions = [&] { return documentLogs(home.path()).count("Connected with demo.db"); };
    for (const QStringList &arguments : {QStringList{documentPath}, QStringList{}}) {
        // The second start is given nothing: it restores the tab of the first, which reconnects.
        const qsizetype before = connectedSessions();
        QProcess vorn;
        vorn.setProcessEnvironment(environment);
        vorn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        vorn.start(qEnvironmentVariable("VORN_BUILD_DIR") + "/bin/vorn", arguments);
        ASSERT_TRUE(vorn.waitForStarted(10000));

        const bool connected = QTest::qWaitFor([&] { return connectedSessions() > before; }, 90000);
        EXPECT_TRUE(connected) << documentLogs(home.path()).toStdString();
        EXPECT_EQ(vorn.state(), QProcess::Running);

        vorn.terminate();
        ASSERT_TRUE(vorn.waitForFinished(30000)) << "no clean quit";
        EXPECT_EQ(vorn.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(vorn.exitCode(), 0);
    }
}

} // namespace
