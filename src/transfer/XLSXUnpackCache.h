#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include "transfer/XLSXData.h"

#include <mutex>
#include <optional>

// The folders into which workbook packages were unpacked, so that the previews and the run of one
// import unpack a file once, and the column span of each worksheet read from them, so that they scan a
// sheet for it once. An entry counts only while the file keeps its size and modification
// time and the folder still exists; otherwise the file is unpacked anew. The owner (the import
// controller) clears it when the import ends; clearing and destruction delete the folders. Safe to
// use from several threads.
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
    void clear();

private:
    struct Entry {
        qint64 size = 0;
        QDateTime modified;
        QString folder;
    };

    void forgetSpansIn(const QString &folder);

    std::mutex mutex_;
    QHash<QString, Entry> entries_;
    QHash<QString, XLSXData::ColumnSpan> spans_;
};
