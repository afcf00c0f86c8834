#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <mutex>

class QSettings;

// The user's preferences: a JSON file (~/.config/Vorn/Vorn.json for the standard store) that
// keeps nested lists and dictionaries readable. Thread-safe.
// Values are JSON-shaped: strings, numbers, booleans, lists, maps; QByteArray values are kept
// as base64 and come back as QByteArray. Numbers read back as double: use integerForKey.
class UserDefaults
{
public:
    static UserDefaults &standard();
    explicit UserDefaults(const QString &filePath);
    ~UserDefaults();

    QString filePath() const;
    bool contains(const QString &key) const;
    QVariant objectForKey(const QString &key) const;
    void setObject(const QVariant &value, const QString &key);
    void removeObjectForKey(const QString &key);

    QString stringForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;
    double doubleForKey(const QString &key) const;
    QVariantList arrayForKey(const QString &key) const;
    QVariantMap dictionaryForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;

    // Writes pending changes to the file now (they are also written on destruction). False when the
    // file could not be written: it then keeps its previous content, and the changes stay pending.
    bool synchronize();

private:
    mutable std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
};
