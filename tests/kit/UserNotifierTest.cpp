#include "WaitFor.h"
#include "kit/UserNotifier.h"
#include "kit/UserNotifierResponseTarget.h"
#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{

// Stands in for the desktop: records notifications and launcher updates.
class FakeDesktop : public DesktopNotifier
{
public:
    FakeDesktop() : DesktopNotifier(QDBusConnection("no-desktop")) {}
    QStringList shown;
    QList<quint32> closed;
    QList<QVariantMap> launcher;
    void click(quint32 id) { emit activated(id); }

protected:
    quint32 sendNotify(const QString &title, const QString &message) override
    {
        shown << title + ": " + message;
        return quint32(shown.size());
    }
    void sendClose(quint32 id) override { closed << id; }
    void sendLauncherUpdate(const QVariantMap &properties) override { launcher << properties; }
};

struct Target : UserNotifierResponseTarget {
    int responses = 0;
    void userRespondedToUserNotifier() override { ++responses; }
};

// Each thread reads its own time: the notifier must take times on the calling thread.
thread_local double threadNow = 0;

class UserNotifierTest : public ::testing::Test
{
protected:
    FakeDesktop desktop;
    UserNotifier notifier{desktop, [] { return threadNow; }};
    const QVariantMap message{{"title", "Vorn"}, {"message", "Query finished"}};
    int busyObject = 0;

    void busyPeriod(double start, double end, bool post, const QVariantMap &msg,
                    UserNotifierResponseTarget *target = nullptr)
    {
        threadNow = start;
        notifier.registerBusyObject(&busyObject);
        threadNow = end;
        notifier.unregisterBusyObject(&busyObject, msg, post, target);
        QCoreApplication::processEvents();
    }
};

TEST_F(UserNotifierTest, OnlyBusyPeriodsOfOneSecondOrMorePost)
{
    struct Case {
        const char *what;
        double seconds;
        bool post;
        bool withMessage;
        bool posts;
    };
    const Case cases[] = {
        {"0.99 s", 0.99, true, true, false},    {"exactly 1.0 s", 1.0, true, true, true},
        {"long", 30, true, true, true},         {"not asked", 30, false, true, false},
        {"no message", 30, true, false, false},
    };
    for (const Case &c : cases) {
        desktop.shown.clear();
        busyPeriod(100, 100 + c.seconds, c.post, c.withMessage ? message : QVariantMap());
        EXPECT_EQ(desktop.shown.size(), c.posts ? 1 : 0) << c.what;
        EXPECT_EQ(notifier.busyObjectCount(), 0) << c.what;
        if (c.posts) {
            EXPECT_EQ(desktop.shown.value(0), "Vorn: Query finished");
        }
    }
}

TEST_F(UserNotifierTest, RegisteringTwiceKeepsTheFirstStart)
{
    threadNow = 10;
    notifier.registerBusyObject(&busyObject);
    threadNow = 10.5;
    notifier.registerBusyObject(&busyObject);
    threadNow = 11.2;
    notifier.unregisterBusyObject(&busyObject, message, true, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.shown.size(), 1) << "1.2 s from the first start";
}

TEST_F(UserNotifierTest, BusyIndicationFollowsTheOldestPeriod)
{
    int older = 0, newer = 0;
    threadNow = 0;
    notifier.registerBusyObject(&older);
    threadNow = 1.5;
    notifier.registerBusyObject(&newer);
    QCoreApplication::processEvents();
    EXPECT_TRUE(notifier.busyTimerRunning());

    threadNow = 2.0;
    notifier.busyCheck();
    EXPECT_FALSE(notifier.busyIndicated()) << "not past 2.0 s yet";
    threadNow = 2.01;
    notifier.busyCheck();
    EXPECT_TRUE(notifier.busyIndicated());
    ASSERT_FALSE(desktop.launcher.isEmpty());
    EXPECT_TRUE(desktop.launcher.last().value("progress-visible").toBool());

    threadNow = 2.5;
    notifier.unregisterBusyObject(&older, {}, false, nullptr);
    QCoreApplication::processEvents();
    notifier.busyCheck();
    EXPECT_FALSE(notifier.busyIndicated()) << "the newer one has been busy for 1.0 s only";

    notifier.unregisterBusyObject(&newer, {}, false, nullptr);
    QCoreApplication::processEvents();
    EXPECT_FALSE(notifier.busyTimerRunning());
    EXPECT_FALSE(desktop.launcher.last().value("progress-visible").toBool());
}

TEST_F(UserNotifierTest, ClickingANotificationAnswersItsTarget)
{
    Target target, other;
    notifier.registerUserNotifierResponseTarget(&target);
    notifier.registerUserNotifierResponseTarget(&other);
    busyPeriod(0, 5, true, message, &target);
    notifier.postNotification(message, &other);
    ASSERT_EQ(desktop.deliveredNotifications().size(), 2);
    const quint32 first = desktop.shown.size() - 1;
    EXPECT_TRUE(desktop.userInfo(first).contains(UserNotifier::ResponseTargetKey));

    desktop.click(first);
    EXPECT_EQ(target.responses, 1);
    EXPECT_EQ(other.responses, 0);
    EXPECT_FALSE(desktop.deliveredNotifications().contains(first)) << "a clicked one is removed";

    // A target that has gone: the click only removes the notification.
    const quint32 second = desktop.shown.size();
    notifier.unregisterUserNotifierResponseTarget(&other);
    EXPECT_TRUE(desktop.closed.contains(second)) << "unregistering clears its notifications";
    notifier.postNotification(message, &other);
    const quint32 third = desktop.shown.size();
    EXPECT_FALSE(desktop.userInfo(third).contains(UserNotifier::ResponseTargetKey));
    desktop.click(third);
    EXPECT_EQ(other.responses, 0);
    EXPECT_TRUE(desktop.deliveredNotifications().isEmpty());
}

TEST_F(UserNotifierTest, AttentionCountCountsAlertAndSuccessDocuments)
{
    struct Case {
        QList<int> states;
        qint64 count;
    };
    const Case cases[] = {{{3, 4, 0, 2, 1}, 2}, {{0, 1}, 0}, {{}, 0}};
    for (const Case &c : cases) {
        notifier.setDocumentStatesProvider([&c] { return c.states; });
        notifier.updateApplicationAlertCount();
        ASSERT_FALSE(desktop.launcher.isEmpty());
        EXPECT_EQ(desktop.launcher.last().value("count").toLongLong(), c.count);
        EXPECT_EQ(desktop.launcher.last().value("count-visible").toBool(), c.count > 0);
    }
}

TEST_F(UserNotifierTest, WorkerThreadsRegisterThroughTheMainThread)
{
    constexpr int Threads = 16;
    std::vector<int> objects(Threads);
    std::vector<std::thread> workers;
    for (int i = 0; i < Threads; ++i) {
        workers.emplace_back([this, i, &objects] {
            threadNow = 1000 + i;
            notifier.registerBusyObject(&objects[i]);
            // Even threads were busy long enough to post, odd ones not.
            threadNow += i % 2 == 0 ? 1.5 : 0.5;
            notifier.unregisterBusyObject(&objects[i], message, true, nullptr);
        });
    }
    for (std::thread &t : workers)
        t.join();
    ASSERT_WAIT_FOR_EQ(desktop.shown.size(), Threads / 2);
    EXPECT_EQ(notifier.busyObjectCount(), 0);
    EXPECT_FALSE(notifier.busyTimerRunning());
}

} // namespace
