#include "transfer/ImportXLSXSourceInterpretationViewController.h"

#include "transfer/ImportController.h"
#include "transfer/ImportEmbeddedPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}
} // namespace

ImportXLSXSourceInterpretationViewController::ImportXLSXSourceInterpretationViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    auto *form = new QFormLayout;
    sheetNames_ = new QComboBox;
    sheetNames_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addRow(text("Sheet:"), sheetNames_);
    skipFirstLines_ = new QSpinBox;
    skipFirstLines_->setRange(0, 1000000);
    form->addRow(text("Rows to skip at the start:"), skipFirstLines_);
    layout->addLayout(form);
    containsHeaders_ = new QCheckBox(text("First row contains column names"));
    layout->addWidget(containsHeaders_);
    skipEmpty_ = new QCheckBox(text("Skip empty rows"));
    layout->addWidget(skipEmpty_);

    QObject::connect(sheetNames_, &QComboBox::activated, view, [this] { optionUpdate(sheetNames_); });
    QObject::connect(skipFirstLines_, &QSpinBox::editingFinished, view,
                     [this] { optionUpdate(skipFirstLines_); });
    for (QCheckBox *box : {containsHeaders_, skipEmpty_})
        QObject::connect(box, &QCheckBox::clicked, view, [this, box] { optionUpdate(box); });
    setView(view);
}

void ImportXLSXSourceInterpretationViewController::setImportPreviewViewController(
    ImportPreviewViewController *preview)
{
    ImportEmbeddedPreview::showSourceColumns(preview, view(), this);
}

void ImportXLSXSourceInterpretationViewController::updateInterface()
{
    if (!importController_)
        return;
    const ImportOptions &options = importController_->importOptions();
    const QSignalBlocker blockSheets(sheetNames_);
    const int previous = sheetNames_->currentIndex();
    sheetNames_->clear();
    int chosen = -1;
    for (const QString &id : options.sheet_ids) {
        sheetNames_->addItem(options.sheet_names.value(id, id), id);
        if (id == options.sheet)
            chosen = sheetNames_->count() - 1;
    }
    // A sheet Id not among them keeps the position chosen before.
    sheetNames_->setCurrentIndex(chosen >= 0 ? chosen : qMin(previous, sheetNames_->count() - 1));
    const QSignalBlocker blockSkip(skipFirstLines_);
    skipFirstLines_->setValue(int(options.skip_start_rows));
    containsHeaders_->setChecked(options.content_headers);
    skipEmpty_->setChecked(options.skip_empty_rows);
}

void ImportXLSXSourceInterpretationViewController::optionUpdate(QObject *sender)
{
    ImportOptions &options = importController_->importOptions();
    const int position = sheetNames_->currentIndex();
    if (position >= 0 && position < options.sheet_ids.size())
        options.sheet = options.sheet_ids[position];
    options.content_headers = containsHeaders_->isChecked();
    options.skip_empty_rows = skipEmpty_->isChecked();
    options.skip_start_rows = skipFirstLines_->value();
    importController_->reloadWithUpdatedImportOptions(sender == sheetNames_);
    changed();
}

bool ImportXLSXSourceInterpretationViewController::canContinue() const
{
    return importController_ && importController_->previewRowCount() > 0;
}
