#include "transfer/PrintRowSource.h"

std::optional<PrintRowSource::Row> ScriptRowSource::row(qint64 index)
{
    if (index < 0 || index >= lines_.size())
        return std::nullopt;
    return Row{lines_.at(index).text};
}

QList<PrintColourRun> ScriptRowSource::colours(qint64 index) const
{
    return index >= 0 && index < lines_.size() ? lines_.at(index).runs : QList<PrintColourRun>();
}

ResultsetRowSource::ResultsetRowSource(VornResultsetPtr resultset)
    : resultset_(std::move(resultset)), columns_(resultset_ ? resultset_->columnNames() : QStringList())
{
}

std::optional<PrintRowSource::Row> ResultsetRowSource::row(qint64 index)
{
    if (!resultset_ || index < 0 || index >= std::numeric_limits<qint32>::max())
        return std::nullopt;
    const auto number = qint32(index + 1);
    if (!resultset_->fullyLoaded() && resultset_->rowCount() < number)
        resultset_->preload();
    const std::optional<VornRow> fetched = resultset_->getRow(number);
    if (!fetched)
        return std::nullopt;
    Row row;
    row.reserve(columns_.size());
    for (qsizetype column = 0; column < columns_.size(); ++column) {
        const VornCell cell = fetched->cell(int(column));
        if (cell.kind == VornCell::Kind::Text || cell.kind == VornCell::Kind::CharacterLob)
            row << cell.string();
        else
            row << std::nullopt;
    }
    return row;
}
