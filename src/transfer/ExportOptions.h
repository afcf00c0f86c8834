#pragma once

#include "transfer/ExportColumn.h"

#include <QChar>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The settings of one export: the columns to write and their order, the text encoding, the record
// limit, the header, separator and quoting choices, the sheet name of a workbook and whether the result
// goes to the clipboard. Encodings are the persisted platform numbers the export defaults store.
class ExportOptions
{
public:
    static constexpr quint64 Utf8 = 4;
    static constexpr quint64 IsoLatin1 = 5;
    static constexpr quint64 IsoLatin2 = 9;
    static constexpr quint64 Utf16 = 10;
    static constexpr quint64 WindowsCyrillic = 11;
    static constexpr quint64 WindowsLatin1 = 12;
    static constexpr quint64 WindowsGreek = 13;
    static constexpr quint64 WindowsTurkish = 14;
    static constexpr quint64 WindowsLatin2 = 15;
    static constexpr quint64 MacRoman = 30;
    static constexpr quint64 Utf16BigEndian = 2415919360u;
    static constexpr quint64 Utf16LittleEndian = 2483028224u;
    static constexpr quint64 Utf32BigEndian = 2550137088u;
    static constexpr quint64 Utf32LittleEndian = 2617245952u;

    ExportOptions() { reset(); }

    void reset();
    // One enabled column per name, in order, typed from the table (no type: written as text).
    void loadColumns(const QStringList &names, const QHash<QString, QString> &types);
    // Moves a column to a gap between rows as counted before the move (a table view's drop row).
    void moveColumn(int from, int to);
    QList<ExportColumn> enabledColumns() const;

    static QList<quint64> supportedEncodings();
    // "UTF-8" (with a warning in the log) for an encoding it does not know.
    static QString nameForEncoding(quint64 encoding);

    QList<ExportColumn> columns;
    quint64 stringEncoding = Utf8;
    bool exportToClipboard = false;
    // 1 or more: at most that many records; below 1: all.
    qint64 recordSourceCount = -1;
    bool includeHeaders = true;
    QChar delimiter = u',';
    bool doubleQuoteResults = true;
    QString sheetName;
};
