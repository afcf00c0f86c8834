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
    // Built digit by digit: a sheet holds a date in every row, and a format pattern is read anew on
    // each use.
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const int offset = dateTime.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
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
    text.append(offset < 0 ? u'-' : u'+');
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

} // namespace XLSXSerialDate
