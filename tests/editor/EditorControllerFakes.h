#pragma once

// The SQL editor model's surroundings in the editor tests: a document that lends the fake root and
// records what the model tells it, a model whose beep is counted, and the alerts' titles.
#include "FakeVornRootClient.h"

#include "editor/SQLEditorController.h"
#include "editor/SQLEditorControllerDelegate.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"
#include "status/StatusManagerMessage.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <memory>

// Lends the root's reservation as the real document does.
class FakeEditorDocument : public SQLEditorControllerDelegate
{
public:
    bool connectedControllerWantsRootReservationFor(ConnectedController *,
                                                    const QString &description) override
    {
        reservations << description;
        return grantReservation && root->reserveRoot(description);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        ++releases;
        releasedOnMainThread = MainThread::isMainThread();
        root->releaseReservedRoot();
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return allowFocus; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override
    {
        ++clearedSelections;
        return true;
    }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return connectionParameters;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override { return "X"; }

    void sqlEditorControllerWillExecuteStatement() override { ++willExecute; }
    void sqlEditorControllerDidNotExecute(bool resultCleared) override { notExecuted << resultCleared; }
    void sqlEditorControllerNeedsParameters(const QStringList &names, const QVariant &userInfo,
                                            ParameterAction action, const QVariantMap &cache) override
    {
        parameterNames = names;
        parameterUserInfo = userInfo;
        parameterAction = std::move(action);
        parameterCache = cache;
    }
    void sqlEditorControllerLoadedResultSetWithInfo(const LoadedResultInfo &info) override
    {
        loadedResultsets << info;
    }
    void sqlEditorControllerExecutionResult(const QString &message) override { results << message; }
    void sqlEditorControllerRequiresMissingPlanTable() override { ++planTableRequests; }
    void sqlEditorControllerAnalysisResult(const QVariantMap &plan) override { plans << plan; }

    // Answers the parameter form as the form does.
    void answerParameters(const QVariantMap &values)
    {
        parameterAction(ParameterAnswer{parameterNames, values, parameterUserInfo});
    }

    std::shared_ptr<FakeVornRootClient> root;
    bool grantReservation = true;
    bool allowFocus = true;
    ConnectionParametersPtr connectionParameters = std::make_shared<ConnectionParameters>();
    QStringList reservations;
    int releases = 0;
    bool releasedOnMainThread = false;
    int clearedSelections = 0;
    int willExecute = 0;
    QList<bool> notExecuted;
    QStringList parameterNames;
    QVariant parameterUserInfo;
    ParameterAction parameterAction;
    QVariantMap parameterCache;
    QList<LoadedResultInfo> loadedResultsets;
    QStringList results;
    int planTableRequests = 0;
    QList<QVariantMap> plans;
};

class BeepCountingController : public SQLEditorController
{
public:
    using SQLEditorController::SQLEditorController;
    int beeps = 0;

protected:
    void beep() override { ++beeps; }
};

namespace EditorControllerFakes
{

inline QStringList alertTitles(const StatusManager &statusManager)
{
    QStringList titles;
    for (const auto &message : statusManager.messageQueue())
        titles << message->title;
    return titles;
}

} // namespace EditorControllerFakes
