#pragma once

#include "bridge/QoJavaObject.h"

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
// answers false do nothing; otherwise start the worker, and when its result is handled on the
// main thread call releaseRootReservation() exactly once.
class ConnectedController
{
public:
    explicit ConnectedController(QoJavaObjectPtr vornRoot);
    ConnectedController(const ConnectedController &) = delete;
    ConnectedController &operator=(const ConnectedController &) = delete;
    virtual ~ConnectedController();

    ConnectedControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(ConnectedControllerDelegate *delegate) { delegate_ = delegate; }
    std::shared_ptr<ThreadController> threadController() const { return threadController_; }
    void setThreadController(std::shared_ptr<ThreadController> threadController);
    std::shared_ptr<StatusManager> statusManager() const { return statusManager_; }
    void setStatusManager(std::shared_ptr<StatusManager> statusManager);
    QoJavaObjectPtr vornRoot() const { return vornRoot_; }
    void setVornRoot(QoJavaObjectPtr vornRoot);
    QString settingsString() const { return settingsString_; }
    // The loaded settings; empty before the first load.
    QVariantMap settings() const;

    bool requestRootReservation(const QString &description);
    void releaseRootReservation();
    bool requestFocusChangeEndEditing(bool endEditing);
    bool requestFocusChange();
    bool clearRootSelection();

    // The application's data folder, "~/.local/share/Vorn".
    static QString applicationSupportFolder();
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
    QoJavaObjectPtr vornRoot_;
    QString settingsString_;
    std::shared_ptr<QVariantMap> settings_;
};
