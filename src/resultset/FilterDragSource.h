#pragma once

#include "kit/DragAndDropItemSource.h"
#include "resultset/Filter.h"

#include <QTextDocument>

// A dragged filter, from the grid or the schema browser, as the kit's drag token and the grid's
// highlight of its cells see it.
class FilterDragSource : public DragAndDropItemSource
{
public:
    explicit FilterDragSource(FilterPtr filter) : filter_(std::move(filter)) {}

    QString stringForImage() const override { return filter_->stringForImage()->toHtml(); }
    bool isAlternate() const override { return filter_->isAlternate(); }
    QString columnName() const override { return filter_->columnName(); }
    QList<int> rowIndexes() const override
    {
        QList<int> rows;
        for (qint64 row : filter_->rowIndexes())
            rows.append(int(row));
        return rows;
    }

private:
    FilterPtr filter_;
};
