#pragma once

#include "connection/ConnectedControllerDelegate.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <optional>

// The filled-in parameter form: the names asked, the value entered for each, and the statements
// the form was asked for, handed back unchanged.
struct ParameterAnswer {
    QStringList parameterNames;
    QVariantMap parameterValues;
    QVariant userInfo;
};

// The run whose last statement produced rows, now the root's result set.
struct LoadedResultInfo {
    // Seconds of the whole run.
    double timing = 0;
    // That statement as written.
    QString source;
};

// What the SQL editor model tells its document and asks of it. Every method is called on the main
// thread; results of a run arrive queued, after the worker has moved on.
class SQLEditorControllerDelegate : public ConnectedControllerDelegate
{
public:
    // Receives the filled-in parameter form; nothing when the user cancelled the form.
    using ParameterAction = std::function<void(const std::optional<ParameterAnswer> &answer)>;

    // Before parameters are asked and before anything runs: the document shows its busy pane.
    virtual void sqlEditorControllerWillExecuteStatement() = 0;
    // After sqlEditorControllerWillExecuteStatement nothing ran: there was nothing to run, the form
    // was cancelled or the root was not granted. resultCleared tells whether the root's result was
    // already dropped, so the document knows which pane to put back instead of the busy one.
    virtual void sqlEditorControllerDidNotExecute(bool resultCleared) = 0;
    // Shows the form for the upper-cased parameter names, prefilled from the cache, and later calls
    // the action once. userInfo is the statement list, to be handed back in the answer.
    virtual void sqlEditorControllerNeedsParameters(const QStringList &parameterNames,
                                                    const QVariant &userInfo, ParameterAction action,
                                                    const QVariantMap &parameterCache) = 0;
    // The last statement produced rows, now the root's result set.
    virtual void sqlEditorControllerLoadedResultSetWithInfo(const LoadedResultInfo &info) = 0;
    // The run ended without rows to show: its message followed by the timing.
    virtual void sqlEditorControllerExecutionResult(const QString &message) = 0;
    // An explain found no plan table: the document offers to create it.
    virtual void sqlEditorControllerRequiresMissingPlanTable() {}
    // The plan of the explained statement: per step {"info": fields, "children": steps}.
    virtual void sqlEditorControllerAnalysisResult(const QVariantMap &plan) { Q_UNUSED(plan); }
    // The document's file name for printed pages; null for an unsaved document.
    virtual QString sqlEditorControllerNeedsFilename() { return QString(); }
};
