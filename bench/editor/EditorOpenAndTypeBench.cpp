// Opens a 10 MB SQL script in the SQL editor (colouring, line numbers, separator lines) and, as floors
// measured in the same run, in a plain QPlainTextEdit and in a QPlainTextEdit with a regular-expression
// QSyntaxHighlighter; then types keys in a word, at a line end, inside a block comment and inside a
// string in the middle of the text of each, and prints the times and their ratios. Typing a quote or
// a comment opener changes the colours of the text after it: for those it also prints how long the
// editor takes to colour what was coloured before, and the longest it keeps the event loop busy
// meanwhile. All three editors use the SQL editor's font and size. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.
#include "../support/EditorBenchApplication.h"
#include "../support/SqlScriptBench.h"
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTest>

#include <cstdio>
#include <functional>
#include <vector>

using namespace SqlScriptBench;

namespace
{
constexpr qint64 scriptBytes = 10 * 1000 * 1000;
constexpr int warmOpenings = 3;
constexpr int keystrokesPerPlace = 40; // typed, then as many Backspaces

const QStringList reservedWords = {"select", "from",   "join",    "on",   "where",  "and",   "group",
                                   "by",     "order",  "having",  "desc", "create", "table", "if",
                                   "not",    "exists", "primary", "key",  "insert", "into",  "values",
                                   "update", "set",    "delete",  "as"};
const QStringList contextWords = {"customers", "orders", "sessions", "id", "name", "status"};

// What editors commonly do: keywords, strings and comments by regular expressions, block comments
// carried from line to line by the block state.
class RegexHighlighter : public QSyntaxHighlighter
{
public:
    explicit RegexHighlighter(QTextDocument *document) : QSyntaxHighlighter(document)
    {
        keyword_.setForeground(Qt::darkBlue);
        keyword_.setFontWeight(QFont::Bold);
        literal_.setForeground(Qt::darkRed);
        comment_.setForeground(Qt::darkGreen);
        keywords_.setPattern(QStringLiteral("\\b(%1)\\b").arg(reservedWords.join(u'|')));
        keywords_.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
    }

protected:
    void highlightBlock(const QString &text) override
    {
        for (auto match = keywords_.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), keyword_);
        }
        for (auto match = literals_.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), literal_);
        }
        const QRegularExpressionMatch line = lineComment_.match(text);
        if (line.hasMatch())
            setFormat(int(line.capturedStart()), int(line.capturedLength()), comment_);
        setCurrentBlockState(0);
        int start = previousBlockState() == 1 ? 0 : int(text.indexOf(QStringLiteral("/*")));
        while (start >= 0) {
            const int end = int(text.indexOf(QStringLiteral("*/"), start + 2));
            const int length = end < 0 ? int(text.length()) - start : end - start + 2;
            if (end < 0)
                setCurrentBlockState(1);
            setFormat(start, length, comment_);
            start = int(text.indexOf(QStringLiteral("/*"), start + length));
        }
    }

private:
    QRegularExpression keywords_;
    QRegularExpression literals_{QStringLiteral("'[^']*'")};
    QRegularExpression lineComment_{QStringLiteral("--[^\n]*")};
    QTextCharFormat keyword_, literal_, comment_;
};

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

struct Editor {
    const char *name;
    QPlainTextEdit *edit;
    std::function<void(const QString &)> load;
    std::function<bool()> busy; // still colouring in the background
};

// Opening: the text goes in and the first screen is painted.
double timeOpening(Editor &editor, const QString &script)
{
    editor.edit->setPlainText(QString());
    settle();
    QElapsedTimer timer;
    timer.start();
    editor.load(script);
    editor.edit->viewport()->repaint();
    settle();
    return milliseconds(timer.nsecsElapsed());
}

// Puts the caret at the position, shows it in the middle of the view and paints.
void placeCaret(QPlainTextEdit &edit, qint64 position)
{
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(int(position));
    edit.setTextCursor(cursor);
    edit.centerCursor();
    edit.viewport()->repaint();
    settle();
}

// How a key is painted: the whole viewport again (the most a key can cost), or only what the editor
// asks to repaint (what typing costs).
enum class Repaint { Viewport, Asked };

// One key, until the view has painted it and every event it caused has run.
double timeKey(QPlainTextEdit &edit, Qt::Key key, Repaint repaint)
{
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&edit, key);
    if (repaint == Repaint::Viewport)
        edit.viewport()->repaint();
    QCoreApplication::processEvents();
    return milliseconds(timer.nsecsElapsed());
}

// Letters typed at the position, then deleted again with Backspace: the text is as before afterwards.
std::vector<double> typeAndDelete(QPlainTextEdit &edit, qint64 position, Repaint repaint)
{
    placeCaret(edit, position);
    std::vector<double> times;
    for (int k = 0; k < keystrokesPerPlace; ++k)
        times.push_back(timeKey(edit, Qt::Key(Qt::Key_A + k % 26), repaint));
    for (int k = 0; k < keystrokesPerPlace; ++k)
        times.push_back(timeKey(edit, Qt::Key_Backspace, repaint));
    return times;
}

struct Opener {
    double keystroke = 0;    // until painted
    double recoloured = 0;   // until nothing is left to colour again
    double longestStall = 0; // the longest single turn of the event loop meanwhile
};

// Types the opener and waits until its colours are settled, turning the event loop as a user's
// typing would; then deletes it the same way. Reports the worse of the two.
Opener timeOpener(Editor &editor, qint64 position, const QString &opener)
{
    placeCaret(*editor.edit, position);
    Opener worst;
    const auto measure = [&](const std::function<void()> &press) {
        Opener result;
        QElapsedTimer total;
        total.start();
        press();
        result.keystroke = milliseconds(total.nsecsElapsed());
        while (editor.busy()) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents();
            result.longestStall = std::max(result.longestStall, milliseconds(turn.nsecsElapsed()));
        }
        result.recoloured = milliseconds(total.nsecsElapsed());
        worst.keystroke = std::max(worst.keystroke, result.keystroke);
        worst.recoloured = std::max(worst.recoloured, result.recoloured);
        worst.longestStall = std::max(worst.longestStall, result.longestStall);
    };
    measure([&] {
        QTest::keyClicks(editor.edit, opener);
        editor.edit->viewport()->repaint();
        QCoreApplication::processEvents();
    });
    measure([&] {
        for (qsizetype k = 0; k < opener.size(); ++k)
            QTest::keyClick(editor.edit, Qt::Key_Backspace);
        editor.edit->viewport()->repaint();
        QCoreApplication::processEvents();
    });
    return worst;
}

// Scrolls through the whole text once, so that all of it has been shown (and, where an editor colours
// what it shows, coloured).
void scrollThrough(QPlainTextEdit &edit)
{
    QScrollBar *bar = edit.verticalScrollBar();
    for (int value = bar->minimum(); value <= bar->maximum(); value += std::max(1, bar->pageStep())) {
        bar->setValue(value);
        edit.viewport()->repaint();
    }
    settle();
}

void printRatio(const char *what, double ours, double plain, double regex, double goal)
{
    std::printf("| %-34s | %9.3f | %9.3f | %9.3f | %6.2f | %6.2f | %s |\n", what, ours, plain, regex,
                ours / plain, ours / regex, goal > 0 ? (ours / plain <= goal ? "met" : "NOT met") : "-");
}
} // namespace

int main(int argc, char **argv)
{
    EditorBenchApplication application(argc, argv);
    std::printf("%s\n", qPrintable(machineLoad()));

    const QString script = realScript(scriptBytes);
    std::printf("script: %.2f MB of UTF-8, %lld characters, %lld lines\n\n", script.toUtf8().size() / 1e6,
                qlonglong(script.size()), qlonglong(script.count(u'\n') + 1));

    SQLTextView coloured;
    coloured.setVerticalRuler(std::make_unique<SQLEditorRulerView>(&coloured));
    coloured.setShowQueryBreaks(true);
    SQLEditorTextStorage &storage = *coloured.textStorage();
    storage.setReservedWords(reservedWords);
    storage.setContextWords(contextWords);

    QPlainTextEdit plain;
    QPlainTextEdit highlighted;
    RegexHighlighter highlighter(highlighted.document());
    for (QPlainTextEdit *edit : {static_cast<QPlainTextEdit *>(&coloured), &plain, &highlighted}) {
        edit->resize(900, 700);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setFont(coloured.font());
        edit->show();
    }
    settle();

    std::vector<Editor> editors = {
        {"coloured SQL editor", &coloured, [&](const QString &text) { storage.replaceContents(text); },
         [&] { return storage.recolouringPending(); }},
        {"plain QPlainTextEdit", &plain, [&](const QString &text) { plain.setPlainText(text); },
         [] { return false; }},
        {"regex QSyntaxHighlighter", &highlighted,
         [&](const QString &text) { highlighted.setPlainText(text); }, [] { return false; }},
    };

    {
        // The process's first large allocations pay for memory it has not touched yet; one opening
        // nobody measures takes that, so that every editor's cold run is its own first opening.
        QPlainTextEdit warmUp;
        warmUp.setPlainText(script);
    }
    settle();

    std::vector<ColdAndWarm> openings;
    for (Editor &editor : editors)
        openings.push_back(coldAndWarm(warmOpenings, [&] { return timeOpening(editor, script); }));
    std::printf("| open the 10 MB script, first screen painted | ms, cold | ms, warm median | ms, warm worst "
                "|\n|---|---|---|---|\n");
    for (size_t k = 0; k < editors.size(); ++k)
        std::printf("| %s | %.1f | %.1f | %.1f |\n", editors[k].name, openings[k].cold,
                    openings[k].warm.median, openings[k].warm.worst);

    const qint64 middle = script.size() / 2;
    const struct {
        const char *name;
        qint64 position;
    } places[] = {
        {"in a word", script.indexOf(QStringLiteral("FROM customers"), middle) + 7},
        {"at a line end", script.indexOf(u'\n', middle)},
        {"inside a block comment", script.indexOf(QStringLiteral("at least"), middle) + 3},
        {"inside a string", script.indexOf(QStringLiteral("'cancelled'"), middle) + 4},
    };
    for (const Repaint repaint : {Repaint::Viewport, Repaint::Asked}) {
        std::printf(
            "\n| keystroke in the middle (%d typed, %d Backspace), %s | coloured ms | plain ms | regex ms "
            "| x plain | x regex | goal x2 |\n|---|---|---|---|---|---|---|\n",
            keystrokesPerPlace, keystrokesPerPlace,
            repaint == Repaint::Viewport ? "whole viewport repainted" : "repainted as the editor asks");
        std::vector<double> allOurs, allPlain, allRegex;
        for (const auto &place : places) {
            std::vector<std::vector<double>> times;
            for (Editor &editor : editors)
                times.push_back(typeAndDelete(*editor.edit, place.position, repaint));
            const double first[] = {times[0].front(), times[1].front(), times[2].front()};
            for (auto &t : times)
                t.erase(t.begin()); // the first key after moving the caret is shown apart
            allOurs.insert(allOurs.end(), times[0].begin(), times[0].end());
            allPlain.insert(allPlain.end(), times[1].begin(), times[1].end());
            allRegex.insert(allRegex.end(), times[2].begin(), times[2].end());
            const Stats ours = stats(times[0]), plainStats = stats(times[1]), regex = stats(times[2]);
            printRatio((QByteArray(place.name) + ", median").constData(), ours.median, plainStats.median,
                       regex.median, 2.0);
            printRatio((QByteArray(place.name) + ", worst").constData(), ours.worst, plainStats.worst,
                       regex.worst, 0);
            printRatio((QByteArray(place.name) + ", first key").constData(), first[0], first[1], first[2], 0);
        }
        printRatio("all places, median", stats(allOurs).median, stats(allPlain).median,
                   stats(allRegex).median, 2.0);
    }
    std::printf("\n| open | coloured ms | plain ms | regex ms | x plain | x regex | goal x1.5 |\n"
                "|---|---|---|---|---|---|---|\n");
    printRatio("open, warm median", openings[0].warm.median, openings[1].warm.median, openings[2].warm.median,
               1.5);
    printRatio("open, cold", openings[0].cold, openings[1].cold, openings[2].cold, 0);

    // The openers, once right after opening (little coloured yet) and once after the whole text has
    // been shown (all of it coloured, so all of it to colour again).
    for (const bool shownThrough : {false, true}) {
        if (shownThrough) {
            for (Editor &editor : editors)
                scrollThrough(*editor.edit);
        }
        std::printf("\n| opener in the middle%s | editor | keystroke ms | settled ms | longest stall ms "
                    "|\n|---|---|---|---|---|\n",
                    shownThrough ? ", whole text shown before" : "");
        const struct {
            const char *name;
            QString text;
            qint64 position;
        } openers[] = {
            {"quote \" (to the end of the text)", QStringLiteral("\""), places[0].position},
            {"quote ' (to a later quote)", QStringLiteral("'"), places[0].position},
            {"comment opener /*", QStringLiteral("/*"), places[0].position},
        };
        for (const auto &opener : openers) {
            for (Editor &editor : editors) {
                const Opener o = timeOpener(editor, opener.position, opener.text);
                std::printf("| %s | %s | %.3f | %.3f | %.3f |\n", opener.name, editor.name, o.keystroke,
                            o.recoloured, o.longestStall);
            }
        }
    }
    std::printf("\n%s\n", qPrintable(machineLoad()));
    return 0;
}
