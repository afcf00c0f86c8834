#pragma once

#include "client/VornRootClient.h"
#include "ddl/ProcedureEditorControllerDelegate.h"

#include <memory>

class PaneSelection;
class ProcedureEditorViewController;
class VornDocument;

// The document's stored-code editor: its model, the pane it shows in, and what the model tells the
// document (builds, reverts, runs and their parameter form).
class ProcedureRouting : public ProcedureEditorControllerDelegate
{
public:
    ProcedureRouting(VornDocument &document, PaneSelection &panes, const VornRootClientPtr &root);
    ProcedureRouting(const ProcedureRouting &) = delete;
    ProcedureRouting &operator=(const ProcedureRouting &) = delete;
    ~ProcedureRouting() override;

    ProcedureEditorController *procedureEditorController() const { return controller_.get(); }
    ProcedureEditorViewController *pane() const;
    void bindWindowPane() const;
    // The root's stored code was loaded or dropped: the model reads it again.
    void resetFromRoot();
    // Shows the loaded stored code when the root holds one; false otherwise.
    bool showLoadedProcedure();
    // The pane shows the model's current state.
    void resetPane() const;

    void procedureEditorCompiledProcedure(ProcedureEditorController *controller,
                                          bool itIsStillAvailable) override;
    void procedureEditorRevertedProcedure(ProcedureEditorController *controller) override;
    void procedureEditorControllerNeedsParameters(const QStringList &names, ParameterAction action,
                                                  const QVariantMap &parameterCache) override;
    void procedureUpdated() override;

private:
    VornDocument &document_;
    PaneSelection &panes_;
    std::unique_ptr<ProcedureEditorController> controller_;
};
