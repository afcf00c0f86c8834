#pragma once

#include "transfer/AbstractExporter.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <memory>

class ImportDateFormat;

// Writes the export as a workbook of one worksheet: the template workbook of the resources is copied
// to the temporary file and its worksheet, shared strings, workbook and document properties are
// replaced. Rows stream to a file of their own, so memory holds only the shared strings; the sheet is
// assembled from it once the column widths are known. Numbers and dates become numeric cells with the
// template's styles, everything else a shared string. A number or date text that is none stays text,
// so no value is lost.
class XLSXExporter : public AbstractExporter
{
public:
    // Cell formats of the template.
    static constexpr int dateTimeStyle = 1;
    static constexpr int numberStyle = 2;
    static constexpr int dateStyle = 4;
    static constexpr int headerStyle = 5;
    static constexpr int numberSimpleStyle = 6;

    XLSXExporter();
    ~XLSXExporter() override;

    // "A1" style reference; column and row from 1.
    static QString addressForRow(qint64 row, qint64 column);
    // A name spreadsheet programs take: at most 31 characters, none of []:*?/\, not blank.
    static QString sanitisedSheetName(const QString &name);
    // A text a numeric cell may hold as it is (a decimal number, optionally with an exponent).
    static bool isNumberText(QStringView text);

protected:
    void appendRecord(QString &, const PackedRows &, int, const std::vector<int> &) override {}
    void write() override;

private:
    bool writeRows(const QString &path, QList<ExportColumn> &columns);
    void appendCell(QByteArray &row, qint64 rowNumber, qint64 position, ExportColumn &column,
                    const QString &text);
    void appendTextCell(QByteArray &row, const QByteArray &reference, ExportColumn &column,
                        const QString &text);
    qint64 sharedString(const QString &text);
    bool writeSheet(const QString &path, const QString &rowsPath, const QList<ExportColumn> &columns);
    bool writeSharedStrings(const QString &path);
    bool writeWorkbook(const QString &path);
    bool writeAppProperties(const QString &path);
    bool writeCoreProperties(const QString &path);

    QStringList sharedStrings_;
    QHash<QString, qint64> sharedStringIndex_;
    std::unique_ptr<ImportDateFormat> dateReader_;
};
