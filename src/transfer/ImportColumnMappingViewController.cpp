#include "transfer/ImportColumnMappingViewController.h"

#include "transfer/ImportColumnMappingTableModel.h"
#include "transfer/ImportController.h"
#include "transfer/ImportEmbeddedPreview.h"
#include "transfer/ImportPreviewViewController.h"
#include "transfer/ImportUtils.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}

const QString TypeCodes[] = {QStringLiteral("S"), QStringLiteral("N"), QStringLiteral("D")};
// The sequence pop-ups never grow wider than this.
constexpr int maximumSequencePopupWidth = 300;
} // namespace

ImportColumnMappingViewController::ImportColumnMappingViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    auto *top = new QHBoxLayout;
    model_ = new ImportColumnMappingTableModel(view);
    table_ = new QTableView;
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setMinimumWidth(340);
    table_->setFixedHeight(170);
    auto *columns = new QVBoxLayout;
    columns->addWidget(table_);
    auto *sequences = new QHBoxLayout;
    useSequence_ = new QPushButton(text("Use Sequence…"));
    removeSequence_ = new QPushButton(text("Remove Sequence"));
    sequences->addWidget(useSequence_);
    sequences->addWidget(removeSequence_);
    sequences->addStretch();
    columns->addLayout(sequences);
    top->addLayout(columns);

    auto *form = new QFormLayout;
    sourceColumn_ = new QLabel;
    form->addRow(text("Source column:"), sourceColumn_);
    targetColumn_ = new QComboBox;
    targetColumn_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addRow(text("Table column:"), targetColumn_);
    sourceType_ = new QComboBox;
    sourceType_->addItem(ImportUtils::imageForLetter(TypeCodes[0]), text("Text"));
    sourceType_->addItem(ImportUtils::imageForLetter(TypeCodes[1]), text("Number"));
    sourceType_->addItem(ImportUtils::imageForLetter(TypeCodes[2]), text("Date"));
    form->addRow(text("Type:"), sourceType_);
    sourceFormatLabel_ = new QLabel(text("Format:"));
    sourceFormat_ = new QComboBox;
    sourceFormat_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addRow(sourceFormatLabel_, sourceFormat_);
    sourceCustomFormatLabel_ = new QLabel(text("Custom format:"));
    sourceCustomFormat_ = new QLineEdit;
    form->addRow(sourceCustomFormatLabel_, sourceCustomFormat_);
    autoDetect_ = new QPushButton(text("Detect Type"));
    form->addRow(QString(), autoDetect_);
    top->addLayout(form, 1);
    layout->addLayout(top);

    QObject::connect(table_, &QTableView::clicked, view, [this] {
        // A click on the check box changes the model; the page follows it.
        updateInterface();
    });
    QObject::connect(model_, &QAbstractItemModel::dataChanged, view, [this] {
        if (!redrawing_)
            updateInterface();
    });
    QObject::connect(targetColumn_, &QComboBox::activated, view, [this](int index) { changeMapping(index); });
    QObject::connect(sourceType_, &QComboBox::activated, view, [this](int item) { changeType(item); });
    QObject::connect(sourceFormat_, &QComboBox::activated, view, [this](int item) { changeFormat(item); });
    QObject::connect(sourceCustomFormat_, &QLineEdit::textEdited, view,
                     [this](const QString &format) { customFormatChanged(format); });
    QObject::connect(autoDetect_, &QPushButton::clicked, view, [this] { autoDetectColumn(); });
    QObject::connect(useSequence_, &QPushButton::clicked, view, [this] { useSequence(); });
    QObject::connect(removeSequence_, &QPushButton::clicked, view, [this] { removeSequence(); });
    setView(view);
}

ImportColumnMappingViewController::~ImportColumnMappingViewController()
{
    delete sequenceWindow_;
}

void ImportColumnMappingViewController::setImportController(ImportController *controller)
{
    ImportSubViewController::setImportController(controller);
    model_->setImportController(controller);
    QObject::connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, view(), [this] {
        if (redrawing_)
            return;
        updateInterface();
        if (preview_)
            preview_->selectColumn(selectedRow());
    });
    updateInterface();
}

void ImportColumnMappingViewController::setImportPreviewViewController(ImportPreviewViewController *preview)
{
    preview_ = preview;
    ImportEmbeddedPreview::showMappedColumns(preview, view(), this);
}

int ImportColumnMappingViewController::selectedRow() const
{
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

qsizetype ImportColumnMappingViewController::selectedImportColumn() const
{
    const int row = selectedRow();
    const ImportOptions &options = importController_->importOptions();
    const QList<ImportColumnPtr> shown = options.nonHiddenImportColumns();
    if (row < 0 || row >= shown.size())
        return -1;
    return options.import_columns.indexOf(shown[row]);
}

void ImportColumnMappingViewController::selectRow(int row)
{
    table_->selectionModel()->select(model_->index(row, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(model_->index(row, 0));
}

qint64 ImportColumnMappingViewController::firstEnabledMapForColumn(const QString &target) const
{
    return model_->firstEnabledMapForColumn(target);
}

void ImportColumnMappingViewController::updateInterface()
{
    if (!importController_ || redrawing_)
        return;
    redrawing_ = true;
    ImportOptions &options = importController_->importOptions();
    const QSignalBlocker blockTargets(targetColumn_);
    const QSignalBlocker blockType(sourceType_);
    const QSignalBlocker blockFormat(sourceFormat_);
    targetColumn_->clear();
    sourceColumn_->clear();
    sourceType_->setEnabled(false);
    sourceFormat_->clear();
    sourceFormat_->setEnabled(false);
    for (const QString &name : options.target_column_names) {
        const QString type = options.target_column_types.value(name);
        if (type.isEmpty())
            targetColumn_->addItem(name);
        else
            targetColumn_->addItem(ImportUtils::imageForLetter(type), name);
    }

    int row = selectedRow();
    model_->reload();
    if (row < 0 || row >= model_->rowCount()) {
        row = 0;
        if (preview_)
            preview_->selectColumn(0);
        removeSequence_->hide();
    }
    if (row < model_->rowCount())
        selectRow(row);

    const QList<ImportColumnPtr> shown = options.nonHiddenImportColumns();
    if (row >= shown.size()) {
        targetColumn_->setCurrentIndex(-1);
        sourceCustomFormat_->setEnabled(false);
        sourceCustomFormat_->clear();
    } else {
        const ImportColumn &column = *shown[row];
        targetColumn_->setCurrentIndex(int(options.target_column_names.indexOf(column.map_to)));
        sourceColumn_->setText(column.column_name);
        const int item = column.input_column_type == QLatin1String("N")   ? 1
                         : column.input_column_type == QLatin1String("D") ? 2
                         : column.input_column_type == QLatin1String("S") ? 0
                                                                          : -1;
        if (item >= 0)
            sourceType_->setCurrentIndex(item);
        const QStringList formats = ImportOptions::supportedFormatsForColumnType(column.input_column_type);
        const bool date = column.input_column_type == QLatin1String("D");
        const bool text = column.input_column_type == QLatin1String("S");
        sourceCustomFormat_->setVisible(date);
        sourceCustomFormatLabel_->setVisible(date);
        sourceFormat_->setVisible(!text);
        sourceFormatLabel_->setVisible(!text);
        if (!formats.isEmpty()) {
            sourceFormat_->addItems(formats);
            sourceFormat_->setCurrentIndex(int(formats.indexOf(column.input_column_format)));
            if (date) {
                sourceFormat_->addItem(::text("Custom"));
                if (!formats.contains(column.input_column_format))
                    sourceFormat_->setCurrentIndex(sourceFormat_->count() - 1);
                sourceCustomFormat_->setText(column.input_column_format);
                sourceCustomFormat_->setEnabled(true);
            } else {
                sourceCustomFormat_->setEnabled(false);
                sourceCustomFormat_->clear();
            }
            sourceFormat_->setEnabled(true);
        } else {
            sourceCustomFormat_->setEnabled(false);
            sourceCustomFormat_->clear();
        }
        sourceType_->setEnabled(true);
        removeSequence_->setVisible(column.sequence);
    }
    autoDetect_->setEnabled(row < shown.size());
    useSequence_->setVisible(importController_->supportSequences());
    redrawing_ = false;
    changed();
    if (preview_)
        preview_->update();
}

bool ImportColumnMappingViewController::canContinue() const
{
    if (!importController_ || importController_->previewRowCount() < 1)
        return false;
    const ImportOptions &options = importController_->importOptions();
    const QList<ImportColumnPtr> shown = options.nonHiddenImportColumns();
    bool anyEnabled = false;
    for (qsizetype row = 0; row < shown.size(); ++row) {
        const ImportColumn &column = *shown[row];
        if (!column.enabled)
            continue;
        anyEnabled = true;
        if (column.map_to.isEmpty() || firstEnabledMapForColumn(column.map_to) != row)
            return false;
        const QString type = options.target_column_types.value(column.map_to);
        if (type != QLatin1String("S") && type != column.input_column_type)
            return false;
    }
    return anyEnabled;
}

void ImportColumnMappingViewController::importPreviewViewControllerSelectedColumn(qint64 index)
{
    if (index >= 0 && index < model_->rowCount())
        selectRow(int(index));
}

void ImportColumnMappingViewController::changeMapping(int index)
{
    ImportOptions &options = importController_->importOptions();
    const int row = selectedRow();
    const QList<ImportColumnPtr> shown = options.nonHiddenImportColumns();
    if (row >= 0 && row < shown.size() && index >= 0 && index < options.target_column_names.size())
        ImportOptions::setMappingOfColumn(*shown[row], options.target_column_names[index]);
    updateInterface();
}

void ImportColumnMappingViewController::changeType(int item)
{
    const qsizetype column = selectedImportColumn();
    if (column >= 0)
        importController_->autoDetectColumn(column, TypeCodes[item == 1 || item == 2 ? item : 0]);
    updateInterface();
}

void ImportColumnMappingViewController::changeFormat(int item)
{
    const qsizetype index = selectedImportColumn();
    if (index < 0)
        return;
    // "Custom" itself changes nothing: the pattern field is used instead.
    if (sourceType_->currentIndex() == 2 && item == sourceFormat_->count() - 1)
        return;
    importController_->importOptions().import_columns[index]->input_column_format =
        sourceFormat_->itemText(item);
    importController_->reloadWithUpdatedImportOptions(false);
    updateInterface();
}

void ImportColumnMappingViewController::customFormatChanged(const QString &format)
{
    const qsizetype index = selectedImportColumn();
    if (index >= 0) {
        importController_->importOptions().import_columns[index]->input_column_format = format;
        importController_->reloadWithUpdatedImportOptions(false);
    }
    updateInterface();
}

void ImportColumnMappingViewController::autoDetectColumn()
{
    const qsizetype column = selectedImportColumn();
    if (column >= 0)
        importController_->autoDetectColumn(column, QString());
    updateInterface();
}

void ImportColumnMappingViewController::useSequence()
{
    if (!sequenceWindow_) {
        sequenceWindow_ = new QDialog(view()->window());
        sequenceWindow_->setWindowModality(Qt::WindowModal);
        sequenceWindow_->setWindowTitle(text("Use Sequence"));
        auto *layout = new QFormLayout(sequenceWindow_);
        sequenceSequences_ = new QComboBox;
        sequenceColumns_ = new QComboBox;
        layout->addRow(text("Sequence:"), sequenceSequences_);
        layout->addRow(text("Table column:"), sequenceColumns_);
        auto *buttons = new QDialogButtonBox;
        buttons->addButton(text("Use"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QDialogButtonBox::Cancel);
        layout->addRow(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, sequenceWindow_, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, sequenceWindow_, &QDialog::reject);
        QObject::connect(sequenceWindow_, &QDialog::finished, view(), [this](int code) {
            if (code == QDialog::Accepted)
                addSequenceColumn(sequenceSequences_->currentText(), sequenceColumns_->currentText());
        });
    }
    sequenceSequences_->clear();
    sequenceSequences_->addItems(importController_->sequenceList());
    sequenceColumns_->clear();
    sequenceColumns_->addItems(importController_->importOptions().target_column_names);
    const int width = qMin(maximumSequencePopupWidth, qMax(sequenceSequences_->sizeHint().width(),
                                                           sequenceColumns_->sizeHint().width()));
    for (QComboBox *popup : {sequenceSequences_, sequenceColumns_})
        popup->setFixedWidth(width);
    sequenceWindow_->open();
}

void ImportColumnMappingViewController::addSequenceColumn(const QString &sequence, const QString &target)
{
    if (sequence.isEmpty() || target.isEmpty())
        return;
    importController_->addSequence(sequence, target);
    model_->reload();
    selectRow(model_->rowCount() - 1);
    updateInterface();
}

void ImportColumnMappingViewController::removeSequence()
{
    const qsizetype column = selectedImportColumn();
    if (column >= 0)
        importController_->removeSequenceColumn(column);
    updateInterface();
}
