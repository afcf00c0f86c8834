// Shared main of every test binary: a QApplication (offscreen under CTest) and a private,
// throwaway home so that user defaults, keyrings and data folders never touch the real ones.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    QTemporaryDir home(QDir::tempPath() + "/vorn-test-home-XXXXXX");
    if (!home.isValid())
        return 2;
    const QByteArray homePath = home.path().toUtf8();
    setenv("HOME", homePath.constData(), 1);
    setenv("XDG_CONFIG_HOME", (homePath + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (homePath + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (homePath + "/.cache").constData(), 1);
    QDir(home.path()).mkpath("Documents");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    QApplication::setOrganizationName("Vorn");
    QApplication::setApplicationName("Vorn");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
