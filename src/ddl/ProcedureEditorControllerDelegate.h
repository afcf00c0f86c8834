#pragma once

#include "editor/SQLEditorControllerDelegate.h"

#include <QStringList>
#include <QVariantMap>

class ProcedureEditorController;

// What the stored-code editor tells its document. All on the main thread.
class ProcedureEditorControllerDelegate
{
public:
    using ParameterAction = SQLEditorControllerDelegate::ParameterAction;

    virtual ~ProcedureEditorControllerDelegate() = default;
    // After every build; false when the built object no longer goes by its name.
    virtual void procedureEditorCompiledProcedure(ProcedureEditorController *controller,
                                                  bool itIsStillAvailable) = 0;
    virtual void procedureEditorRevertedProcedure(ProcedureEditorController *controller) = 0;
    // The input values of a run, pre-filled from the cache; the action gets nothing on cancel.
    virtual void procedureEditorControllerNeedsParameters(const QStringList &names, ParameterAction action,
                                                          const QVariantMap &parameterCache) = 0;
    // After every run.
    virtual void procedureUpdated() = 0;
};
