#pragma once

#include "transfer/ExportSubViewController.h"

class ExportColumnTableModel;
class QTableView;

// The second page: which columns to export, in which order and under which names.
class ExportColumnViewController : public ExportSubViewController
{
public:
    ExportColumnViewController();

    void updateInterface() override;
    // At least one column is exported, and no exported column has a blank name.
    bool canContinue() const override;
    void selectAll();
    void selectNone();
    QTableView *tableView() const { return tableView_; }
    ExportColumnTableModel *model() const { return model_; }

private:
    void setAllEnabled(bool enabled);

    QTableView *tableView_ = nullptr;
    ExportColumnTableModel *model_ = nullptr;
};
