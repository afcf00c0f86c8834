#include "ddl/DDLProcedureViewController.h"

#include "ddl/DDLController.h"
#include "ddl/DDLProcedureIdentifierViewController.h"
#include "ddl/DDLProcedureParameterViewController.h"
#include "ddl/DDLScriptViewController.h"
#include "ddl/DdlNaming.h"
#include "ddl/ProcedureScript.h"

#include <QCoreApplication>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

QString DDLProcedureViewController::kindWord() const
{
    if (objectType_ == QLatin1String("PACKAGE"))
        return ddlText("Package");
    if (objectType_ == QLatin1String("FUNCTION"))
        return ddlText("Function");
    return ddlText("Procedure");
}

void DDLProcedureViewController::setupViewControllers()
{
    sharedData()->insert("TYPE", objectType_);
    const QString kind = kindWord();
    const QString lower = kind.toLower();
    addTextStep(
        "startScreen", ddlText("Introduction"), DdlPageRole::Start,
        ddlText("Welcome to the %1 Assistant.\n\nIn the next few steps, you can define, customize and "
                "ultimately create a new %2.\n\nUse the steps to the left to view the current progress."
                "\n\nPlease note that this assistant creates the construct of a %2, after it is defined "
                "you can open the %2 editor to edit its code.")
            .arg(kind, lower));
    addStep<DDLProcedureIdentifierViewController>("idScreen", ddlText("%1 identification").arg(kind),
                                                  DdlPageRole::Data);
    if (objectType_ != QLatin1String("PACKAGE"))
        addStep<DDLProcedureParameterViewController>("parameterScreen", ddlText("Parameters"),
                                                     DdlPageRole::Data);
    addStep<DDLScriptViewController>(
        "scriptScreen", ddlText("SQL Script"), DdlPageRole::Script,
        [](const QVariantMap &shared, DDLController &controller) {
            const std::unique_ptr<DdlNaming> naming = controller.naming();
            return naming ? ProcedureScript::build(shared, controller.dialect(), *naming) : DdlScript{};
        },
        ddlText(
            "Below is the script Vorn will use to create your %1. Click Create to automatically create this "
            "%1.\nNote that this %1 doesn't contain any code yet. After it is created, you can use the "
            "procedure editor to edit its code. Select the newly created %1 in the browser to open its "
            "editor.")
            .arg(lower));
    addTextStep("createScreen", ddlText("Creating %1").arg(kind), DdlPageRole::Create,
                ddlText("Creating your new %1, please stand by.").arg(lower));
}

QString DDLProcedureViewController::title() const
{
    return ddlText("%1 Assistant").arg(kindWord());
}

DDLAssistantViewController::CreateRun DDLProcedureViewController::createRun() const
{
    const QString kind = kindWord();
    const QString lower = kind.toLower();
    return {
        ddlText("Creating %1").arg(kind),
        QStringLiteral("Create%1 Thread").arg(objectType_),
        kind,
        QStringLiteral("%1\n\n%2")
            .arg(ddlText("Successfully created a new %1.").arg(lower),
                 ddlText("You can edit the code of this new %1 by selecting it in the browser, if it isn't "
                         "available yet, then please wait until the Connection Information is reloaded or "
                         "reload it manually by selecting 'Reload Connection Info' from the Connection menu.")
                     .arg(lower)),
        ddlText("There was an error creating the new %1").arg(lower),
        ddlText("Use the navigation on left or below to alter some of the new %1's settings and try again.")
            .arg(lower)};
}

QStringList DDLProcedureViewController::createStatements() const
{
    const auto *script = static_cast<const DDLScriptViewController *>(page("scriptScreen"));
    return script ? script->script().statements : QStringList();
}
