#pragma once

#include <QString>

// A UTF-16 surrogate without its partner is half a character: no encoding can send it, and drivers
// put "?" in its place, so a statement holding one would run with other text than the user's.

// The index of the first surrogate without its partner in text; -1 when there is none.
qsizetype unpairedSurrogateIndex(const QString &text);
