#pragma once

#include <QSet>
#include <QString>

#include <optional>

// Which cell formats of a workbook show dates or times: the positions of the "xf" entries of the cell
// formats whose number format is a built-in date or time format or a custom one with date or time
// letters.
class XLSXStyles
{
public:
    // None when the part cannot be read.
    static std::optional<XLSXStyles> read(const QString &path);

    // The cell's "s" attribute names a date format.
    bool isDate(QStringView style) const;
    // The same for the position of a cell format.
    bool isDateStyle(int position) const { return dateStyles_.contains(position); }
    // The format code without what only decorates it: escaped characters, quoted literals, colour,
    // condition and locale sections, padding and repeat characters, and the word "General". Elapsed
    // time sections ("[h]", "[mm]", "[ss]") stay.
    static QString stripLiterals(const QString &code);
    // A built-in format identifier that shows a date or time.
    static bool isBuiltInDateFormat(int id);
    static bool isDateFormatCode(const QString &code);

private:
    QSet<int> dateStyles_;
};
