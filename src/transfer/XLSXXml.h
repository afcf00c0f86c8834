#pragma once

#include <QString>
#include <QStringView>
#include <QXmlStreamReader>

// What the workbook readers and writers share about SpreadsheetML: its namespaces, how elements are
// recognised (by local name in the SpreadsheetML namespace, whatever prefix the file uses), and how
// text that XML cannot carry is escaped in cells ("_xHHHH_", as the package format defines it).
namespace XLSXXml
{

inline const QString mainNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
inline const QString relationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
inline const QString packageRelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");

// The reader stands on the start or end of the SpreadsheetML element of that local name (the
// transitional or the strict namespace, or none).
bool is(const QXmlStreamReader &reader, const char *localName);
// The relationship attribute of that local name ("id" for r:id), in either relationships namespace.
QString relationshipAttribute(const QXmlStreamAttributes &attributes, const char *localName);
// "1" or "true" in any case.
bool isTrue(QStringView value);

// The text with its "_xHHHH_" escapes turned back into the characters they stand for.
QString decodeText(const QString &text);
// The text as a cell may hold it: U+0000 removed, other characters XML cannot carry escaped as
// "_xHHHH_", and a literal "_x" that would read as an escape protected by escaping its "_".
QString encodeText(QStringView text);

} // namespace XLSXXml
