#include "transfer/PrintText.h"

namespace
{

constexpr qsizetype scriptWidth = 160;
constexpr qsizetype cellWidth = 80;
constexpr qsizetype headerWidth = 40;
constexpr qsizetype headerSourceLines = 8;
constexpr qsizetype longestColumnName = 30;

// Where a line longer than width is cut: its last space within the first width characters, or width
// itself when there is none (or, unless a leading space may be used, only at the start).
qsizetype cutPosition(const QString &line, qsizetype width, bool leadingSpaceCuts)
{
    const qsizetype space = line.lastIndexOf(QLatin1Char(' '), width - 1);
    if (space < 0 || (space == 0 && !leadingSpaceCuts))
        return width;
    return space;
}

QString wrapped(const QString &value, qsizetype width, bool leadingSpaceCuts, qsizetype maxSourceLines)
{
    QStringList printed;
    const QStringList source = value.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < source.size(); ++i) {
        QString line = source.at(i).trimmed();
        while (line.size() > width) {
            const qsizetype cut = cutPosition(line, width, leadingSpaceCuts);
            printed << line.left(cut);
            // A space cut at is dropped; a character at the limit stays for the next line.
            line = line.mid(line.at(cut) == QLatin1Char(' ') ? cut + 1 : cut);
        }
        printed << line;
        // "..." only marks lines that are really left out.
        if (maxSourceLines > 0 && i + 1 == maxSourceLines && i + 1 < source.size()) {
            printed.last() += QStringLiteral("...");
            break;
        }
    }
    return printed.join(QLatin1Char('\n')).trimmed();
}

} // namespace

QStringList PrintText::breakUpScript(const QString &text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines << breakUpSentence(line);
    return lines;
}

QStringList PrintText::breakUpSentence(const QString &line)
{
    QStringList pieces;
    QString rest = line;
    while (rest.size() > scriptWidth) {
        const qsizetype cut = cutPosition(rest, scriptWidth, false);
        pieces << rest.left(cut);
        rest = rest.mid(cut);
    }
    pieces << rest;
    return pieces;
}

QString PrintText::breakUpMaxWidth(const QString &value)
{
    return wrapped(value, cellWidth, false, 0);
}

QString PrintText::breakUpMaxHeaderWidthAndHeight(const QString &value, bool truncate)
{
    return wrapped(value, headerWidth, true, truncate ? headerSourceLines : 0);
}

QString PrintText::shortenedColumnName(const QString &name)
{
    if (name.size() <= longestColumnName)
        return name;
    return name.left(27) + QStringLiteral("...");
}
