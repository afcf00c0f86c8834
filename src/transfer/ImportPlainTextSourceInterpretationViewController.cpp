#include "transfer/ImportPlainTextSourceInterpretationViewController.h"

#include "transfer/ImportController.h"
#include "transfer/ImportEmbeddedPreview.h"
#include "transfer/ImportEncoding.h"
#include "transfer/ImportFixedWidths.h"
#include "transfer/ImportPreviewViewController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}

enum Separator { Comma = 0, Tab = 1, Semicolon = 2, Custom = 3 };

QButtonGroup *radioGroup(QWidget *owner, QBoxLayout *layout, std::initializer_list<const char *> names)
{
    auto *group = new QButtonGroup(owner);
    int id = 0;
    for (const char *name : names) {
        auto *choice = new QRadioButton(text(name));
        group->addButton(choice, id++);
        layout->addWidget(choice);
    }
    return group;
}
} // namespace

ImportPlainTextSourceInterpretationViewController::ImportPlainTextSourceInterpretationViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);

    auto *top = new QHBoxLayout;
    auto *format = new QVBoxLayout;
    format->addWidget(new QLabel(text("Columns are:")));
    columnEncoding_ = radioGroup(
        view, format,
        {QT_TRANSLATE_NOOP("importer", "Fixed width"), QT_TRANSLATE_NOOP("importer", "Delimited")});
    top->addLayout(format);
    auto *general = new QGridLayout;
    general->addWidget(new QLabel(text("Encoding:")), 0, 0);
    encoding_ = new QComboBox;
    encoding_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    general->addWidget(encoding_, 0, 1);
    headers_ = new QCheckBox(text("First row contains column names"));
    general->addWidget(headers_, 1, 0, 1, 2);
    skipEmpty_ = new QCheckBox(text("Skip empty rows"));
    general->addWidget(skipEmpty_, 2, 0, 1, 2);
    general->addWidget(new QLabel(text("Rows to skip at the start:")), 3, 0);
    skipEmptyStart_ = new QSpinBox;
    skipEmptyStart_->setRange(0, 1000000);
    general->addWidget(skipEmptyStart_, 3, 1);
    top->addLayout(general);
    top->addStretch();
    layout->addLayout(top);

    delimitedOptions_ = new QGroupBox(text("Delimited"));
    auto *delimited = new QHBoxLayout(delimitedOptions_);
    auto *separatorGrid = new QGridLayout;
    separators_ = new QButtonGroup(view);
    const std::pair<const char *, int> cells[] = {{QT_TRANSLATE_NOOP("importer", "Comma"), Comma},
                                                  {QT_TRANSLATE_NOOP("importer", "Tab"), Tab},
                                                  {QT_TRANSLATE_NOOP("importer", "Semicolon"), Semicolon},
                                                  {QT_TRANSLATE_NOOP("importer", "Other:"), Custom}};
    for (const auto &[name, id] : cells) {
        auto *choice = new QRadioButton(text(name));
        separators_->addButton(choice, id);
        separatorGrid->addWidget(choice, id / 2, id % 2);
    }
    customSeparator_ = new QLineEdit;
    customSeparator_->setMaximumWidth(40);
    separatorGrid->addWidget(customSeparator_, 1, 2);
    delimited->addLayout(separatorGrid);
    auto *quotes = new QVBoxLayout;
    quotes->addWidget(new QLabel(text("Quote:")));
    quote_ = radioGroup(view, quotes,
                        {QT_TRANSLATE_NOOP("importer", "Apostrophe (')"),
                         QT_TRANSLATE_NOOP("importer", "Double quote (\")")});
    delimited->addLayout(quotes);
    auto *escapes = new QVBoxLayout;
    escapes->addWidget(new QLabel(text("A quote inside a quoted value is:")));
    quoteEscape_ = radioGroup(
        view, escapes,
        {QT_TRANSLATE_NOOP("importer", "Written twice"), QT_TRANSLATE_NOOP("importer", "Written once")});
    delimited->addLayout(escapes);
    delimited->addStretch();
    layout->addWidget(delimitedOptions_);

    fixedWidthOptions_ = new QGroupBox(text("Fixed width"));
    auto *fixed = new QHBoxLayout(fixedWidthOptions_);
    fixed->addWidget(new QLabel(text("Column:")));
    fixedColumns_ = new QComboBox;
    fixedColumns_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    fixed->addWidget(fixedColumns_);
    fixed->addWidget(new QLabel(text("Width:")));
    fixedWidth_ = new QSpinBox;
    fixedWidth_->setRange(0, 10000);
    fixed->addWidget(fixedWidth_);
    fixedAdd_ = new QPushButton(text("Split"));
    fixedAdd_->setToolTip(text("Splits the column in two"));
    fixed->addWidget(fixedAdd_);
    fixedRemove_ = new QPushButton(text("Remove"));
    fixedRemove_->setToolTip(text("Merges the column into its neighbour"));
    fixed->addWidget(fixedRemove_);
    fixed->addWidget(new QLabel(text("Filler:")));
    fixedFiller_ = new QLineEdit;
    fixedFiller_->setMaximumWidth(40);
    fixed->addWidget(fixedFiller_);
    fixed->addStretch();
    fixedWidthOptions_->hide();
    layout->addWidget(fixedWidthOptions_);

    QObject::connect(columnEncoding_, &QButtonGroup::idClicked, view, [this] { formatOptionUpdate(); });
    for (QButtonGroup *group : {separators_, quote_, quoteEscape_})
        QObject::connect(group, &QButtonGroup::idClicked, view, [this] { optionUpdate(); });
    QObject::connect(encoding_, &QComboBox::activated, view, [this] { optionUpdate(); });
    for (QCheckBox *box : {headers_, skipEmpty_})
        QObject::connect(box, &QCheckBox::clicked, view, [this] { optionUpdate(); });
    for (QLineEdit *field : {customSeparator_, fixedFiller_})
        QObject::connect(field, &QLineEdit::editingFinished, view, [this] { optionUpdate(); });
    QObject::connect(skipEmptyStart_, &QSpinBox::editingFinished, view, [this] { optionUpdate(); });
    QObject::connect(skipEmptyStart_, &QSpinBox::valueChanged, view, [this] {
        if (!skipEmptyStart_->hasFocus())
            optionUpdate();
    });
    QObject::connect(fixedColumns_, &QComboBox::activated, view,
                     [this](int index) { changeSelectedColumn(index); });
    QObject::connect(fixedWidth_, &QSpinBox::valueChanged, view,
                     [this](int width) { changeFixedColumnWidth(width); });
    QObject::connect(fixedAdd_, &QPushButton::clicked, view, [this] { addFixedColumn(); });
    QObject::connect(fixedRemove_, &QPushButton::clicked, view, [this] { removeFixedColumn(); });
    setView(view);
}

void ImportPlainTextSourceInterpretationViewController::setImportController(ImportController *controller)
{
    ImportSubViewController::setImportController(controller);
    updateInterface();
}

void ImportPlainTextSourceInterpretationViewController::setImportPreviewViewController(
    ImportPreviewViewController *preview)
{
    preview_ = preview;
    ImportEmbeddedPreview::showSourceColumns(preview, view(), this);
}

void ImportPlainTextSourceInterpretationViewController::updateInterface()
{
    if (!importController_)
        return;
    ImportOptions &options = importController_->importOptions();
    if (fixedColumns_->currentIndex() >= 0)
        selectedColumn_ = fixedColumns_->currentIndex();
    const QSignalBlocker blockEncoding(encoding_);
    encoding_->clear();
    for (quint64 encoding : ImportEncoding::supportedEncodings()) {
        encoding_->addItem(ImportEncoding::nameForEncoding(encoding), QVariant::fromValue(encoding));
        if (encoding == options.stringEncoding)
            encoding_->setCurrentIndex(encoding_->count() - 1);
    }

    int separator = Custom;
    if (options.separator == QLatin1Char(','))
        separator = Comma;
    else if (options.separator == QLatin1Char(';'))
        separator = Semicolon;
    else if (options.separator == QLatin1Char('\t'))
        separator = Tab;
    separators_->button(separator)->setChecked(true);
    customSeparator_->setText(separator == Custom && !options.separator.isNull() ? QString(options.separator)
                                                                                 : QStringLiteral("|"));
    customSeparator_->setEnabled(separator == Custom);

    headers_->setChecked(options.content_headers);
    skipEmpty_->setChecked(options.skip_empty_rows);
    {
        const QSignalBlocker blockSkip(skipEmptyStart_);
        skipEmptyStart_->setValue(int(options.skip_start_rows));
    }
    quote_->button(options.quote == QLatin1Char('\'') ? 0 : 1)->setChecked(true);
    quoteEscape_->button(options.quote_escape_double ? 0 : 1)->setChecked(true);
    columnEncoding_->button(options.fixed_width ? 0 : 1)->setChecked(true);
    delimitedOptions_->setVisible(!options.fixed_width);
    fixedWidthOptions_->setVisible(options.fixed_width);

    const QSignalBlocker blockColumns(fixedColumns_);
    fixedColumns_->clear();
    const QList<int> &widths = options.fixed_width_column_widths;
    if (options.fixed_width && !widths.isEmpty()) {
        for (const ImportColumnPtr &column : options.import_columns)
            fixedColumns_->addItem(column->column_name);
        fixedRemove_->setEnabled(options.import_columns.size() != 1);
        fixedFiller_->setText(options.fixed_width_filler.isNull() ? QStringLiteral(" ")
                                                                  : QString(options.fixed_width_filler));
        if (!options.import_columns.isEmpty()) {
            if (selectedColumn_ >= widths.size())
                selectedColumn_ = widths.size() - 1;
            fixedColumns_->setCurrentIndex(int(selectedColumn_));
            showWidth();
        }
    }
    if (preview_)
        preview_->update();
}

void ImportPlainTextSourceInterpretationViewController::showWidth()
{
    const QList<int> &widths = importController_->importOptions().fixed_width_column_widths;
    const QSignalBlocker blocker(fixedWidth_);
    fixedWidth_->setValue(selectedColumn_ >= 0 && selectedColumn_ < widths.size() ? widths[selectedColumn_]
                                                                                  : 0);
}

void ImportPlainTextSourceInterpretationViewController::optionUpdate()
{
    ImportOptions &options = importController_->importOptions();
    if (encoding_->currentIndex() >= 0)
        options.setStringEncoding(encoding_->currentData().value<quint64>());
    options.fixed_width = columnEncoding_->checkedId() == 0;
    switch (separators_->checkedId()) {
    case Comma:
        options.separator = QLatin1Char(',');
        break;
    case Tab:
        options.separator = QLatin1Char('\t');
        break;
    case Semicolon:
        options.separator = QLatin1Char(';');
        break;
    default: {
        const QString custom = customSeparator_->text();
        options.separator = custom.isEmpty() ? QLatin1Char('|') : custom.at(0);
    }
    }
    options.content_headers = headers_->isChecked();
    options.skip_empty_rows = skipEmpty_->isChecked();
    options.skip_start_rows = skipEmptyStart_->value();
    options.quote = quote_->checkedId() == 0 ? QLatin1Char('\'') : QLatin1Char('"');
    options.quote_escape_double = quoteEscape_->checkedId() == 0;
    const QString filler = fixedFiller_->text();
    options.fixed_width_filler = filler.isEmpty() ? QLatin1Char(' ') : filler.at(0);
    importController_->reloadWithUpdatedImportOptions(false);
    changed();
}

void ImportPlainTextSourceInterpretationViewController::formatOptionUpdate()
{
    importController_->importOptions().fixed_width = columnEncoding_->checkedId() == 0;
    importController_->reloadWithUpdatedImportOptions(true);
    changed();
}

void ImportPlainTextSourceInterpretationViewController::changeSelectedColumn(int index)
{
    selectedColumn_ = index;
    showWidth();
    if (preview_)
        preview_->selectColumn(index);
}

void ImportPlainTextSourceInterpretationViewController::importPreviewViewControllerSelectedColumn(
    qint64 index)
{
    if (!importController_->importOptions().fixed_width || index < 0 || index >= fixedColumns_->count())
        return;
    const QSignalBlocker blocker(fixedColumns_);
    fixedColumns_->setCurrentIndex(int(index));
    selectedColumn_ = index;
    showWidth();
}

void ImportPlainTextSourceInterpretationViewController::storeWidths(const QList<int> &widths)
{
    importController_->importOptions().setFixed_width_column_widths(widths);
    optionUpdate();
}

void ImportPlainTextSourceInterpretationViewController::changeFixedColumnWidth(int width)
{
    const QList<int> &widths = importController_->importOptions().fixed_width_column_widths;
    if (selectedColumn_ < 0 || selectedColumn_ >= widths.size())
        return;
    storeWidths(ImportFixedWidths::changeWidth(widths, selectedColumn_, width));
}

void ImportPlainTextSourceInterpretationViewController::addFixedColumn()
{
    storeWidths(ImportFixedWidths::split(importController_->importOptions().fixed_width_column_widths,
                                         selectedColumn_));
}

void ImportPlainTextSourceInterpretationViewController::removeFixedColumn()
{
    storeWidths(ImportFixedWidths::remove(importController_->importOptions().fixed_width_column_widths,
                                          selectedColumn_));
}

bool ImportPlainTextSourceInterpretationViewController::canContinue() const
{
    return importController_ && importController_->previewRowCount() > 0;
}
