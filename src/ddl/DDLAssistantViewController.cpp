#include "ddl/DDLAssistantViewController.h"

#include "connection/ConnectedControllerDelegate.h"
#include "ddl/DDLController.h"
#include "ddl/DDLControllerDelegate.h"
#include "ddl/DDLSimpleTextViewController.h"
#include "kit/AssistantWindowController.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace
{

QString ddlText(const char *text)
{
    return QCoreApplication::translate("ddl", text);
}

} // namespace

DDLAssistantViewController::DDLAssistantViewController() = default;

DDLAssistantViewController::~DDLAssistantViewController()
{
    if (wizard_) {
        wizard_->setDelegate(nullptr);
        delete wizard_;
    }
}

void DDLAssistantViewController::runForDDLController(DDLController *controller, QWidget *window)
{
    sharedData_ = std::make_shared<QVariantMap>();
    controller_ = controller;
    if (wizard_) {
        wizard_->setDelegate(nullptr);
        wizard_->deleteLater();
    }
    wizard_ = new AssistantWindowController(window);
    wizard_->setAttribute(Qt::WA_DeleteOnClose, false);
    wizard_->setDelegate(this);
    steps_.clear();
    createPage_ = nullptr;
    setupViewControllers();
    state_ = DdlCreateState::Editing;
    wizard_->runAsSheet(window);
}

void DDLAssistantViewController::addPage(const QString &identifier, const QString &name, DdlPageRole role,
                                         std::unique_ptr<DDLSubViewController> page)
{
    page->setSharedData(sharedData_);
    page->setDelegate(this);
    page->setDdlController(controller_);
    steps_.push_back({identifier, name, role, std::move(page)});
}

DDLSimpleTextViewController *DDLAssistantViewController::addTextStep(const QString &identifier,
                                                                     const QString &name, DdlPageRole role,
                                                                     const QString &text)
{
    auto page = std::make_unique<DDLSimpleTextViewController>();
    DDLSimpleTextViewController *raw = page.get();
    raw->setText(text);
    // Text pages take no part in the run's data.
    steps_.push_back({identifier, name, role, std::move(page)});
    if (role == DdlPageRole::Create)
        createPage_ = raw;
    return raw;
}

DDLSubViewController *DDLAssistantViewController::stepPage(qsizetype step) const
{
    return step >= 0 && step < stepCount() ? steps_[step].page.get() : nullptr;
}

DDLSubViewController *DDLAssistantViewController::page(const QString &identifier) const
{
    return stepPage(stepOf(identifier));
}

qsizetype DDLAssistantViewController::stepOf(const QString &identifier) const
{
    for (qsizetype i = 0; i < stepCount(); ++i)
        if (steps_[i].identifier == identifier)
            return i;
    return -1;
}

qsizetype DDLAssistantViewController::shownStep() const
{
    if (!wizard_)
        return -1;
    for (qsizetype i = 0; i < stepCount(); ++i)
        if (steps_[i].page.get() == wizard_->currentViewController())
            return i;
    return -1;
}

bool DDLAssistantViewController::earlierPagesCanContinue(qsizetype step) const
{
    for (qsizetype i = 0; i < step; ++i)
        if (steps_[i].role == DdlPageRole::Data && !steps_[i].page->canContinue())
            return false;
    return true;
}

bool DDLAssistantViewController::shownPageCanContinue(qsizetype step) const
{
    return steps_[step].page->canContinue();
}

QString DDLAssistantViewController::stepName(qsizetype step) const
{
    return steps_[step].name;
}

QString DDLAssistantViewController::titleForAssistantWindowController(AssistantWindowController *)
{
    return title();
}

QStringList
DDLAssistantViewController::pageIdentifiersForAssistantWindowController(AssistantWindowController *)
{
    QStringList identifiers;
    for (const Step &step : steps_)
        identifiers << step.identifier;
    return identifiers;
}

QString DDLAssistantViewController::nameForPageIdentifier(const QString &identifier,
                                                          AssistantWindowController *)
{
    const qsizetype step = stepOf(identifier);
    return step < 0 ? QStringLiteral("nameForPageIdentifier") : stepName(step);
}

AssistantWindowSubViewController *
DDLAssistantViewController::viewControllerForPageIdentifier(const QString &identifier,
                                                            AssistantWindowController *)
{
    const qsizetype step = stepOf(identifier);
    if (step < 0)
        return nullptr;
    if (steps_[step].role == DdlPageRole::Create && state_ == DdlCreateState::Editing) {
        state_ = DdlCreateState::Creating;
        // After the page is shown: the wizard finishes its change of page first.
        QMetaObject::invokeMethod(
            qApp,
            [this, alive = std::weak_ptr<const char>(alive_)] {
                if (!alive.expired())
                    createAction();
            },
            Qt::QueuedConnection);
    }
    return steps_[step].page.get();
}

bool DDLAssistantViewController::canNavigateToPageIdentifier(const QString &identifier,
                                                             AssistantWindowController *)
{
    const qsizetype step = stepOf(identifier);
    if (step < 0)
        return false;
    return DdlNavigation::canNavigateTo(steps_[step].role, state_, earlierPagesCanContinue(step));
}

bool DDLAssistantViewController::canMoveForwardForAssistantWindowController(AssistantWindowController *)
{
    const qsizetype step = shownStep();
    if (step < 0)
        return false;
    const DdlPageRole role = steps_[step].role;
    const bool pageReady =
        (role == DdlPageRole::Data || role == DdlPageRole::Script) && shownPageCanContinue(step);
    return DdlNavigation::canMoveForward(role, state_, pageReady);
}

bool DDLAssistantViewController::canMoveBackwardForAssistantWindowController(AssistantWindowController *)
{
    const qsizetype step = shownStep();
    return step >= 0 && DdlNavigation::canMoveBackward(steps_[step].role, state_);
}

bool DDLAssistantViewController::canCancelAssistantWindowController(AssistantWindowController *)
{
    return DdlNavigation::canCancel(state_);
}

QString
DDLAssistantViewController::titleForForwardButtonForAssistantWindowController(AssistantWindowController *)
{
    const qsizetype step = shownStep();
    return DdlNavigation::forwardButtonTitle(step < 0 ? DdlPageRole::Start : steps_[step].role);
}

bool DDLAssistantViewController::forwardButtonCancelsAssistantWindowController(AssistantWindowController *)
{
    return DdlNavigation::forwardButtonCancels(state_);
}

void DDLAssistantViewController::DDLSubViewControllerDelegateUpdated(DDLSubViewController *)
{
    reevaluate();
}

void DDLAssistantViewController::DDLSubViewControllerWantsToClose(DDLSubViewController *)
{
    if (wizard_)
        wizard_->cancel();
}

void DDLAssistantViewController::DDLSubViewControllerWantsToInsertCodeIntoEditor(DDLSubViewController *,
                                                                                 const QString &code)
{
    if (controller_)
        controller_->assistantWantsToInsertCodeIntoEditor(code);
}

void DDLAssistantViewController::reevaluate()
{
    if (wizard_)
        wizard_->reevaluateInterface();
}

void DDLAssistantViewController::createAction()
{
    if (!controller_ || !createPage_)
        return;
    const CreateRun run = createRun();
    createPage_->showProgress(true);
    if (!controller_->requestRootReservation(run.reservation)) {
        createPage_->showProgress(false);
        createPage_->setText(QStringLiteral("ERROR"));
        state_ = DdlCreateState::Editing;
        reevaluate();
        return;
    }
    struct Outcome {
        bool created = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    BackgroundJob job;
    job.threadName = run.threadName;
    job.work = [controller = controller_, statements = createStatements(), label = run.typeLabel,
                outcome](const WorkerControl &) {
        outcome->created = controller->executeCreateSql(statements, label, &outcome->error);
    };
    job.failed = [outcome](const QString &message) {
        outcome->created = false;
        outcome->error = message;
    };
    job.done = [this, alive = std::weak_ptr<const char>(alive_), outcome] {
        if (alive.expired())
            return;
        if (outcome->created)
            endSuccess();
        else
            endError(outcome->error);
    };
    controller_->runReserved(std::move(job));
}

void DDLAssistantViewController::endSuccess()
{
    QString text = createRun().success;
    if (controller_->needsCommitBeforeObjectIsVisible())
        text =
            QStringLiteral("%1\n\n\n%2")
                .arg(text,
                     ddlText("Please note that on %1 databases new objects are not visible, in the browser, "
                             "until you perform a Commit.")
                         .arg(controller_->databaseType()));
    createPage_->setText(text);
    createPage_->showProgress(false);
    state_ = DdlCreateState::Created;
    if (controller_->ddlDelegate())
        controller_->ddlDelegate()->DDLControllerNeedsBackgroundReloadConnectionInfo();
    reevaluate();
}

void DDLAssistantViewController::endError(const QString &error)
{
    const CreateRun run = createRun();
    createPage_->setText(QStringLiteral("%1:\n\n%2\n\n%3").arg(run.errorTitle, error, run.retryHint));
    createPage_->showProgress(false);
    state_ = DdlCreateState::Editing;
    // A failed script may still have changed the schema (a statement before the one that failed).
    if (controller_->ddlDelegate())
        controller_->ddlDelegate()->DDLControllerNeedsBackgroundReloadConnectionInfo();
    reevaluate();
}
