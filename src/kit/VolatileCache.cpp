#include "kit/VolatileCache.h"

#include <QDateTime>

VolatileCache::VolatileCache(qint64 maxItems, double maxAge, Clock clock)
    : maxItems_(maxItems), maxAge_(maxAge), clock_(std::move(clock))
{
    if (!clock_)
        clock_ = [] { return QDateTime::currentMSecsSinceEpoch() / 1000.0; };
    cache_.reserve(maxItems);
}

void VolatileCache::setObject(const QVariant &value, const QString &key)
{
    cache_.insert(key, Entry{value, clock_(), nextOrder_++});
    trim();
}

QVariant VolatileCache::objectForKey(const QString &key)
{
    const auto it = cache_.constFind(key);
    if (it == cache_.constEnd())
        return {};
    if (clock_() - it->insertedAt > maxAge_) {
        cache_.erase(it);
        return {};
    }
    return it->value;
}

void VolatileCache::removeObjectForKey(const QString &key)
{
    cache_.remove(key);
}

void VolatileCache::clear()
{
    cache_.clear();
    cache_.reserve(maxItems_);
}

void VolatileCache::trim()
{
    while (cache_.size() > maxItems_ && !cache_.isEmpty()) {
        auto oldest = cache_.begin();
        for (auto it = cache_.begin(); it != cache_.end(); ++it) {
            if (it->insertedAt < oldest->insertedAt ||
                (it->insertedAt == oldest->insertedAt && it->order < oldest->order))
                oldest = it;
        }
        cache_.erase(oldest);
    }
}
