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
        forgetPartsIn(found->folder);
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

template <class Value>
Value XLSXUnpackCache::readOnce(QHash<QString, std::shared_future<Value>> &read, const QString &partPath,
                                const std::function<Value()> &reader)
{
    std::promise<Value> promise;
    std::shared_future<Value> value;
    bool reading = false;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = read.constFind(partPath); found != read.constEnd()) {
            value = *found;
        } else {
            value = promise.get_future().share();
            read.insert(partPath, value);
            reading = true;
        }
    }
    // Read outside the lock: other parts and folders need not wait for it.
    if (reading)
        promise.set_value(reader());
    return value.get();
}

std::optional<XLSXData::ColumnSpan> XLSXUnpackCache::columnSpan(const QString &sheetPath)
{
    return readOnce<std::optional<XLSXData::ColumnSpan>>(
        spans_, sheetPath, [&sheetPath] { return XLSXData::columnSpan(sheetPath); });
}

std::shared_ptr<const XLSXSharedStrings> XLSXUnpackCache::sharedStrings(const QString &partPath)
{
    return readOnce<std::shared_ptr<const XLSXSharedStrings>>(
        sharedStrings_, partPath, [&partPath]() -> std::shared_ptr<const XLSXSharedStrings> {
            std::optional<XLSXSharedStrings> strings = XLSXSharedStrings::read(partPath);
            return strings ? std::make_shared<const XLSXSharedStrings>(std::move(*strings)) : nullptr;
        });
}

void XLSXUnpackCache::forgetPartsIn(const QString &folder)
{
    const QString prefix = folder + u'/';
    const auto forget = [&prefix](auto &read) {
        for (auto it = read.begin(); it != read.end();) {
            if (it.key().startsWith(prefix))
                it = read.erase(it);
            else
                ++it;
        }
    };
    forget(spans_);
    forget(sharedStrings_);
}

void XLSXUnpackCache::clear()
{
    std::lock_guard lock(mutex_);
    for (const Entry &entry : std::as_const(entries_))
        QDir(entry.folder).removeRecursively();
    entries_.clear();
    spans_.clear();
    sharedStrings_.clear();
}
