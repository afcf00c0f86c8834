#include "tabs/RecentDocuments.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QFileInfo>

RecentDocuments::RecentDocuments(UserDefaults *defaults)
    : defaults_(defaults ? *defaults : UserDefaults::standard())
{
}

QStringList RecentDocuments::documents() const
{
    const QVariantList stored = defaults_.arrayForKey(PreferenceKey::recentDocuments);
    QStringList existing;
    for (const QVariant &entry : stored) {
        const QString path = entry.toString();
        if (!path.isEmpty() && QFileInfo(path).isFile() && !existing.contains(path))
            existing << path;
    }
    if (existing.size() != stored.size())
        store(existing);
    return existing.mid(0, maximumCount);
}

void RecentDocuments::noteDocument(const QString &path) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = documents();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    store(paths.mid(0, maximumCount));
}

void RecentDocuments::clear() const
{
    store({});
}

void RecentDocuments::store(const QStringList &paths) const
{
    defaults_.setObject(QVariant(paths), PreferenceKey::recentDocuments);
    defaults_.synchronize();
}
