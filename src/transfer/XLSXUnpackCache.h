#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <mutex>

// The folders into which workbook packages were unpacked, so that the previews and the run of one
// import unpack a file once. An entry counts only while the file keeps its size and modification
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
    void clear();

private:
    struct Entry {
        qint64 size = 0;
        QDateTime modified;
        QString folder;
    };

    std::mutex mutex_;
    QHash<QString, Entry> entries_;
};
