#include "bridge/UserDriverJars.h"

#include "bridge/BridgeLog.h"
#include "platform/AppFolders.h"

#include <QDir>
#include <QFile>

namespace
{
// Every jar is a zip archive: a local file header, or the end record of an empty archive.
bool isReadableJar(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray magic = file.read(4);
    return magic == QByteArrayLiteral("PK\x03\x04") || magic == QByteArrayLiteral("PK\x05\x06");
}
} // namespace

QStringList UserDriverJars::folders()
{
    QStringList folders{AppFolders::drivers()};
    for (const QString &folder :
         qEnvironmentVariable("VORN_DRIVERS").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << folder;
    return folders;
}

QStringList UserDriverJars::jarsIn(const QStringList &folders)
{
    QStringList jars;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList names =
            dir.entryList({QStringLiteral("*.jar")}, QDir::Files | QDir::System, QDir::Name);
        for (const QString &name : names) {
            const QString path = dir.absoluteFilePath(name);
            if (isReadableJar(path))
                jars << path;
            else
                qCWarning(lcBridge).noquote()
                    << QStringLiteral("Skipped the driver jar %1: it cannot be read as a jar").arg(path);
        }
    }
    return jars;
}
