#include "ddl/DDLSequenceAdvancedViewController.h"

#include "ddl/DdlInput.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

const char *const settingKeys[] = {"start", "increment", "min", "max", "cache"};

QString key(int setting, const char *suffix)
{
    return QString::fromLatin1(settingKeys[setting]) + QString::fromLatin1(suffix);
}

} // namespace

DDLSequenceAdvancedViewController::DDLSequenceAdvancedViewController() : problem_(new QLabel)
{
    const char *titles[] = {QT_TRANSLATE_NOOP("ddl", "Start with:"),
                            QT_TRANSLATE_NOOP("ddl", "Increment by:"),
                            QT_TRANSLATE_NOOP("ddl", "Minimum value:"),
                            QT_TRANSLATE_NOOP("ddl", "Maximum value:"), QT_TRANSLATE_NOOP("ddl", "Cache:")};
    auto *layout = new QGridLayout(view_);
    layout->setContentsMargins(18, 18, 18, 18);
    for (int setting = 0; setting < 5; ++setting) {
        defaults_[setting] = new QRadioButton(ddlText("Default"));
        owns_[setting] = new QRadioButton(ddlText("Value:"));
        values_[setting] = new QLineEdit;
        auto *group = new QButtonGroup(view_);
        group->addButton(defaults_[setting]);
        group->addButton(owns_[setting]);
        defaults_[setting]->setChecked(true);
        layout->addWidget(new QLabel(ddlText(titles[setting])), setting, 0);
        layout->addWidget(defaults_[setting], setting, 1);
        layout->addWidget(owns_[setting], setting, 2);
        layout->addWidget(values_[setting], setting, 3);
        QObject::connect(group, &QButtonGroup::buttonClicked, view_, [this] { update(); });
        QObject::connect(values_[setting], &QLineEdit::textEdited, view_, [this] { update(); });
    }
    auto *cycleGroup = new QButtonGroup(view_);
    cycle_[CycleDefault] = new QRadioButton(ddlText("Default"));
    cycle_[CycleOn] = new QRadioButton(ddlText("Cycle"));
    cycle_[CycleOff] = new QRadioButton(ddlText("No cycle"));
    layout->addWidget(new QLabel(ddlText("Cycling:")), 5, 0);
    for (int row = 0; row < 3; ++row) {
        cycleGroup->addButton(cycle_[row]);
        layout->addWidget(cycle_[row], 5, row + 1);
    }
    cycle_[CycleDefault]->setChecked(true);
    QObject::connect(cycleGroup, &QButtonGroup::buttonClicked, view_, [this] { update(); });
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    layout->addWidget(problem_, 6, 0, 1, 4);
    layout->setRowStretch(7, 1);
    view_->resize(480, 320);
}

void DDLSequenceAdvancedViewController::updateInterface()
{
    for (int setting = 0; setting < 5; ++setting) {
        const bool own = owns_[setting]->isChecked();
        setShared(key(setting, "_default"), !own);
        // Only a whole number is a value: "12abc" is refused rather than read as 12.
        const std::optional<qlonglong> value = DdlInput::integer(values_[setting]->text());
        if (value)
            setShared(key(setting, "_value"), *value);
        else
            removeShared(key(setting, "_value"));
        values_[setting]->setEnabled(own);
    }
    setShared("cycle_default", cycle_[CycleDefault]->isChecked());
    if (cycle_[CycleOn]->isChecked())
        setShared("cycle_value", QStringLiteral("CYCLE"));
    else if (cycle_[CycleOff]->isChecked())
        setShared("cycle_value", QStringLiteral("NOCYCLE"));
    problem_->setText(sharedData() ? problem(*sharedData()) : QString());
}

void DDLSequenceAdvancedViewController::update()
{
    updateInterface();
    tellUpdated();
}

QString DDLSequenceAdvancedViewController::problem(const QVariantMap &shared)
{
    std::optional<qlonglong> values[5];
    for (int setting = 0; setting < 5; ++setting) {
        if (!shared.contains(key(setting, "_default")))
            return ddlText("The settings have not been chosen yet.");
        if (shared.value(key(setting, "_default")).toBool())
            continue;
        if (!shared.contains(key(setting, "_value")))
            return ddlText("Enter a whole number for each value you give.");
        values[setting] = shared.value(key(setting, "_value")).toLongLong();
    }
    if (values[Increment] && *values[Increment] == 0)
        return ddlText("The increment cannot be 0.");
    if (values[Cache] && *values[Cache] < 1)
        return ddlText("The cache must hold at least 1 value.");
    if (values[Min] && values[Max] && *values[Min] > *values[Max])
        return ddlText("The minimum value cannot be larger than the maximum value.");
    if (values[Start] && values[Min] && *values[Start] < *values[Min])
        return ddlText("The start value cannot be smaller than the minimum value.");
    if (values[Start] && values[Max] && *values[Start] > *values[Max])
        return ddlText("The start value cannot be larger than the maximum value.");
    return QString();
}

bool DDLSequenceAdvancedViewController::canContinue()
{
    return sharedData() && problem(*sharedData()).isEmpty();
}

void DDLSequenceAdvancedViewController::setOwnValue(Setting setting, const QString &text)
{
    owns_[setting]->setChecked(true);
    values_[setting]->setText(text);
    update();
}

void DDLSequenceAdvancedViewController::setDefault(Setting setting)
{
    defaults_[setting]->setChecked(true);
    update();
}

void DDLSequenceAdvancedViewController::setCycle(Cycle cycle)
{
    cycle_[cycle]->setChecked(true);
    update();
}
