// Opens a 10 MB SQL script in the SQL editor (colouring, line numbers, separator lines) and, as floors
// measured in the same run, in a plain QPlainTextEdit and in a QPlainTextEdit with a regular-expression
// QSyntaxHighlighter; then types keys in a word, at a line end, inside a block comment and inside a
// string in the middle of the text of each, and prints the times and their ratios. Typing a quote or
// a comment opener changes the colours of the text after it: for those it also prints how long the
// editor takes to colour what was coloured before, and the longest it keeps the event loop busy
// meanwhile. All three editors use the SQL editor's font and size. The editors take turns, opening
// after opening and key after key, so that other work on the machine weighs on all of them alike.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
//
// With --instructions it counts, under valgrind's callgrind, the instructions one keystroke in each
// place costs in each editor (see KeystrokeInstructions): figures that do not move with the load.
#include "../support/EditorBenchApplication.h"
#include "../support/SqlScriptBench.h"
#include "KeystrokeInstructions.h"
#include "TypingEditors.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

using namespace SqlScriptBench;
using namespace TypingBench;

namespace
{
constexpr int warmOpenings = 3;
constexpr int keystrokesPerPlace = 40; // typed, then as many Backspaces

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

// Each editor's first opening apart, then the editors open in turn, round after round.
std::vector<ColdAndWarm> timeOpenings(std::vector<Editor> &editors, const QString &script)
{
    std::vector<ColdAndWarm> openings(editors.size());
    std::vector<std::vector<double>> warm(editors.size());
    for (size_t e = 0; e < editors.size(); ++e)
        openings[e].cold = timeOpening(editors[e], script);
    for (int round = 0; round < warmOpenings; ++round) {
        for (size_t e = 0; e < editors.size(); ++e)
            warm[e].push_back(timeOpening(editors[e], script));
    }
    for (size_t e = 0; e < editors.size(); ++e)
        openings[e].warm = stats(warm[e]);
    return openings;
}

double timeKey(QPlainTextEdit &edit, Qt::Key key, Repaint repaint)
{
    QElapsedTimer timer;
    timer.start();
    typeKey(edit, key, repaint);
    return milliseconds(timer.nsecsElapsed());
}

// Letters typed at the position, then deleted again with Backspace, the editors taking turns key after
// key: the text is as before afterwards. The times of each editor's keys, in the order typed.
std::vector<std::vector<double>> typeAndDelete(std::vector<Editor> &editors, qint64 position, Repaint repaint)
{
    for (Editor &editor : editors)
        placeCaret(*editor.edit, position);
    std::vector<std::vector<double>> times(editors.size());
    for (int k = 0; k < 2 * keystrokesPerPlace; ++k) {
        const Qt::Key key = k < keystrokesPerPlace ? letter(k) : Qt::Key_Backspace;
        for (size_t e = 0; e < editors.size(); ++e)
            times[e].push_back(timeKey(*editors[e].edit, key, repaint));
    }
    return times;
}

// The median of the ratios of keys typed side by side.
double pairedRatio(const std::vector<double> &ours, const std::vector<double> &floor)
{
    std::vector<double> ratios;
    for (size_t k = 0; k < ours.size() && k < floor.size(); ++k)
        ratios.push_back(ours[k] / floor[k]);
    return stats(ratios).median;
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

// A line of a ratio table; the ratios are given where keys were typed side by side (pairedRatio), and
// are those of the figures otherwise.
void printRatio(const char *what, double ours, double plain, double regex, double goal, double xPlain = 0,
                double xRegex = 0)
{
    xPlain = xPlain > 0 ? xPlain : ours / plain;
    xRegex = xRegex > 0 ? xRegex : ours / regex;
    std::printf("| %-34s | %9.3f | %9.3f | %9.3f | %6.2f | %6.2f | %s |\n", what, ours, plain, regex, xPlain,
                xRegex, goal > 0 ? (xPlain <= goal ? "met" : "NOT met") : "-");
}
} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--instructions") == 0)
        return KeystrokeInstructions::run(argc, argv);
    EditorBenchApplication application(argc, argv);
    std::printf("%s\n", qPrintable(machineLoad()));

    const QString script = realScript(scriptBytes);
    std::printf("script: %.2f MB of UTF-8, %lld characters, %lld lines\n\n", script.toUtf8().size() / 1e6,
                qlonglong(script.size()), qlonglong(script.count(u'\n') + 1));

    TypingEditors typing;
    std::vector<Editor> &editors = typing.editors();
    {
        // The process's first large allocations pay for memory it has not touched yet; one opening
        // nobody measures takes that, so that every editor's cold run is its own first opening.
        QPlainTextEdit warmUp;
        warmUp.setPlainText(script);
    }
    settle();

    const std::vector<ColdAndWarm> openings = timeOpenings(editors, script);
    std::printf("| open the 10 MB script, first screen painted | ms, cold | ms, warm median | ms, warm worst "
                "|\n|---|---|---|---|\n");
    for (size_t k = 0; k < editors.size(); ++k)
        std::printf("| %s | %.1f | %.1f | %.1f |\n", editors[k].name, openings[k].cold,
                    openings[k].warm.median, openings[k].warm.worst);

    const std::vector<Place> places = typingPlaces(script);
    for (const Repaint repaint : {Repaint::Viewport, Repaint::Asked}) {
        std::printf(
            "\n| keystroke in the middle (%d typed, %d Backspace), %s | coloured ms | plain ms | regex ms "
            "| x plain | x regex | goal x2 |\n|---|---|---|---|---|---|---|\n",
            keystrokesPerPlace, keystrokesPerPlace,
            repaint == Repaint::Viewport ? "whole viewport repainted" : "repainted as the editor asks");
        std::vector<double> allOurs, allPlain, allRegex;
        for (const Place &place : places) {
            std::vector<std::vector<double>> times = typeAndDelete(editors, place.position, repaint);
            const double first[] = {times[0].front(), times[1].front(), times[2].front()};
            for (auto &t : times)
                t.erase(t.begin()); // the first key after moving the caret is shown apart
            allOurs.insert(allOurs.end(), times[0].begin(), times[0].end());
            allPlain.insert(allPlain.end(), times[1].begin(), times[1].end());
            allRegex.insert(allRegex.end(), times[2].begin(), times[2].end());
            const Stats ours = stats(times[0]), plainStats = stats(times[1]), regex = stats(times[2]);
            printRatio((QByteArray(place.name) + ", median").constData(), ours.median, plainStats.median,
                       regex.median, 2.0, pairedRatio(times[0], times[1]), pairedRatio(times[0], times[2]));
            printRatio((QByteArray(place.name) + ", worst").constData(), ours.worst, plainStats.worst,
                       regex.worst, 0);
            printRatio((QByteArray(place.name) + ", first key").constData(), first[0], first[1], first[2], 0);
        }
        printRatio("all places, median", stats(allOurs).median, stats(allPlain).median,
                   stats(allRegex).median, 2.0, pairedRatio(allOurs, allPlain),
                   pairedRatio(allOurs, allRegex));
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
