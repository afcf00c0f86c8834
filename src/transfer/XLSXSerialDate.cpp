#include "transfer/XLSXSerialDate.h"

#include <QLocale>

#include <cmath>

namespace
{
constexpr qint64 msecsPerDay = 86400000;
const QDate epoch1900(1899, 12, 30);
const QDate epoch1904(1904, 1, 1);
} // namespace

namespace XLSXSerialDate
{

std::optional<QDateTime> dateTimeForSerial(QStringView value, bool date1904)
{
    bool ok = false;
    const double serial = QLocale::c().toDouble(value.trimmed(), &ok);
    if (!ok || !std::isfinite(serial) || serial < 0 || serial > 3e6)
        return std::nullopt;
    QDate epoch = date1904 ? epoch1904 : epoch1900;
    if (!date1904 && serial < 61) {
        if (serial >= 60)
            return std::nullopt;
        epoch = epoch.addDays(1);
    }
    qint64 days = qint64(std::floor(serial));
    qint64 msecs = std::llround((serial - double(days)) * double(msecsPerDay));
    if (msecs >= msecsPerDay) {
        ++days;
        msecs -= msecsPerDay;
    }
    const QDate day = epoch.addDays(days);
    if (!day.isValid())
        return std::nullopt;
    return QDateTime(day, QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

QString importText(const QDateTime &dateTime)
{
    const int offset = dateTime.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(QChar(offset < 0 ? u'-' : u'+'))
                             .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                             .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1.%2 %3")
        .arg(dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        .arg(dateTime.time().msec() / 100)
        .arg(zone);
}

std::optional<double> serialForDateTime(const QDateTime &dateTime)
{
    qint64 days = epoch1900.daysTo(dateTime.date());
    if (dateTime.date() < QDate(1900, 3, 1))
        --days;
    if (days < 0 || !dateTime.isValid())
        return std::nullopt;
    return double(days) + double(dateTime.time().msecsSinceStartOfDay()) / double(msecsPerDay);
}

} // namespace XLSXSerialDate
