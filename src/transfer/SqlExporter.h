#pragma once

#include "transfer/AbstractExporter.h"

// One INSERT statement per record, each on its own line: "insert into <table> (<columns>) values
// (<values>);". Identifiers and values are written as the backend makes them safe for its database;
// NULL is "null". No header, no trailer.
class SqlExporter : public AbstractExporter
{
public:
    explicit SqlExporter(QString table) : table_(std::move(table)) {}

protected:
    void prepare(const QList<ExportColumn> &columns, VornExportCursorClient &cursor) override;
    void appendRecord(QString &text, const PackedRows &rows, int row, const std::vector<int> &cells) override;
    bool wantsSqlValues() const override { return true; }

private:
    QString table_;
    QString head_;
};
