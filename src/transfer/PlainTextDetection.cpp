#include "transfer/PlainTextDetection.h"

#include "transfer/ImportEncoding.h"

#include <QHash>
#include <QMap>
#include <QtMath>

namespace PlainTextDetection
{

quint64 textEncoding(const QByteArray &block, quint64 current)
{
    using namespace ImportEncoding;
    if (block.startsWith("\xEF\xBB\xBF"))
        return utf8;
    if (block.startsWith("\xFF\xFE"))
        return utf16LittleEndian;
    if (block.startsWith("\xFE\xFF"))
        return utf16BigEndian;
    if (block.size() > 128) {
        qint64 even = 0;
        qint64 odd = 0;
        for (qsizetype i = 0; i < block.size(); ++i)
            (i % 2 == 0 ? even : odd) += block[i] == '\0' ? 1 : 0;
        if (even * 100 / block.size() >= 26)
            return utf16BigEndian;
        if (odd * 100 / block.size() >= 26)
            return utf16LittleEndian;
    }
    // A full block may end inside a character.
    for (const quint64 candidate : {utf8, windowsLatin1, isoLatin1}) {
        for (int cut = 0; cut < 4 && cut < block.size(); ++cut) {
            if (decodesWholly(block.chopped(cut), candidate))
                return candidate;
            if (candidate != utf8)
                break;
        }
    }
    return block.isEmpty() ? utf8 : current;
}

QStringList lines(const QString &text)
{
    QStringList parts = text.split(QLatin1Char('\n'));
    const QStringList atCr = text.split(QLatin1Char('\r'));
    if (atCr.size() > parts.size())
        parts = atCr;
    const QStringList atCrLf = text.split(QStringLiteral("\r\n"));
    if (atCrLf.size() >= 2)
        parts = atCrLf;
    return parts;
}

bool fixedWidth(const QStringList &lines)
{
    QHash<qsizetype, int> counts;
    int nonEmpty = 0;
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        ++nonEmpty;
        if (line.size() < 4096)
            ++counts[line.size()];
    }
    if (nonEmpty < 3)
        return false;
    int most = 0;
    for (int count : counts)
        most = qMax(most, count);
    return most >= nonEmpty - 1 || most * 100 / nonEmpty >= 96;
}

QChar separator(const QStringList &lines)
{
    QChar best = QLatin1Char(',');
    qint64 bestScore = -1;
    for (const QChar candidate : {QChar(u'\t'), QChar(u';'), QChar(u'|'), QChar(u',')}) {
        qint64 total = 0;
        qint64 counted = 0;
        int missing = 0;
        for (const QString &line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            ++counted;
            total += line.split(candidate).size();
            missing += line.contains(candidate) ? 0 : 1;
        }
        const qint64 score = counted > 0 && missing < 4 ? total / counted : 0;
        if (score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

namespace
{

QList<int> widthsOfLine(const QStringList &pieces, bool alignLeft)
{
    QList<int> widths;
    int run = 0;
    bool first = true;
    const qsizetype n = pieces.size();
    for (qsizetype k = 0; k < n; ++k) {
        const QString &piece = pieces[alignLeft ? n - 1 - k : k];
        if (piece.isEmpty()) {
            ++run;
            continue;
        }
        const int width = run + int(piece.size()) + (first ? 0 : 1);
        alignLeft ? widths.prepend(width) : widths.append(width);
        first = false;
        run = 0;
    }
    if (run > 0)
        alignLeft ? widths.prepend(run) : widths.append(run);
    return widths;
}

} // namespace

FixedLayout fillerAndColumns(const QStringList &lines)
{
    FixedLayout layout;
    const QStringList head = lines.mid(0, 20);
    QMap<ushort, int> counts;
    const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789-");
    for (const QString &line : head) {
        for (QChar c : line.toLower()) {
            if (c.unicode() < 128 && !plain.contains(c))
                ++counts[c.unicode()];
        }
    }
    layout.filler = QLatin1Char(' ');
    int most = 0;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        if (it.value() > most) {
            most = it.value();
            layout.filler = QChar(it.key());
        }
    }
    if (most < 3)
        layout.filler = QLatin1Char(' ');
    int startsFilled = 0;
    int endsFilled = 0;
    for (const QString &line : lines) {
        if (line.size() < 2)
            continue;
        startsFilled += line.front() == layout.filler ? 1 : 0;
        endsFilled += line.back() == layout.filler ? 1 : 0;
    }
    layout.alignLeft = endsFilled > startsFilled;
    QList<QList<int>> candidates;
    QList<int> occurrences;
    for (const QString &line : head) {
        if (line.size() < 3)
            continue;
        const QList<int> widths = widthsOfLine(line.split(layout.filler), layout.alignLeft);
        const qsizetype at = candidates.indexOf(widths);
        if (at < 0) {
            candidates.append(widths);
            occurrences.append(1);
        } else {
            ++occurrences[at];
        }
    }
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (chosen < 0 || occurrences[i] > occurrences[chosen] ||
            (occurrences[i] == occurrences[chosen] && candidates[i].size() > candidates[chosen].size()))
            chosen = i;
    }
    if (chosen >= 0)
        layout.widths = candidates[chosen];
    return layout;
}

qint64 skipStart(const QList<QStringList> &rows)
{
    QList<int> counts;
    int lo = 1000;
    int hi = 0;
    for (const QStringList &row : rows) {
        int filled = 0;
        for (const QString &field : row)
            filled += field.isEmpty() ? 0 : 1;
        counts.append(filled);
        if (filled > 0) {
            lo = qMin(lo, filled);
            hi = qMax(hi, filled);
        }
    }
    if (rows.size() < 10)
        return 0;
    const double threshold = std::ceil(double(lo + hi)) * 0.25;
    for (qsizetype i = 0; i < counts.size(); ++i) {
        if (counts[i] >= threshold)
            return i;
    }
    return 0;
}

bool contentHeaders(const QStringList &row)
{
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvw");
    for (const QString &field : row) {
        if (field.isEmpty())
            continue;
        int count = 0;
        for (QChar c : field.toLower())
            count += letters.contains(c) ? 1 : 0;
        if (count * 2 < field.size())
            return false;
    }
    return true;
}

QChar quote(const QList<QStringList> &rows)
{
    int apostrophes = 0;
    int doubles = 0;
    for (const QStringList &row : rows) {
        for (const QString &field : row) {
            const QString trimmed = field.trimmed();
            apostrophes += trimmed.startsWith(QLatin1Char('\'')) ? 1 : 0;
            doubles += trimmed.startsWith(QLatin1Char('"')) ? 1 : 0;
        }
    }
    return apostrophes > doubles ? QLatin1Char('\'') : QLatin1Char('"');
}

bool quoteEscapeDouble(const QStringList &lines, QChar separator)
{
    qint64 doubled = 0;
    qint64 escaped = 0;
    for (const QString &line : lines.mid(0, 50)) {
        for (const QString &field : line.split(separator)) {
            const QString trimmed = field.trimmed();
            if (trimmed.size() < 3)
                continue;
            doubled += trimmed.split(QStringLiteral("\"\"")).size() - 1;
            escaped += trimmed.split(QStringLiteral("\\\"")).size() - 1;
        }
    }
    return escaped <= doubled;
}

} // namespace PlainTextDetection
