#include "transfer/ExportColumnViewController.h"

#include "transfer/ExportColumnTableModel.h"
#include "transfer/ExportController.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}
} // namespace

ExportColumnViewController::ExportColumnViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    tableView_ = new QTableView;
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView_->setDragDropMode(QAbstractItemView::InternalMove);
    tableView_->setDragDropOverwriteMode(false);
    tableView_->setDropIndicatorShown(true);
    tableView_->verticalHeader()->hide();
    tableView_->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(tableView_);
    auto *buttons = new QHBoxLayout;
    auto *all = new QPushButton(tr("Select All"));
    auto *none = new QPushButton(tr("Select None"));
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch();
    layout->addLayout(buttons);
    QObject::connect(all, &QPushButton::clicked, view, [this] { selectAll(); });
    QObject::connect(none, &QPushButton::clicked, view, [this] { selectNone(); });
    setView(view);
}

void ExportColumnViewController::updateInterface()
{
    if (!model_) {
        model_ = new ExportColumnTableModel(exportController_, tableView_);
        tableView_->setModel(model_);
        QObject::connect(model_, &ExportColumnTableModel::edited, tableView_, [this] { changed(); });
        tableView_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        tableView_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    }
    model_->reload();
}

bool ExportColumnViewController::canContinue() const
{
    bool any = false;
    for (const ExportColumn &column : exportController_->exportOptions().columns) {
        if (!column.enabled)
            continue;
        if (column.name.trimmed().isEmpty())
            return false;
        any = true;
    }
    return any;
}

void ExportColumnViewController::selectAll()
{
    setAllEnabled(true);
}

void ExportColumnViewController::selectNone()
{
    setAllEnabled(false);
}

void ExportColumnViewController::setAllEnabled(bool enabled)
{
    for (ExportColumn &column : exportController_->exportOptions().columns)
        column.enabled = enabled;
    updateInterface();
    changed();
}
