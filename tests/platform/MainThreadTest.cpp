#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(MainThread, WorkerWorkRunsOnTheMainThreadWithAndWithoutWaiting)
{
    EXPECT_TRUE(MainThread::isMainThread());
    std::atomic<bool> waitedRanOnMain{false}, postedRanOnMain{false}, workerWasMain{true};
    QEventLoop loop;
    std::thread worker([&] {
        workerWasMain = MainThread::isMainThread();
        MainThread::postAndWait([&] { waitedRanOnMain = MainThread::isMainThread(); });
        MainThread::post([&] {
            postedRanOnMain = MainThread::isMainThread();
            loop.quit();
        });
    });
    loop.exec();
    worker.join();
    EXPECT_FALSE(workerWasMain);
    EXPECT_TRUE(waitedRanOnMain);
    EXPECT_TRUE(postedRanOnMain);
}

TEST(MainThread, PostAndWaitOnTheMainThreadRunsAtOnce)
{
    bool ran = false;
    MainThread::postAndWait([&] { ran = true; });
    EXPECT_TRUE(ran);
}

// A posting thread hands its last references to the main thread this way: they must die there,
// whichever thread the queued call lets go of its copy on.
TEST(MainThread, PostedCapturesDieOnTheMainThread)
{
    struct Witness {
        std::atomic<int> *offMain;
        ~Witness()
        {
            if (!MainThread::isMainThread())
                ++*offMain;
        }
    };
    constexpr int posts = 2000;
    std::atomic<int> offMain{0};
    std::atomic<int> ran{0};
    std::thread worker([&] {
        for (int i = 0; i < posts; ++i)
            MainThread::post([witness = std::make_shared<Witness>(&offMain), &ran] { ++ran; });
    });
    // The main thread runs the posts while the worker is still posting.
    QDeadlineTimer deadline(10000);
    while (ran < posts && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    ASSERT_EQ(ran, posts);
    EXPECT_EQ(offMain, 0);
}
