#include "app/SystemTimeZone.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <ctime>

namespace
{

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SystemTimeZone, NamesTheZoneThatTheSystemFileHoldsAndKeepsAGivenOne)
{
    qputenv("TZ", "America/Santiago");
    SystemTimeZone::nameInEnvironment();
    EXPECT_EQ(qgetenv("TZ"), "America/Santiago") << "a zone the user gave stays";

    qunsetenv("TZ");
    tzset();
    const QDateTime moment(QDate(2019, 7, 1), QTime(12, 0));
    const int offset = moment.offsetFromUtc();
    SystemTimeZone::nameInEnvironment();
    const QByteArray name = qgetenv("TZ");
    ASSERT_FALSE(name.isEmpty()) << "this system's /etc/localtime is a zone of the zone database";
    EXPECT_FALSE(name.startsWith('/') || name.startsWith(':')) << "a name the Java VM takes";
    EXPECT_EQ(contents("/usr/share/zoneinfo/" + QString::fromLatin1(name)), contents("/etc/localtime"));
    EXPECT_EQ(QDateTime(QDate(2019, 7, 1), QTime(12, 0)).offsetFromUtc(), offset);
}
