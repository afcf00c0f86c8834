#pragma once

#include "kit/AssistantWindowController.h"
#include "kit/AssistantWindowControllerDelegate.h"

#include <QObject>
#include <QPointer>

class TransferSubViewController;
class QWidget;

// What the import and the export assistant share: the step wizard they run as a sheet on the document
// window, and the buttons of their steps. Forward goes on when the current page can continue; the
// status page, the last step, is left only through its forward button, which closes the assistant.
class TransferAssistant : public QObject, public AssistantWindowControllerDelegate
{
    Q_OBJECT
public:
    ~TransferAssistant() override;

    AssistantWindowController *assistantWindowController() const { return wizard_; }

    bool canMoveForwardForAssistantWindowController(AssistantWindowController *) override;
    bool canMoveBackwardForAssistantWindowController(AssistantWindowController *) override;
    bool canCancelAssistantWindowController(AssistantWindowController *) override;
    bool forwardButtonCancelsAssistantWindowController(AssistantWindowController *) override;

protected:
    TransferAssistant() = default;

    void runWizard(QWidget *window, const QString &title);
    // The wizard goes before the pages whose views it shows: subclasses call this first when they go.
    void closeWizard();
    TransferSubViewController *currentPage() const;
    bool statusShowing() const;
    virtual TransferSubViewController *firstPage() const = 0;
    virtual TransferSubViewController *statusPage() const = 0;

    // A sheet of the document window, which deletes it when it closes first.
    QPointer<AssistantWindowController> wizard_;
};
