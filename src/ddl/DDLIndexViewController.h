#pragma once

#include "ddl/DDLAssistantViewController.h"

// The index assistant: name and table; normal, unique or bitmap; columns and expressions; the
// database's advanced index options; the CREATE INDEX statement; the create step.
class DDLIndexViewController : public DDLAssistantViewController
{
protected:
    void setupViewControllers() override;
    QString title() const override;
    CreateRun createRun() const override;
    QStringList createStatements() const override;
};
