#pragma once

#include "transfer/AbstractImporter.h"
#include "transfer/XLSXData.h"
#include "transfer/XLSXSharedStrings.h"
#include "transfer/XLSXStyles.h"

#include <deque>
#include <memory>
#include <optional>

class XLSXUnpackCache;

// Reads one worksheet of an Office Open XML workbook (.xlsx): the package is unpacked once through
// the controller's cache, the sheet's rows are streamed, and detection finds the sheets, the rows to
// skip and whether the first row holds column names. Import column 0 is the leftmost sheet column
// that holds a cell in any row.
class XLSXImporter : public AbstractImporter
{
public:
    static constexpr int maxColumns = 400;
    static constexpr int detectionRows = 200;

    XLSXImporter(const ImportOptions &options, const QString &filePath,
                 std::shared_ptr<XLSXUnpackCache> cache);
    ~XLSXImporter() override;

    void close() override;
    std::optional<ImportRow> readNextRow() override;
    std::optional<QStringList> readNextFields() override;
    void autoDetect() override;
    void autoDetectFormatOptions() override;
    QString overviewFormatLine() const override;

    qint64 minColumnSpan() const { return minColumnSpan_; }

protected:
    bool openSource() override;

private:
    bool fail(const char *part);
    bool autoDetectSheets(const QString &workbookPath);
    bool loadPart(const QString &part, const char *what, auto &target);
    bool determineColumnSpan(const QString &sheetPath);
    XLSXrow *rowAt(qint64 index);
    std::optional<XLSXrow> nextRowFromBuffer(bool skipEmpty);
    void autoDetectSkipRows();
    void autoDetectContentHeaders();
    void ensureImportColumns();
    void determineColumnNames();

    std::shared_ptr<XLSXUnpackCache> cache_;
    QString folder_;
    std::shared_ptr<const XLSXSharedStrings> sharedStrings_;
    std::optional<XLSXStyles> styles_;
    std::unique_ptr<XLSXData> rowData_;
    // Rows read from the sheet but not yet dropped: the row at index bufferStart_ is buffer_.front().
    std::deque<XLSXrow> buffer_;
    qint64 bufferStart_ = 0;
    qint64 rowPointer_ = 0;
    // While detecting, rows already handed out stay, so that reading can go back to the first.
    bool keepRows_ = false;
    qint64 minColumnSpan_ = 0;
    qint64 columnCount_ = 0;
    bool date1904_ = false;
    bool autodetect_ = false;
    bool autodetectOptionsOnly_ = false;
};
