#include "platform/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{

QString dataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace

QString AppFolders::support()
{
    return dataLocation() + QStringLiteral("/Vorn");
}

QString AppFolders::logs()
{
    const QString folder = support() + QStringLiteral("/Logs");
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(folder);
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return folder;
}

QString AppFolders::autosave()
{
    return support() + QStringLiteral("/Autosave");
}

QString AppFolders::restorationFile()
{
    return support() + QStringLiteral("/WindowRestoration.json");
}

QString AppFolders::drivers()
{
    return support() + QStringLiteral("/Drivers");
}

QString AppFolders::connectionSettings()
{
    return support();
}

QString AppFolders::preferencesFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Vorn/Vorn.json");
}

bool AppFolders::holdsPlainFile(const QString &folder, const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        return false;
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    return !canonicalFolder.isEmpty() &&
           QFileInfo(info.absolutePath()).canonicalFilePath() == canonicalFolder;
}
