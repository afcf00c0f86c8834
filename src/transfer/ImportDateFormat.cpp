#include "transfer/ImportDateFormat.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>

namespace
{

using Field = ImportDateFormat::Field;

bool numeric(QChar letter)
{
    return QStringLiteral("yMdHhmsS").contains(letter);
}

QList<Field> tokenize(const QString &pattern)
{
    QList<Field> fields;
    auto literal = [&fields](QChar c) {
        if (fields.isEmpty() || !fields.last().letter.isNull())
            fields.append(Field{});
        fields.last().literal += c;
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            if (stop == i + 1)
                literal(QLatin1Char('\''));
            for (qsizetype k = i + 1; k < stop; ++k)
                literal(pattern[k]);
            i = stop + 1;
        } else if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                   (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) {
            qsizetype end = i;
            while (end < pattern.size() && pattern[end] == c)
                ++end;
            fields.append(Field{c, int(end - i), QString()});
            i = end;
        } else {
            literal(c);
            ++i;
        }
    }
    return fields;
}

struct Parts {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
    int hour12 = -1;
    int pm = -1;
    std::optional<int> offsetSeconds;
};

class Reader
{
public:
    Reader(const QString &text, bool lenient) : text_(text), lenient_(lenient) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    void skipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_].isSpace())
            ++pos_;
    }
    // min..max ASCII digits.
    std::optional<int> digits(int min, int max)
    {
        qsizetype end = pos_;
        while (end < text_.size() && end - pos_ < max && text_[end] >= QLatin1Char('0') &&
               text_[end] <= QLatin1Char('9'))
            ++end;
        if (end - pos_ < min)
            return std::nullopt;
        const int value = QStringView(text_).mid(pos_, end - pos_).toInt();
        width_ = int(end - pos_);
        pos_ = end;
        return value;
    }
    bool literal(const QString &expected)
    {
        for (QChar c : expected) {
            if (c.isSpace() && lenient_) {
                skipBlanks();
                continue;
            }
            if (pos_ >= text_.size() || text_[pos_] != c)
                return false;
            ++pos_;
        }
        return true;
    }
    bool word(const QString &expected)
    {
        if (text_.mid(pos_, expected.size())
                .compare(expected, lenient_ ? Qt::CaseInsensitive : Qt::CaseSensitive))
            return false;
        pos_ += expected.size();
        return true;
    }
    QChar peek() const { return pos_ < text_.size() ? text_[pos_] : QChar(); }
    void advance() { ++pos_; }
    int lastWidth() const { return width_; }

private:
    const QString &text_;
    bool lenient_;
    qsizetype pos_ = 0;
    int width_ = 0;
};

// "+hhmm", "+hh:mm", "GMT+h[:mm]", "UTC", "GMT" or "Z".
std::optional<int> readOffset(Reader &in)
{
    int sign = 1;
    if (in.word(QStringLiteral("GMT")) || in.word(QStringLiteral("UTC"))) {
        const QChar next = in.peek();
        if (next != QLatin1Char('+') && next != QLatin1Char('-'))
            return 0;
    } else if (in.peek() == QLatin1Char('Z')) {
        in.advance();
        return 0;
    }
    if (in.peek() == QLatin1Char('-'))
        sign = -1;
    else if (in.peek() != QLatin1Char('+'))
        return std::nullopt;
    in.advance();
    const auto hours = in.digits(1, 2);
    if (!hours)
        return std::nullopt;
    int minutes = 0;
    if (in.lastWidth() == 2 && in.peek().isDigit()) {
        const auto m = in.digits(2, 2);
        minutes = m.value_or(0);
    } else if (in.peek() == QLatin1Char(':')) {
        in.advance();
        const auto m = in.digits(2, 2);
        if (!m)
            return std::nullopt;
        minutes = *m;
    }
    if (*hours > 18 || minutes > 59)
        return std::nullopt;
    return sign * (*hours * 3600 + minutes * 60);
}

int expandTwoDigitYear(int year)
{
    // Within 80 years before and 20 after this year, as date readers commonly take it.
    const int now = QDate::currentDate().year();
    int full = now / 100 * 100 + year;
    if (full > now + 20)
        full -= 100;
    else if (full <= now - 80)
        full += 100;
    return full;
}

bool readField(Reader &in, const Field &field, bool nextIsNumeric, bool lenient, Parts &parts)
{
    const int w = field.width;
    // A field followed by another number field has a fixed width; others take what digits come.
    const bool fixed = nextIsNumeric || (!lenient && w >= 2);
    auto number = [&](int natural, int max) {
        return fixed ? in.digits(natural, natural) : in.digits(1, max);
    };
    switch (field.letter.unicode()) {
    case 'y': {
        const auto year = w == 2 ? number(2, 2) : (fixed ? in.digits(4, 4) : in.digits(1, 4));
        if (!year)
            return false;
        parts.year = w == 2 ? expandTwoDigitYear(*year) : *year;
        return true;
    }
    case 'M': {
        const auto v = number(2, 2);
        return v && (parts.month = *v, true);
    }
    case 'd': {
        const auto v = number(2, 2);
        return v && (parts.day = *v, true);
    }
    case 'H': {
        const auto v = number(2, 2);
        return v && *v < 24 && (parts.hour = *v, true);
    }
    case 'h': {
        const auto v = number(2, 2);
        return v && *v >= 1 && *v <= 12 && (parts.hour12 = *v, true);
    }
    case 'm': {
        const auto v = number(2, 2);
        return v && *v < 60 && (parts.minute = *v, true);
    }
    case 's': {
        const auto v = number(2, 2);
        return v && *v < 60 && (parts.second = *v, true);
    }
    case 'S': {
        const auto v = in.digits(1, 9);
        if (!v)
            return false;
        int value = *v;
        int width = in.lastWidth();
        while (width > 3) {
            value /= 10;
            --width;
        }
        while (width < 3) {
            value *= 10;
            ++width;
        }
        parts.millisecond = value;
        return true;
    }
    case 'a':
        if (in.word(QStringLiteral("AM")))
            parts.pm = 0;
        else if (in.word(QStringLiteral("PM")))
            parts.pm = 1;
        else
            return false;
        return true;
    case 'Z':
    case 'z':
    case 'O':
    case 'X':
    case 'x': {
        const auto offset = readOffset(in);
        return offset && (parts.offsetSeconds = offset, true);
    }
    default:
        return false;
    }
}

} // namespace

ImportDateFormat::ImportDateFormat(const QString &pattern, bool lenient)
    : pattern_(pattern), lenient_(lenient), fields_(tokenize(pattern))
{
}

std::optional<QDateTime> ImportDateFormat::parse(const QString &input) const
{
    const QString text = lenient_ ? input.trimmed() : input;
    Reader in(text, lenient_);
    Parts parts;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        const Field &field = fields_[i];
        if (field.letter.isNull()) {
            if (!in.literal(field.literal))
                return std::nullopt;
            continue;
        }
        const bool nextIsNumeric = i + 1 < fields_.size() && numeric(fields_[i + 1].letter);
        if (!readField(in, field, nextIsNumeric && numeric(field.letter), lenient_, parts))
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    if (parts.hour12 >= 0)
        parts.hour = parts.hour12 % 12 + (parts.pm == 1 ? 12 : 0);
    else if (parts.pm == 1 && parts.hour < 12)
        parts.hour += 12;
    const QDate date(parts.year, parts.month, parts.day);
    const QTime time(parts.hour, parts.minute, parts.second, parts.millisecond);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    if (parts.offsetSeconds)
        return QDateTime(date, time, QTimeZone(*parts.offsetSeconds)).toLocalTime();
    // A time without a zone is the wall time as written: no local zone's rules apply (they would move a
    // time in a daylight saving gap, and looking them up for every value is slow).
    return QDateTime(date, time, Qt::UTC);
}
