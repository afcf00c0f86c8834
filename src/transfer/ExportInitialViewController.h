#pragma once

#include "transfer/ExportSubViewController.h"

class QComboBox;

// The first page: what to export, a table or view of the schema or the current result set.
class ExportInitialViewController : public ExportSubViewController
{
public:
    ExportInitialViewController();

    void updateInterface() override;
    bool canContinue() const override;
    QComboBox *sources() const { return sources_; }

private:
    void sourceUpdate(int position);

    QComboBox *sources_ = nullptr;
};
