#include "ddl/DDLAdvancedOptionsViewController.h"

#include "client/VornAssistantClient.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>

DDLAdvancedOptionsViewController::DDLAdvancedOptionsViewController(Kind kind) : kind_(kind)
{
    view_->resize(480, 320);
}

void DDLAdvancedOptionsViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    buildControls();
}

void DDLAdvancedOptionsViewController::buildControls()
{
    options_.clear();
    popUps_.clear();
    delete view_->layout();
    qDeleteAll(view_->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
    auto *layout = new QFormLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);

    const std::shared_ptr<VornAssistantClient> database = assistant();
    QStringList names;
    if (database)
        names = kind_ == Kind::Table   ? database->advancedOptions()
                : kind_ == Kind::Index ? database->advancedIndexOptions()
                                       : database->advancedConstraintOptions();
    for (const QString &name : names) {
        const QStringList choices = database->choicesForAdvancedOption(name);
        // An option without choices has no value to offer.
        if (choices.isEmpty())
            continue;
        auto *label = new QLabel(name);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        auto *popUp = new QComboBox;
        popUp->addItems(choices);
        QObject::connect(popUp, &QComboBox::textActivated, view_,
                         [this, name](const QString &choice) { updateItem(name, choice); });
        layout->addRow(label, popUp);
        popUps_.insert(name, popUp);
        options_.insert(name, choices.first());
    }
    if (popUps_.isEmpty())
        layout->addRow(
            new QLabel(QCoreApplication::translate("ddl", "There are no advanced options available")));
    setShared("options", options_);
}

void DDLAdvancedOptionsViewController::updateItem(const QString &option, const QString &choice)
{
    options_.insert(option, choice);
    setShared("options", options_);
}
