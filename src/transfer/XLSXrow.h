#pragma once

#include <QString>
#include <QStringList>

// One row of a worksheet: the texts of consecutive sheet columns from start (1-based), an empty text
// where the sheet has no cell. A row without cells (or a hidden one) has no values.
struct XLSXrow {
    static constexpr qint64 noStart = 100000000;

    qint64 start = noStart;
    QStringList values;

    bool holdsValue() const
    {
        for (const QString &value : values) {
            if (!value.isEmpty())
                return true;
        }
        return false;
    }
};
