// The header that scripts/run writes in front of its demo document reads back as Vorn's own, also
// for a database path with characters the header escapes.
#include "connection/ConnectionParameters.h"
#include "document/DocumentHelper.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace
{

QString scriptHeader(const QString &databasePath)
{
    const QString script = qEnvironmentVariable("VORN_SOURCE_DIR") + "/scripts/run";
    QProcess bash;
    bash.start("bash", {"-c",
                        "source <(sed -n '/^demo_document_header()/,/^}/p' \"$0\") && "
                        "demo_document_header \"$1\"",
                        script, databasePath});
    EXPECT_TRUE(bash.waitForFinished(10000));
    EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
    return QString::fromUtf8(bash.readAllStandardOutput());
}

TEST(RunScriptDemoTest, DemoDocumentHeaderReadsBackWithItsSqliteConnection)
{
    const QStringList paths{"/home/me/.local/share/Vorn/Demo/demo.db",
                            "/tmp/odd \"name\" #1 -- a*/b {c}\\d.db"};
    for (const QString &path : paths) {
        QString sql = scriptHeader(path) + "SELECT 1;\n";
        ConnectionParametersPtr parameters;
        std::optional<QVariantMap> arguments;
        std::optional<QVariantMap> options;
        ASSERT_TRUE(DocumentHelper::obtainStoredSettingsFromSql(sql, parameters, arguments, options))
            << path.toStdString();
        ASSERT_NE(parameters, nullptr);
        EXPECT_EQ(parameters->databaseType(), "SQLite");
        EXPECT_EQ(parameters->database(), path);
        EXPECT_EQ(parameters->autoCommit(), 1u);
        EXPECT_EQ(sql, "SELECT 1;\n");
    }
}

} // namespace
