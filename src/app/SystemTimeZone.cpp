#include "app/SystemTimeZone.h"

#include <QFile>
#include <QTimeZone>

#include <ctime>

namespace
{

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

namespace SystemTimeZone
{

void nameInEnvironment()
{
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    const QByteArray name = QTimeZone::systemTimeZoneId();
    if (name.isEmpty() || name.startsWith('/') || name.contains(".."))
        return;
    const QByteArray system = contents(QStringLiteral("/etc/localtime"));
    if (system.isEmpty() ||
        contents(QStringLiteral("/usr/share/zoneinfo/") + QString::fromLatin1(name)) != system)
        return;
    qputenv("TZ", name);
    tzset();
}

} // namespace SystemTimeZone
