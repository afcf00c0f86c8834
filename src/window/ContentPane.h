#pragma once

#include <QtGlobal>

// Which pane the window's content area shows. The values are stored with a document's interface
// state, so they never change.
enum class ContentPane : quint64 {
    Nothing = 0,
    Resultset = 1,
    Analyser = 2,
    SimpleText = 3,
    SimpleAction = 4,
    Procedure = 5,
    Busy = 9,
    NotSupported = ~quint64(0),
};
