#include "transfer/ImportNumberFormat.h"

#include <QStringList>

namespace
{

bool allDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    }
    return true;
}

// Thousands groups as a strict reader expects them: 1 to 3 digits, then groups of exactly 3.
bool groupedProperly(const QString &integer, QChar grouping)
{
    const QStringList groups = integer.split(grouping);
    for (int i = 0; i < groups.size(); ++i) {
        const qsizetype size = groups[i].size();
        if (!allDigits(groups[i]) || (i == 0 ? size > 3 : size != 3))
            return false;
    }
    return true;
}

} // namespace

ImportNumberFormat::ImportNumberFormat(const QString &format, bool lenient)
    : decimal_(format.contains(QLatin1Char('.')) ? QLatin1Char('.') : QLatin1Char(',')),
      grouping_(decimal_ == QLatin1Char('.') ? QLatin1Char(',') : QLatin1Char('.')),
      minusSuffix_(format.endsWith(QLatin1String("(-)"))), scientific_(isScientific(format)),
      lenient_(lenient)
{
}

bool ImportNumberFormat::isScientific(const QString &format)
{
    return format.contains(QLatin1Char('e'));
}

std::optional<QString> ImportNumberFormat::parse(const QString &input) const
{
    QString text = input.trimmed();
    if (lenient_)
        text.remove(QLatin1Char(' '));
    bool negative = false;
    const QLatin1Char minus('-');
    if (minusSuffix_ || lenient_) {
        if (text.endsWith(minus)) {
            negative = true;
            text.chop(1);
        }
    }
    if (!negative && (!minusSuffix_ || lenient_) && text.startsWith(minus)) {
        negative = true;
        text.remove(0, 1);
    } else if (lenient_ && !negative && text.startsWith(QLatin1Char('+'))) {
        text.remove(0, 1);
    }

    QString exponent;
    const qsizetype e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        if (!scientific_)
            return std::nullopt;
        exponent = text.mid(e + 1);
        text.truncate(e);
        const QStringView digits =
            exponent.startsWith(QLatin1Char('-')) || exponent.startsWith(QLatin1Char('+'))
                ? QStringView(exponent).mid(1)
                : QStringView(exponent);
        if (!allDigits(digits))
            return std::nullopt;
        if (exponent.startsWith(QLatin1Char('+')))
            exponent.remove(0, 1);
    }

    const qsizetype point = text.indexOf(decimal_);
    QString integer = point >= 0 ? text.left(point) : text;
    const QString fraction = point >= 0 ? text.mid(point + 1) : QString();
    if (point >= 0 && !fraction.isEmpty() && !allDigits(fraction))
        return std::nullopt;
    if (integer.contains(grouping_)) {
        if (!lenient_ && !groupedProperly(integer, grouping_))
            return std::nullopt;
        integer.remove(grouping_);
    }
    if (integer.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (!integer.isEmpty() && !allDigits(integer))
        return std::nullopt;

    QString number = negative ? QStringLiteral("-") : QString();
    number += integer.isEmpty() ? QStringLiteral("0") : integer;
    if (!fraction.isEmpty())
        number += QLatin1Char('.') + fraction;
    if (!exponent.isEmpty())
        number += QLatin1Char('e') + exponent;
    return number;
}
