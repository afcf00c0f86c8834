#pragma once

#include <QAnyStringView>
#include <QChar>
#include <QString>

// One field of a delimited line. Quoted, a field is enclosed in double quotes with every double quote
// doubled; an empty field is written as nothing, quoted or not. A field that holds the delimiter, a double
// quote or a line end is quoted even with quoting off, since the line could not be read back otherwise.
namespace CsvField
{
void append(QString &line, QAnyStringView field, QChar delimiter, bool quoted);
}
