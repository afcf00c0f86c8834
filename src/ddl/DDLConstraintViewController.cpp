#include "ddl/DDLConstraintViewController.h"

#include "ddl/ConstraintScript.h"
#include "ddl/DDLAdvancedOptionsViewController.h"
#include "ddl/DDLConstraintDetailsViewController.h"
#include "ddl/DDLConstraintTypeViewController.h"
#include "ddl/DDLController.h"
#include "ddl/DDLScriptViewController.h"
#include "ddl/DDLTableObjectIdentifierViewController.h"
#include "ddl/DdlNaming.h"

#include <QCoreApplication>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

void DDLConstraintViewController::setupViewControllers()
{
    addTextStep(
        "startScreen", ddlText("Introduction"), DdlPageRole::Start,
        ddlText("Welcome to the Constraint Assistant.\n\nIn the next few steps, you can define, customize "
                "and ultimately create a new constraint.\n\nUse the steps to the left to view the "
                "current progress.\n\nPlease note that not every field is required, as your database "
                "can provide many default settings itself. Vorn, however, offers the possibility to "
                "modify the script used to create the constraint and additional database objects."));
    addStep<DDLTableObjectIdentifierViewController>(
        "idScreen", ddlText("Constraint identification"), DdlPageRole::Data,
        ddlText("Enter the name of the new constraint and select the table it constrains. Only use "
                "alphanumeric and underscore characters for the name."));
    addStep<DDLConstraintTypeViewController>("typeScreen", ddlText("Constraint type"), DdlPageRole::Data);
    addStep<DDLConstraintDetailsViewController>("detailsScreen", ddlText("Columns"), DdlPageRole::Data);
    addStep<DDLAdvancedOptionsViewController>("advancedScreen", ddlText("Advanced options"),
                                              DdlPageRole::Data,
                                              DDLAdvancedOptionsViewController::Kind::Constraint);
    addStep<DDLScriptViewController>(
        "scriptScreen", ddlText("SQL Script"), DdlPageRole::Script,
        [](const QVariantMap &shared, DDLController &controller) {
            const std::unique_ptr<DdlNaming> naming = controller.naming();
            return naming ? ConstraintScript::build(shared, *naming) : DdlScript{};
        },
        ddlText(
            "Below is the statement Vorn will use to create your constraint. Click Create to create it, or "
            "copy it or insert it into the SQL editor."));
    addTextStep("createScreen", ddlText("Creating Constraint"), DdlPageRole::Create,
                ddlText("Creating your new constraint, please stand by."));
}

QString DDLConstraintViewController::stepName(qsizetype step) const
{
    if (stepPage(step) == page("detailsScreen") &&
        sharedData()->value("type").toString() == QLatin1String("CONDITIONAL"))
        return ddlText("Condition");
    return DDLAssistantViewController::stepName(step);
}

QString DDLConstraintViewController::title() const
{
    return ddlText("Constraint Assistant");
}

DDLAssistantViewController::CreateRun DDLConstraintViewController::createRun() const
{
    return {ddlText("Creating Constraint"),
            QStringLiteral("CreateConstraint Thread"),
            ddlText("Constraint"),
            ddlText("Successfully created a new constraint."),
            ddlText("There was an error creating the new constraint"),
            ddlText("Use the navigation on left or below to alter some of the new constraint's settings and "
                    "try again.")};
}

QStringList DDLConstraintViewController::createStatements() const
{
    const auto *script = static_cast<const DDLScriptViewController *>(page("scriptScreen"));
    return script ? script->script().statements : QStringList();
}
