#pragma once

#include "transfer/AbstractImporter.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

#include <deque>

// Reads delimited text (CSV and its kin) and fixed-width text in any import encoding with its own
// scanner: quotes as RFC 4180 has them (blanks inside kept, a doubled quote or, when chosen, a
// backslash-quote is one quote), and CR, LF, CR LF and LF CR line ends. It also detects the layout
// from the first block of the file.
class PlainTextImporter : public AbstractImporter
{
public:
    static constexpr qsizetype blockSize = 32768;
    static constexpr int readAhead = 50;
    static constexpr int maxColumns = 400;

    using AbstractImporter::AbstractImporter;
    ~PlainTextImporter() override;

    void close() override;
    std::optional<ImportRow> readNextRow() override;
    std::optional<QStringList> readNextFields() override;
    void autoDetect() override;
    void autoDetectFormatOptions() override;
    QString overviewFormatLine() const override;

protected:
    bool openSource() override;

private:
    bool fillBuffer();
    bool needUnits(int units);
    uint unitAt(qsizetype offset) const;
    void readBom();
    QString decodeField(const QByteArray &bytes);
    std::optional<QStringList> readRow();
    // How many bytes from the pointer on a field takes as they are (one-byte encodings); clears
    // blanksOnly when they hold more than blanks.
    qsizetype ordinaryRun(bool inQuotes, bool &blanksOnly) const;
    std::optional<QStringList> readRowFixedWidth();
    void fillRowBuffer();
    std::optional<QStringList> nextRowFromBuffer(bool skipEmpty);
    void detectLayout();
    void determineColumnNames();

    QFile file_;
    QByteArray buffer_;
    qsizetype pointer_ = 0;
    bool atEnd_ = false;
    std::deque<QStringList> rowBuffer_;
    bool autodetect_ = false;
    bool autodetectOptionsOnly_ = false;
    QByteArray firstBlock_;
};
