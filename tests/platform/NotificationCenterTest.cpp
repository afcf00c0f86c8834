#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

TEST(NotificationCenter, DeliversByNameAndSenderInOrderAndStopsAfterRemoval)
{
    NotificationCenter center;
    int a = 0, b = 0;
    QStringList seen;
    const auto any = center.addObserver("SQL_PREFERENCE_UPDATE", nullptr, [&](const Notification &n) {
        seen << "any:" + n.userInfo.value("key").toString();
    });
    center.addObserver("SQL_PREFERENCE_UPDATE", &a, [&](const Notification &) { seen << "a"; });
    center.addObserver("Other", nullptr, [&](const Notification &) { seen << "other"; });

    center.postNotification("SQL_PREFERENCE_UPDATE", &b, {{"key", "x"}});
    center.postNotification("SQL_PREFERENCE_UPDATE", &a);
    center.removeObserver(any);
    center.postNotification("SQL_PREFERENCE_UPDATE", &a);
    EXPECT_EQ(seen, QStringList({"any:x", "any:", "a", "a"}));
}

TEST(NotificationCenter, AnObserverMayRemoveAnotherWhileBeingCalled)
{
    NotificationCenter center;
    int calls = 0;
    NotificationCenter::ObserverId second = 0;
    center.addObserver("n", nullptr, [&](const Notification &) { center.removeObserver(second); });
    second = center.addObserver("n", nullptr, [&](const Notification &) { ++calls; });
    center.postNotification("n");
    EXPECT_EQ(calls, 0);
}
