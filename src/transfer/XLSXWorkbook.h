#pragma once

#include <QList>
#include <QString>

#include <optional>

// The workbook part: its sheets in workbook order and its date system.
class XLSXWorkbook
{
public:
    struct Sheet {
        // The relationship id of the worksheet part.
        QString id;
        QString name;
        // "hidden", "veryHidden" or empty.
        QString state;
    };

    // None when the part cannot be read.
    static std::optional<XLSXWorkbook> read(const QString &path);

    const QList<Sheet> &sheets() const { return sheets_; }
    bool date1904() const { return date1904_; }

private:
    QList<Sheet> sheets_;
    bool date1904_ = false;
};
