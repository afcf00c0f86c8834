// The one background runner: where and in which order a job's steps run, what its worker's
// registration and its lane promise, and that neither thread ever waits for the other. The workers
// register with a thread controller over a bridge without a VM: attaching is then left out, the
// registry works as with one.
#include "client/BackgroundRunner.h"
#include "WaitFor.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/ThreadController.h"
#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{

QoJavaBridge &bridgeWithoutVm()
{
    static auto *bridge = new QoJavaBridge(QVariantMap(), QString());
    return *bridge;
}

QString threadKind()
{
    return MainThread::isMainThread() ? QStringLiteral("main") : QStringLiteral("worker");
}

// The steps of jobs as they happen, each with the kind of thread it ran on.
class Journal
{
public:
    void add(const QString &step)
    {
        std::lock_guard lock(mutex_);
        steps_ << step + " on " + threadKind();
    }
    QStringList steps() const
    {
        std::lock_guard lock(mutex_);
        return steps_;
    }

private:
    mutable std::mutex mutex_;
    QStringList steps_;
};

// A door a worker waits at until the test opens it (at most ten seconds, so that a failed test
// never leaves a worker behind for good).
class Gate
{
public:
    void open()
    {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void pass()
    {
        std::unique_lock lock(mutex_);
        reached_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return open_; });
    }
    bool reached() const
    {
        std::lock_guard lock(mutex_);
        return reached_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool reached_ = false;
};

// Dies with the last copy of a job's capture and tells on which thread.
struct Witness {
    struct Deaths {
        std::atomic<int> onMain{0};
        std::atomic<int> elsewhere{0};
    };
    explicit Witness(std::shared_ptr<Deaths> deaths) : deaths(std::move(deaths)) {}
    ~Witness() { ++(MainThread::isMainThread() ? deaths->onMain : deaths->elsewhere); }
    std::shared_ptr<Deaths> deaths;
};

class BackgroundRunnerTest : public ::testing::Test
{
protected:
    // A job whose every step writes to the journal; work waits at the gate when one is given.
    // An empty label leaves the steps unlabelled.
    BackgroundJob journaledJob(QString label, std::shared_ptr<Gate> gate = nullptr)
    {
        if (!label.isEmpty())
            label += ' ';
        BackgroundJob job;
        job.threadName = QStringLiteral("Runner test job");
        job.threads = threads;
        job.work = [journal = journal, label, gate](const WorkerControl &) {
            journal->add(label + "work");
            if (gate)
                gate->pass();
        };
        job.failed = [journal = journal, label](const QString &message) {
            journal->add(label + "failed: " + message);
        };
        job.release = [journal = journal, label] { journal->add(label + "release"); };
        job.orphanedRelease = [journal = journal, label] { journal->add(label + "orphanedRelease"); };
        job.done = [journal = journal, label] { journal->add(label + "done"); };
        return job;
    }

    // Once the work has begun: waits for every worker to unregister, its last step, and handles what
    // the workers posted before it; any further delivery would show up by then.
    void finishWorkers(int workStarted = 1)
    {
        ASSERT_WAIT_FOR(workSteps() >= workStarted);
        ASSERT_WAIT_FOR_EQ(threads->numberOfRegisteredThreads(true), 0);
        QCoreApplication::sendPostedEvents();
    }

    int workSteps() const { return int(journal->steps().filter("work on worker").size()); }

    std::shared_ptr<ThreadController> threads = std::make_shared<ThreadController>(&bridgeWithoutVm());
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
};

TEST_F(BackgroundRunnerTest, EachStepRunsOnceOnItsThreadInOrder)
{
    struct Case {
        QString name;
        bool ownerAlive;
        bool bridgeFailure;
        QString steps;
    };
    const Case cases[] = {
        {"owner alive", true, false, "work on worker, owner asked on main, release on main, done on main"},
        {"owner gone", false, false, "work on worker, owner asked on main, orphanedRelease on main"},
        {"bridge failure", true, true,
         "work on worker, failed: Method noSuchMethod not found on worker, owner asked on main, "
         "release on main, done on main"},
        {"bridge failure, owner gone", false, true,
         "work on worker, failed: Method noSuchMethod not found on worker, owner asked on main, "
         "orphanedRelease on main"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        journal = std::make_shared<Journal>();
        BackgroundJob job = journaledJob({});
        if (c.bridgeFailure) {
            job.work = [journal = journal](const WorkerControl &) {
                journal->add("work");
                throw QoJavaBridgeException("QoJavaBridgeMethodNotFound", "Method noSuchMethod not found");
            };
        }
        job.ownerAlive = [journal = journal, alive = c.ownerAlive] {
            journal->add("owner asked");
            return alive;
        };
        BackgroundRunner::run(std::move(job));
        finishWorkers();
        EXPECT_EQ(journal->steps().join(", "), c.steps);
    }
}

TEST_F(BackgroundRunnerTest, WorkerIsRegisteredUnderItsNameWhileItWorks)
{
    for (const bool daemon : {false, true}) {
        SCOPED_TRACE(daemon ? "daemon" : "not a daemon");
        auto gate = std::make_shared<Gate>();
        auto nameSeen = std::make_shared<QString>();
        BackgroundJob job = journaledJob("job", gate);
        job.threadName = QStringLiteral("Committing or Rollback");
        job.daemon = daemon;
        job.work = [gate, nameSeen](const WorkerControl &) {
            *nameSeen = ThreadController::currentThreadName();
            gate->pass();
        };
        BackgroundRunner::run(std::move(job));
        ASSERT_WAIT_FOR(gate->reached());
        EXPECT_EQ(threads->registeredThreadNames(), QStringList{"Committing or Rollback"});
        EXPECT_EQ(threads->numberOfRegisteredThreads(true), 1);
        EXPECT_EQ(threads->numberOfRegisteredThreads(false), daemon ? 0 : 1);
        EXPECT_TRUE(journal->steps().isEmpty()) << "nothing is delivered while the work runs";
        gate->open();
        ASSERT_WAIT_FOR(journal->steps().contains("job done on main"));
        ASSERT_WAIT_FOR_EQ(threads->numberOfRegisteredThreads(true), 0);
        EXPECT_TRUE(threads->registeredThreadNames().isEmpty());
        EXPECT_EQ(*nameSeen, "Committing or Rollback");
        journal = std::make_shared<Journal>();
    }
}

TEST_F(BackgroundRunnerTest, CapturedStateDiesOnTheMainThread)
{
    // Several jobs at once, in every way a job can end, so that a worker finishing after the main
    // thread has handled its job would be caught letting go of the last copy.
    auto deaths = std::make_shared<Witness::Deaths>();
    const int jobs = 32;
    for (int i = 0; i < jobs; ++i) {
        BackgroundJob job = journaledJob(QString::number(i));
        const bool throws = i % 3 == 1;
        job.work = [witness = std::make_shared<Witness>(deaths), journal = journal,
                    throws](const WorkerControl &) {
            journal->add("work");
            if (throws)
                throw QoJavaBridgeException(QStringLiteral("QoJavaBridgeMethodNotFound"),
                                            "Method x not found");
        };
        if (i % 3 == 2)
            job.ownerAlive = [] { return false; };
        job.done = [witness = std::make_shared<Witness>(deaths)] {};
        BackgroundRunner::run(std::move(job));
    }
    // The main thread hands out what the workers post at once, so that a worker still holding a copy
    // of its job after posting it would be the one to let go of the last.
    const QDeadlineTimer deadline(10000);
    while (deaths->onMain.load() + deaths->elsewhere.load() < 2 * jobs && !deadline.hasExpired())
        QCoreApplication::sendPostedEvents();
    EXPECT_EQ(deaths->onMain.load(), 2 * jobs);
    EXPECT_EQ(deaths->elsewhere.load(), 0);
    finishWorkers(jobs);
}

TEST_F(BackgroundRunnerTest, CancelThroughTheLaneReachesTheRunningWork)
{
    auto lane = std::make_shared<BackgroundLane>();
    lane->cancel(); // Before any job: nothing to reach.
    auto started = std::make_shared<std::atomic<bool>>(false);
    auto sawCancel = std::make_shared<std::atomic<bool>>(false);
    BackgroundJob job = journaledJob("first");
    job.lane = lane;
    job.work = [started, sawCancel](const WorkerControl &control) {
        *started = true;
        const QDeadlineTimer deadline(10000);
        while (!control.isCanceled() && !deadline.hasExpired())
            std::this_thread::yield();
        *sawCancel = control.isCanceled();
    };
    BackgroundRunner::run(std::move(job));
    ASSERT_WAIT_FOR(started->load());
    EXPECT_TRUE(lane->isRunning());
    lane->cancel();
    ASSERT_WAIT_FOR(journal->steps().contains("first done on main"));
    EXPECT_TRUE(sawCancel->load());
    EXPECT_FALSE(lane->isRunning());

    // The cancel belonged to the job that ran: the next one on the lane starts afresh, and a job
    // without a lane is never cancelled.
    for (const bool onLane : {true, false}) {
        auto canceledAtStart = std::make_shared<std::atomic<int>>(-1);
        BackgroundJob next = journaledJob(onLane ? "next" : "laneless");
        if (onLane)
            next.lane = lane;
        next.work = [canceledAtStart](const WorkerControl &control) {
            *canceledAtStart = control.isCanceled();
        };
        BackgroundRunner::run(std::move(next));
        ASSERT_WAIT_FOR(journal->steps().contains(QString(onLane ? "next" : "laneless") + " done on main"));
        EXPECT_EQ(canceledAtStart->load(), 0);
    }
}

TEST_F(BackgroundRunnerTest, LatestWinsDropsAnOlderJobsResultButNotItsRelease)
{
    auto lane = std::make_shared<BackgroundLane>();
    auto olderGate = std::make_shared<Gate>();
    BackgroundJob older = journaledJob("older", olderGate);
    older.lane = lane;
    older.latestWins = true;
    BackgroundRunner::run(std::move(older));
    ASSERT_WAIT_FOR(olderGate->reached());

    BackgroundJob newer = journaledJob("newer");
    newer.lane = lane;
    newer.latestWins = true;
    BackgroundRunner::run(std::move(newer));
    ASSERT_WAIT_FOR(journal->steps().contains("newer done on main"));
    EXPECT_TRUE(lane->isRunning()) << "the older job has not been handled yet";

    olderGate->open();
    finishWorkers(2);
    EXPECT_EQ(journal->steps(),
              (QStringList{"older work on worker", "newer work on worker", "newer release on main",
                           "newer done on main", "older release on main"}));
    EXPECT_FALSE(lane->isRunning());
}

TEST_F(BackgroundRunnerTest, WorkerNeverWaitsForABusyMainThread)
{
    struct Progress {
        std::mutex mutex;
        std::condition_variable changed;
        bool workDone = false;
    };
    auto progress = std::make_shared<Progress>();
    BackgroundJob job = journaledJob("job");
    job.work = [progress](const WorkerControl &) {
        {
            std::lock_guard lock(progress->mutex);
            progress->workDone = true;
        }
        progress->changed.notify_all();
    };
    BackgroundRunner::run(std::move(job));

    // The main thread handles no events until the worker has done its work and unregistered, its
    // last step: a worker that waited for the main thread on its way out would never get there.
    {
        std::unique_lock lock(progress->mutex);
        ASSERT_TRUE(
            progress->changed.wait_for(lock, std::chrono::seconds(10), [&] { return progress->workDone; }));
    }
    const QDeadlineTimer deadline(10000);
    while (threads->numberOfRegisteredThreads(true) > 0 && !deadline.hasExpired())
        std::this_thread::yield();
    EXPECT_EQ(threads->numberOfRegisteredThreads(true), 0) << "the worker waited for the main thread";
    EXPECT_TRUE(journal->steps().isEmpty()) << "nothing ran on the main thread while it was busy";

    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(journal->steps(), (QStringList{"job release on main", "job done on main"}));
}

} // namespace
