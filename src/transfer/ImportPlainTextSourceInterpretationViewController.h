#pragma once

#include "transfer/ImportPreviewViewControllerDelegate.h"
#include "transfer/ImportSubViewController.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// How a text file is split into columns: delimited (separator, quotes, encoding, header, rows to
// skip) or fixed width (the width of each column and the filler character), with the preview of the
// source as read below.
class ImportPlainTextSourceInterpretationViewController : public ImportSubViewController,
                                                          public ImportPreviewViewControllerDelegate
{
public:
    ImportPlainTextSourceInterpretationViewController();

    void setImportController(ImportController *controller) override;
    void setImportPreviewViewController(ImportPreviewViewController *preview) override;
    void updateInterface() override;
    // The preview holds at least one row.
    bool canContinue() const override;

    // Writes every control but the format choice and the width editor into the options.
    void optionUpdate();
    void formatOptionUpdate();
    void changeSelectedColumn(int index);
    void changeFixedColumnWidth(int width);
    void addFixedColumn();
    void removeFixedColumn();
    void importPreviewViewControllerSelectedColumn(qint64 index) override;

    QButtonGroup *columnEncoding() const { return columnEncoding_; }
    QButtonGroup *separators() const { return separators_; }
    QLineEdit *customSeparator() const { return customSeparator_; }
    QComboBox *encoding() const { return encoding_; }
    QCheckBox *headers() const { return headers_; }
    QCheckBox *skipEmpty() const { return skipEmpty_; }
    QSpinBox *skipEmptyStart() const { return skipEmptyStart_; }
    QButtonGroup *quote() const { return quote_; }
    QButtonGroup *quoteEscape() const { return quoteEscape_; }
    QGroupBox *delimitedOptions() const { return delimitedOptions_; }
    QGroupBox *fixedWidthOptions() const { return fixedWidthOptions_; }
    QComboBox *fixedColumns() const { return fixedColumns_; }
    QSpinBox *fixedWidth() const { return fixedWidth_; }
    QPushButton *fixedAdd() const { return fixedAdd_; }
    QPushButton *fixedRemove() const { return fixedRemove_; }
    QLineEdit *fixedFiller() const { return fixedFiller_; }
    qint64 selectedColumn() const { return selectedColumn_; }

private:
    void storeWidths(const QList<int> &widths);
    void showWidth();

    ImportPreviewViewController *preview_ = nullptr;
    QButtonGroup *columnEncoding_ = nullptr;
    QButtonGroup *separators_ = nullptr;
    QLineEdit *customSeparator_ = nullptr;
    QComboBox *encoding_ = nullptr;
    QCheckBox *headers_ = nullptr;
    QCheckBox *skipEmpty_ = nullptr;
    QSpinBox *skipEmptyStart_ = nullptr;
    QButtonGroup *quote_ = nullptr;
    QButtonGroup *quoteEscape_ = nullptr;
    QGroupBox *delimitedOptions_ = nullptr;
    QGroupBox *fixedWidthOptions_ = nullptr;
    QComboBox *fixedColumns_ = nullptr;
    QSpinBox *fixedWidth_ = nullptr;
    QPushButton *fixedAdd_ = nullptr;
    QPushButton *fixedRemove_ = nullptr;
    QLineEdit *fixedFiller_ = nullptr;
    qint64 selectedColumn_ = 0;
};
