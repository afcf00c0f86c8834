#include "transfer/XLSXSerialDate.h"

#include <QLocale>

#include <cmath>

namespace
{
constexpr qint64 msecsPerDay = 86400000;
const QDate epoch1900(1899, 12, 30);
const QDate epoch1904(1904, 1, 1);

// A day's cache is dropped whole past this many days, which few sheets reach.
constexpr qsizetype cachedDays = 100000;

std::optional<double> serialNumber(QStringView value)
{
    bool ok = false;
    const double serial = QLocale::c().toDouble(value.trimmed(), &ok);
    return ok ? std::optional<double>(serial) : std::nullopt;
}

} // namespace

namespace XLSXSerialDate
{

std::optional<WallClock> wallClockForSerial(QStringView value, bool date1904)
{
    const std::optional<double> serial = serialNumber(value);
    return serial ? wallClockForSerial(*serial, date1904) : std::nullopt;
}

std::optional<WallClock> wallClockForSerial(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 3e6)
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
    return WallClock{day, int(msecs)};
}

std::optional<QDateTime> dateTimeForSerial(QStringView value, bool date1904)
{
    const std::optional<WallClock> wallClock = wallClockForSerial(value, date1904);
    if (!wallClock)
        return std::nullopt;
    return QDateTime(wallClock->day, QTime::fromMSecsSinceStartOfDay(wallClock->msecs));
}

QString importText(const QDateTime &dateTime)
{
    return importText(WallClock{dateTime.date(), dateTime.time().msecsSinceStartOfDay()},
                      dateTime.offsetFromUtc());
}

QString importText(const WallClock &wallClock, int offsetSeconds)
{
    // Built digit by digit: a sheet holds a date in every row, and a format pattern is read anew on
    // each use.
    const QDate date = wallClock.day;
    const QTime time = QTime::fromMSecsSinceStartOfDay(wallClock.msecs);
    const int minutes = std::abs(offsetSeconds) / 60;
    QString text;
    text.reserve(27);
    const auto digits = [&text](int value, int width) {
        char16_t buffer[12];
        int length = 0;
        do {
            buffer[length++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0 || length < width);
        while (length > 0)
            text.append(QChar(buffer[--length]));
    };
    if (date.year() < 0)
        text.append(u'-');
    digits(std::abs(date.year()), 4);
    text.append(u'-');
    digits(date.month(), 2);
    text.append(u'-');
    digits(date.day(), 2);
    text.append(u' ');
    digits(time.hour(), 2);
    text.append(u':');
    digits(time.minute(), 2);
    text.append(u':');
    digits(time.second(), 2);
    text.append(u'.');
    text.append(QChar(char16_t(u'0' + time.msec() / 100)));
    text.append(u' ');
    text.append(offsetSeconds < 0 ? u'-' : u'+');
    digits(minutes / 60, 2);
    digits(minutes % 60, 2);
    return text;
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

int LocalOffsets::offsetAt(const WallClock &wallClock)
{
    const qint64 key = wallClock.day.toJulianDay();
    auto found = byDay_.constFind(key);
    if (found == byDay_.constEnd()) {
        if (byDay_.size() >= cachedDays)
            byDay_.clear();
        const int first = QDateTime(wallClock.day, QTime(0, 0)).offsetFromUtc();
        const int last = QDateTime(wallClock.day, QTime(23, 59, 59, 999)).offsetFromUtc();
        found = byDay_.insert(key, first == last ? first : varies);
    }
    if (*found != varies)
        return *found;
    // The offset that names the moment the system makes of the wall-clock time, also for a time the
    // clock skips (which the system moves on by the change).
    const QTime time = QTime::fromMSecsSinceStartOfDay(wallClock.msecs);
    const qint64 local = QDateTime(wallClock.day, time).toMSecsSinceEpoch();
    return int((QDateTime(wallClock.day, time, Qt::UTC).toMSecsSinceEpoch() - local) / 1000);
}

} // namespace XLSXSerialDate
