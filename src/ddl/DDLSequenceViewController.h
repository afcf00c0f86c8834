#pragma once

#include "ddl/DDLAssistantViewController.h"

// The sequence assistant: name and schema; start, increment, bounds, cache and cycling; the CREATE
// SEQUENCE statement; the create step.
class DDLSequenceViewController : public DDLAssistantViewController
{
protected:
    void setupViewControllers() override;
    QString title() const override;
    CreateRun createRun() const override;
    QStringList createStatements() const override;
    // The settings page counts only once it has written its values: before, the step list cannot skip
    // it, and its Next and the script page's Create wait for valid values.
    bool earlierPagesCanContinue(qsizetype step) const override;
    bool shownPageCanContinue(qsizetype step) const override;

private:
    bool identifiedAndSet() const;
};
