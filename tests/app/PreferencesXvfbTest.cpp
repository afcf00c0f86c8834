// The preferences window of the real program on a private X display, reached and left with real
// keys only: Ctrl+, in front of the welcome screen opens it on General with the keyboard, and
// Ctrl+W closes it. The screen with the window is saved as "Preferences.png" in the build's test
// folder for a look.
#include "WaitFor.h"
#include "XvfbDesktop.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{

constexpr int StartMs = 90000;

class PreferencesXvfbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.error().isEmpty()) << x.error().toStdString();
        UserDefaults::standard().setObject(999999, PreferenceKey::last_auto_releasenotes);
        UserDefaults::standard().synchronize();
    }

    void TearDown() override
    {
        if (vorn.state() == QProcess::NotRunning)
            return;
        vorn.kill();
        vorn.waitForFinished(10000);
    }

    bool preferencesShown() const
    {
        const std::optional<QString> found =
            x.xdotool({"search", "--onlyvisible", "--name", "^Vorn Preferences"});
        return found && !found->isEmpty();
    }

    XvfbDesktop x;
    QProcess vorn;
};

TEST_F(PreferencesXvfbTest, CtrlCommaOpensThePreferencesAndCtrlWClosesThem)
{
    vorn.setProcessEnvironment(x.environment());
    vorn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    vorn.start(qEnvironmentVariable("VORN_BUILD_DIR") + "/bin/vorn", {});
    ASSERT_TRUE(vorn.waitForStarted(10000));
    const quint64 welcome = x.waitForWindow("^Welcome to Vorn$", StartMs);
    ASSERT_NE(welcome, 0u) << "no welcome screen";
    // Start-up has finished once the (empty) window layout is written; until then the welcome screen
    // is the wait screen, which comes back to the front as it turns into the list.
    ASSERT_WAIT_FOR_MS(QFileInfo::exists(QDir::homePath() + "/.local/share/Vorn/WindowRestoration.json"),
                       StartMs);
    ASSERT_TRUE(x.focus(welcome));
    EXPECT_FALSE(preferencesShown());

    ASSERT_TRUE(x.key("ctrl+comma"));
    const quint64 preferences = x.waitForWindow("^Vorn Preferences: General$", 10000);
    ASSERT_NE(preferences, 0u) << "Ctrl+, opened no preferences window";
    // It has the keyboard without a click, so Ctrl+W reaches it.
    VORN_WAIT_UNTIL(x.focusedWindow() == preferences, 5000);
    EXPECT_EQ(x.focusedWindow(), preferences);
    x.screenshot().save(qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/Preferences.png");

    ASSERT_TRUE(x.key("ctrl+w"));
    ASSERT_WAIT_FOR(!preferencesShown());
    EXPECT_NE(x.waitForWindow("^Welcome to Vorn$", 1000), 0u) << "only the preferences closed";

    vorn.terminate();
    ASSERT_TRUE(vorn.waitForFinished(30000)) << "no clean quit";
    EXPECT_EQ(vorn.exitCode(), 0);
}

} // namespace
