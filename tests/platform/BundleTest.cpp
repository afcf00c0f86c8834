#include "platform/Bundle.h"
#include "platform/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Bundle, PathsFollowTheInstallLayout)
{
    const Bundle bundle("/opt/vorn/bin/..");
    EXPECT_EQ(bundle.bundlePath(), "/opt/vorn");
    EXPECT_EQ(bundle.resourcePath(), "/opt/vorn/share/vorn");
    EXPECT_EQ(bundle.pathForResource("java/vorn-backend.jar"), "/opt/vorn/share/vorn/java/vorn-backend.jar");
    EXPECT_EQ(bundle.executableFolder(), "/opt/vorn/bin");
}

TEST(Bundle, MainBundleIsTheExecutableFolderParentUnlessPointedElsewhere)
{
    EXPECT_EQ(Bundle::mainBundle().bundlePath(),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/.."));
    Bundle::setMainBundlePrefix("/somewhere/else");
    EXPECT_EQ(Bundle::mainBundle().bundlePath(), "/somewhere/else");
    Bundle::setMainBundlePrefix(QString());
    EXPECT_EQ(Bundle::mainBundle().bundlePath(),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/.."));
}

TEST(Bundle, GeneratedInfoPlistHasTheDesignedKeys)
{
    const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
    const QVariantMap info = build.infoDictionary();
    EXPECT_FALSE(build.objectForInfoDictionaryKey("CFBundleShortVersionString").toString().isEmpty());
    EXPECT_FALSE(info.value("BuildNumber").toString().isEmpty());
    const QVariantMap bridge = info.value("QoJavaBridge").toMap();
    EXPECT_TRUE(QDir(bridge.value("JRE").toString()).exists("lib/server/libjvm.so"));
    EXPECT_EQ(bridge.value("LibraryPath"), QVariant("share/vorn/java"));
    const QVariantList libraries = bridge.value("Libraries").toList();
    ASSERT_FALSE(libraries.isEmpty());
    EXPECT_EQ(libraries.first(), QVariant("vorn-backend.jar"));
    for (const QVariant &jar : libraries.mid(1))
        EXPECT_TRUE(QFileInfo::exists(jar.toString())) << qPrintable(jar.toString());
    EXPECT_TRUE(bridge.value("JavaOptions").toString().startsWith("-Xrs"));
}

TEST(Bundle, MissingOrBrokenInfoPlistGivesAnEmptyDictionary)
{
    QTemporaryDir prefix;
    const Bundle bundle(prefix.path());
    EXPECT_TRUE(bundle.infoDictionary().isEmpty());
    QDir(prefix.path()).mkpath("share/vorn");
    QFile broken(bundle.pathForResource("Info.plist"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<plist><dict><key>unfinished");
    broken.close();
    EXPECT_TRUE(bundle.infoDictionary().isEmpty());
    ASSERT_TRUE(
        PropertyList::writeFile(QVariantMap{{"BuildNumber", "7"}}, bundle.pathForResource("Info.plist")));
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("BuildNumber"), QVariant("7"));
}
