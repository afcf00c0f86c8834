#include "resultset/ResultsetCellDelegate.h"

#include <QKeyEvent>

ResultsetCellDelegate::ResultsetCellDelegate(Permission mayEdit, QObject *parent)
    : QStyledItemDelegate(parent), mayEdit_(std::move(mayEdit))
{
}

QWidget *ResultsetCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
    endedWithReturn_ = false;
    if (!mayEdit_(index))
        return nullptr;
    return QStyledItemDelegate::createEditor(parent, option, index);
}

bool ResultsetCellDelegate::eventFilter(QObject *editor, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            endedWithReturn_ = true;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}
