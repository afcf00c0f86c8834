#include "ddl/DDLController.h"

#include "client/VornAssistantClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornElementActionsClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "ddl/BackendDdlNaming.h"
#include "ddl/DDLConstraintViewController.h"
#include "ddl/DDLControllerDelegate.h"
#include "ddl/DDLIndexViewController.h"
#include "ddl/DDLProcedureViewController.h"
#include "ddl/DDLSequenceViewController.h"
#include "ddl/DDLTableViewController.h"
#include "ddl/DdlWaitWindow.h"
#include "kit/DocumentAlertSheet.h"
#include "status/StatusManager.h"

#include <QCoreApplication>

namespace
{

QString browserText(const char *text)
{
    return QCoreApplication::translate("browser", text);
}

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

// The texts and the backend call that set a truncate and a drop apart.
struct DDLController::Action {
    bool truncate;
    const char *question;
    const char *button;
    const char *informative;
    const char *reservation;
    const char *waitTitle;
    const char *waitMessage;
    const char *busy;
    const char *succeeded;
    const char *performed;
    const char *failedStatus;
    const char *failedText;
};

DDLController::DDLController(VornRootClientPtr vornRoot) : ConnectedController(std::move(vornRoot)) {}

DDLController::~DDLController()
{
    endWait();
    // The assistants' queued work and sheets end with them, before the controller they point to.
    assistants_.clear();
}

bool DDLController::canTruncate(const BrowserElementPtr &element) const
{
    return element && !vornRoot()->reserved() && element->type() == QLatin1String("TABLE");
}

bool DDLController::canDrop(const BrowserElementPtr &element) const
{
    return element && !vornRoot()->reserved() && element->type() != QLatin1String("CONSTRAINT");
}

bool DDLController::supportCreateNew(const QString &type) const
{
    return dialect().supportCreateNew(type);
}

bool DDLController::canCreateNew(const QString &type) const
{
    return !vornRoot()->reserved() && vornRoot()->hasConnection() && supportCreateNew(type);
}

QString DDLController::databaseType() const
{
    ConnectionParametersPtr parameters =
        delegate()
            ? delegate()->connectedControllerWantsConnectionParameters(const_cast<DDLController *>(this))
            : nullptr;
    return parameters ? parameters->databaseType() : QString();
}

DdlDialect DDLController::dialect() const
{
    return DdlDialect(databaseType());
}

std::shared_ptr<VornAssistantClient> DDLController::assistantClient() const
{
    return VornAssistantClient::ofRoot(*vornRoot());
}

void DDLController::createNew(const QString &type, QWidget *window)
{
    if (ddlDelegate_)
        ddlDelegate_->DDLControllerNeedsClearResults();
    const bool storedCode = type == QLatin1String("PROCEDURE") || type == QLatin1String("FUNCTION") ||
                            type == QLatin1String("PACKAGE");
    const QString kind = storedCode ? QStringLiteral("PROCEDURE") : type;
    std::unique_ptr<DDLAssistantViewController> &assistant = assistants_[kind];
    if (!assistant) {
        if (kind == QLatin1String("TABLE"))
            assistant = std::make_unique<DDLTableViewController>();
        else if (kind == QLatin1String("INDEX"))
            assistant = std::make_unique<DDLIndexViewController>();
        else if (kind == QLatin1String("CONSTRAINT"))
            assistant = std::make_unique<DDLConstraintViewController>();
        else if (kind == QLatin1String("SEQUENCE"))
            assistant = std::make_unique<DDLSequenceViewController>();
        else if (storedCode)
            assistant = std::make_unique<DDLProcedureViewController>();
    }
    if (!assistant) {
        assistants_.erase(kind);
        return;
    }
    if (storedCode)
        static_cast<DDLProcedureViewController *>(assistant.get())->setObjectType(type);
    assistant->runForDDLController(this, window);
}

DDLAssistantViewController *DDLController::assistantFor(const QString &type) const
{
    const bool storedCode = type == QLatin1String("PROCEDURE") || type == QLatin1String("FUNCTION") ||
                            type == QLatin1String("PACKAGE");
    const auto found = assistants_.find(storedCode ? QStringLiteral("PROCEDURE") : type);
    return found == assistants_.end() ? nullptr : found->second.get();
}

std::unique_ptr<DdlNaming> DDLController::naming() const
{
    std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    std::shared_ptr<VornAssistantClient> assistant = VornAssistantClient::ofRoot(*vornRoot());
    if (!browser || !assistant)
        return nullptr;
    return std::make_unique<BackendDdlNaming>(std::move(browser), std::move(assistant));
}

void DDLController::truncate(const BrowserElementPtr &element, QWidget *window)
{
    confirmAndRun(element, window, truncateAction());
}

void DDLController::drop(const BrowserElementPtr &element, QWidget *window)
{
    confirmAndRun(element, window, dropAction());
}

void DDLController::confirmAndRun(const BrowserElementPtr &element, QWidget *window, const Action &action)
{
    if (!element || !requestFocusChange())
        return;
    mainWindow_ = window;
    const QString name = element->name();
    enum { Confirm, Cancel };
    DocumentAlertSheet::begin(window, browserText(action.question).arg(name),
                              browserText(action.informative).arg(name),
                              {browserText(action.button), browserText("Cancel")}, Cancel,
                              [this, alive = std::weak_ptr<const char>(alive_), element,
                               window = QPointer<QWidget>(window), &action](int answer) {
                                  if (answer == Confirm && !alive.expired())
                                      run(element, window, action);
                              });
}

void DDLController::run(const BrowserElementPtr &element, QWidget *window, const Action &action)
{
    if (ddlDelegate_)
        ddlDelegate_->DDLControllerNeedsClearResults();
    if (!requestRootReservation(browserText(action.reservation)))
        return;
    const QString name = element->name();
    endWait();
    waitWindow_ = new DdlWaitWindow(window, browserText(action.waitTitle).arg(name),
                                    browserText(action.waitMessage).arg(name));
    waitWindow_->open();

    auto outcome = std::make_shared<BackendOutcome>();
    BackgroundJob job;
    job.threadName = action.truncate ? truncateThreadName : dropThreadName;
    job.work = [root = vornRoot(), status = statusManager(), element, &action,
                outcome](const WorkerControl &) {
        status->setActiveConnectionStatus(connectionText(action.busy).arg(element->name()));
        const std::shared_ptr<VornElementActionsClient> browser = VornElementActionsClient::ofRoot(*root);
        if (!browser)
            *outcome = BackendOutcome::failure(connectionText("Not connected to a database."));
        else if (action.truncate)
            *outcome = browser->truncateElement(element->schema(), element->type(), element->name(), false);
        else
            *outcome = browser->dropElement(element->schema(), element->type(), element->name());
        if (outcome->successful) {
            status->setConnectionStatus(connectionText(action.succeeded));
            return;
        }
        status->setConnectionStatus(connectionText(action.failedStatus), outcome->errorMessage);
        status->runErrorWithTitle(
            browserText("Database error"),
            QStringLiteral("%1\n%2").arg(browserText(action.failedText), outcome->errorMessage));
    };
    job.failed = [outcome, status = statusManager(), &action](const QString &message) {
        *outcome = BackendOutcome::failure(message);
        status->setConnectionStatus(connectionText(action.failedStatus), message);
    };
    job.done = [this, outcome, name, &action] {
        endWait();
        if (!outcome->successful || !ddlDelegate_)
            return;
        if (!action.truncate)
            ddlDelegate_->DDLControllerNeedsBackgroundReloadConnectionInfo();
        ddlDelegate_->DDLControllerDidPerformAction(browserText(action.performed).arg(name));
    };
    runReserved(std::move(job));
}

void DDLController::endWait()
{
    if (waitWindow_)
        waitWindow_->end();
    waitWindow_ = nullptr;
}

bool DDLController::executeCreateSql(const QStringList &statements, const QString &typeLabel, QString *error)
{
    Q_ASSERT_X(error, "DDLController::executeCreateSql", "Needs a place for the error");
    const std::shared_ptr<StatusManager> status = statusManager();
    if (status)
        status->setActiveConnectionStatus(ddlText("Creating new %1").arg(typeLabel));
    const std::shared_ptr<VornAssistantClient> assistant = VornAssistantClient::ofRoot(*vornRoot());
    const ScriptOutcome result =
        assistant ? assistant->executeScript(statements)
                  : ScriptOutcome{BackendOutcome::failure(connectionText("Not connected to a database.")), 0};
    if (!result.outcome) {
        // The object stands while a later statement (its comment) failed: the user must know it exists.
        *error = result.standing > 0 ? ddlText("The new %1 was created, but a later statement of its script "
                                               "failed:\n%2")
                                           .arg(typeLabel.toLower(), result.outcome.errorMessage)
                                     : result.outcome.errorMessage;
        if (status)
            status->setConnectionStatus(ddlText("Error creating %1").arg(typeLabel), *error);
        return false;
    }
    if (status)
        status->setConnectionStatus(ddlText("Created %1").arg(typeLabel));
    return true;
}

bool DDLController::needsCommitBeforeObjectIsVisible() const
{
    return ddlDelegate_ &&
           ddlDelegate_->DDLControllerNeedsCommitBeforeObjectIsVisible(const_cast<DDLController *>(this));
}

void DDLController::assistantWantsToInsertCodeIntoEditor(const QString &code)
{
    if (ddlDelegate_)
        ddlDelegate_->DDLControllerWantsToInsertCodeIntoEditor(this, code);
}

const DDLController::Action &DDLController::truncateAction()
{
    static const Action action{
        true,
        QT_TRANSLATE_NOOP("browser", "Are you sure you want to truncate %1 ?"),
        QT_TRANSLATE_NOOP("browser", "Truncate"),
        QT_TRANSLATE_NOOP("browser",
                          "Choose 'Truncate' if you are sure you want to clear %1. A 'TRUNCATE' command "
                          "will be executed, this cannot be undone."),
        QT_TRANSLATE_NOOP("browser", "Truncating object"),
        QT_TRANSLATE_NOOP("browser", "Truncating %1"),
        QT_TRANSLATE_NOOP("browser",
                          "Please wait while %1 is being truncated. Depending on the size of the object "
                          "this can take a while."),
        QT_TRANSLATE_NOOP("connection", "Truncating %1"),
        QT_TRANSLATE_NOOP("connection", "Successfully truncated object"),
        QT_TRANSLATE_NOOP("browser", "Truncated %1"),
        QT_TRANSLATE_NOOP("connection", "Error truncating object"),
        QT_TRANSLATE_NOOP("browser", "A database error occurred while trying to truncate the object."),
    };
    return action;
}

const DDLController::Action &DDLController::dropAction()
{
    static const Action action{
        false,
        QT_TRANSLATE_NOOP("browser", "Are you sure you want to drop %1 ?"),
        QT_TRANSLATE_NOOP("browser", "Drop"),
        QT_TRANSLATE_NOOP("browser",
                          "Choose 'Drop' if you are sure you want to drop %1. A 'DROP' command will be "
                          "executed, this cannot be undone."),
        QT_TRANSLATE_NOOP("browser", "Dropping object"),
        QT_TRANSLATE_NOOP("browser", "Dropping %1"),
        QT_TRANSLATE_NOOP("browser", "Please wait while %1 is being dropped."),
        QT_TRANSLATE_NOOP("connection", "Dropping %1"),
        QT_TRANSLATE_NOOP("connection", "Successfully dropped object"),
        QT_TRANSLATE_NOOP("browser", "Dropped %1"),
        QT_TRANSLATE_NOOP("connection", "Error dropping object"),
        QT_TRANSLATE_NOOP("browser", "A database error occurred while trying to drop the object."),
    };
    return action;
}
