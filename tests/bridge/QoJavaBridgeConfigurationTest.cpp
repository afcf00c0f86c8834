// The bridge's configuration from Info.plist and everything that happens when no VM starts.
// No test here may start a VM.
#include "BridgeTestSupport.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"

#include <gtest/gtest.h>

namespace
{
const QString prefix = QStringLiteral("/opt/vorn");

QVariantMap infoWithBridge(const QVariantMap &bridge)
{
    return {{"CFBundleName", "Vorn"}, {"QoJavaBridge", bridge}};
}

const QVariantMap complete{{"JRE", "/usr/lib/jvm/java-17"},
                           {"LibraryPath", "share/vorn/java"},
                           {"Libraries", QVariantList{"vorn-backend.jar", "/usr/share/java/postgresql.jar"}},
                           {"JavaOptions", "-Xrs -Dorg.sqlite.lib.path=/usr/lib/jni"}};

QVariantMap without(QVariantMap map, const QStringList &keys)
{
    for (const QString &key : keys)
        map.remove(key);
    return map;
}

QVariantMap with(QVariantMap map, const QString &key, const QVariant &value)
{
    map.insert(key, value);
    return map;
}

const QString classPath =
    "-Djava.class.path=/opt/vorn/share/vorn/java/vorn-backend.jar:/usr/share/java/postgresql.jar";
const QString libraryPath = "-Djava.library.path=/opt/vorn/bin";
} // namespace

TEST(QoJavaBridgeConfiguration, FromInfoDictionary)
{
    struct Case {
        const char *what;
        QVariantMap info;
        QString warning;
        QString heldError;
        QStringList options; // empty: not usable
        QString javaHome;
    };
    const QList<Case> cases{
        {"no bridge dictionary", {{"CFBundleName", "Vorn"}}, "WARNING QoJavaBridge not set", {}, {}, {}},
        {"no JRE, nothing else either", infoWithBridge({}), "WARNING JRE not set", {}, {}, {}},
        {"no JRE wins over the held errors",
         infoWithBridge(without(complete, {"JRE", "LibraryPath"})),
         "WARNING JRE not set",
         {},
         {},
         {}},
        {"LibraryPath is checked before Libraries",
         infoWithBridge(without(complete, {"LibraryPath", "Libraries"})),
         {},
         "Bundle configuration incomplete, LibraryPath not set.",
         {},
         {}},
        {"no Libraries",
         infoWithBridge(without(complete, {"Libraries"})),
         {},
         "Bundle configuration incomplete, Libraries not set.",
         {},
         {}},
        {"complete, absolute library entries kept",
         infoWithBridge(complete),
         {},
         {},
         {classPath, "-Xrs", "-Dorg.sqlite.lib.path=/usr/lib/jni", libraryPath},
         "/usr/lib/jvm/java-17"},
        {"no JavaOptions gives one empty option",
         infoWithBridge(without(complete, {"JavaOptions"})),
         {},
         {},
         {classPath, "", libraryPath},
         "/usr/lib/jvm/java-17"},
        {"two spaces give an empty option between",
         infoWithBridge(with(complete, "JavaOptions", "-Xrs  -Da=b")),
         {},
         {},
         {classPath, "-Xrs", "", "-Da=b", libraryPath},
         "/usr/lib/jvm/java-17"},
        {"bootstrap libraries are appended to the boot class path, first option",
         infoWithBridge(with(complete, "BootstrapLibraries", QVariantList{"a.jar", "b.jar"})),
         {},
         {},
         {"-Xbootclasspath/a:/opt/vorn/share/vorn/java/a.jar:/opt/vorn/share/vorn/java/b.jar", classPath,
          "-Xrs", "-Dorg.sqlite.lib.path=/usr/lib/jni", libraryPath},
         "/usr/lib/jvm/java-17"},
        {"empty bootstrap libraries add no option",
         infoWithBridge(with(complete, "BootstrapLibraries", QVariantList{})),
         {},
         {},
         {classPath, "-Xrs", "-Dorg.sqlite.lib.path=/usr/lib/jni", libraryPath},
         "/usr/lib/jvm/java-17"},
        {"a relative JRE lies inside the install prefix",
         infoWithBridge(with(complete, "JRE", "lib/jre")),
         {},
         {},
         {classPath, "-Xrs", "-Dorg.sqlite.lib.path=/usr/lib/jni", libraryPath},
         "/opt/vorn/lib/jre"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto configuration = QoJavaBridge::configurationFromInfoDictionary(c.info, prefix);
        EXPECT_EQ(configuration.usable, !c.options.isEmpty());
        EXPECT_EQ(configuration.warning, c.warning);
        EXPECT_EQ(configuration.heldError, c.heldError);
        EXPECT_EQ(configuration.options, c.options);
        EXPECT_EQ(configuration.javaHome, c.javaHome);
    }
}

TEST(QoJavaBridgeConfiguration, HeldErrorReachesTheDelegateOnlyWhenOneIsSet)
{
    QoJavaBridge bridge(infoWithBridge(without(complete, {"LibraryPath"})), prefix);
    EXPECT_FALSE(bridge.startupJavaVirtualMachine());
    EXPECT_FALSE(bridge.hasVirtualMachine());

    RecordingDelegate delegate;
    bridge.setDelegate(&delegate);
    ASSERT_EQ(delegate.configErrors().size(), 1);
    EXPECT_EQ(delegate.configErrors()[0].error, "delayConfigError");
    EXPECT_EQ(delegate.configErrors()[0].description,
              "Bundle configuration incomplete, LibraryPath not set.");
    EXPECT_TRUE(delegate.configErrors()[0].onMainThread);

    // The held text stays: a later delegate hears of it too.
    RecordingDelegate later;
    bridge.setDelegate(&later);
    EXPECT_EQ(later.configErrors().size(), 1);
    bridge.setDelegate(nullptr);
}

TEST(QoJavaBridgeConfiguration, WithoutBridgeDictionaryThereIsNoVmAndNoAlert)
{
    LogCapture log;
    QoJavaBridge bridge({{"CFBundleName", "Vorn"}}, prefix);
    EXPECT_FALSE(bridge.startupJavaVirtualMachine());
    EXPECT_EQ(log.count("WARNING QoJavaBridge not set"), 1);

    RecordingDelegate delegate;
    bridge.setDelegate(&delegate);
    EXPECT_TRUE(delegate.configErrors().isEmpty());
    EXPECT_EQ(bridge.environment(), nullptr);
    EXPECT_EQ(bridge.classForName("java/lang/String"), nullptr);
    EXPECT_EQ(bridge.instanceOfObject("java/util/Vector"), nullptr);

    bridge.attachNativeThread();
    EXPECT_EQ(log.count("Warning: attaching native thread before a virtual machine is available"), 1);
    EXPECT_EQ(bridge.environment(), nullptr);
    bridge.setDelegate(nullptr);
}

TEST(QoJavaBridgeConfiguration, RuntimeThatDoesNotOpenIsHeld)
{
    LogCapture log;
    QoJavaBridge bridge(infoWithBridge(with(complete, "JRE", "/nonexistent/jre")), prefix);
    EXPECT_FALSE(bridge.startupJavaVirtualMachine());
    EXPECT_EQ(bridge.delayedConfigError(), "failed to libjvm");
    const QStringList loaderLines = log.lines().filter("dlopens libjvm -> 0, error = ");
    ASSERT_EQ(loaderLines.size(), 1);
    EXPECT_TRUE(loaderLines[0].contains("/nonexistent/jre/lib/server/libjvm.so"));
}

TEST(QoJavaBridgeConfiguration, SharedBridgeWithoutVmAnswersEmptyValues)
{
    QoJavaBridge::setSharedConfiguration({}, prefix);
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    ASSERT_NE(bridge, nullptr);
    EXPECT_EQ(QoJavaBridge::javaBridge(), bridge);
    EXPECT_FALSE(bridge->hasVirtualMachine());

    EXPECT_EQ(JavaUtils::vectorFromArray({"a"}), nullptr);
    EXPECT_EQ(JavaUtils::hashtableFromDictionary({{"a", 1}}), nullptr);
    EXPECT_TRUE(JavaUtils::arrayFromVector(nullptr).isEmpty());
    EXPECT_TRUE(JavaUtils::dictionaryFromHashtable(nullptr).isEmpty());
    EXPECT_TRUE(JavaUtils::recursiveCollectionsFromVector(nullptr).isEmpty());
    EXPECT_EQ(JavaUtils::recursiveCollectionsFromJavaObject("text"), QVariant("text"));

    // Registering still names the thread and counts it; there is nothing to attach to.
    LogCapture log;
    ThreadController threads;
    threads.registerThread("Committing");
    EXPECT_EQ(threads.numberOfRegisteredThreads(false), 1);
    EXPECT_EQ(log.count("Warning: attaching native thread before a virtual machine is available"), 1);
    threads.unRegisterThread();
    EXPECT_EQ(threads.numberOfRegisteredThreads(true), 0);
}
