#include "ddl/DDLIndexViewController.h"

#include "ddl/DDLAdvancedOptionsViewController.h"
#include "ddl/DDLController.h"
#include "ddl/DDLIndexColumnsViewController.h"
#include "ddl/DDLIndexTypeViewController.h"
#include "ddl/DDLScriptViewController.h"
#include "ddl/DDLTableObjectIdentifierViewController.h"
#include "ddl/DdlNaming.h"
#include "ddl/IndexScript.h"

#include <QCoreApplication>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

void DDLIndexViewController::setupViewControllers()
{
    addTextStep(
        "startScreen", ddlText("Introduction"), DdlPageRole::Start,
        ddlText("Welcome to the Index Assistant.\n\nIn the next few steps, you can define, customize and "
                "ultimately create a new index.\n\nUse the steps to the left to view the current "
                "progress.\n\nPlease note that not every field is required, as your database can "
                "provide many default settings itself. Vorn, however, offers the possibility to modify "
                "the script used to create the index and additional database objects."));
    addStep<DDLTableObjectIdentifierViewController>(
        "idScreen", ddlText("Index identification"), DdlPageRole::Data,
        ddlText("Enter the name of the new index and select the table it indexes. Only use alphanumeric and "
                "underscore characters for the name."));
    addStep<DDLIndexTypeViewController>("typeScreen", ddlText("Index type"), DdlPageRole::Data);
    addStep<DDLIndexColumnsViewController>("columnScreen", ddlText("Columns"), DdlPageRole::Data);
    addStep<DDLAdvancedOptionsViewController>("advancedScreen", ddlText("Advanced options"),
                                              DdlPageRole::Data,
                                              DDLAdvancedOptionsViewController::Kind::Index);
    addStep<DDLScriptViewController>(
        "scriptScreen", ddlText("SQL Script"), DdlPageRole::Script,
        [](const QVariantMap &shared, DDLController &controller) {
            const std::unique_ptr<DdlNaming> naming = controller.naming();
            return naming ? IndexScript::build(shared, *naming) : DdlScript{};
        },
        ddlText(
            "Below is the statement Vorn will use to create your index. Click Create to create it, or copy "
            "it or insert it into the SQL editor."));
    addTextStep("createScreen", ddlText("Creating Index"), DdlPageRole::Create,
                ddlText("Creating your new index, please stand by."));
}

QString DDLIndexViewController::title() const
{
    return ddlText("Index Assistant");
}

DDLAssistantViewController::CreateRun DDLIndexViewController::createRun() const
{
    return {ddlText("Creating Index"),
            QStringLiteral("CreateINDEX Thread"),
            ddlText("Index"),
            ddlText("Successfully created a new index."),
            ddlText("There was an error creating the new index"),
            ddlText("Use the navigation on left or below to alter some of the new index's settings and try "
                    "again.")};
}

QStringList DDLIndexViewController::createStatements() const
{
    const auto *script = static_cast<const DDLScriptViewController *>(page("scriptScreen"));
    return script ? script->script().statements : QStringList();
}
