#pragma once

#include "client/BackgroundRunner.h"
#include "client/VornRootClient.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class ConnectedControllerDelegate;
class StatusManager;
class ThreadController;

// Base of every per-document controller that works on the backend root of one connection. It
// holds the root, the document's worker registry and status manager, asks its delegate for the
// root reservation, focus changes and the connection's identity, and keeps the per-connection
// settings: one property-list file per connection, shared by all controllers of that connection
// through a process-wide cache. Settings are read and written on the main thread only.
//
// The reservation protocol: on the main thread requestRootReservation(description); when it
// answers false do nothing; otherwise start the work with runReserved, which gives the reservation
// back exactly once when the work is done (or frees the root when the controller has gone).
class ConnectedController
{
public:
    explicit ConnectedController(VornRootClientPtr vornRoot);
    ConnectedController(const ConnectedController &) = delete;
    ConnectedController &operator=(const ConnectedController &) = delete;
    virtual ~ConnectedController();

    ConnectedControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(ConnectedControllerDelegate *delegate) { delegate_ = delegate; }
    std::shared_ptr<ThreadController> threadController() const { return threadController_; }
    void setThreadController(std::shared_ptr<ThreadController> threadController);
    std::shared_ptr<StatusManager> statusManager() const { return statusManager_; }
    void setStatusManager(std::shared_ptr<StatusManager> statusManager);
    const VornRootClientPtr &vornRoot() const { return vornRoot_; }
    void setVornRoot(VornRootClientPtr vornRoot);
    QString settingsString() const { return settingsString_; }
    // The loaded settings; empty before the first load.
    QVariantMap settings() const;

    bool requestRootReservation(const QString &description);
    void releaseRootReservation();
    // Runs reserved work on the one runner, under this controller's thread controller. The job's
    // threadName, work, failed, done and lane are the caller's; the reservation's release and the
    // owner's lifetime are filled in here. Main thread, after requestRootReservation answered true.
    void runReserved(BackgroundJob job);
    bool requestFocusChangeEndEditing(bool endEditing);
    bool requestFocusChange();
    bool clearRootSelection();

    // Where the settings of a connection identifier live. "/" and "%" in the identifier are
    // encoded, and names too long for the file system are shortened with a hash.
    static QString settingsFilePath(const QString &identifier);

    // Overrides must call the base version.
    virtual void loadSettingsIfNecessary();
    // Null when the key has no value.
    QVariant connectionSettingsWithName(const QString &key);
    // Stores a property-list value (an invalid QVariant removes the key) and writes the file.
    void setConnectionSettingWithName(const QString &key, const QVariant &value);
    void storeSettings();

private:
    ConnectedControllerDelegate *delegate_ = nullptr;
    std::shared_ptr<ThreadController> threadController_;
    std::shared_ptr<StatusManager> statusManager_;
    VornRootClientPtr vornRoot_;
    // Lets the runner tell, on the main thread, whether this controller still exists.
    std::shared_ptr<const char> lifetime_ = std::make_shared<const char>('\0');
    QString settingsString_;
    std::shared_ptr<QVariantMap> settings_;
};
