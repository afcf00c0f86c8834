#pragma once

#include <QString>
#include <QVariantList>
#include <QVariantMap>

// How a build warning reads: where it points (from "position", "line:column") and the short list the
// build's information sheet shows.
namespace ProcedureWarnings
{

// "Line 12", "Line 12, column 5", or "Error" when the line is 0 or missing.
QString positionText(const QVariantMap &warning);
// The line a warning points to; 0 when it points nowhere.
qint64 line(const QVariantMap &warning);
// The first five warnings, one a line: the position, a tab and the message, a message of 61 characters
// or more cut to 57 and "...".
QString summary(const QVariantList &warnings);

} // namespace ProcedureWarnings
