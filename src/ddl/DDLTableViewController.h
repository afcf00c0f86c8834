#pragma once

#include "ddl/DDLAssistantViewController.h"

// The table assistant: name, schema and comment; columns; primary key; constraints; the database's
// advanced options; the CREATE TABLE script; the create step.
class DDLTableViewController : public DDLAssistantViewController
{
protected:
    void setupViewControllers() override;
    QString title() const override;
    CreateRun createRun() const override;
    QStringList createStatements() const override;
};
