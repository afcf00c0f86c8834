#pragma once

#include <QString>

// One column of an export: the source column it reads and the name written for it.
struct ExportColumn {
    // The header text written for the column; starts equal to column_name.
    QString name;
    bool enabled = true;
    // The source column's name: where the column's value is found in every row of the cursor.
    QString column_name;
    // Found while a workbook is written: the longest text (characters) and whether fractions occurred.
    qint64 min_width = 0;
    bool fractions = false;
    // The backend's type code: "N" numeric, "D" date or timestamp; any other is written as text.
    QString column_type;
};
