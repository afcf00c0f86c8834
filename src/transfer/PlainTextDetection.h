#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the plain-text importer learns from the first block of a file, each rule on its own.
namespace PlainTextDetection
{

// The encoding: byte-order mark, then UTF-16 by its zero bytes, then the first of UTF-8, Windows
// Latin 1 and ISO Latin 1 that decodes the whole block. Mac OS Roman is only ever chosen by hand.
quint64 textEncoding(const QByteArray &block, quint64 current);
// The block's lines: at LF or CR, whichever gives more, or at CR LF when it gives two or more.
QStringList lines(const QString &text);
// Fixed width when (almost) all non-empty lines are equally long; needs at least three lines.
bool fixedWidth(const QStringList &lines);
// The separator that splits the lines most evenly: tab, ";", "|" or ",".
QChar separator(const QStringList &lines);
struct FixedLayout {
    QChar filler;
    bool alignLeft = false;
    QList<int> widths;
};
FixedLayout fillerAndColumns(const QStringList &lines);
// The rows to skip before the first row as wide as the data.
qint64 skipStart(const QList<QStringList> &rows);
// Whether the row reads as column names (letters rather than numbers).
bool contentHeaders(const QStringList &row);
QChar quote(const QList<QStringList> &rows);
// Whether quotes are escaped by doubling them (else by a backslash).
bool quoteEscapeDouble(const QStringList &lines, QChar separator);

} // namespace PlainTextDetection
