#include "platform/FileBookmarks.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

namespace FileBookmarks
{

QByteArray bookmarkDataForFile(const QString &fileUrlOrPath)
{
    QString path = fileUrlOrPath;
    if (path.startsWith(QLatin1String("file:")))
        path = QUrl(fileUrlOrPath).toLocalFile();
    else if (path.contains(QLatin1String("://")))
        return {};
    if (path.isEmpty())
        return {};
    return QFileInfo(path).absoluteFilePath().toUtf8();
}

QString resolveBookmark(const QByteArray &bookmark, QString *error)
{
    const QString path = QString::fromUtf8(bookmark);
    if (!path.isEmpty() && QFileInfo(path).isAbsolute() && QFileInfo::exists(path))
        return path;
    if (error) {
        *error =
            path.isEmpty()
                ? QCoreApplication::translate("FileBookmarks", "The bookmark is empty.")
                : QCoreApplication::translate("FileBookmarks", "The file “%1” no longer exists.").arg(path);
    }
    return {};
}

} // namespace FileBookmarks
