#pragma once

#include <QString>

// What a result set shows, in words: the statement that produced it, or the object it holds with the
// filter and the sort in force ("name ascending, id descending"). Parts that do not apply are empty.
struct ExtendedResultsetDescription {
    QString query;
    QString table;
    QString filter;
    QString sort;

    bool operator==(const ExtendedResultsetDescription &) const = default;
};
