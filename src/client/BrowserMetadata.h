#pragma once

#include <QString>

// A table (or view) that has a column of a given name, with its type ("TABLE", "VIEW", ...).
struct BrowserTableName {
    QString name;
    QString type;

    bool operator==(const BrowserTableName &) const = default;
};

// One column of a foreign key seen from the asked table. name: the constraint; column: the asked
// table's column; foreignName: the other table; foreignColumn: the other table's column.
struct ForeignKeyEntry {
    QString name;
    QString column;
    QString foreignName;
    QString foreignColumn;

    bool operator==(const ForeignKeyEntry &) const = default;
};
