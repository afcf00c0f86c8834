#pragma once

#include <QList>
#include <QString>

#include <mutex>
#include <thread>

class QoJavaBridge;

// A registry of the named worker threads of one owner (a document, the background checker, the
// floating info panel). A worker registers itself before its first Java call (which names it and
// attaches it to the VM) and unregisters as its last step (which detaches it). Daemon registrations
// mark background work that a busy check may leave out. Every call acts on the calling thread.
class ThreadController
{
public:
    // Uses the shared bridge.
    ThreadController();
    explicit ThreadController(QoJavaBridge *bridge);
    ThreadController(const ThreadController &) = delete;
    ThreadController &operator=(const ThreadController &) = delete;

    void registerThread(const QString &name, bool daemon = false);
    // Removes every entry of the calling thread and detaches it; a thread that is not registered
    // is left alone.
    void unRegisterThread();
    // With includeDaemons all registered entries, otherwise only non-daemon ones. A thread
    // registered twice counts twice.
    int numberOfRegisteredThreads(bool includeDaemons) const;
    // The names the registered entries were given, in registration order.
    QStringList registeredThreadNames() const;

    // The full name the calling thread was last registered under (the system name holds only 15
    // bytes); empty for a thread never registered.
    static QString currentThreadName();

private:
    struct Entry {
        std::thread::id thread;
        QString name;
        bool daemon;
    };
    QoJavaBridge *bridge() const;

    QoJavaBridge *bridge_ = nullptr;
    mutable std::mutex mutex_;
    QList<Entry> registeredThreads_;
};
