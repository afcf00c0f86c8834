#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class ThreadController;

// What a running job may ask: whether it has been asked to stop.
class WorkerControl
{
public:
    explicit WorkerControl(std::shared_ptr<const std::atomic<bool>> canceled) : canceled_(std::move(canceled))
    {
    }
    bool isCanceled() const { return canceled_ && canceled_->load(); }

private:
    std::shared_ptr<const std::atomic<bool>> canceled_;
};

// One owner's line of background jobs, for the jobs that want it: cancel reaches the job that runs,
// and a job marked latestWins delivers its result only when no newer job of the line was started
// (an older job still gives its reservation back).
class BackgroundLane
{
public:
    // Asks the running job to stop; it still finishes and delivers as usual.
    void cancel();
    // From the start of a job until its result was handled on the main thread.
    bool isRunning() const { return running_.load() > 0; }

private:
    friend class BackgroundRunner;
    std::shared_ptr<std::atomic<bool>> beginJob(quint64 *generation);

    std::mutex mutex_;
    std::shared_ptr<std::atomic<bool>> canceled_;
    std::atomic<quint64> generation_{0};
    std::atomic<int> running_{0};
};

// A job for the one runner. work runs on a new worker thread; a bridge failure it lets through is
// logged and handed to failed, on the same thread. The rest runs on the main thread afterwards:
// when the owner is alive, release (giving the root reservation back) and then done; when the owner
// has gone, orphanedRelease instead, so that the root is never left reserved. Each runs at most once.
struct BackgroundJob {
    // The name the worker registers under with the thread controller.
    QString threadName;
    std::shared_ptr<ThreadController> threads;
    // Daemon work is left out of the busy check.
    bool daemon = false;
    // Asked on the main thread; no function means the owner lives as long as the job.
    std::function<bool()> ownerAlive;
    std::function<void(const WorkerControl &)> work;
    std::function<void(const QString &message)> failed;
    std::function<void()> release;
    std::function<void()> orphanedRelease;
    std::function<void()> done;
    std::shared_ptr<BackgroundLane> lane;
    bool latestWins = false;
};

// The one way to run backend work off the main thread. It registers the worker with the owner's
// ThreadController (which attaches it to the Java VM), never blocks the main thread and never makes
// the worker wait for it, hands the job's last references to the main thread (where the status
// manager and the document's other parts live) and unregisters the worker as its last step.
class BackgroundRunner
{
public:
    static void run(BackgroundJob job);

private:
    static void deliver(BackgroundJob &job, quint64 generation);
};
