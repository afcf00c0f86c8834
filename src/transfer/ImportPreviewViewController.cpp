#include "transfer/ImportPreviewViewController.h"

#include "transfer/ImportController.h"
#include "transfer/ImportPreviewTableModel.h"
#include "transfer/ImportPreviewViewControllerDelegate.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}
} // namespace

ImportPreviewViewController::ImportPreviewViewController()
{
    view_ = new QWidget;
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(0, 0, 0, 0);
    message_ = new QLabel;
    message_->setWordWrap(true);
    layout->addWidget(message_);

    sourceSelectBox_ = new QWidget;
    auto *choices = new QHBoxLayout(sourceSelectBox_);
    choices->setContentsMargins(0, 0, 0, 0);
    sourceSelect_ = new QButtonGroup(sourceSelectBox_);
    const char *names[] = {QT_TRANSLATE_NOOP("importer", "Source values"),
                           QT_TRANSLATE_NOOP("importer", "Converted values")};
    for (int row = 0; row < 2; ++row) {
        auto *choice = new QRadioButton(text(names[row]));
        sourceSelect_->addButton(choice, row);
        choices->addWidget(choice);
    }
    choices->addStretch();
    sourceSelect_->button(0)->setChecked(true);
    sourceSelectBox_->hide();
    layout->addWidget(sourceSelectBox_);

    model_ = new ImportPreviewTableModel(view_);
    table_ = new QTableView;
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectColumns);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideRight);
    table_->horizontalHeader()->setMinimumSectionSize(100);
    table_->horizontalHeader()->setDefaultSectionSize(130);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setMinimumHeight(140);
    layout->addWidget(table_, 1);

    waitView_ = new QWidget;
    auto *wait = new QVBoxLayout(waitView_);
    waitWheel_ = new QProgressBar;
    waitWheel_->setTextVisible(false);
    waitWheel_->setMaximumWidth(160);
    wait->addStretch();
    wait->addWidget(waitWheel_, 0, Qt::AlignCenter);
    wait->addStretch();
    waitView_->hide();
    layout->addWidget(waitView_, 1);

    QObject::connect(sourceSelect_, &QButtonGroup::idClicked, view_, [this] { reloadPreview(); });
    QObject::connect(table_, &QTableView::clicked, view_,
                     [this](const QModelIndex &index) { columnClicked(index.column()); });
    QObject::connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, view_,
                     [this](int column) { columnClicked(column); });
}

ImportPreviewViewController::~ImportPreviewViewController()
{
    delegate_ = nullptr;
    if (view_ && !view_->parent())
        delete view_;
}

void ImportPreviewViewController::setImportController(ImportController *controller)
{
    importController_ = controller;
    model_->setImportController(controller);
}

void ImportPreviewViewController::setDisplayTargetColumns(bool display)
{
    model_->setDisplayTargetColumns(display);
    reloadPreview();
}

void ImportPreviewViewController::setDisplayTargetFormatSupported(bool supported)
{
    sourceSelectBox_->setVisible(supported);
    if (!supported)
        sourceSelect_->button(0)->setChecked(true);
    reloadPreview();
}

void ImportPreviewViewController::setHideUnusedSourceColumns(bool hide)
{
    model_->setHideUnusedSourceColumns(hide);
}

void ImportPreviewViewController::setSourceMessage(const QString &message)
{
    message_->setText(message);
}

void ImportPreviewViewController::update()
{
    const bool waiting = !importController_ || !importController_->hasPreview();
    table_->setVisible(!waiting);
    waitView_->setVisible(waiting);
    waitWheel_->setRange(0, waiting ? 0 : 1);
    if (!waiting)
        reloadPreview();
}

void ImportPreviewViewController::reloadPreview()
{
    model_->setConverted(!sourceSelectBox_->isHidden() && sourceSelect_->checkedId() == 1);
    model_->reload();
    table_->scrollToTop();
}

void ImportPreviewViewController::selectColumn(qint64 index)
{
    table_->clearSelection();
    if (index < 0 || index >= model_->columnCount())
        return;
    table_->selectColumn(int(index));
    table_->scrollTo(model_->index(0, int(index)));
}

void ImportPreviewViewController::columnClicked(int column)
{
    selectColumn(column);
    if (delegate_)
        delegate_->importPreviewViewControllerSelectedColumn(column);
}
