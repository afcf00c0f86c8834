#pragma once

#include <QString>

// How the lines of a document's file end. The editor holds LF alone; saving writes the style the
// file had, so that a CRLF file stays CRLF, line breaks inside string literals too.
enum class LineEnding { Lf, CrLf };

// The style of the text's first line break, LF for a text without one: a file that mixes styles
// is written back in its first line's.
LineEnding lineEndingOf(const QString &text);
// The text with each CRLF as LF.
QString withLfLineEndings(QString text);
// Text whose lines end in LF, with each LF written in the style.
QString withLineEnding(QString lfText, LineEnding style);
