#pragma once

#include "transfer/AbstractExporter.h"

// Delimited text: an optional header line of the column names, then one line per record, each ending
// in a line feed. Character large objects give their text; binary values and NULL give an empty field.
class CSVExporter : public AbstractExporter
{
protected:
    QString header(const QList<ExportColumn> &columns) override;
    void appendRecord(QString &text, const PackedRows &rows, int row, const std::vector<int> &cells) override;
};
