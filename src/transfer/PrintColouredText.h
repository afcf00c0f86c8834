#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QTextDocument;

// A printed script line with the colours of the text it came from.
struct PrintColourRun {
    qsizetype start = 0;
    qsizetype length = 0;
    QColor color;
};

struct PrintColouredLine {
    QString text;
    QList<PrintColourRun> runs; // sorted, not overlapping; uncoloured stretches print black
};

namespace PrintColouredText
{
// The document's lines, cut as printed scripts are (160 characters), each with its foreground colours.
QList<PrintColouredLine> lines(const QTextDocument &document);
} // namespace PrintColouredText
