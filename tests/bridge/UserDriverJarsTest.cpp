// The driver jars a user brings: which files join the VM's class path, and where.
#include "BridgeTestSupport.h"

#include "bridge/JavaVirtualMachineLauncher.h"
#include "bridge/UserDriverJars.h"
#include "platform/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray emptyZip = QByteArrayLiteral("PK\x05\x06") + QByteArray(18, '\0');
const QByteArray zipStart = QByteArrayLiteral("PK\x03\x04") + QByteArray(26, '\0');
} // namespace

TEST(UserDriverJars, OnlyReadableJarsJoinEachFolderSortedByName)
{
    QTemporaryDir first;
    QTemporaryDir second;
    writeFile(first.filePath("z-driver.jar"), zipStart);
    writeFile(first.filePath("a-driver.jar"), emptyZip);
    writeFile(first.filePath("notes.txt"), zipStart);
    writeFile(first.filePath("broken.jar"), "not a jar at all");
    ASSERT_TRUE(QFile::link(first.filePath("gone.class"), first.filePath("dangling.jar")));
    QDir(first.path()).mkdir("folder.jar");
    writeFile(second.filePath("ojdbc.jar"), zipStart);

    BridgeLogEnabled logging;
    LogCapture log;
    const QStringList jars = UserDriverJars::jarsIn({first.path(), second.path(), first.filePath("missing")});

    EXPECT_EQ(jars, (QStringList{first.filePath("a-driver.jar"), first.filePath("z-driver.jar"),
                                 second.filePath("ojdbc.jar")}));
    for (const char *skipped : {"broken.jar", "dangling.jar"})
        EXPECT_EQ(log.count(QStringLiteral("Skipped the driver jar %1: it cannot be read as a jar")
                                .arg(first.filePath(QString::fromLatin1(skipped)))),
                  1)
            << skipped;
}

TEST(UserDriverJars, TheDataFolderComesFirstThenTheEnvironmentsFolders)
{
    struct Case {
        const char *what;
        const char *variable; // null: unset
        QStringList extra;
    };
    const QList<Case> cases{
        {"unset", nullptr, {}},
        {"one folder", "/opt/drivers", {"/opt/drivers"}},
        {"several, empty entries skipped", "/a::/b:", {"/a", "/b"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.variable)
            setenv("VORN_DRIVERS", c.variable, 1);
        else
            unsetenv("VORN_DRIVERS");
        EXPECT_EQ(UserDriverJars::folders(), QStringList{AppFolders::drivers()} + c.extra);
    }
    unsetenv("VORN_DRIVERS");
}

TEST(UserDriverJars, JarsFollowTheBundledLibrariesAndTheFolderIsTold)
{
    const QString bundled = "-Djava.class.path=/opt/vorn/share/vorn/java/vorn-backend.jar";
    struct Case {
        const char *what;
        QStringList jars;
        QString classPath;
    };
    const QList<Case> cases{
        {"no jars leave the class path alone", {}, bundled},
        {"jars are appended in their order",
         {"/home/u/Drivers/ojdbc11.jar", "/x/y.jar"},
         bundled + ":/home/u/Drivers/ojdbc11.jar:/x/y.jar"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        JavaVirtualMachineLauncher::Configuration configuration;
        configuration.options = {bundled, "-Xrs"};
        JavaVirtualMachineLauncher::addUserDrivers(configuration, "/home/u/Drivers", c.jars);
        EXPECT_EQ(configuration.options,
                  (QStringList{c.classPath, "-Xrs", "-Dvorn.drivers.folder=/home/u/Drivers"}));
    }
}
