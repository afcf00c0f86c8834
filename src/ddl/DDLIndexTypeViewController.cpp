#include "ddl/DDLIndexTypeViewController.h"

#include "client/VornAssistantClient.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

DDLIndexTypeViewController::DDLIndexTypeViewController()
{
    const auto text = [](const char *source) { return QCoreApplication::translate("ddl", source); };
    types_[Normal] = new QRadioButton(text("Normal index"));
    types_[Unique] = new QRadioButton(text("Unique index"));
    types_[Bitmap] = new QRadioButton(text("Bitmap index"));
    auto *group = new QButtonGroup(view_);
    auto *layout = new QVBoxLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    auto *description = new QLabel(text("Select the type of the new index."));
    layout->addWidget(description);
    for (int row = 0; row < 3; ++row) {
        group->addButton(types_[row], row);
        layout->addWidget(types_[row]);
    }
    layout->addStretch();
    types_[Normal]->setChecked(true);
    QObject::connect(group, &QButtonGroup::idClicked, view_, [this] { update(); });
    view_->resize(480, 320);
}

void DDLIndexTypeViewController::setDdlController(DDLController *controller)
{
    DDLSubViewController::setDdlController(controller);
    update();
}

void DDLIndexTypeViewController::updateInterface()
{
    const std::shared_ptr<VornAssistantClient> database = assistant();
    types_[Bitmap]->setEnabled(database && database->indexesSupportBitmap());
    if (types_[Bitmap]->isChecked() && !types_[Bitmap]->isEnabled())
        selectType(Normal);
}

void DDLIndexTypeViewController::selectType(Type type)
{
    types_[type]->setChecked(true);
    update();
}

void DDLIndexTypeViewController::update()
{
    const char *values[] = {"", "UNIQUE", "BITMAP"};
    for (int row = 0; row < 3; ++row)
        if (types_[row]->isChecked())
            setShared("type", QString::fromLatin1(values[row]));
    tellUpdated();
}

bool DDLIndexTypeViewController::canContinue()
{
    return sharedData() && sharedData()->contains("type");
}
