#pragma once

#include "client/VornSort.h"

#include <QByteArray>
#include <QList>
#include <QVariantList>

#include <memory>

// A snapshot of a result set's whole quick filter (parallel columns, operators and values) and its
// sort in sort order. Kept in the document's restorable state, in tab duplication and in the browser
// history, in our own versioned archive.
class ExtendedFilter
{
public:
    ExtendedFilter() = default;

    QByteArray archive() const;
    // Null for data that is not an archive of this version; a missing sort list reads back as an
    // empty one.
    static std::shared_ptr<ExtendedFilter> fromArchive(const QByteArray &data);

    QVariantList quickFilterColumns() const { return columns_; }
    void setQuickFilterColumns(const QVariantList &columns) { columns_ = columns; }
    QVariantList quickFilterOperators() const { return operators_; }
    void setQuickFilterOperators(const QVariantList &operators) { operators_ = operators; }
    QVariantList quickFilterValues() const { return values_; }
    void setQuickFilterValues(const QVariantList &values) { values_ = values; }
    QList<VornSort> quickFilterSort() const { return sort_; }
    void setQuickFilterSort(const QList<VornSort> &sort) { sort_ = sort; }

private:
    QVariantList columns_;
    QVariantList operators_;
    QVariantList values_;
    QList<VornSort> sort_;
};

using ExtendedFilterPtr = std::shared_ptr<ExtendedFilter>;
