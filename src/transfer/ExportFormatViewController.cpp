#include "transfer/ExportFormatViewController.h"

#include "transfer/ExportController.h"
#include "transfer/TransferLog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}

enum Delimiter { Comma, Semicolon, Tab, Other };
} // namespace

ExportFormatViewController::ExportFormatViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    formats_ = new QComboBox;
    formats_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(formats_);

    destinationOptions_ = new QGroupBox(tr("Destination"));
    auto *destination = new QFormLayout(destinationOptions_);
    encodings_ = new QComboBox;
    exportToClipboard_ = new QCheckBox(tr("Copy to the clipboard instead of a file"));
    destination->addRow(tr("Character encoding:"), encodings_);
    destination->addRow(exportToClipboard_);
    layout->addWidget(destinationOptions_);

    // Formats have either a destination or a sheet, so the two groups take turns in one place.
    sheetDestinationOptions_ = new QGroupBox(tr("Worksheet"));
    auto *sheet = new QFormLayout(sheetDestinationOptions_);
    sheetName_ = new QLineEdit;
    sheet->addRow(tr("Sheet name:"), sheetName_);
    sheetDestinationOptions_->hide();
    layout->addWidget(sheetDestinationOptions_);

    recordOptions_ = new QGroupBox(tr("Records"));
    auto *records = new QGridLayout(recordOptions_);
    allRecords_ = new QRadioButton(tr("All records"));
    firstRecords_ = new QRadioButton(tr("Only the first"));
    recordSourceValue_ = new QLineEdit;
    recordSourceValue_->setValidator(new QIntValidator(0, 2147483647, recordSourceValue_));
    headers_ = new QCheckBox(tr("Include column names as the first line"));
    records->addWidget(allRecords_, 0, 0);
    records->addWidget(firstRecords_, 1, 0);
    records->addWidget(recordSourceValue_, 1, 1);
    records->addWidget(headers_, 2, 0, 1, 2);
    layout->addWidget(recordOptions_);

    customOptions_ = new QGroupBox(tr("Delimiter"));
    auto *custom = new QGridLayout(customOptions_);
    delimiter_ = new QButtonGroup(customOptions_);
    const auto addDelimiter = [&](const char *title, int id, int row, int column) {
        auto *button = new QRadioButton(tr(title));
        delimiter_->addButton(button, id);
        custom->addWidget(button, row, column);
    };
    addDelimiter("Comma", Comma, 0, 0);
    addDelimiter("Semicolon", Semicolon, 1, 0);
    addDelimiter("Tab", Tab, 0, 1);
    addDelimiter("Other:", Other, 1, 1);
    delimiterOther_ = new QLineEdit;
    delimiterOther_->setMaxLength(1);
    delimiterOther_->setMaximumWidth(40);
    custom->addWidget(delimiterOther_, 1, 2);
    doubleQuoteResults_ = new QCheckBox(tr("Double quote every value"));
    custom->addWidget(doubleQuoteResults_, 2, 0, 1, 3);
    layout->addWidget(customOptions_);
    layout->addStretch();

    QObject::connect(formats_, &QComboBox::activated, view, [this](int position) { updateFormat(position); });
    const auto option = [this] { optionUpdate(); };
    QObject::connect(encodings_, &QComboBox::activated, view, option);
    QObject::connect(exportToClipboard_, &QCheckBox::clicked, view, option);
    QObject::connect(allRecords_, &QRadioButton::clicked, view, option);
    QObject::connect(firstRecords_, &QRadioButton::clicked, view, option);
    QObject::connect(recordSourceValue_, &QLineEdit::editingFinished, view, option);
    QObject::connect(headers_, &QCheckBox::clicked, view, option);
    QObject::connect(delimiter_, &QButtonGroup::idClicked, view, option);
    QObject::connect(delimiterOther_, &QLineEdit::textEdited, view, option);
    QObject::connect(doubleQuoteResults_, &QCheckBox::clicked, view, option);
    QObject::connect(sheetName_, &QLineEdit::textEdited, view, [this] { sheetNameUpdate(); });
    setView(view);
}

void ExportFormatViewController::updateInterface()
{
    const ExportController &controller = *exportController_;
    const ExportOptions &options = controller.exportOptions();
    recordOptions_->setVisible(!controller.selectedFormat().isEmpty());
    destinationOptions_->setVisible(controller.supportDestinationOptions());
    sheetDestinationOptions_->setVisible(controller.supportSheetDestinationOptions());
    customOptions_->setVisible(controller.supportCustomOptions());

    const QSignalBlocker formatBlocker(formats_);
    formats_->clear();
    formats_->addItem(tr("Select export format"));
    formats_->insertSeparator(1);
    const QStringList formats = controller.supportedFormats();
    for (const QString &format : formats)
        formats_->addItem(ExportController::nameForFormat(format));
    const qsizetype format = formats.indexOf(controller.selectedFormat());
    formats_->setCurrentIndex(format >= 0 ? int(format) + 2 : 0);

    const QSignalBlocker encodingBlocker(encodings_);
    encodings_->clear();
    const QList<quint64> encodings = ExportOptions::supportedEncodings();
    for (quint64 encoding : encodings)
        encodings_->addItem(ExportOptions::nameForEncoding(encoding));
    encodings_->setCurrentIndex(int(encodings.indexOf(options.stringEncoding)));

    exportToClipboard_->setChecked(options.exportToClipboard);
    const bool limited = options.recordSourceCount != -1;
    (limited ? firstRecords_ : allRecords_)->setChecked(true);
    recordSourceValue_->setText(limited ? QString::number(options.recordSourceCount) : QString());
    recordSourceValue_->setEnabled(limited);
    headers_->setChecked(options.includeHeaders);
    headers_->setVisible(controller.supportHeaders());

    delimiterOther_->clear();
    delimiterOther_->setEnabled(false);
    if (options.delimiter == u',') {
        delimiter_->button(Comma)->setChecked(true);
    } else if (options.delimiter == u';') {
        delimiter_->button(Semicolon)->setChecked(true);
    } else if (options.delimiter == u'\t') {
        delimiter_->button(Tab)->setChecked(true);
    } else {
        delimiter_->button(Other)->setChecked(true);
        delimiterOther_->setEnabled(true);
        delimiterOther_->setText(options.delimiter.isNull() ? QStringLiteral("|")
                                                            : QString(options.delimiter));
    }
    doubleQuoteResults_->setChecked(options.doubleQuoteResults);
    // Redraws while the user types keep the caret where it is.
    if (sheetName_->text() != options.sheetName)
        sheetName_->setText(options.sheetName);
}

void ExportFormatViewController::updateFormat(int position)
{
    const QStringList formats = exportController_->supportedFormats();
    exportController_->setSelectedFormat(position > 1 && position - 2 < formats.size() ? formats[position - 2]
                                                                                       : QString());
    qCDebug(lcTransfer) << "update format" << exportController_->selectedFormat();
    changed();
    updateInterface();
}

void ExportFormatViewController::optionUpdate()
{
    ExportOptions &options = exportController_->exportOptions();
    const QList<quint64> encodings = ExportOptions::supportedEncodings();
    if (encodings_->currentIndex() >= 0)
        options.stringEncoding = encodings[encodings_->currentIndex()];
    options.exportToClipboard = exportToClipboard_->isChecked();
    // A limit without a number is 0, which exports all records until a number is typed.
    options.recordSourceCount = firstRecords_->isChecked() ? recordSourceValue_->text().toLongLong() : -1;
    options.includeHeaders = headers_->isChecked();
    switch (delimiter_->checkedId()) {
    case Comma:
        options.delimiter = u',';
        break;
    case Tab:
        options.delimiter = u'\t';
        break;
    case Semicolon:
        options.delimiter = u';';
        break;
    default:
        options.delimiter = delimiterOther_->text().isEmpty() ? QChar(u'|') : delimiterOther_->text().front();
    }
    options.doubleQuoteResults = doubleQuoteResults_->isChecked();
    changed();
    updateInterface();
}

void ExportFormatViewController::sheetNameUpdate()
{
    exportController_->exportOptions().sheetName = sheetName_->text();
}

bool ExportFormatViewController::canContinue() const
{
    return !exportController_->selectedFormat().isEmpty();
}
