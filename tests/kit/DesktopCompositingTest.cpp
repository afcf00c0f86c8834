#include "kit/DesktopCompositing.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace
{

const char *const runOnDisplay = "DesktopCompositing.FollowsTheCompositingManagerOfTheXDisplay";

// Runs this test again as a program of the private display; whether it passed.
bool passesOn(const XvfbDesktop &desktop, bool compositing)
{
    QProcess child;
    QProcessEnvironment environment = desktop.environment();
    environment.insert("VORN_EXPECT_COMPOSITING", compositing ? "1" : "0");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QString("--gtest_filter=") + runOnDisplay});
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished(2000);
        return false;
    }
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

} // namespace

// Whether the desktop composes is a fact of the X display: the test runs itself on a private display,
// once without and once with a compositing manager, and asks there.
TEST(DesktopCompositing, FollowsTheCompositingManagerOfTheXDisplay)
{
    if (QGuiApplication::platformName() == "xcb") {
        // The compositing manager takes its selection a moment after it started.
        const bool expected = qEnvironmentVariable("VORN_EXPECT_COMPOSITING") == "1";
        ASSERT_WAIT_FOR_EQ(DesktopCompositing::isActive(), expected);
        return;
    }
    EXPECT_TRUE(DesktopCompositing::isActive()); // offscreen windows keep their alpha
    XvfbDesktop desktop;
    ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
    EXPECT_TRUE(passesOn(desktop, false));
    ASSERT_TRUE(desktop.startCompositor());
    EXPECT_TRUE(passesOn(desktop, true));
}
