#include "transfer/XLSXUnpackCache.h"

#include "transfer/XLSXPackage.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace
{
// Seconds between the Unix epoch and 2001-01-01 UTC, the reference date of temporary names.
constexpr double referenceDateOffset = 978307200.0;
} // namespace

XLSXUnpackCache::~XLSXUnpackCache()
{
    clear();
}

QString XLSXUnpackCache::folderFor(const QString &packagePath, QString *error)
{
    const QFileInfo info(packagePath);
    const QString key = info.absoluteFilePath();
    std::lock_guard lock(mutex_);
    if (const auto found = entries_.constFind(key); found != entries_.constEnd()) {
        if (found->size == info.size() && found->modified == info.lastModified() &&
            QFileInfo::exists(found->folder))
            return found->folder;
        QDir(found->folder).removeRecursively();
        forgetSpansIn(found->folder);
        entries_.erase(found);
    }
    if (!info.isFile()) {
        *error = QStringLiteral("%1 does not exist").arg(packagePath);
        return QString();
    }
    const double seconds = QDateTime::currentMSecsSinceEpoch() / 1000.0 - referenceDateOffset;
    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("vorn-%1-XXXXXX").arg(seconds, 0, 'f', 6)));
    if (!folder.isValid()) {
        *error = folder.errorString();
        return QString();
    }
    *error = XLSXPackage::unpack(packagePath, folder.path());
    if (!error->isNull())
        return QString();
    folder.setAutoRemove(false);
    entries_.insert(key, {info.size(), info.lastModified(), folder.path()});
    return folder.path();
}

std::optional<XLSXData::ColumnSpan> XLSXUnpackCache::columnSpan(const QString &sheetPath)
{
    {
        std::lock_guard lock(mutex_);
        if (const auto found = spans_.constFind(sheetPath); found != spans_.constEnd())
            return *found;
    }
    // Scanned outside the lock: another import's look-ups need not wait for it.
    const std::optional<XLSXData::ColumnSpan> span = XLSXData::columnSpan(sheetPath);
    if (span) {
        std::lock_guard lock(mutex_);
        spans_.insert(sheetPath, *span);
    }
    return span;
}

void XLSXUnpackCache::forgetSpansIn(const QString &folder)
{
    const QString prefix = folder + u'/';
    for (auto it = spans_.begin(); it != spans_.end();) {
        if (it.key().startsWith(prefix))
            it = spans_.erase(it);
        else
            ++it;
    }
}

void XLSXUnpackCache::clear()
{
    std::lock_guard lock(mutex_);
    for (const Entry &entry : std::as_const(entries_))
        QDir(entry.folder).removeRecursively();
    entries_.clear();
    spans_.clear();
}
