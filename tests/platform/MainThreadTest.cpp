#include "platform/MainThread.h"

#include <QCoreApplication>
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
