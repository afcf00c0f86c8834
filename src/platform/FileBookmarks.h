#pragma once

#include <QByteArray>
#include <QString>

// Bookmarks that let a later run open a file the user chose. On this platform a bookmark is the
// file's absolute path (UTF-8); resolving it checks that the file still exists.
namespace FileBookmarks
{

// Takes a file URL string ("file:///home/me/shop.db") or a path. Empty for other URLs.
QByteArray bookmarkDataForFile(const QString &fileUrlOrPath);
// The file's path, or an empty string with the reason in *error when it is gone.
QString resolveBookmark(const QByteArray &bookmark, QString *error = nullptr);

} // namespace FileBookmarks
