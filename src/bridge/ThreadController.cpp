#include "bridge/ThreadController.h"

#include "bridge/QoJavaBridge.h"

#include <algorithm>
#include <pthread.h>

namespace
{
thread_local QString threadName;

void nameCurrentThread(const QString &name)
{
    threadName = name;
    // The system keeps 15 bytes of the name.
    QString systemName = name;
    while (systemName.toUtf8().size() > 15 || (!systemName.isEmpty() && systemName.back().isHighSurrogate()))
        systemName.chop(1);
    pthread_setname_np(pthread_self(), systemName.toUtf8().constData());
}
} // namespace

ThreadController::ThreadController() = default;

ThreadController::ThreadController(QoJavaBridge *bridge) : bridge_(bridge) {}

QoJavaBridge *ThreadController::bridge() const
{
    return bridge_ ? bridge_ : QoJavaBridge::javaBridge();
}

void ThreadController::registerThread(const QString &name, bool daemon)
{
    std::lock_guard lock(mutex_);
    nameCurrentThread(name);
    const std::thread::id self = std::this_thread::get_id();
    // The daemon flag belongs to the thread, not to one registration.
    for (Entry &entry : registeredThreads_) {
        if (entry.thread == self)
            entry.daemon = daemon;
    }
    registeredThreads_.append({self, name, daemon});
    bridge()->attachNativeThread(name);
}

void ThreadController::unRegisterThread()
{
    std::lock_guard lock(mutex_);
    const std::thread::id self = std::this_thread::get_id();
    if (registeredThreads_.removeIf([&](const Entry &entry) { return entry.thread == self; }) > 0)
        bridge()->removeNativeThread();
}

int ThreadController::numberOfRegisteredThreads(bool includeDaemons) const
{
    std::lock_guard lock(mutex_);
    if (includeDaemons)
        return int(registeredThreads_.size());
    return int(std::count_if(registeredThreads_.cbegin(), registeredThreads_.cend(),
                             [](const Entry &entry) { return !entry.daemon; }));
}

QStringList ThreadController::registeredThreadNames() const
{
    std::lock_guard lock(mutex_);
    QStringList names;
    for (const Entry &entry : registeredThreads_)
        names << entry.name;
    return names;
}

QString ThreadController::currentThreadName()
{
    return threadName;
}
