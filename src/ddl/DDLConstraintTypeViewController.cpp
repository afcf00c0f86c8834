#include "ddl/DDLConstraintTypeViewController.h"

#include "client/VornAssistantClient.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

DDLConstraintTypeViewController::DDLConstraintTypeViewController()
{
    const auto text = [](const char *source) { return QCoreApplication::translate("ddl", source); };
    types_[Unique] = new QRadioButton(text("Unique"));
    types_[PrimaryKey] = new QRadioButton(text("Primary key"));
    types_[ForeignKey] = new QRadioButton(text("Foreign key"));
    types_[Check] = new QRadioButton(text("Check condition"));
    auto *group = new QButtonGroup(view_);
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(new QLabel(text("Select the type of the new constraint.")));
    for (int row = 0; row < 4; ++row) {
        group->addButton(types_[row], row);
        layout->addWidget(types_[row]);
    }
    layout->addStretch();
    types_[Unique]->setChecked(true);
    QObject::connect(group, &QButtonGroup::idClicked, view_, [this] { update(); });
    view_->resize(480, 320);
}

void DDLConstraintTypeViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    const std::shared_ptr<VornAssistantClient> database = assistant();
    types_[Check]->setEnabled(database && database->constraintsSupportConditions());
    setShared("type", QStringLiteral("UNIQUE"));
}

void DDLConstraintTypeViewController::selectType(Type type)
{
    types_[type]->setChecked(true);
    update();
}

void DDLConstraintTypeViewController::update()
{
    const char *values[] = {"UNIQUE", "PRIMARYKEY", "FOREIGNKEY", "CONDITIONAL"};
    for (int row = 0; row < 4; ++row)
        if (types_[row]->isChecked())
            setShared("type", QString::fromLatin1(values[row]));
    tellUpdated();
}
