#pragma once

#include <QString>

// Where a create assistant run stands: the user edits its pages, its script is being created, or the
// object was created (only Finish is left). A failed create returns to editing.
enum class DdlCreateState { Editing, Creating, Created };

// What a step of a create assistant is to the navigation.
enum class DdlPageRole { Start, Data, Script, Create };

// The step wizard's answers that every create assistant shares, by the step shown and the run's state.
namespace DdlNavigation
{
// A data or script page moves on when its input is complete; the create page only once created.
bool canMoveForward(DdlPageRole shown, DdlCreateState state, bool shownPageCanContinue);
// Back from every page but the first, and from the create page only after a failed create.
bool canMoveBackward(DdlPageRole shown, DdlCreateState state);
// Nothing may close the assistant while the create runs; after it, Finish closes it.
bool canCancel(DdlCreateState state);
bool forwardButtonCancels(DdlCreateState state);
QString forwardButtonTitle(DdlPageRole shown);
// The step list: locked while creating and after, never to the create page (only Create reaches it),
// to a data or script page once every page before it holds its input.
bool canNavigateTo(DdlPageRole target, DdlCreateState state, bool earlierPagesCanContinue);
} // namespace DdlNavigation
