#pragma once

#include <QPixmap>
#include <QTableView>

class QMimeData;

// The history's statement table: a dragged statement follows the pointer as a token showing its text,
// as items dragged from the grid and the browser do.
class QueryRecallTableView : public QTableView
{
public:
    using QTableView::QTableView;

    // The token for the statement the drag carries as plain text.
    static QPixmap dragImageFor(const QMimeData &data);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};
