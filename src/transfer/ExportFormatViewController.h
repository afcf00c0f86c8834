#pragma once

#include "transfer/ExportSubViewController.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

// The third page: the format, and the options that apply to it in four groups (destination and
// encoding, or the worksheet's name in the same place; records and header; delimiter and quoting),
// each shown only for formats that use it.
class ExportFormatViewController : public ExportSubViewController
{
public:
    ExportFormatViewController();

    void updateInterface() override;
    bool canContinue() const override;
    void updateFormat(int position);
    void optionUpdate();
    // Keeps the typed name as the workbook's sheet name; it is no export default, so nothing is stored.
    void sheetNameUpdate();

    QComboBox *formats() const { return formats_; }
    QComboBox *encodings() const { return encodings_; }
    QCheckBox *exportToClipboard() const { return exportToClipboard_; }
    QGroupBox *destinationOptions() const { return destinationOptions_; }
    QGroupBox *sheetDestinationOptions() const { return sheetDestinationOptions_; }
    QLineEdit *sheetName() const { return sheetName_; }
    QGroupBox *recordOptions() const { return recordOptions_; }
    QGroupBox *customOptions() const { return customOptions_; }
    QRadioButton *firstRecords() const { return firstRecords_; }
    QLineEdit *recordSourceValue() const { return recordSourceValue_; }
    QCheckBox *headers() const { return headers_; }
    QButtonGroup *delimiter() const { return delimiter_; }
    QLineEdit *delimiterOther() const { return delimiterOther_; }
    QCheckBox *doubleQuoteResults() const { return doubleQuoteResults_; }

private:
    QComboBox *formats_ = nullptr;
    QComboBox *encodings_ = nullptr;
    QCheckBox *exportToClipboard_ = nullptr;
    QGroupBox *destinationOptions_ = nullptr;
    QGroupBox *sheetDestinationOptions_ = nullptr;
    QLineEdit *sheetName_ = nullptr;
    QGroupBox *recordOptions_ = nullptr;
    QGroupBox *customOptions_ = nullptr;
    QRadioButton *allRecords_ = nullptr;
    QRadioButton *firstRecords_ = nullptr;
    QLineEdit *recordSourceValue_ = nullptr;
    QCheckBox *headers_ = nullptr;
    QButtonGroup *delimiter_ = nullptr;
    QLineEdit *delimiterOther_ = nullptr;
    QCheckBox *doubleQuoteResults_ = nullptr;
};
