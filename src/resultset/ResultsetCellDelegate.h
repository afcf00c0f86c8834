#pragma once

#include <QStyledItemDelegate>

#include <functional>

class QMenu;

// Edits the grid's data cells in place. Editing starts only where the grid allows it (asked when the
// editor would open); the delegate remembers whether the edit ended with Return, which moves on a row.
// The editor's context menu holds the standard text commands and the grid's own items for the cell.
class ResultsetCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using Permission = std::function<bool(const QModelIndex &)>;
    using MenuItems = std::function<void(QMenu *, const QModelIndex &)>;

    ResultsetCellDelegate(Permission mayEdit, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    // Adds the grid's items to the context menu of an editor.
    void setEditorMenuItems(MenuItems items) { menuItems_ = std::move(items); }
    // Whether the last edit ended with Return; cleared by the next edit.
    bool endedWithReturn() const { return endedWithReturn_; }

protected:
    bool eventFilter(QObject *editor, QEvent *event) override;

private:
    Permission mayEdit_;
    MenuItems menuItems_;
    mutable bool endedWithReturn_ = false;
};
