// Driver jars a user brings join the VM's class path: from the data folder's Drivers folder and
// from the folders VORN_DRIVERS names. One VM per binary, so the jars are put in place before it
// starts, and everything here runs in one test.
#include "BackendTestSupport.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"
#include "platform/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
QString builtJar(const QString &origin)
{
    return QStringLiteral(VORN_USER_DRIVER_JAR_DIR "/user-driver-%1.jar").arg(origin);
}
} // namespace

TEST(BackendUserDriverTest, JarsInTheDriversFoldersAreLoadedByName)
{
    ASSERT_TRUE(QDir().mkpath(AppFolders::drivers()));
    ASSERT_TRUE(QFile::copy(builtJar("folder"), AppFolders::drivers() + "/folder-driver.jar"));
    QTemporaryDir environmentFolder;
    ASSERT_TRUE(QFile::copy(builtJar("environment"), environmentFolder.filePath("environment-driver.jar")));
    setenv("VORN_DRIVERS", environmentFolder.path().toUtf8().constData(), 1);

    QoJavaBridge *bridge = startedBackend();
    ASSERT_NE(bridge, nullptr);
    struct Case {
        const char *className;
        const char *origin;
    };
    for (const Case &c : {Case{"vorn/test/FolderDriver", "data folder"},
                          Case{"vorn/test/EnvironmentDriver", "VORN_DRIVERS"}}) {
        SCOPED_TRACE(c.className);
        QoJavaClass *loaded = bridge->classForName(QString::fromLatin1(c.className));
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->callStatic("origin", {}).toString(), QString::fromLatin1(c.origin));
    }
    unsetenv("VORN_DRIVERS");
}
