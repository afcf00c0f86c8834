#pragma once

// What the typing benchmarks share: the coloured SQL editor and its two floors (a plain QPlainTextEdit
// and one with a regular-expression QSyntaxHighlighter) with the same font and size, the places in the
// middle of the script where keys are typed, and how a key is typed and timed.
#include "editor/SQLTextView.h"

#include <QPlainTextEdit>
#include <QString>
#include <QSyntaxHighlighter>

#include <functional>
#include <memory>
#include <vector>

namespace TypingBench
{

constexpr qint64 scriptBytes = 10 * 1000 * 1000;

struct Editor {
    const char *name;
    QPlainTextEdit *edit;
    std::function<void(const QString &)> load;
    std::function<bool()> busy; // still colouring in the background
};

// The three editors, shown at 900 x 700 without line wrapping: the coloured SQL editor first, then the
// plain floor, then the regex one.
class TypingEditors
{
public:
    TypingEditors();
    ~TypingEditors();

    std::vector<Editor> &editors() { return editors_; }

private:
    SQLTextView coloured_;
    QPlainTextEdit plain_;
    QPlainTextEdit highlighted_;
    std::unique_ptr<QSyntaxHighlighter> highlighter_;
    std::vector<Editor> editors_;
};

// A place in the middle of the script where keys are typed.
struct Place {
    const char *name;
    qint64 position;
};
// In a word, at a line end, inside a block comment and inside a string.
std::vector<Place> typingPlaces(const QString &script);
// Their names, in the same order.
std::vector<const char *> typingPlaceNames();

// Lets the events posted so far run.
void settle();
// Puts the caret at the position, shows it in the middle of the view and paints.
void placeCaret(QPlainTextEdit &edit, qint64 position);

// How a key is painted: the whole viewport again (the most a key can cost), or only what the editor
// asks to repaint (what typing costs).
enum class Repaint { Viewport, Asked };
// One key, until the view has painted it and every event it caused has run.
void typeKey(QPlainTextEdit &edit, Qt::Key key, Repaint repaint);
// Runs what the last key posted, and what that posted in turn, until nothing is left.
void settleKey();
// The letter typed as the k-th key at a place.
Qt::Key letter(int k);

} // namespace TypingBench
