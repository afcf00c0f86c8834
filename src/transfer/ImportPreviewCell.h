#pragma once

#include <QString>

class ImportOptions;
struct ImportColumn;

// The text a preview cell shows for one source value: as read, or, in the converted view, as its
// column's type and format take it.
namespace ImportPreviewCell
{
// Numbers show with "." and no grouping (scientific with "e" when the column's format has one), a
// number that is not one as "Not a number"; moments show in the user's timestamp pattern, midnight
// without its time when the preferences round it. A value the format refuses shows empty.
QString convertedText(ImportOptions &options, const ImportColumn &column, const QString &value);
// A parsed number (plain decimal text) as the preview shows it under the column's format.
QString numberText(const QString &plain, const QString &format);
} // namespace ImportPreviewCell
