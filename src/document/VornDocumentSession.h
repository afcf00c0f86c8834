#pragma once

#include "client/VornRootClient.h"

#include <atomic>
#include <memory>
#include <mutex>

class StatusManager;
class ThreadController;

// What a connection document shares with its connect worker, which may outlive the document's tab:
// the backend root, the thread registry, the status manager and the flags both sides read. Closing
// while a connect runs leaves the end of the root to the worker; otherwise the document ends it.
// Exactly one side ends the root: the decision is taken under the lock.
class VornDocumentSession
{
public:
    VornDocumentSession(VornRootClientPtr vornRoot, std::shared_ptr<ThreadController> threadController,
                        std::shared_ptr<StatusManager> statusManager)
        : vornRoot(std::move(vornRoot)), threadController(std::move(threadController)),
          statusManager(std::move(statusManager))
    {
    }

    const VornRootClientPtr vornRoot;
    const std::shared_ptr<ThreadController> threadController;
    const std::shared_ptr<StatusManager> statusManager;
    // The document believes it holds a live connection.
    std::atomic<bool> connected{false};
    // The schema's metadata is to be validated by the background checker.
    std::atomic<bool> dirtyDDL{false};
    // The recycle bin holds objects, as last found.
    std::atomic<bool> recyclebinIsFull{false};

    bool connecting() const
    {
        std::lock_guard lock(mutex_);
        return connecting_;
    }
    bool closedDocument() const
    {
        std::lock_guard lock(mutex_);
        return closedDocument_;
    }
    // False while a connect runs or the document has closed: one attempt at a time.
    bool beginConnecting()
    {
        std::lock_guard lock(mutex_);
        if (connecting_ || closedDocument_)
            return false;
        connecting_ = true;
        return true;
    }
    // The worker's last word: true when the document closed meanwhile and the worker must end the root.
    bool endConnecting()
    {
        std::lock_guard lock(mutex_);
        connecting_ = false;
        return closedDocument_;
    }
    // The document's close: true when no connect runs and the document must end the root itself.
    bool closeDocument()
    {
        std::lock_guard lock(mutex_);
        closedDocument_ = true;
        return !connecting_;
    }

    // Ends the connection and de-initialises the root; the root does nothing more afterwards.
    void endRoot() const
    {
        vornRoot->endConnection();
        vornRoot->deInitialize();
    }

private:
    mutable std::mutex mutex_;
    bool connecting_ = false;
    bool closedDocument_ = false;
};
