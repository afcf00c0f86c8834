#pragma once

#include <QVariantList>

// One quick filter: parallel lists, one condition per index: a column name, an operator code and a value.
struct QuickFilterRequest {
    QVariantList columns;
    QVariantList operators;
    QVariantList values;

    bool operator==(const QuickFilterRequest &) const = default;
};
