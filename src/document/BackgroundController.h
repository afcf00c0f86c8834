#pragma once

#include "document/BackgroundCheckTimers.h"
#include "document/BackgroundControllerSupport.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class ThreadController;

// The application's background checker. Every 600 seconds, and when a document has connected, a
// daemon worker finds documents whose connection was lost, asks whether each recycle bin holds
// objects, and has the backend validate (and where changed, renew) the cached metadata of each
// distinct connection target once, telling that target's documents. When documents mark their DDL
// dirty a lighter pass revalidates only their targets. Only one pass runs at a time; a pass that
// cannot start is tried again 10 seconds later. It never takes a root a user's action holds: the
// backend validates on a connection of its own, and a target whose documents are all busy waits for
// the next pass. Main thread, but for the worker.
class BackgroundController
{
public:
    static constexpr double checkIntervalSeconds = 600.0;
    static constexpr double retrySeconds = 10.0;
    static inline const QString fullPassThreadName = QStringLiteral("BackgroundController");
    static inline const QString dirtyPassThreadName = QStringLiteral("BackgroundControllerDDL");
    // The documents to look after, in the document list's order; asked on the main thread.
    using Documents = std::function<QList<BackgroundControllerSupportPtr>()>;

    // The application's checker, over the open connection documents.
    static BackgroundController &instance();

    explicit BackgroundController(Documents documents, std::unique_ptr<BackgroundCheckTimers> timers = {},
                                  std::shared_ptr<ThreadController> threads = {});
    ~BackgroundController();
    BackgroundController(const BackgroundController &) = delete;
    BackgroundController &operator=(const BackgroundController &) = delete;

    // Starts the 600-second checks; once.
    void startup();
    // Whether the checks run; otherwise callers load connection information in the foreground.
    bool started() const { return started_; }
    bool isChecking() const { return isChecking_; }
    // Completed full passes.
    qint64 checkCounter() const { return checkCounter_; }

    // A full pass now, or in 10 seconds while another runs.
    void backgroundUpdateCheck();
    // A document has connected: a full pass now, unless one runs (which covers it) or checks are off.
    void notifyOfNewDocument();
    // A document marked its DDL dirty: a dirty-only pass now, or in 10 seconds while another runs.
    void notifyOfDirtyDocument();

private:
    struct PassResult;
    void startPass(bool dirtyOnly);
    void passEnded(bool dirtyOnly, bool busyTargetSkipped);
    void scheduleNext(double seconds, std::function<void()> fire);
    void retryDirty();
    static void fullPass(const QList<BackgroundControllerSupportPtr> &documents, PassResult &result);
    static void validateMetaData(const QList<BackgroundControllerSupportPtr> &documents, bool dirtyOnly,
                                 PassResult &result);

    Documents documents_;
    std::unique_ptr<BackgroundCheckTimers> timers_;
    std::shared_ptr<ThreadController> threads_;
    bool started_ = false;
    std::atomic<bool> isChecking_{false};
    qint64 checkCounter_ = 0;
    BackgroundCheckTimers::Cancel checkTimer_;
    // A dirty-only retry waits beside the full pass's timer; one is enough, as a pass looks at every
    // document.
    BackgroundCheckTimers::Cancel dirtyRetry_;
    bool dirtyRetryPending_ = false;
    std::shared_ptr<bool> alive_;
};
