#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace MainThread {

bool isMainThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void post(std::function<void()> fn)
{
    auto *app = QCoreApplication::instance();
    Q_ASSERT_X(app, "MainThread::post", "No application object: nothing runs the main thread");
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
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
