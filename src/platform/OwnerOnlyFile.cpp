#include "platform/OwnerOnlyFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool writeOwnerOnlyFile(const QString &path, const QByteArray &data, QString *error)
{
    constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, ownerOnly | QFileDevice::ExeOwner);
    QSaveFile file(path);
    // The new copy is owner-only before the first byte goes in and keeps that under its final name; an
    // older copy readable by others is narrowed by the same write.
    if (file.open(QIODevice::WriteOnly) && file.setPermissions(ownerOnly) &&
        file.write(data) == data.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
