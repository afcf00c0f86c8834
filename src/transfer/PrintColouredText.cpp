#include "transfer/PrintColouredText.h"

#include "transfer/PrintText.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace
{

// The runs of a block that fall in [from, from + length), moved to start at 0.
QList<PrintColourRun> slice(const QList<PrintColourRun> &runs, qsizetype from, qsizetype length)
{
    QList<PrintColourRun> sliced;
    for (const PrintColourRun &run : runs) {
        const qsizetype start = std::max(run.start, from);
        const qsizetype end = std::min(run.start + run.length, from + length);
        if (start < end)
            sliced.append({start - from, end - start, run.color});
    }
    return sliced;
}

} // namespace

QList<PrintColouredLine> PrintColouredText::lines(const QTextDocument &document)
{
    QList<PrintColouredLine> printed;
    if (document.isEmpty())
        return printed;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QList<PrintColourRun> runs;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            const QTextCharFormat format = part.charFormat();
            if (format.hasProperty(QTextFormat::ForegroundBrush))
                runs.append({part.position() - block.position(), part.length(), format.foreground().color()});
        }
        // The pieces of a cut line follow each other without a gap.
        qsizetype offset = 0;
        for (const QString &piece : PrintText::breakUpSentence(block.text())) {
            printed.append({piece, slice(runs, offset, piece.size())});
            offset += piece.size();
        }
    }
    return printed;
}
