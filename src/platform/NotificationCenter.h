#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <mutex>
#include <vector>

// Notifications named by plain strings. Observers are called synchronously on the poster's
// thread, in the order they were added.
struct Notification {
    QString name;
    const void *sender = nullptr; // the posting object, compared by address only
    QVariantMap userInfo;
};

class NotificationCenter
{
public:
    using ObserverId = quint64;
    using Callback = std::function<void(const Notification &)>;

    static NotificationCenter &defaultCenter();

    // Observes name (empty: every name) from sender (null: any sender). Keep the id to remove it.
    ObserverId addObserver(const QString &name, const void *sender, Callback callback);
    void removeObserver(ObserverId id);
    void postNotification(const QString &name, const void *sender = nullptr,
                          const QVariantMap &userInfo = {});

private:
    struct Entry {
        ObserverId id;
        QString name;
        const void *sender;
        Callback callback;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
    ObserverId nextId_ = 1;
};
