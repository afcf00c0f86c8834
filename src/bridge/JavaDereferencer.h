#pragma once

#include <QtGlobal>

#include <atomic>
#include <jni.h>
#include <mutex>
#include <vector>

class JavaVirtualMachineLauncher;

// Deletes the global references of released proxies on a thread of its own ("JavaBridgeDeRef"),
// so that letting a proxy go never calls Java on the releasing thread. The thread waits ten
// seconds before its first pass, so that start-up is not slowed, then makes a pass every second;
// a pass that deleted references ends with System.gc() unless that is turned off.
class JavaDereferencer
{
public:
    struct Statistics {
        quint64 passes = 0;
        quint64 gcRequests = 0;
        quint64 deletedReferences = 0;
        quint64 lastPassDeleted = 0;
        // Released references not yet deleted (queued or in a running pass).
        quint64 outstanding = 0;
    };

    explicit JavaDereferencer(JavaVirtualMachineLauncher &launcher, bool requestGc = true);
    JavaDereferencer(const JavaDereferencer &) = delete;
    JavaDereferencer &operator=(const JavaDereferencer &) = delete;

    // Starts the thread; once, after the VM has started. The thread lives as long as the process.
    void start();
    // Queues a global reference for the next pass; a null reference is ignored.
    void release(jobject reference);
    Statistics statistics() const;

    // Whether each pass that deleted references ends with System.gc(). While rows are read across
    // the bridge it keeps the process's memory at about 40 % and the Java heap at about 30 % of
    // what Java's own collections leave (which keep growing with the rows read), for 3 to 13 % of
    // throughput and a fifth more CPU time; bench/bridge/DereferencerGcBench measures it.
    void setRequestGc(bool requestGc) { requestGc_ = requestGc; }
    bool requestGc() const { return requestGc_.load(); }

private:
    void run();
    void pass();
    bool collectGarbage(JNIEnv *env);

    JavaVirtualMachineLauncher &launcher_;
    std::atomic<bool> requestGc_;
    jclass systemClass_ = nullptr;
    jmethodID gcMethod_ = nullptr;

    mutable std::mutex poolMutex_;
    std::vector<jobject> pool_;
    Statistics statistics_;
};
