#include "platform/Preferences.h"

#include "platform/UserDefaults.h"

const QString Preferences::sqlPreferenceUpdateNotification = QStringLiteral("SQL_PREFERENCE_UPDATE");

Preferences::Preferences(UserDefaults *store) : store_(store ? *store : UserDefaults::standard()) {}

bool Preferences::flag(const QString &key) const
{
    return store_.boolForKey(key);
}

qint64 Preferences::integer(const QString &key) const
{
    return store_.integerForKey(key);
}

QString Preferences::text(const QString &key) const
{
    return store_.stringForKey(key);
}
