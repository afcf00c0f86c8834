#pragma once

#include "ddl/DDLAssistantViewController.h"

// The constraint assistant: name and table; unique, primary key, foreign key or check; its columns,
// referred key or condition; the database's advanced constraint options; the ALTER TABLE statement;
// the create step.
class DDLConstraintViewController : public DDLAssistantViewController
{
protected:
    void setupViewControllers() override;
    QString title() const override;
    CreateRun createRun() const override;
    QStringList createStatements() const override;
    QString stepName(qsizetype step) const override;
};
