#pragma once

#include "ddl/DDLSubViewController.h"
#include "ddl/DDLSubViewControllerDelegate.h"
#include "ddl/DdlNavigation.h"
#include "kit/AssistantWindowController.h"
#include "kit/AssistantWindowControllerDelegate.h"

#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class DDLController;
class DDLSimpleTextViewController;

// The base of every create assistant: it runs the step wizard as a sheet with fresh pages and fresh
// shared data each time, answers the wizard from its steps and the run's state, and performs the
// create run on the last step: the root is reserved, the script's statements run on a worker, and the
// outcome (or the error with a hint to go back and try again) shows on the create page. Main thread.
class DDLAssistantViewController : public AssistantWindowControllerDelegate,
                                   public DDLSubViewControllerDelegate
{
public:
    DDLAssistantViewController();
    ~DDLAssistantViewController() override;

    // The only entry: a new wizard with new pages and empty shared data, as a sheet on the window.
    void runForDDLController(DDLController *controller, QWidget *window);

    AssistantWindowController *assistantWindowController() const { return wizard_; }
    const DdlSharedData &sharedData() const { return sharedData_; }
    DDLController *controller() const { return controller_; }
    DdlCreateState createState() const { return state_; }
    // The page of a step identifier; null for an unknown one.
    DDLSubViewController *page(const QString &identifier) const;
    DDLSimpleTextViewController *createPage() const { return createPage_; }

    // AssistantWindowControllerDelegate.
    QString titleForAssistantWindowController(AssistantWindowController *wizard) override;
    QStringList pageIdentifiersForAssistantWindowController(AssistantWindowController *wizard) override;
    QString nameForPageIdentifier(const QString &identifier, AssistantWindowController *wizard) override;
    AssistantWindowSubViewController *
    viewControllerForPageIdentifier(const QString &identifier, AssistantWindowController *wizard) override;
    bool canNavigateToPageIdentifier(const QString &identifier, AssistantWindowController *wizard) override;
    bool canMoveForwardForAssistantWindowController(AssistantWindowController *wizard) override;
    bool canMoveBackwardForAssistantWindowController(AssistantWindowController *wizard) override;
    bool canCancelAssistantWindowController(AssistantWindowController *wizard) override;
    QString titleForForwardButtonForAssistantWindowController(AssistantWindowController *wizard) override;
    void cancelledAssistantWindowController(AssistantWindowController *) override {}
    bool forwardButtonCancelsAssistantWindowController(AssistantWindowController *wizard) override;
    bool supportAutoSkipForAssistantWindowController(AssistantWindowController *) override { return false; }
    QString autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *) override
    {
        return QString();
    }
    bool supportAutoSkipForPageIdentifier(const QString &, AssistantWindowController *) override
    {
        return false;
    }

    // DDLSubViewControllerDelegate.
    void DDLSubViewControllerDelegateUpdated(DDLSubViewController *page) override;
    void DDLSubViewControllerWantsToClose(DDLSubViewController *page) override;
    void DDLSubViewControllerWantsToInsertCodeIntoEditor(DDLSubViewController *page,
                                                         const QString &code) override;

protected:
    // The texts and names of one kind's create run, already translated.
    struct CreateRun {
        QString reservation;
        QString threadName;
        QString typeLabel;
        QString success;
        QString errorTitle;
        QString retryHint;
    };

    // Builds this kind's steps with addStep, in step order.
    virtual void setupViewControllers() = 0;
    virtual QString title() const = 0;
    virtual CreateRun createRun() const = 0;
    // The statements the create step runs, from the script page.
    virtual QStringList createStatements() const = 0;
    // The step list's test for a data or script page: by default every data page before it can continue.
    virtual bool earlierPagesCanContinue(qsizetype step) const;
    // Whether the shown data or script page lets the user move on: by default its own canContinue.
    virtual bool shownPageCanContinue(qsizetype step) const;
    virtual QString stepName(qsizetype step) const;

    // A data page gets the run's shared data, the assistant as delegate and the controller, in that
    // order, so what it writes while filling its controls is kept.
    template <class Page, class... Args>
    Page *addStep(const QString &identifier, const QString &name, DdlPageRole role, Args &&...args)
    {
        auto page = std::make_unique<Page>(std::forward<Args>(args)...);
        Page *raw = page.get();
        addPage(identifier, name, role, std::move(page));
        return raw;
    }
    DDLSimpleTextViewController *addTextStep(const QString &identifier, const QString &name, DdlPageRole role,
                                             const QString &text);
    qsizetype stepCount() const { return static_cast<qsizetype>(steps_.size()); }
    DDLSubViewController *stepPage(qsizetype step) const;

private:
    struct Step {
        QString identifier;
        QString name;
        DdlPageRole role;
        std::unique_ptr<DDLSubViewController> page;
    };

    void addPage(const QString &identifier, const QString &name, DdlPageRole role,
                 std::unique_ptr<DDLSubViewController> page);
    qsizetype stepOf(const QString &identifier) const;
    qsizetype shownStep() const;
    void createAction();
    void endSuccess();
    void endError(const QString &error);
    void reevaluate();

    QPointer<AssistantWindowController> wizard_;
    DdlSharedData sharedData_;
    DDLController *controller_ = nullptr;
    std::vector<Step> steps_;
    DDLSimpleTextViewController *createPage_ = nullptr;
    DdlCreateState state_ = DdlCreateState::Editing;
    // Lets queued work tell whether this assistant still exists.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
};
