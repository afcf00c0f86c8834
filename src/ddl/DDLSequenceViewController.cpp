#include "ddl/DDLSequenceViewController.h"

#include "ddl/DDLController.h"
#include "ddl/DDLScriptViewController.h"
#include "ddl/DDLSequenceAdvancedViewController.h"
#include "ddl/DDLSequenceIdentifierViewController.h"
#include "ddl/DdlNaming.h"
#include "ddl/SequenceScript.h"

#include <QCoreApplication>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

void DDLSequenceViewController::setupViewControllers()
{
    addTextStep(
        "startScreen", ddlText("Introduction"), DdlPageRole::Start,
        ddlText("Welcome to the Sequence Assistant.\n\nIn the next few steps, you can define, customize "
                "and ultimately create a new sequence.\n\nUse the steps to the left to view the current "
                "progress.\n\nPlease note that not every field is required, as your database can "
                "provide many default settings itself. Vorn, however, offers the possibility to modify "
                "the script used to create the sequence."));
    addStep<DDLSequenceIdentifierViewController>("idScreen", ddlText("Sequence identification"),
                                                 DdlPageRole::Data);
    addStep<DDLSequenceAdvancedViewController>("advancedScreen", ddlText("Advanced options"),
                                               DdlPageRole::Data);
    addStep<DDLScriptViewController>(
        "scriptScreen", ddlText("SQL Script"), DdlPageRole::Script,
        [](const QVariantMap &shared, DDLController &controller) {
            const std::unique_ptr<DdlNaming> naming = controller.naming();
            return naming ? SequenceScript::build(shared, controller.dialect(), *naming) : DdlScript{};
        },
        ddlText("Below is the statement Vorn will use to create your sequence. Click Create to create it, or "
                "copy it or insert it into the SQL editor."));
    addTextStep("createScreen", ddlText("Creating Sequence"), DdlPageRole::Create,
                ddlText("Creating your new sequence, please stand by."));
}

bool DDLSequenceViewController::identifiedAndSet() const
{
    return page("idScreen")->canContinue() && page("advancedScreen")->canContinue();
}

bool DDLSequenceViewController::earlierPagesCanContinue(qsizetype step) const
{
    if (stepPage(step) == page("advancedScreen") || stepPage(step) == page("scriptScreen"))
        return identifiedAndSet();
    return DDLAssistantViewController::earlierPagesCanContinue(step);
}

bool DDLSequenceViewController::shownPageCanContinue(qsizetype step) const
{
    if (stepPage(step) == page("advancedScreen") || stepPage(step) == page("scriptScreen"))
        return identifiedAndSet();
    return DDLAssistantViewController::shownPageCanContinue(step);
}

QString DDLSequenceViewController::title() const
{
    return ddlText("Sequence Assistant");
}

DDLAssistantViewController::CreateRun DDLSequenceViewController::createRun() const
{
    return {
        ddlText("Creating Sequence"),
        QStringLiteral("CreateSEQUENCE Thread"),
        ddlText("Sequence"),
        ddlText("Successfully created a new sequence."),
        ddlText("There was an error creating the new sequence"),
        ddlText("Use the navigation on left or below to alter some of the new sequence's settings and try "
                "again.")};
}

QStringList DDLSequenceViewController::createStatements() const
{
    const auto *script = static_cast<const DDLScriptViewController *>(page("scriptScreen"));
    return script ? script->script().statements : QStringList();
}
