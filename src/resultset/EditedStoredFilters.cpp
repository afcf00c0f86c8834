#include "resultset/EditedStoredFilters.h"

#include "resultset/ResultsetController.h"
#include "resultset/StoreQuickFilter.h"

#include <QAbstractListModel>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("quickfilter", key);
}
} // namespace

// The names, editable in place; an edit asks the sheet to rename.
class EditedStoredFilters::NamesModel : public QAbstractListModel
{
public:
    explicit NamesModel(EditedStoredFilters &sheet) : QAbstractListModel(&sheet), sheet_(sheet) {}

    void reload()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(sheet_.names_.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return sheet_.names_.value(index.row());
    }
    QVariant headerData(int, Qt::Orientation orientation, int role) const override
    {
        return orientation == Qt::Horizontal && role == Qt::DisplayRole ? text("Stored filters") : QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                               : Qt::NoItemFlags;
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        return sheet_.rename(index.row(), value.toString());
    }

private:
    EditedStoredFilters &sheet_;
};

// A table that can hand the name being typed to its model before the sheet ends.
class EditedStoredFilters::CommittingTableView : public QTableView
{
public:
    using QTableView::QTableView;

    void commitEditing()
    {
        if (state() != QAbstractItemView::EditingState)
            return;
        for (int row = 0; row < model()->rowCount(); ++row) {
            if (QWidget *editor = indexWidget(model()->index(row, 0))) {
                commitData(editor);
                closeEditor(editor, QAbstractItemDelegate::NoHint);
                return;
            }
        }
    }
};

EditedStoredFilters::EditedStoredFilters(QWidget *parent)
    : QDialog(parent), namesModel_(new NamesModel(*this)), dataview_(new CommittingTableView(this)),
      removeButton_(new QPushButton(text("Delete"), this)), notice_(new QLabel(this))
{
    setWindowTitle(text("Edit Stored Filters"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    dataview_->setModel(namesModel_);
    dataview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    dataview_->setSelectionMode(QAbstractItemView::SingleSelection);
    dataview_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::SelectedClicked);
    dataview_->verticalHeader()->hide();
    dataview_->horizontalHeader()->setStretchLastSection(true);
    dataview_->setShowGrid(false);
    dataview_->setMinimumSize(320, 200);
    layout->addWidget(dataview_, 1);
    notice_->setStyleSheet(QStringLiteral("color: #c0392b;"));
    notice_->setWordWrap(true);
    notice_->hide();
    layout->addWidget(notice_);
    auto *buttons = new QHBoxLayout;
    removeButton_->setAutoDefault(false);
    auto *close = new QPushButton(text("Close"), this);
    close->setDefault(true);
    buttons->addWidget(removeButton_);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(removeButton_, &QPushButton::clicked, this, &EditedStoredFilters::deleteAction);
    connect(close, &QPushButton::clicked, this, &EditedStoredFilters::closeAction);
    connect(dataview_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditedStoredFilters::updateRemoveButton);
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

void EditedStoredFilters::runModalOnWindow(QWidget *window, ModelAccess resultsetController)
{
    resultsetController_ = std::move(resultsetController);
    if (window && parentWidget() != window) {
        setParent(window, windowFlags());
        setWindowModality(Qt::WindowModal);
    }
    open();
    reloadList();
}

void EditedStoredFilters::reloadList()
{
    ResultsetController *model = resultsetController_ ? resultsetController_() : nullptr;
    names_ = model ? model->availableStoredFilter() : QStringList();
    namesModel_->reload();
    updateRemoveButton();
}

bool EditedStoredFilters::rename(int row, const QString &newName)
{
    ResultsetController *model = resultsetController_ ? resultsetController_() : nullptr;
    if (!model || row < 0 || row >= names_.size() || newName == names_[row])
        return false;
    if (!StoreQuickFilter::isUsableName(newName)) {
        notice_->setText(StoreQuickFilter::unusableNameMessage());
        notice_->show();
        return false;
    }
    notice_->hide();
    // The backend says itself why it refused a name (one in use); the list shows what it kept.
    const bool renamed = model->renameStoredFilter(names_[row], newName);
    if (renamed)
        names_[row] = newName;
    // Read again once the edit has ended: the table is still inside it.
    QMetaObject::invokeMethod(this, &EditedStoredFilters::reloadList, Qt::QueuedConnection);
    return renamed;
}

void EditedStoredFilters::deleteAction()
{
    ResultsetController *model = resultsetController_ ? resultsetController_() : nullptr;
    const int row = selectedRow();
    if (!model || row < 0 || row >= names_.size())
        return;
    model->removeStoredFilter(names_[row]);
    reloadList();
}

void EditedStoredFilters::closeAction()
{
    dataview_->commitEditing();
    done(0);
}

QTableView *EditedStoredFilters::dataview() const
{
    return dataview_;
}

int EditedStoredFilters::selectedRow() const
{
    const QModelIndexList rows = dataview_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void EditedStoredFilters::updateRemoveButton()
{
    removeButton_->setEnabled(selectedRow() >= 0);
}
