// `cmake --install` into a prefix of the test's own: the program and what it reads, the desktop
// entry, the file type of connections backups and the icon, checked with the desktop's own tools;
// then the installed program is started and connects a saved document, so it found its Info.plist
// and backend beside it.
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "document/DocumentHelper.h"
#include "platform/Bundle.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct Finished {
    int exitCode = -1;
    QString output;
};

// Runs a program to its end; standard output and error together.
Finished run(const QString &program, const QStringList &arguments,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(300000))
        return {-1, "did not finish: " + process.errorString()};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The value of a key of the entry's [Desktop Entry] group.
QString entryValue(const QString &entry, const QString &key)
{
    for (const QString &line : entry.split('\n')) {
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    }
    return {};
}

class InstalledProgramTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        prefix = new QTemporaryDir;
        const Finished install =
            run("cmake", {"--install", qEnvironmentVariable("VORN_BUILD_DIR"), "--prefix", prefix->path()});
        installed = install.exitCode == 0;
        installOutput = install.output;
    }
    static void TearDownTestSuite() { delete prefix; }
    void SetUp() override { ASSERT_TRUE(installed) << installOutput.toStdString(); }

    static QString at(const QString &path) { return prefix->filePath(path); }

    static inline QTemporaryDir *prefix = nullptr;
    static inline bool installed = false;
    static inline QString installOutput;
};

TEST_F(InstalledProgramTest, PlacesTheProgramWhatItReadsAndTheIconInEveryThemeSize)
{
    EXPECT_TRUE(QFileInfo(at("bin/vorn")).isExecutable());
    for (const char *path : {"share/vorn/Info.plist", "share/vorn/java/vorn-backend.jar"})
        EXPECT_TRUE(QFileInfo(at(path)).isFile()) << path;
    EXPECT_TRUE(QFileInfo(at("share/vorn/resources")).isDir());
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const QString icon = at(QString("share/icons/hicolor/%1x%1/apps/vorn.png").arg(size));
        EXPECT_EQ(QImage(icon).size(), QSize(size, size)) << icon.toStdString();
    }
}

TEST_F(InstalledProgramTest, DesktopEntryIsValidAndOpensSqlDocumentsAndConnectionsBackups)
{
    const QString entryPath = at("share/applications/vorn.desktop");
    const Finished validate = run("desktop-file-validate", {entryPath});
    EXPECT_EQ(validate.exitCode, 0) << validate.output.toStdString();
    EXPECT_EQ(validate.output, "") << "no warnings or hints either";

    const QString entry = readText(entryPath);
    EXPECT_EQ(entryValue(entry, "Exec"), "vorn %F");
    EXPECT_EQ(entryValue(entry, "Icon"), "vorn");
    const QStringList types = entryValue(entry, "MimeType").split(';', Qt::SkipEmptyParts);
    // The desktop's own type of .sql files is among them.
    const QMimeType sql = QMimeDatabase().mimeTypeForFile("Demo.sql", QMimeDatabase::MatchExtension);
    EXPECT_TRUE(types.contains(sql.name())) << sql.name().toStdString();
    EXPECT_TRUE(types.contains("application/x-vorn-connections"));

    // The desktop's index of which program opens what names the entry.
    const QString handlers = readText(at("share/applications/mimeinfo.cache"));
    EXPECT_TRUE(handlers.contains("application/x-vorn-connections=vorn.desktop;")) << handlers.toStdString();
}

TEST_F(InstalledProgramTest, ConnectionsBackupTypeIsWellFormedAndKnownToTheMimeDatabase)
{
    const QString package = at("share/mime/packages/vorn.xml");
    const Finished lint = run("xmllint", {"--noout", package});
    EXPECT_EQ(lint.exitCode, 0) << lint.output.toStdString();
    const QString xml = readText(package);
    EXPECT_TRUE(xml.contains("<mime-type type=\"application/x-vorn-connections\">"));
    EXPECT_TRUE(xml.contains("<glob pattern=\"*.vornconnections\"/>"));

    // The database built from it at install time maps the extension to the type.
    const QString globs = readText(at("share/mime/globs2"));
    EXPECT_TRUE(globs.contains("application/x-vorn-connections:*.vornconnections")) << globs.toStdString();
    EXPECT_TRUE(QFileInfo(at("share/mime/application/x-vorn-connections.xml")).isFile());
}

TEST_F(InstalledProgramTest, InstalledProgramReadsItsInfoPlistAndStartsItsBackendFromThePrefix)
{
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    environment.insert("XDG_DATA_HOME", home.filePath(".local/share"));
    environment.insert("XDG_CACHE_HOME", home.filePath(".cache"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");

    // The version comes from the installed Info.plist.
    const QString shortVersion =
        Bundle(at("")).infoDictionary().value("CFBundleShortVersionString").toString();
    ASSERT_FALSE(shortVersion.isEmpty());
    const Finished version = run(at("bin/vorn"), {"--version"}, environment);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.contains("Vorn " + shortVersion + "\n")) << version.output.toStdString();

    const ConnectionParametersPtr parameters = sqliteConnection(home.filePath("shop.db"), "Shop");
    ASSERT_NE(parameters, nullptr);
    QString sql = "select 1;\n";
    ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, parameters.get(), {}, {}));
    QFile document(home.filePath("shop.sql"));
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.write(sql.toUtf8());
    document.close();

    QProcess vorn;
    vorn.setProcessEnvironment(environment);
    vorn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    vorn.start(at("bin/vorn"), {document.fileName()});
    ASSERT_TRUE(vorn.waitForStarted(10000));
    const auto logs = [&] {
        QString text;
        QDirIterator files(home.filePath(".local/share/Vorn/Logs"), {"document-*.log"}, QDir::Files);
        while (files.hasNext())
            text += readText(files.next());
        return text;
    };
    VORN_WAIT_UNTIL(logs().contains("Connected with shop.db"), 90000);
    EXPECT_TRUE(logs().contains("Connected with shop.db")) << logs().toStdString();
    vorn.terminate();
    ASSERT_TRUE(vorn.waitForFinished(30000));
    EXPECT_EQ(vorn.exitCode(), 0);
}

} // namespace
