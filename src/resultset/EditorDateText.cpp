#include "resultset/EditorDateText.h"

#include <QLocale>

namespace
{
QString padded(qint64 number, int width)
{
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

QString fraction(int milliseconds, int width)
{
    QString digits = padded(milliseconds, 3);
    while (digits.size() > width && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    while (digits.size() < width)
        digits.append(QLatin1Char('0'));
    return digits;
}

QString field(const QDateTime &moment, QChar letter, int count)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QLocale locale;
    switch (letter.unicode()) {
    case 'y':
        return count == 2 ? padded(date.year() % 100, 2) : padded(date.year(), count);
    case 'M':
        if (count >= 4)
            return locale.monthName(date.month());
        return count == 3 ? locale.monthName(date.month(), QLocale::ShortFormat)
                          : padded(date.month(), count);
    case 'd':
        return padded(date.day(), count);
    case 'E':
        return locale.dayName(date.dayOfWeek(), count >= 4 ? QLocale::LongFormat : QLocale::ShortFormat);
    case 'H':
        return padded(time.hour(), count);
    case 'h':
        return padded(time.hour() % 12 == 0 ? 12 : time.hour() % 12, count);
    case 'm':
        return padded(time.minute(), count);
    case 's':
        return padded(time.second(), count);
    case 'S':
        return fraction(time.msec(), count);
    case 'a':
        return time.hour() < 12 ? locale.amText() : locale.pmText();
    default:
        return QString(count, letter);
    }
}
} // namespace

QString EditorDateText::format(const QDateTime &moment, const QString &pattern)
{
    QString text;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar letter = pattern[i];
        if (letter == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
            if (end == i + 1)
                text.append(QLatin1Char('\''));
            else
                text.append(pattern.mid(i + 1, (end < 0 ? pattern.size() : end) - i - 1));
            i = end < 0 ? pattern.size() : end + 1;
            continue;
        }
        if (!letter.isLetter()) {
            text.append(letter);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < pattern.size() && pattern[end] == letter)
            ++end;
        text.append(field(moment, letter, int(end - i)));
        i = end;
    }
    return text;
}
