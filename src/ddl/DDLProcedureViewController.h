#pragma once

#include "ddl/DDLAssistantViewController.h"

// The assistant of stored code: a procedure, a function or (on Oracle) a package, chosen before each
// run. It creates only the empty construct; its code is written in the procedure editor afterwards.
class DDLProcedureViewController : public DDLAssistantViewController
{
public:
    // "PROCEDURE", "FUNCTION" or "PACKAGE".
    void setObjectType(const QString &type) { objectType_ = type; }
    QString objectType() const { return objectType_; }

protected:
    void setupViewControllers() override;
    QString title() const override;
    CreateRun createRun() const override;
    QStringList createStatements() const override;

private:
    // "Procedure", "Function" or "Package", translated.
    QString kindWord() const;

    QString objectType_ = QStringLiteral("PROCEDURE");
};
