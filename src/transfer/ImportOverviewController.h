#pragma once

#include "transfer/ImportSubViewController.h"

class QLabel;

// Sums up source, target, file format and options in three sentences before the import starts; the
// columns that will be imported show below.
class ImportOverviewController : public ImportSubViewController
{
public:
    ImportOverviewController();

    void setImportPreviewViewController(ImportPreviewViewController *preview) override;
    void updateInterface() override;
    bool canContinue() const override { return true; }

    QLabel *sourceDestination() const { return sourceDestination_; }
    QLabel *format() const { return format_; }
    QLabel *options() const { return options_; }

private:
    QLabel *sourceDestination_ = nullptr;
    QLabel *format_ = nullptr;
    QLabel *options_ = nullptr;
};
