#include "platform/NotificationCenter.h"

#include <algorithm>

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(const QString &name, const void *sender,
                                                               Callback callback)
{
    std::lock_guard lock(mutex_);
    const ObserverId id = nextId_++;
    entries_.push_back({id, name, sender, std::move(callback)});
    return id;
}

void NotificationCenter::removeObserver(ObserverId id)
{
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [id](const Entry &e) { return e.id == id; });
}

void NotificationCenter::postNotification(const QString &name, const void *sender,
                                          const QVariantMap &userInfo)
{
    // Copy the matching callbacks first: an observer may add or remove observers while called.
    std::vector<std::pair<ObserverId, Callback>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const Entry &e : entries_) {
            if ((e.name.isEmpty() || e.name == name) && (!e.sender || e.sender == sender))
                matching.emplace_back(e.id, e.callback);
        }
    }
    const Notification notification{name, sender, userInfo};
    for (auto &[id, callback] : matching) {
        bool stillObserving;
        {
            std::lock_guard lock(mutex_);
            stillObserving = std::any_of(entries_.begin(), entries_.end(),
                                         [id = id](const Entry &e) { return e.id == id; });
        }
        if (stillObserving)
            callback(notification);
    }
}
