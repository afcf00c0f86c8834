#include "platform/NotificationCenter.h"
#include "platform/SecretServiceKeychain.h"

#include <gtest/gtest.h>

#include <cstdlib>

// With no session bus at all there is no keyring service: every lookup answers "not found", stores
// fail, and the user is told once per run.
TEST(KeychainNoService, AnswersNotFoundAndNoticesOncePerRun)
{
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vorn-no-bus", 1);
    unsetenv("DISPLAY");

    QStringList messages;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    const auto observer = center.addObserver(
        SecretServiceKeychain::unavailableNotification, nullptr,
        [&](const Notification &note) { messages.append(note.userInfo.value("message").toString()); });
    SecretServiceKeychain keychain;
    EXPECT_FALSE(
        keychain.findPassword("vorn:sqlite//file:///tmp/a.db", "Database login for a.db").has_value());
    EXPECT_FALSE(keychain.storePassword("vorn:postgresql//u@h:5432/d", "Database login for u @ h", "secret"));
    EXPECT_FALSE(
        keychain.findPassword("vorn:postgresql//u@h:5432/d", "Database login for u @ h").has_value());
    center.removeObserver(observer);

    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains("keyring")) << messages.first().toStdString();
}
