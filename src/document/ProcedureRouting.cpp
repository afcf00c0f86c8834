#include "document/ProcedureRouting.h"

#include "ddl/ProcedureEditorController.h"
#include "ddl/ProcedureEditorViewController.h"
#include "document/PaneSelection.h"
#include "document/VornDocument.h"
#include "resultset/ParameterInputController.h"
#include "status/StatusManager.h"
#include "window/VornTabbedWindowController.h"

#include <QCoreApplication>

ProcedureRouting::ProcedureRouting(VornDocument &document, PaneSelection &panes,
                                   const VornRootClientPtr &root)
    : document_(document), panes_(panes), controller_(std::make_unique<ProcedureEditorController>(root))
{
    controller_->setDelegate(&document_);
    controller_->setProcedureDelegate(this);
    controller_->setThreadController(document.threadController());
    controller_->setStatusManager(document.statusManager());
}

ProcedureRouting::~ProcedureRouting()
{
    ProcedureEditorViewController *shown = pane();
    if (shown && shown->procedureEditorController() == controller_.get())
        shown->setProcedureEditorController(nullptr);
}

ProcedureEditorViewController *ProcedureRouting::pane() const
{
    VornTabbedWindowController *controller = document_.vornWindowController();
    if (!controller || !controller->isWindowLoaded())
        return nullptr;
    return dynamic_cast<ProcedureEditorViewController *>(
        controller->pane(VornTabbedWindowController::Pane::ProcedureEditor));
}

void ProcedureRouting::bindWindowPane() const
{
    if (ProcedureEditorViewController *shown = pane())
        shown->setProcedureEditorController(controller_.get());
}

void ProcedureRouting::resetPane() const
{
    if (ProcedureEditorViewController *shown = pane()) {
        shown->setProcedureEditorController(controller_.get());
        shown->procedureReset();
    }
}

void ProcedureRouting::resetFromRoot()
{
    controller_->resetProcedureFromRoot();
}

bool ProcedureRouting::showLoadedProcedure()
{
    if (!controller_->procedure())
        return false;
    panes_.show(ContentPane::Procedure);
    resetPane();
    return true;
}

void ProcedureRouting::procedureEditorCompiledProcedure(ProcedureEditorController *, bool itIsStillAvailable)
{
    resetPane();
    if (!itIsStillAvailable) {
        panes_.show(ContentPane::Nothing);
        document_.statusManager()->runErrorWithTitle(
            QCoreApplication::translate("connection",
                                        "The procedure was updated successfully, but is no longer available"),
            QCoreApplication::translate("connection", "This is usually caused when you rename a function."));
        document_.markDDLDirty();
    }
    document_.documentStatusUpdated();
}

void ProcedureRouting::procedureEditorRevertedProcedure(ProcedureEditorController *)
{
    resetPane();
    document_.documentStatusUpdated();
}

void ProcedureRouting::procedureEditorControllerNeedsParameters(const QStringList &names,
                                                                ParameterAction action,
                                                                const QVariantMap &parameterCache)
{
    // Without a window nothing can ask for the values, so nothing runs.
    QWidget *window = document_.windowForSheet();
    if (!window)
        return;
    document_.parameterInputController()->runForProcedureParameters(
        names, window, QVariant(),
        [action](const QVariant &result) {
            if (!result.isValid()) {
                action(std::nullopt);
                return;
            }
            const QVariantMap form = result.toMap();
            action(ParameterAnswer{form.value(QStringLiteral("parameterNames")).toStringList(),
                                   form.value(QStringLiteral("parameterValues")).toMap(), QVariant()});
        },
        parameterCache);
}

void ProcedureRouting::procedureUpdated()
{
    if (ProcedureEditorViewController *shown = pane())
        shown->procedureUpdate();
    document_.documentStatusUpdated();
}
