#pragma once

#include "ddl/DDLSubViewController.h"

#include <QMap>

class QComboBox;

// The advanced-options page of the table, index and constraint assistants: one pop-up per option the
// database offers for the kind, each starting on its first choice (the database's default). The chosen
// values are kept under "options" in the run's shared data.
class DDLAdvancedOptionsViewController : public DDLSubViewController
{
public:
    enum class Kind { Table, Index, Constraint };
    explicit DDLAdvancedOptionsViewController(Kind kind);

    void setDdlController(DDLController *controller) override;
    const QVariantMap &options() const { return options_; }
    // The pop-up of an option; null for an option the database does not offer.
    QComboBox *popUp(const QString &option) const { return popUps_.value(option); }

private:
    void buildControls();
    void updateItem(const QString &option, const QString &choice);

    Kind kind_;
    QVariantMap options_;
    QMap<QString, QComboBox *> popUps_;
};
