#pragma once

#include "transfer/XLSXrow.h"

#include <QFile>
#include <QSet>
#include <QString>
#include <QXmlStreamReader>

#include <optional>

class XLSXSharedStrings;
class XLSXStyles;

// Streams the rows of one worksheet, one at a time, so that only the row being read is held. Cell
// texts: shared strings looked up, numbers with a date style turned into the import's date text,
// inline strings joined from their runs, every other value (booleans, errors, formula strings, numbers)
// as the file holds it. A number with a date style that names no day stays the number it is.
class XLSXData
{
public:
    // Sheet columns beyond the last one a spreadsheet can have are not read.
    static constexpr qint64 maxColumn = 16384;

    XLSXData() = default;
    XLSXData(const XLSXData &) = delete;
    XLSXData &operator=(const XLSXData &) = delete;

    // Opens the worksheet and reads up to its rows (the hidden columns are known then). The strings and
    // styles may be null (a workbook without them) and must outlive the reader.
    bool open(const QString &path, const XLSXSharedStrings *sharedStrings, const XLSXStyles *styles,
              bool date1904);
    // The next row; none at the end of the rows or when the file is damaged (failed() tells).
    std::optional<XLSXrow> nextRow();
    bool failed() const { return reader_.hasError() && reader_.error() != QXmlStreamReader::NoError; }
    bool columnIsHidden(qint64 column) const { return hiddenColumns_.contains(column); }

    // "AB12" gives 28; a reference without letters gives 0.
    static qint64 cellNumberForAddress(QStringView reference);

    // The first and last sheet column of the cells of the visible rows, the way nextRow() places
    // them; none when the file cannot be read, 0 and -1 when no row has a cell. Reads only the cells'
    // places, not their values.
    struct ColumnSpan {
        qint64 first = 0;
        qint64 last = -1;
    };
    static std::optional<ColumnSpan> columnSpan(const QString &path);

private:
    // The sheet column of a cell: its reference, or the column after the row's last cell so far.
    static qint64 cellNumber(const QXmlStreamAttributes &attributes, qint64 largestInRow);

    QString cellText(const QString &type, QStringView style, const QString &value) const;

    QFile file_;
    QXmlStreamReader reader_;
    const XLSXSharedStrings *sharedStrings_ = nullptr;
    const XLSXStyles *styles_ = nullptr;
    bool date1904_ = false;
    bool inSheetData_ = false;
    QSet<qint64> hiddenColumns_;
};
