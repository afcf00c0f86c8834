#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class AssistantWindowController;
class AssistantWindowSubViewController;

// What the step wizard asks of the assistant it runs: the pages, and at every moment which
// buttons are usable, what the forward button says and whether the wizard may close.
class AssistantWindowControllerDelegate
{
public:
    virtual ~AssistantWindowControllerDelegate() = default;

    virtual QString titleForAssistantWindowController(AssistantWindowController *wizard) = 0;
    // Asked afresh on every page change.
    virtual QStringList pageIdentifiersForAssistantWindowController(AssistantWindowController *wizard) = 0;
    virtual QString nameForPageIdentifier(const QString &identifier, AssistantWindowController *wizard) = 0;
    // Must not be null.
    virtual AssistantWindowSubViewController *
    viewControllerForPageIdentifier(const QString &identifier, AssistantWindowController *wizard) = 0;
    // Whether the page's index entry is usable; also the auto-skip test.
    virtual bool canNavigateToPageIdentifier(const QString &identifier,
                                             AssistantWindowController *wizard) = 0;
    virtual bool canMoveForwardForAssistantWindowController(AssistantWindowController *wizard) = 0;
    virtual bool canMoveBackwardForAssistantWindowController(AssistantWindowController *wizard) = 0;
    virtual bool canCancelAssistantWindowController(AssistantWindowController *wizard) = 0;
    virtual QString titleForForwardButtonForAssistantWindowController(AssistantWindowController *wizard) = 0;
    // Told after the wizard's window has closed.
    virtual void cancelledAssistantWindowController(AssistantWindowController *wizard) = 0;
    // When true, the forward button closes the wizard instead of advancing.
    virtual bool forwardButtonCancelsAssistantWindowController(AssistantWindowController *wizard) = 0;
    virtual bool supportAutoSkipForAssistantWindowController(AssistantWindowController *wizard) = 0;
    // The user-defaults key that stores the auto-skip choice.
    virtual QString autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *wizard) = 0;
    virtual bool supportAutoSkipForPageIdentifier(const QString &identifier,
                                                  AssistantWindowController *wizard) = 0;

    // Optional: a title for the Cancel button (none keeps "Cancel").
    virtual std::optional<QString>
    titleForCancelButtonForAssistantWindowController(AssistantWindowController *)
    {
        return std::nullopt;
    }
    // Optional: false stops Cancel; an assistant may ask the user here.
    virtual bool cancelConfirmationForAssistantWindowController(AssistantWindowController *) { return true; }
    // Optional: told after a page is shown.
    virtual void assistantWindowController(AssistantWindowController *, AssistantWindowSubViewController *) {}
};
