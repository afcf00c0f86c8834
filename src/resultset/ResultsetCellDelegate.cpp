#include "resultset/ResultsetCellDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPersistentModelIndex>

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
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line || !menuItems_)
        return editor;
    line->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(line, &QWidget::customContextMenuRequested, line,
            [this, line, cell = QPersistentModelIndex(index)](const QPoint &position) {
                QMenu *menu = line->createStandardContextMenu();
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menuItems_(menu, cell);
                menu->popup(line->mapToGlobal(position));
            });
    return editor;
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
