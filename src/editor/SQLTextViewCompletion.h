#pragma once

#include "editor/AutoCompleteViewControllerDelegate.h"

#include <QString>

#include <memory>

class AutoCompleteViewController;
class QKeyEvent;
class QPainter;
class SQLTextView;

// The text view's side of completion: opens the popup below the word at the caret after a typed
// character (when the preference is on) or on request, carries the popup's choices into the text, and
// paints the not yet accepted rest of the selected suggestion in grey after the caret. The rest is never
// part of the text, so it is neither undone, saved nor run.
class SQLTextViewCompletion : public AutoCompleteViewControllerDelegate
{
public:
    explicit SQLTextViewCompletion(SQLTextView &view);
    ~SQLTextViewCompletion() override;

    // After the view handled a key: queues completion after a typed word character.
    void keyTyped(const QKeyEvent &event);
    // byUser: an explicit request, which beeps when there is nothing to offer.
    void runAutoCompleteAtCursor(bool byUser);
    // Made on first use.
    AutoCompleteViewController *autoCompleteViewController() const { return popup_.get(); }
    bool isActive() const;
    // Closes the popup, leaving what was typed.
    void cancel();
    const QString &inlineRest() const { return inlineRest_; }
    void paintInlineRest(QPainter &painter) const;

    void autoCompleteViewControllerUpdatedSuggestion(AutoCompleteViewController *controller,
                                                     const QString &suggestion, TextRange sourceRange,
                                                     TextRange committedRange) override;
    void autoCompleteViewControllerClosed(AutoCompleteViewController *controller,
                                          const QString &lastCharacter) override;

private:
    void queueAutoComplete(bool byUser);

    SQLTextView &view_;
    std::unique_ptr<AutoCompleteViewController> popup_;
    QString inlineRest_;
    bool queued_ = false;
};
