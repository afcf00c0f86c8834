#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <utility>

#include <unistd.h>

namespace MainThread
{

bool isMainThread()
{
    // Asked by the process's first thread itself, not by way of the application object: objects that
    // die while the application is being torn down must still know where they are.
    return ::gettid() == ::getpid();
}

void post(std::function<void()> fn)
{
    auto *app = QCoreApplication::instance();
    Q_ASSERT_X(app, "MainThread::post", "No application object: nothing runs the main thread");
    // The queued call may let go of its copy on the posting thread after the main thread ran it;
    // running it from a moved-out local makes its captures die on the main thread, where callers
    // expect it (they hand their last references to main-thread objects this way).
    QMetaObject::invokeMethod(
        app, [fn = std::move(fn)]() mutable { std::exchange(fn, {})(); }, Qt::QueuedConnection);
}

void postAndWait(std::function<void()> fn)
{
    if (isMainThread()) {
        fn();
        return;
    }
    auto *app = QCoreApplication::instance();
    Q_ASSERT_X(app, "MainThread::postAndWait", "No application object: nothing runs the main thread");
    QMetaObject::invokeMethod(app, std::move(fn), Qt::BlockingQueuedConnection);
}

} // namespace MainThread
