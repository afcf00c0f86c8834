#pragma once

#include "transfer/ImportPreviewViewControllerDelegate.h"
#include "transfer/ImportSubViewController.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

// How a workbook is read: which sheet, how many rows to skip, whether the first row holds column
// names and whether empty rows are skipped, with the preview of the sheet as read below.
class ImportXLSXSourceInterpretationViewController : public ImportSubViewController,
                                                     public ImportPreviewViewControllerDelegate
{
public:
    ImportXLSXSourceInterpretationViewController();

    void setImportPreviewViewController(ImportPreviewViewController *preview) override;
    void updateInterface() override;
    // The preview holds at least one row.
    bool canContinue() const override;

    // A new sheet drops the columns and detects skip rows and header again; the other controls only
    // rebuild the preview.
    void optionUpdate(QObject *sender);
    void importPreviewViewControllerSelectedColumn(qint64) override {}

    QComboBox *sheetNames() const { return sheetNames_; }
    QSpinBox *skipFirstLines() const { return skipFirstLines_; }
    QCheckBox *containsHeaders() const { return containsHeaders_; }
    QCheckBox *skipEmpty() const { return skipEmpty_; }

private:
    QComboBox *sheetNames_ = nullptr;
    QSpinBox *skipFirstLines_ = nullptr;
    QCheckBox *containsHeaders_ = nullptr;
    QCheckBox *skipEmpty_ = nullptr;
};
