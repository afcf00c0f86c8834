// The grid's context menu: refresh and the record commands, and for a value of a table's searchable
// column the items that filter by it here or in a new tab or window; then the editors.
#include "resultset/ResultsetViewController.h"

#include "kit/CommandMenu.h"
#include "kit/DragAndDroppableTableView.h"
#include "resultset/QuickFilterController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetTableModel.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("resultset", key);
}

// Command (Ctrl) opens in a new tab, with Option (Alt) in a new window.
const char *titleFor(Qt::KeyboardModifiers modifiers, const char *plain, const char *tab, const char *window)
{
    if (!(modifiers & Qt::ControlModifier))
        return plain;
    return modifiers & Qt::AltModifier ? window : tab;
}
} // namespace

QString ResultsetViewController::shownMenuValue(const QString &value)
{
    const QString quoted = QStringLiteral("\"%1\"").arg(value);
    if (quoted.size() < 31)
        return quoted;
    return QStringLiteral("%1...%2").arg(quoted.left(15), quoted.right(15));
}

QMenu *ResultsetViewController::dragAndDroppableTableViewNeedsMenuForRow(DragAndDroppableTableView *, int row,
                                                                         int column, bool inEditMode)
{
    // The cell being typed into shows its own text menu with the edit items.
    if (inEditMode || !resultsetController_)
        return nullptr;
    ResultsetController *model = resultsetController_;
    if (row != selectedRow() && !model->shouldEndEdit())
        return nullptr;
    auto menu = std::make_unique<QMenu>();
    QWidget *window = tableView_->window();
    CommandMenu::addItem(menu.get(), window, text("Refresh"), QStringLiteral("refresh:"),
                         {QKeySequence(Qt::CTRL | Qt::Key_R)});
    if (model->management())
        return menu.release();
    CommandMenu::addItem(menu.get(), window, text("Add record"), QStringLiteral("addRow:"),
                         {QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    CommandMenu::addItem(menu.get(), window, text("Remove record"), QStringLiteral("deleteRow:"),
                         {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    CommandMenu::addItem(menu.get(), window, text("Duplicate record"), QStringLiteral("duplicate:"),
                         {QKeySequence(Qt::CTRL | Qt::Key_D)});
    if (row < 0 || column < 0 || row >= model->numberOfRowsInResultset() ||
        column > model->columnNames().size())
        return nullptr;
    tableView_->setCurrentIndex(tableModel_->index(row, column));
    tableView_->selectRow(row);
    addValueItems(menu.get(), row, column);
    menu->addSeparator();
    const QString name = tableModel_->identifier(column);
    QAction *editValue = menu->addAction(text("Edit Value"));
    editValue->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    editValue->setProperty("representedObject", column);
    if (column > 0 && !model->columnIsBlob(name))
        connect(editValue, &QAction::triggered, this, [this, row, column, editValue] {
            tableView_->setCurrentIndex(tableModel_->index(row, column));
            edit(editValue);
        });
    else
        editValue->setEnabled(false);
    QAction *editRecordItem = menu->addAction(text("Edit Record"));
    editRecordItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    editRecordItem->setProperty("representedObject", row);
    editRecordItem->setProperty("row", row);
    connect(editRecordItem, &QAction::triggered, this,
            [this, editRecordItem] { editRecord(editRecordItem); });
    return menu.release();
}

void ResultsetViewController::addValueItems(QMenu *menu, int row, int column)
{
    ResultsetController *model = resultsetController_;
    const QString name = tableModel_->identifier(column);
    if (model->tableName().isEmpty() || !model->quickSortColumnInfo().contains(name))
        return;
    const QVariant value = model->objectValueForColumn(name, row + 1);
    if (!value.isValid() || value.isNull())
        return;
    const QString shown = shownMenuValue(value.toString());
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    auto element = std::make_shared<BrowserElement>(model->tableName(), model->tableSchema(),
                                                    model->tableType(), BrowserElement::Table);
    auto addItem = [&](const QString &title, bool add) {
        QAction *item = menu->addAction(title);
        item->setProperty("representedObject", QVariantList{QVariant::fromValue<BrowserElementPtr>(element),
                                                            name, value.toString(), add, int(modifiers)});
        connect(item, &QAction::triggered, this, [this, item] { selectFromContextMenu(item); });
    };
    menu->addSeparator();
    if (!model->filterAsQuery().trimmed().isEmpty())
        addItem(text(titleFor(modifiers, QT_TRANSLATE_NOOP("resultset", "Add %1: %2 to filter"),
                              QT_TRANSLATE_NOOP("resultset", "Add %1: %2 to filter (In new Tab)"),
                              QT_TRANSLATE_NOOP("resultset", "Add %1: %2 to filter (In new Window)")))
                    .arg(name, shown),
                true);
    addItem(text(titleFor(modifiers, QT_TRANSLATE_NOOP("resultset", "Find %1: %2 in %3"),
                          QT_TRANSLATE_NOOP("resultset", "Find %1: %2 in %3 (In new Tab)"),
                          QT_TRANSLATE_NOOP("resultset", "Find %1: %2 in %3 (In new Window)")))
                .arg(name, shown, model->tableName()),
            false);
}

void ResultsetViewController::selectFromContextMenu(QObject *sender)
{
    const QVariantList represented = sender ? sender->property("representedObject").toList() : QVariantList();
    if (represented.size() != 5 || !resultsetController_)
        return;
    ResultsetController *model = resultsetController_;
    const ExtendedFilterPtr snapshot = model->extendedFilter();
    const bool add = represented[3].toBool();
    QVariantList columns = add && snapshot ? snapshot->quickFilterColumns() : QVariantList();
    QVariantList operators = add && snapshot ? snapshot->quickFilterOperators() : QVariantList();
    QVariantList values = add && snapshot ? snapshot->quickFilterValues() : QVariantList();
    columns.append(represented[1]);
    operators.append(QStringLiteral("="));
    values.append(represented[2]);
    const auto modifiers = Qt::KeyboardModifiers(represented[4].toInt());
    if (modifiers & Qt::ControlModifier) {
        if (!snapshot)
            return;
        snapshot->setQuickFilterColumns(columns);
        snapshot->setQuickFilterOperators(operators);
        snapshot->setQuickFilterValues(values);
        model->newDocumentFor(snapshot, represented[0].value<BrowserElementPtr>(),
                              modifiers & Qt::AltModifier);
        return;
    }
    model->updateQuickFilterWithColumns(columns, operators, values);
    quickFilterController_->loadFromController(model);
}
