#pragma once

#include <QString>

// The menu title of a quick-filter operator code for a column of the type ("S", "N", "D", ...), shared by
// the quick-filter rows and the filter sheet. The six comparisons read as dates for a column of type
// "D"; a code the table does not know is its own title.
QString textualOperatorForOperator(const QString &operatorCode, const QString &type);
