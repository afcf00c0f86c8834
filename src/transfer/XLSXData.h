#pragma once

#include "transfer/XLSXSerialDate.h"
#include "transfer/XLSXXmlStream.h"
#include "transfer/XLSXrow.h"

#include <QList>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class XLSXSharedStrings;
class XLSXStyles;

// Streams the rows of one worksheet, one at a time, so that only the row being read is held. Cell
// texts: shared strings looked up, numbers with a date style turned into the import's date text,
// inline strings joined from their runs, every other value (booleans, errors, formula strings, numbers)
// as the file holds it. A number with a date style that names no day stays the number it is.
class XLSXData : private XLSXXmlStream::Handler
{
public:
    // Sheet columns beyond the last one a spreadsheet can have are not read.
    static constexpr qint64 maxColumn = 16384;

    XLSXData();
    ~XLSXData() override;
    XLSXData(const XLSXData &) = delete;
    XLSXData &operator=(const XLSXData &) = delete;

    // Opens the worksheet and reads up to its rows (the hidden columns are known then). The strings and
    // styles may be null (a workbook without them) and must outlive the reader. Opens once.
    bool open(const QString &path, const XLSXSharedStrings *sharedStrings, const XLSXStyles *styles,
              bool date1904);
    // The next row; none at the end of the rows or when the file is damaged (failed() tells).
    std::optional<XLSXrow> nextRow();
    bool failed() const { return stream_.failed(); }
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

    // The sheet column of a cell: its reference, or the column after the row's last cell so far.
    static qint64 cellNumber(const char **attributes, qint64 largestInRow);

private:
    enum class CellType { Number, Shared, Inline, Other };

    void startElement(std::string_view name, const char **attributes) override;
    void endElement(std::string_view name) override;
    void characters(std::string_view text) override;
    void startCell(const char **attributes);
    void endRow();
    bool styleIsDate(std::string_view style);
    QString cellText();
    QString dateText(const XLSXSerialDate::WallClock &wallClock);

    XLSXXmlStream stream_;
    const XLSXSharedStrings *sharedStrings_ = nullptr;
    const XLSXStyles *styles_ = nullptr;
    bool date1904_ = false;
    QSet<qint64> hiddenColumns_;
    XLSXSerialDate::LocalOffsets offsets_;
    // Whether each cell format (by position) shows dates: 1 yes, 0 no, -1 not asked yet.
    std::vector<signed char> dateStyles_;

    // Where the reading stands.
    bool inCols_ = false;
    bool inSheetData_ = false;
    bool sheetDataEnded_ = false;
    bool inRow_ = false;
    bool readCells_ = false;
    bool inCell_ = false;
    bool inInline_ = false;
    bool inValue_ = false;
    int phonetic_ = 0;
    // The cell being read, and the row's cells so far.
    CellType type_ = CellType::Number;
    bool dateStyle_ = false;
    std::string value_;
    qint64 number_ = 0;
    qint64 smallest_ = XLSXrow::noStart;
    qint64 largest_ = 0;
    QList<std::pair<qint64, QString>> cells_;
    // Rows read but not yet taken: mostly one, as the reading pauses at each row's end.
    std::deque<XLSXrow> ready_;
};
