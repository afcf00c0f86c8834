#pragma once

#include "RichText.h"

#include "connection/ConnectionParameters.h"
#include "sql/SQLParserParseProperties.h"

#include <QString>
#include <QStringList>

// The SQL of a saved document turned into a syntax-coloured preview: the text is cut into
// components by the application's SQL tokenizer in the dialect of the document's connection, and
// each component gets a display class ("literal", "reserved", "identifier", "comment",
// "inputparameter", or none) that decides its look in rich text and its span in HTML.

// The words shown as reserved, upper case.
QStringList reservedWords();

// The dialect the preview reads a document of this database type in, as the SQL editor does.
SQLParserParseProperties previewParseProperties(const QString &databaseType);

// One run per component. connectionParameters may be null (default dialect).
RichText sqlToRtf(const QString &sql, const QStringList &words,
                  const ConnectionParameters *connectionParameters);
// One HTML fragment per component.
QString sqlToHTML(const QString &sql, const QStringList &words,
                  const ConnectionParameters *connectionParameters);

// The text in the look of the class (null: the plain look); the text itself is not altered.
RichTextRun safeRTF(const QString &text, const QString &cssClass);
// The text escaped for HTML, with line feeds as breaks, in a span of the class when there is one.
QString safeHTML(const QString &text, const QString &cssClass);
// The grey line of hyphens that stands for a blank line between statements.
RichTextRun queryBreakRtf();
QString queryBreak();
