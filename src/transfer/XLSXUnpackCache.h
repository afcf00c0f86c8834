#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include "transfer/XLSXData.h"
#include "transfer/XLSXSharedStrings.h"

#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>

// The folders into which workbook packages were unpacked, so that the previews and the run of one
// import unpack a file once, and what every open reads alike from such a folder (a worksheet's column
// span, the shared strings), so that it is read once even when two opens ask at the same time. An entry
// counts only while the file keeps its size and modification time and the folder still exists; otherwise the
// file is unpacked anew. The owner (the import controller) clears it when the import ends; clearing and
// destruction delete the folders. Safe to use from several threads.
class XLSXUnpackCache
{
public:
    XLSXUnpackCache() = default;
    XLSXUnpackCache(const XLSXUnpackCache &) = delete;
    XLSXUnpackCache &operator=(const XLSXUnpackCache &) = delete;
    ~XLSXUnpackCache();

    // The folder holding the unpacked package; empty, with the reason in error, when it cannot be
    // unpacked.
    QString folderFor(const QString &packagePath, QString *error);
    // The span of the worksheet file of an unpacked folder; none when the file cannot be read.
    std::optional<XLSXData::ColumnSpan> columnSpan(const QString &sheetPath);
    // The shared strings part of an unpacked folder; null when it cannot be read.
    std::shared_ptr<const XLSXSharedStrings> sharedStrings(const QString &partPath);
    void clear();

private:
    struct Entry {
        qint64 size = 0;
        QDateTime modified;
        QString folder;
    };

    // The value read from the part, read by the first who asks; the others wait for it.
    template <class Value>
    Value readOnce(QHash<QString, std::shared_future<Value>> &read, const QString &partPath,
                   const std::function<Value()> &reader);
    void forgetPartsIn(const QString &folder);

    std::mutex mutex_;
    QHash<QString, Entry> entries_;
    QHash<QString, std::shared_future<std::optional<XLSXData::ColumnSpan>>> spans_;
    QHash<QString, std::shared_future<std::shared_ptr<const XLSXSharedStrings>>> sharedStrings_;
};
