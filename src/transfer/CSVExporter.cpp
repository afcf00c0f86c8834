#include "transfer/CSVExporter.h"

#include "client/PackedRows.h"
#include "transfer/CsvField.h"

QString CSVExporter::header(const QList<ExportColumn> &columns)
{
    QString line;
    if (!options().includeHeaders)
        return line;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            line.append(options().delimiter);
        CsvField::append(line, columns[i].name, options().delimiter, options().doubleQuoteResults);
    }
    return line.append(u'\n');
}

void CSVExporter::appendRecord(QString &text, const PackedRows &rows, int row, const std::vector<int> &cells)
{
    const QChar delimiter = options().delimiter;
    const bool quoted = options().doubleQuoteResults;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text.append(delimiter);
        if (cells[i] < 0)
            continue;
        const VornCell cell = rows.cell(row, cells[i]);
        if (cell.kind != VornCell::Kind::Text && cell.kind != VornCell::Kind::CharacterLob)
            continue;
        CsvField::append(text, cell.text, delimiter, quoted);
    }
    text.append(u'\n');
}
