#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// Statements as string literals of a programming language, for the editor's "Copy as" menu. The formats
// come from the resource "SQLExportFormats.plist", read afresh at every use: "formats" lists the format
// identifiers in menu order ("" a separator), each identifier names its description.
namespace SQLCodeExport
{

// "--SingleLine", the formats, "", "--MultiLine", then "-MULTI-" and each format ("" stays "").
QStringList sqlExportFormats();
// The menu title; empty for an identifier without a description.
QString displayNameForSqlExportFormat(const QString &format);
// The description of a format identifier, "-MULTI-" stripped; empty when there is none.
QVariantMap formatDescription(const QString &format);
bool isMultiLine(const QString &format);

// The resource as a whole; empty when it is missing or unreadable.
QVariantMap readResource();
QStringList sqlExportFormats(const QVariantMap &resource);
QString displayNameForSqlExportFormat(const QString &format, const QVariantMap &resource);

// The statements, each its trimmed text, written in the described format.
QString exportStatements(const QStringList &statements, const QVariantMap &description, bool multiLine);

} // namespace SQLCodeExport
