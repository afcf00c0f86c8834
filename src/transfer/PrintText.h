#pragma once

#include <QString>
#include <QStringList>

// How printed text is cut into lines: scripts at 160 characters, cell values at 80, header values at
// 40 (optionally only their first eight lines). Cuts fall on the last space before the limit, or at
// the limit when a line has none.
namespace PrintText
{
// Every line of the text, long ones cut; an empty text has no lines.
QStringList breakUpScript(const QString &text);
// One line of a script cut into pieces of at most 160 characters; a piece after a cut starts with
// the space it was cut at.
QStringList breakUpSentence(const QString &line);
// A cell value as printed: each line trimmed and wrapped at 80 characters, joined by newlines.
QString breakUpMaxWidth(const QString &value);
// A header value (filter, sort, statement) wrapped at 40 characters; with truncate, cut after its
// eighth line with "...".
QString breakUpMaxHeaderWidthAndHeight(const QString &value, bool truncate);
// A column label longer than 30 characters shows its first 27 and "...".
QString shortenedColumnName(const QString &name);
} // namespace PrintText
