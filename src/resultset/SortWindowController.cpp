#include "resultset/SortWindowController.h"

#include "resultset/SortWindowControllerDelegate.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("sortwindow", key);
}

QTableView *makeTable(QAbstractItemModel *model, QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setDragDropMode(QAbstractItemView::DragDrop);
    table->setDefaultDropAction(Qt::MoveAction);
    table->setDragDropOverwriteMode(false);
    table->setDropIndicatorShown(true);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->setMinimumSize(220, 240);
    // Tab leaves the list, as in any form.
    table->setTabKeyNavigation(false);
    return table;
}

QPushButton *makeButton(const char *title, QWidget *parent)
{
    auto *button = new QPushButton(text(title), parent);
    button->setAutoDefault(false);
    return button;
}
} // namespace

SortWindowController::SortWindowController(QObject *parent) : QObject(parent)
{
    buildPanel();
}

SortWindowController::~SortWindowController()
{
    delete panel_;
}

void SortWindowController::ensurePanel()
{
    if (!panel_)
        buildPanel();
}

void SortWindowController::buildPanel()
{
    panel_ = new QDialog;
    panel_->setWindowTitle(text("Sort"));
    panel_->setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(panel_);

    auto *lists = new QHBoxLayout;
    tableAvailable_ = makeTable(&availableList_, panel_);
    tableCurrent_ = makeTable(&currentList_, panel_);
    tableCurrent_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tableCurrent_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    auto *middle = new QVBoxLayout;
    addAscButton_ = makeButton(QT_TRANSLATE_NOOP("sortwindow", "Add &Ascending"), panel_);
    addDescButton_ = makeButton(QT_TRANSLATE_NOOP("sortwindow", "Add &Descending"), panel_);
    removeButton_ = makeButton(QT_TRANSLATE_NOOP("sortwindow", "&Remove"), panel_);
    auto *clear = makeButton(QT_TRANSLATE_NOOP("sortwindow", "C&lear"), panel_);
    middle->addStretch();
    for (QPushButton *button : {addAscButton_.data(), addDescButton_.data(), removeButton_.data(), clear})
        middle->addWidget(button);
    middle->addStretch();
    lists->addWidget(tableAvailable_, 1);
    lists->addLayout(middle);
    lists->addWidget(tableCurrent_, 1);
    layout->addLayout(lists, 1);

    auto *hint = new QLabel(text("Drag columns between the lists or to reorder the sort; a double-click "
                                 "turns the direction around."),
                            panel_);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto *buttons = new QHBoxLayout;
    auto *cancelButton = makeButton(QT_TRANSLATE_NOOP("sortwindow", "Cancel"), panel_);
    setButton_ = new QPushButton(text("Set"), panel_);
    setButton_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(setButton_);
    layout->addLayout(buttons);

    // The buttons between the lists come between them from the keyboard too.
    const QList<QWidget *> order{tableAvailable_, addAscButton_, addDescButton_, removeButton_,
                                 clear,           tableCurrent_, cancelButton,   setButton_};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(addAscButton_, &QPushButton::clicked, this, &SortWindowController::addAsc);
    connect(addDescButton_, &QPushButton::clicked, this, &SortWindowController::addDesc);
    connect(removeButton_, &QPushButton::clicked, this, &SortWindowController::remove);
    connect(clear, &QPushButton::clicked, this, &SortWindowController::clearSort);
    connect(cancelButton, &QPushButton::clicked, this, &SortWindowController::cancel);
    connect(setButton_, &QPushButton::clicked, this, &SortWindowController::setSortAction);
    connect(tableCurrent_, &QTableView::doubleClicked, this, &SortWindowController::currentDouble);
    for (QTableView *table : {tableAvailable_.data(), tableCurrent_.data()})
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &SortWindowController::updateInterface);
    connect(panel_, &QDialog::finished, this, &SortWindowController::panelEnded);
    updateInterface();
}

void SortWindowController::setSort(const QList<VornSort> &sort, const QStringList &columnNames)
{
    ensurePanel();
    columnNames_ = columnNames;
    remainingColumnNames_ = columnNames;
    currentSort_ = sort;
    for (const VornSort &entry : sort)
        remainingColumnNames_.removeAll(entry.name);
    reload(remainingColumnNames_.isEmpty() ? -1 : 0, -1);
}

void SortWindowController::showOnWindow(QWidget *window)
{
    ensurePanel();
    if (window && panel_->parentWidget() != window) {
        panel_->setParent(window, panel_->windowFlags());
        panel_->setWindowModality(Qt::WindowModal);
    }
    panel_->open();
    tableAvailable_->setFocus();
}

void SortWindowController::setSortAction()
{
    panel_->done(1);
}

void SortWindowController::cancel()
{
    panel_->done(0);
}

void SortWindowController::panelEnded(int returnCode)
{
    if (delegate_)
        delegate_->sortWindowEndedWithStatus(this, returnCode);
}

int SortWindowController::selectedRow(const QTableView *table)
{
    if (!table)
        return -1;
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SortWindowController::updateInterface()
{
    const bool available = selectedRow(tableAvailable_) >= 0;
    addAscButton_->setEnabled(available);
    addDescButton_->setEnabled(available);
    removeButton_->setEnabled(selectedRow(tableCurrent_) >= 0);
}

void SortWindowController::reload(int availableRow, int currentRow)
{
    availableList_.reload();
    currentList_.reload();
    const auto select = [](QTableView *table, int row) {
        const int rows = table->model()->rowCount();
        row = std::min(row, rows - 1);
        if (row < 0)
            return;
        table->selectionModel()->setCurrentIndex(
            table->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    select(tableAvailable_, availableRow);
    select(tableCurrent_, currentRow);
    updateInterface();
}

void SortWindowController::add(const QString &direction)
{
    const int row = selectedRow(tableAvailable_);
    if (row < 0 || row >= remainingColumnNames_.size())
        return;
    currentSort_.append(VornSort{remainingColumnNames_.takeAt(row), direction});
    // The next column stays selected, so that columns can be added one after another.
    reload(row, int(currentSort_.size()) - 1);
}

void SortWindowController::remove()
{
    const int row = selectedRow(tableCurrent_);
    if (row < 0 || row >= currentSort_.size())
        return;
    remainingColumnNames_.append(currentSort_.takeAt(row).name);
    reload(-1, row);
}

void SortWindowController::clearSort()
{
    remainingColumnNames_ = columnNames_;
    currentSort_.clear();
    reload(-1, -1);
}

void SortWindowController::currentDouble()
{
    const int row = selectedRow(tableCurrent_);
    if (row < 0 || row >= currentSort_.size())
        return;
    VornSort &entry = currentSort_[row];
    entry.direction = entry.ascending() ? QStringLiteral("DESC") : QStringLiteral("ASC");
    reload(selectedRow(tableAvailable_), row);
}

int SortWindowController::numberOfRows(List list) const
{
    return int(list == List::Available ? remainingColumnNames_.size() : currentSort_.size());
}

QString SortWindowController::objectValue(List list, int column, int row) const
{
    if (list == List::Available)
        return remainingColumnNames_.value(row);
    if (row < 0 || row >= currentSort_.size())
        return QString();
    const VornSort &entry = currentSort_[row];
    if (column == 0)
        return entry.name;
    return entry.ascending() ? text("Ascending") : text("Descending");
}

QMimeData *SortWindowController::writeRows(List list, const QList<int> &rows)
{
    if (rows.isEmpty() || rows.first() < 0 || rows.first() >= numberOfRows(list))
        return nullptr;
    const int row = rows.first();
    auto *data = new QMimeData;
    if (list == List::Current)
        data->setData(QString::fromLatin1(currentDragType), QByteArray::number(row));
    else
        data->setData(QString::fromLatin1(availableDragType), remainingColumnNames_[row].toUtf8());
    lastDrag_ = data;
    QTableView *table = list == List::Current ? tableCurrent_ : tableAvailable_;
    if (table)
        table->selectionModel()->setCurrentIndex(
            table->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return data;
}

int SortWindowController::draggedEntry(const QMimeData *data) const
{
    const QString type = QString::fromLatin1(currentDragType);
    if (!data || data != lastDrag_.data() || !data->hasFormat(type))
        return -1;
    bool number = false;
    const int row = data->data(type).toInt(&number);
    return number && row >= 0 && row < currentSort_.size() ? row : -1;
}

bool SortWindowController::validateDrop(List list, const QMimeData *data, int row, bool ontoRow) const
{
    if (ontoRow || !data || data != lastDrag_.data() || row < 0 || row > numberOfRows(list))
        return false;
    if (draggedEntry(data) >= 0)
        return true;
    return list == List::Current && data->hasFormat(QString::fromLatin1(availableDragType));
}

bool SortWindowController::acceptDrop(List list, const QMimeData *data, int row)
{
    if (!validateDrop(list, data, row, false))
        return false;
    const int from = draggedEntry(data);
    if (list == List::Current && from >= 0) {
        const VornSort entry = currentSort_.takeAt(from);
        const int to = from < row ? row - 1 : row;
        currentSort_.insert(to, entry);
        reload(selectedRow(tableAvailable_), to);
        return true;
    }
    if (list == List::Current) {
        const QString name = QString::fromUtf8(data->data(QString::fromLatin1(availableDragType)));
        const qsizetype at = remainingColumnNames_.indexOf(name);
        if (at < 0)
            return false;
        remainingColumnNames_.removeAt(at);
        currentSort_.insert(row, VornSort{name, QStringLiteral("ASC")});
        reload(-1, row);
        return true;
    }
    if (from < 0)
        return false;
    remainingColumnNames_.insert(row, currentSort_.takeAt(from).name);
    reload(row, -1);
    return true;
}
