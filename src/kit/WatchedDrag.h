#pragma once

#include <Qt>

#include <functional>

class QDrag;

// Runs the drag (copy by default) until it ends. A running drag reports neither changes of the
// modifier keys nor moves of the pointer, so they are polled meanwhile; moved hears of each, with the
// modifiers now held and whether they changed.
void execWatchedDrag(
    QDrag &drag, Qt::DropActions supportedActions,
    const std::function<void(Qt::KeyboardModifiers modifiers, bool modifiersChanged)> &moved);
