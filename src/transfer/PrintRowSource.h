#pragma once

#include "client/VornResultset.h"
#include "transfer/PrintColouredText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The rows a print view prints, one at a time from index 0: the lines of a script, or the rows of a
// result set. A cell without a value (NULL, binary data) prints nothing.
class PrintRowSource
{
public:
    using Row = QList<std::optional<QString>>;
    virtual ~PrintRowSource() = default;
    virtual QStringList columnNames() const = 0;
    virtual bool isScript() const = 0;
    // Nothing past the last row.
    virtual std::optional<Row> row(qint64 index) = 0;
    // The colours of a script line; none for result rows.
    virtual QList<PrintColourRun> colours(qint64) const { return {}; }
};

class ScriptRowSource : public PrintRowSource
{
public:
    explicit ScriptRowSource(QList<PrintColouredLine> lines) : lines_(std::move(lines)) {}
    QStringList columnNames() const override { return {QStringLiteral("SCRIPT")}; }
    bool isScript() const override { return true; }
    std::optional<Row> row(qint64 index) override;
    QList<PrintColourRun> colours(qint64 index) const override;

private:
    QList<PrintColouredLine> lines_;
};

// Reads through the result set client: fetches further rows from the backend only when the row asked
// for has not crossed yet. Call it on a thread that may call Java.
class ResultsetRowSource : public PrintRowSource
{
public:
    explicit ResultsetRowSource(VornResultsetPtr resultset);
    QStringList columnNames() const override { return columns_; }
    bool isScript() const override { return false; }
    std::optional<Row> row(qint64 index) override;

private:
    VornResultsetPtr resultset_;
    QStringList columns_;
};
