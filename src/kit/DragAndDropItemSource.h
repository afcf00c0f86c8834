#pragma once

#include <QList>
#include <QString>

// An item dragged out of the result grid, the schema browser or the history: what its token shows.
class DragAndDropItemSource
{
public:
    virtual ~DragAndDropItemSource() = default;
    // The token's text; rich text (HTML) where it carries an icon or emphasis.
    virtual QString stringForImage() const = 0;
    // Drawn in the negative style (a negated filter).
    virtual bool isAlternate() const = 0;
    // Where in the grid the dragged values come from: the column's identifier and the rows.
    virtual QString columnName() const { return {}; }
    virtual QList<int> rowIndexes() const { return {}; }
};
