#pragma once

#include "sql/TextRange.h"

#include <QString>

class AutoCompleteViewController;

// The text side of the completion popup (the text view it runs over).
class AutoCompleteViewControllerDelegate
{
public:
    virtual ~AutoCompleteViewControllerDelegate() = default;
    // The text at sourceRange (the typed part plus any suggested rest shown) becomes the first
    // committedRange.length characters of suggestion at committedRange.location, followed by the rest of
    // the suggestion shown in grey and not yet part of the text.
    virtual void autoCompleteViewControllerUpdatedSuggestion(AutoCompleteViewController *controller,
                                                             const QString &suggestion, TextRange sourceRange,
                                                             TextRange committedRange) = 0;
    // The popup closed; lastCharacter holds the characters of the key that closed it, or "".
    virtual void autoCompleteViewControllerClosed(AutoCompleteViewController *controller,
                                                  const QString &lastCharacter) = 0;
};
