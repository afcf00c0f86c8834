#include "transfer/TransferAssistant.h"

#include "transfer/TransferSubViewController.h"

TransferAssistant::~TransferAssistant()
{
    closeWizard();
}

void TransferAssistant::runWizard(QWidget *window, const QString &title)
{
    wizard_ = new AssistantWindowController;
    wizard_->setDelegate(this);
    wizard_->setWindowTitle(title);
    wizard_->runAsSheet(window);
}

void TransferAssistant::closeWizard()
{
    if (wizard_)
        wizard_->setDelegate(nullptr);
    delete wizard_;
}

TransferSubViewController *TransferAssistant::currentPage() const
{
    return wizard_ ? static_cast<TransferSubViewController *>(wizard_->currentViewController()) : nullptr;
}

bool TransferAssistant::statusShowing() const
{
    return wizard_ && statusPage() && wizard_->currentViewController() == statusPage();
}

bool TransferAssistant::canMoveForwardForAssistantWindowController(AssistantWindowController *)
{
    const TransferSubViewController *current = currentPage();
    return current && current->canContinue();
}

bool TransferAssistant::canMoveBackwardForAssistantWindowController(AssistantWindowController *)
{
    return wizard_ && wizard_->currentViewController() != firstPage() && !statusShowing();
}

bool TransferAssistant::canCancelAssistantWindowController(AssistantWindowController *)
{
    return !statusShowing();
}

bool TransferAssistant::forwardButtonCancelsAssistantWindowController(AssistantWindowController *)
{
    return statusShowing();
}
