#include "ddl/DDLTableViewController.h"

#include "ddl/DDLAdvancedOptionsViewController.h"
#include "ddl/DDLController.h"
#include "ddl/DDLScriptViewController.h"
#include "ddl/DDLTableColumnViewController.h"
#include "ddl/DDLTableConstraintViewController.h"
#include "ddl/DDLTableIdentifierViewController.h"
#include "ddl/DDLTableKeyViewController.h"
#include "ddl/DdlNaming.h"
#include "ddl/TableScript.h"

#include <QCoreApplication>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

void DDLTableViewController::setupViewControllers()
{
    addTextStep(
        "startScreen", ddlText("Introduction"), DdlPageRole::Start,
        ddlText("Welcome to the Table Assistant.\n\nIn the next few steps, you can define, customize and "
                "ultimately create a new table.\n\nUse the steps to the left to view the current "
                "progress.\n\nPlease note that not every field is required, as your database can "
                "provide many default settings itself. Vorn, however, offers the possibility to modify "
                "the script used to create the table and additional database objects."));
    addStep<DDLTableIdentifierViewController>("idScreen", ddlText("Table identification"), DdlPageRole::Data);
    addStep<DDLTableColumnViewController>("columnScreen", ddlText("Columns"), DdlPageRole::Data);
    addStep<DDLTableKeyViewController>("keyScreen", ddlText("Primary key"), DdlPageRole::Data);
    addStep<DDLTableConstraintViewController>("constraintScreen", ddlText("Constraints"), DdlPageRole::Data);
    addStep<DDLAdvancedOptionsViewController>("advancedScreen", ddlText("Advanced options"),
                                              DdlPageRole::Data,
                                              DDLAdvancedOptionsViewController::Kind::Table);
    addStep<DDLScriptViewController>(
        "scriptScreen", ddlText("SQL Script"), DdlPageRole::Script,
        [](const QVariantMap &shared, DDLController &controller) {
            const std::unique_ptr<DdlNaming> naming = controller.naming();
            return naming ? TableScript::build(shared, *naming) : DdlScript{};
        },
        ddlText("Below is the script Vorn will use to create your table. Click Create to create it, or copy "
                "it or insert it into the SQL editor."));
    addTextStep("createScreen", ddlText("Creating Table"), DdlPageRole::Create,
                ddlText("Creating your new table, please stand by."));
}

QString DDLTableViewController::title() const
{
    return ddlText("Table Assistant");
}

DDLAssistantViewController::CreateRun DDLTableViewController::createRun() const
{
    return {ddlText("Creating Table"),
            QStringLiteral("CreateTABLE Thread"),
            ddlText("Table"),
            ddlText("Successfully created a new table."),
            ddlText("There was an error creating the new table"),
            ddlText("Use the navigation on left or below to alter some of the new table's settings and try "
                    "again.")};
}

QStringList DDLTableViewController::createStatements() const
{
    const auto *script = static_cast<const DDLScriptViewController *>(page("scriptScreen"));
    return script ? script->script().statements : QStringList();
}
