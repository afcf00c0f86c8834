#include "transfer/ImportValue.h"

namespace
{
void appendDigits(QString &out, int value, int width)
{
    for (int divisor = width == 4 ? 1000 : width == 3 ? 100 : 10; divisor > 0; divisor /= 10)
        out.append(QChar(u'0' + value / divisor % 10));
}

// "yyyy-MM-dd HH:mm:ss.zzz", written directly: this runs for every date of an import.
QString backendDateTime(const QDateTime &moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    if (date.year() < 0 || date.year() > 9999)
        return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    QString text;
    text.reserve(23);
    appendDigits(text, date.year(), 4);
    text.append(u'-');
    appendDigits(text, date.month(), 2);
    text.append(u'-');
    appendDigits(text, date.day(), 2);
    text.append(u' ');
    appendDigits(text, time.hour(), 2);
    text.append(u':');
    appendDigits(text, time.minute(), 2);
    text.append(u':');
    appendDigits(text, time.second(), 2);
    text.append(u'.');
    appendDigits(text, time.msec(), 3);
    return text;
}
} // namespace

QString ImportValue::backendText() const
{
    switch (kind) {
    case Text:
    case Number:
        return text;
    case DateTime:
        return backendDateTime(dateTime);
    default:
        return QString();
    }
}
