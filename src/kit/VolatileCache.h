#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>

// A small cache bounded by its number of entries and by the age of each entry: the oldest entry goes
// when one too many is stored, and an entry found older than maxAge when looked up is dropped.
// Not thread-safe: a cache shared between threads needs its callers to serialise.
class VolatileCache
{
public:
    // Seconds on any steady scale; tests pass their own.
    using Clock = std::function<double()>;

    VolatileCache(qint64 maxItems, double maxAge, Clock clock = {});

    void setObject(const QVariant &value, const QString &key);
    // Invalid when absent or expired (an expired entry is removed).
    QVariant objectForKey(const QString &key);
    void removeObjectForKey(const QString &key);
    void clear();
    qsizetype count() const { return cache_.size(); }

private:
    void trim();

    struct Entry {
        QVariant value;
        double insertedAt;
        quint64 order; // insertion sequence: ties in time go to the entry stored first
    };
    QHash<QString, Entry> cache_;
    qint64 maxItems_;
    double maxAge_;
    Clock clock_;
    quint64 nextOrder_ = 0;
};
