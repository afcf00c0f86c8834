#pragma once

#include "transfer/ImportSubViewController.h"

class QButtonGroup;

// Whether the rows go into the table directly or become INSERT text, and whether a direct import
// stops at its first refused row; the columns that will be imported show below.
class ImportOptionsViewController : public ImportSubViewController
{
public:
    ImportOptionsViewController();

    void setImportPreviewViewController(ImportPreviewViewController *preview) override;
    void updateInterface() override;
    bool canContinue() const override { return true; }
    void optionUpdated();

    QButtonGroup *execution() const { return execution_; }
    QButtonGroup *error() const { return error_; }

private:
    QButtonGroup *execution_ = nullptr;
    QButtonGroup *error_ = nullptr;
};
