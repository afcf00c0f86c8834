#include "editor/QueryRecallTableView.h"

#include "kit/DragAndDropItem.h"
#include "kit/DragAndDropItemSource.h"

#include <QDrag>
#include <QMimeData>
#include <QTextDocument>

namespace
{

// A statement dragged out of the history: its plain text, never negated.
class QueryRecallDropSource : public DragAndDropItemSource
{
public:
    explicit QueryRecallDropSource(QString value) : value_(std::move(value)) {}
    // As markup, so a statement that holds a tag or an entity shows its own characters.
    QString stringForImage() const override { return Qt::convertFromPlainText(value_, Qt::WhiteSpacePre); }
    bool isAlternate() const override { return false; }

private:
    QString value_;
};

} // namespace

QPixmap QueryRecallTableView::dragImageFor(const QMimeData &data)
{
    return DragAndDropItem::imageForDragAndDropItemSource(QueryRecallDropSource(data.text()));
}

void QueryRecallTableView::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    QMimeData *data = model() && !rows.isEmpty() ? model()->mimeData(rows) : nullptr;
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragImageFor(*data));
    drag->exec(supportedActions, Qt::CopyAction);
}
