#pragma once

#include <QStyledItemDelegate>

#include <functional>

class QFontMetrics;

// Draws the 1-based row number in the grid's row-number column, whose cells hold no value. The row whose
// record has changes not yet written to the database is marked green and says so in its tool tip.
class ResultsetRowNumberDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using EditedRowTest = std::function<bool(int row)>;

    using QStyledItemDelegate::QStyledItemDelegate;

    // The column width that shows every digit of the row numbers up to rows, never below minimumWidth.
    static int columnWidth(const QFontMetrics &metrics, qint64 rows, int minimumWidth);
    // Tells which grid row (0-based) holds unsent changes.
    void setEditedRowTest(EditedRowTest isEdited) { isEdited_ = std::move(isEdited); }
    bool isEdited(int row) const { return isEdited_ && isEdited_(row); }
    static QString editedToolTip();

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    EditedRowTest isEdited_;
};
