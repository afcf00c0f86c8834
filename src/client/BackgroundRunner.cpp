#include "client/BackgroundRunner.h"

#include "bridge/QoJavaBridgeException.h"
#include "bridge/ThreadController.h"
#include "client/ClientLog.h"
#include "platform/MainThread.h"

#include <thread>

void BackgroundLane::cancel()
{
    std::lock_guard lock(mutex_);
    if (canceled_)
        canceled_->store(true);
}

std::shared_ptr<std::atomic<bool>> BackgroundLane::beginJob(quint64 *generation)
{
    std::lock_guard lock(mutex_);
    canceled_ = std::make_shared<std::atomic<bool>>(false);
    *generation = ++generation_;
    ++running_;
    return canceled_;
}

namespace
{

void runGuarded(BackgroundJob &job, const WorkerControl &control)
{
    QString failure;
    try {
        job.work(control);
        return;
    } catch (const QoJavaBridgeException &exception) {
        failure = exception.reason();
        qCWarning(lcClient).noquote() << job.threadName << "failed in the bridge:" << exception.what();
    }
    if (job.failed)
        job.failed(failure);
}

} // namespace

// Main thread.
void BackgroundRunner::deliver(BackgroundJob &job, quint64 generation)
{
    const bool current = !job.lane || !job.latestWins || generation == job.lane->generation_.load();
    const bool alive = !job.ownerAlive || job.ownerAlive();
    if (job.lane)
        --job.lane->running_;
    if (!alive) {
        if (job.orphanedRelease)
            job.orphanedRelease();
        return;
    }
    if (job.release)
        job.release();
    if (current && job.done)
        job.done();
}

void BackgroundRunner::run(BackgroundJob job)
{
    Q_ASSERT_X(job.threads && job.work, "BackgroundRunner", "A job needs a thread controller and its work");
    quint64 generation = 0;
    std::shared_ptr<const std::atomic<bool>> canceled;
    if (job.lane)
        canceled = job.lane->beginJob(&generation);
    auto shared = std::make_shared<BackgroundJob>(std::move(job));
    std::thread([shared = std::move(shared), canceled = std::move(canceled), generation]() mutable {
        const std::shared_ptr<ThreadController> threads = shared->threads;
        threads->registerThread(shared->threadName, shared->daemon);
        runGuarded(*shared, WorkerControl(canceled));
        // The job goes to the main thread whole: its captures die there, not on this thread.
        MainThread::post([shared = std::move(shared), generation] { deliver(*shared, generation); });
        threads->unRegisterThread();
    }).detach();
}
