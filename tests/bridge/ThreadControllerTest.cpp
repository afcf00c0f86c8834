#include "BridgeTestSupport.h"

#include "bridge/BridgeLog.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"
#include "bridge/ThreadController.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <optional>
#include <pthread.h>
#include <thread>

namespace
{
QString systemThreadName()
{
    char name[16] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    return QString::fromUtf8(name);
}

// A worker that holds its registration until released, so counts can be read while it runs.
class HeldWorker
{
public:
    HeldWorker(ThreadController &threads, QString name, bool daemon)
        : thread_([this, &threads, name, daemon] {
              threads.registerThread(name, daemon);
              wait(registered_, 1);
              threads.unRegisterThread();
          })
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return registered_ == 1; });
    }
    ~HeldWorker()
    {
        {
            std::lock_guard lock(mutex_);
            registered_ = 2;
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    void wait(int &state, int seen)
    {
        std::unique_lock lock(mutex_);
        state = seen;
        changed_.notify_all();
        changed_.wait(lock, [&] { return state != seen; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int registered_ = 0;
    std::thread thread_;
};
} // namespace

class ThreadControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bridge = startedBridge();
        ASSERT_TRUE(bridge->hasVirtualMachine());
        subjectClass = bridge->classForName("nl/dalmerik/vorn/bridgetest/BridgeSubject");
    }

    QoJavaBridge *bridge = nullptr;
    QoJavaClass *subjectClass = nullptr;
};

TEST_F(ThreadControllerTest, CountsWithAndWithoutDaemons)
{
    ThreadController threads(bridge);
    {
        HeldWorker worker(threads, "SQLEditorController._executeQueriesThread", false);
        HeldWorker daemon(threads, "InfoController.loadInfo", true);
        EXPECT_EQ(threads.numberOfRegisteredThreads(true), 2);
        EXPECT_EQ(threads.numberOfRegisteredThreads(false), 1);
        EXPECT_EQ(threads.registeredThreadNames(),
                  QStringList({"SQLEditorController._executeQueriesThread", "InfoController.loadInfo"}));
    }
    EXPECT_EQ(threads.numberOfRegisteredThreads(true), 0);
}

TEST_F(ThreadControllerTest, RegisteringNamesAttachesAndUnregisteringDetaches)
{
    ThreadController threads(bridge);
    BridgeLogEnabled chatty;
    LogCapture log;
    QString javaName, systemName, fullName, javaNameAfter;
    int countTwice = 0, countAfter = -1;
    bool attachedAfter = true;
    std::thread worker([&] {
        threads.registerThread("ResultController.preload");
        threads.registerThread("ResultController.preload"); // twice: listed twice, attached once
        countTwice = threads.numberOfRegisteredThreads(true);
        systemName = systemThreadName();
        fullName = ThreadController::currentThreadName();
        javaName = subjectClass->callStatic("threadName").toString();
        threads.unRegisterThread();
        countAfter = threads.numberOfRegisteredThreads(true);
        // Detached: a call now needs the emergency attach.
        attachedAfter = false;
        javaNameAfter = subjectClass->callStatic("threadName").toString();
        attachedAfter = true;
        bridge->removeNativeThread();
    });
    worker.join();
    EXPECT_EQ(countTwice, 2);
    EXPECT_EQ(countAfter, 0);
    EXPECT_EQ(fullName, "ResultController.preload");
    EXPECT_EQ(systemName, "ResultControlle"); // the system keeps 15 bytes
    EXPECT_EQ(javaName, "ResultController.preload");
    EXPECT_EQ(log.count("attachNativeThread cancelled allready attached"), 1);
    EXPECT_EQ(log.count("WARNING QoJavaBridge needed to attach emergency jni thread"), 1);
    EXPECT_TRUE(attachedAfter);
    EXPECT_NE(javaNameAfter, "ResultController.preload");
}

TEST_F(ThreadControllerTest, ChattyLinesStayQuietUnlessTheBridgeLogIsEnabled)
{
    EXPECT_STREQ(lcBridge().categoryName(), "vorn.bridge");
    EXPECT_TRUE(lcBridge().isWarningEnabled());
    struct Case {
        bool enabled;
        int attachLines;
    };
    for (const Case &c : {Case{false, 0}, Case{true, 1}}) {
        SCOPED_TRACE(c.enabled ? "enabled" : "default");
        std::optional<BridgeLogEnabled> chatty;
        if (c.enabled)
            chatty.emplace();
        LogCapture log;
        std::thread worker([&] {
            bridge->attachNativeThread("Chatty");
            bridge->attachNativeThread("Chatty"); // already attached: an informational line
            bridge->removeNativeThread();
            EXPECT_NE(bridge->environment(), nullptr); // attached on the spot: a warning either way
            bridge->removeNativeThread();
        });
        worker.join();
        EXPECT_EQ(log.count("attachNativeThread cancelled allready attached"), c.attachLines);
        EXPECT_EQ(log.count("WARNING QoJavaBridge needed to attach emergency jni thread"), 1);
    }
}

TEST_F(ThreadControllerTest, UnregisteringAnUnknownThreadChangesNothing)
{
    ThreadController threads(bridge);
    HeldWorker worker(threads, "Committing", false);
    std::thread stranger([&] {
        bridge->attachNativeThread();
        threads.unRegisterThread(); // not registered: stays attached
        EXPECT_EQ(subjectClass->callStatic("twice:", {2}), QVariant(4));
        bridge->removeNativeThread();
    });
    LogCapture log;
    stranger.join();
    EXPECT_EQ(log.count("WARNING QoJavaBridge needed to attach emergency jni thread"), 0);
    EXPECT_EQ(threads.numberOfRegisteredThreads(true), 1);
}

TEST_F(ThreadControllerTest, EmergencyAttachWarnsOnceAndKeepsTheEnvironment)
{
    LogCapture log;
    std::thread worker([&] {
        JNIEnv *first = bridge->environment();
        JNIEnv *second = bridge->environment();
        EXPECT_NE(first, nullptr);
        EXPECT_EQ(first, second);
        bridge->removeNativeThread();
    });
    worker.join();
    EXPECT_EQ(log.count("WARNING QoJavaBridge needed to attach emergency jni thread"), 1);
}

TEST_F(ThreadControllerTest, ThreadThatEndsAttachedIsDetached)
{
    const QVariant before = subjectClass->callStatic("liveThreads");
    std::thread forgetful([&] { EXPECT_EQ(subjectClass->callStatic("twice:", {1}), QVariant(2)); });
    forgetful.join();
    EXPECT_EQ(subjectClass->callStatic("liveThreads"), before);
}

TEST_F(ThreadControllerTest, TheStartUpThreadIsNeverDetached)
{
    LogCapture log;
    JNIEnv *before = bridge->environment();
    bridge->removeNativeThread();
    EXPECT_EQ(log.count("Warning trying to delete main thread"), 1);
    EXPECT_EQ(bridge->environment(), before);
    EXPECT_EQ(subjectClass->callStatic("twice:", {3}), QVariant(6));
}

TEST_F(ThreadControllerTest, ManyThreadsCallAtOnce)
{
    ThreadController threads(bridge);
    const int count = 16;
    std::atomic<int> correct{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < count; ++i) {
        workers.emplace_back([&, i] {
            threads.registerThread(QStringLiteral("Worker %1").arg(i), i % 2 == 0);
            bool ok = true;
            for (int round = 0; round < 50; ++round) {
                const QoJavaObjectPtr subject =
                    subjectClass->newObject("(ILjava/lang/String;)V", {i, QStringLiteral("w%1").arg(i)});
                ok = ok && subject->call("number") == QVariant(i);
                ok = ok && subject->call("name") == QVariant(QStringLiteral("w%1").arg(i));
                // First use of these classes races between threads: each is mirrored once.
                ok = ok && bridge->classForName(round % 2 ? "java.util.ArrayList" : "java/util/ArrayList") ==
                               bridge->classForName("java/util/ArrayList");
            }
            ok = ok && subjectClass->callStatic("work:", {20000}).isValid();
            threads.unRegisterThread();
            if (ok)
                ++correct;
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    EXPECT_EQ(correct.load(), count);
    EXPECT_EQ(threads.numberOfRegisteredThreads(true), 0);
}
