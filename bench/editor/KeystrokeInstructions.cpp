#include "KeystrokeInstructions.h"

#include "../support/EditorBenchApplication.h"
#include "../support/SqlScriptBench.h"
#include "TypingEditors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace KeystrokeInstructions
{

namespace
{
using namespace TypingBench;

constexpr int countedKeysPerPlace = 10; // typed, then as many Backspaces
constexpr int editorCount = 3;

const char *repaintName(Repaint repaint)
{
    return repaint == Repaint::Viewport ? "whole viewport repainted" : "repainted as the editor asks";
}

// One editor under callgrind: opens the script uncounted, then counts the keys of each place and mode
// and dumps them under "<place>|<mode>".
int child(int argc, char **argv, int editorIndex)
{
    EditorBenchApplication application(argc, argv);
    // A blinking caret repaints on a timer, which a slow run under callgrind meets more often.
    QApplication::setCursorFlashTime(0);
    const QString script = SqlScriptBench::realScript(scriptBytes);
    TypingEditors typing;
    Editor &editor = typing.editors().at(size_t(editorIndex));
    editor.load(script);
    editor.edit->viewport()->repaint();
    settle();
    CALLGRIND_START_INSTRUMENTATION;
    for (const Place &place : typingPlaces(script)) {
        for (const Repaint repaint : {Repaint::Viewport, Repaint::Asked}) {
            placeCaret(*editor.edit, place.position);
            typeKey(*editor.edit, letter(0), repaint);
            CALLGRIND_TOGGLE_COLLECT;
            for (int k = 1; k <= countedKeysPerPlace; ++k)
                typeKey(*editor.edit, letter(k), repaint);
            for (int k = 0; k < countedKeysPerPlace; ++k)
                typeKey(*editor.edit, Qt::Key_Backspace, repaint);
            CALLGRIND_TOGGLE_COLLECT;
            const QByteArray name = QByteArray(place.name) + '|' + repaintName(repaint);
            CALLGRIND_DUMP_STATS_AT(name.constData());
            typeKey(*editor.edit, Qt::Key_Backspace, repaint);
        }
    }
    return 0;
}

// The counts in the dumps of one run: instructions per key by "<place>|<mode>".
QMap<QString, double> readDumps(const QDir &folder, const QString &prefix)
{
    QMap<QString, double> perKey;
    for (const QString &name : folder.entryList({prefix + "*"}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QString trigger;
        double total = -1;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.startsWith("desc: Trigger: Client Request: "))
                trigger = QString::fromUtf8(line.mid(31));
            else if (line.startsWith("summary: ") || line.startsWith("totals: "))
                total = line.mid(line.indexOf(' ') + 1).split(' ').value(0).toDouble();
        }
        if (trigger.contains(u'|') && total >= 0)
            perKey.insert(trigger, total / (2 * countedKeysPerPlace));
    }
    return perKey;
}

void printRow(const QString &what, const double counts[editorCount], bool goal)
{
    const double xPlain = counts[0] / counts[1];
    std::printf("| %-34s | %10.0f | %10.0f | %10.0f | %6.2f | %6.2f | %s |\n", qPrintable(what),
                counts[0] / 1000, counts[1] / 1000, counts[2] / 1000, xPlain, counts[0] / counts[2],
                goal ? (xPlain <= 2.0 ? "met" : "NOT met") : "-");
}

// Runs each editor under callgrind, side by side, and prints the table.
int parent(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    std::printf("%s (callgrind counts instructions; the load does not change them)\n",
                qPrintable(SqlScriptBench::machineLoad()));
    std::fflush(stdout);
    QTemporaryDir folder;
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int e = 0; e < editorCount; ++e) {
        auto run = std::make_unique<QProcess>();
        run->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run->setStandardOutputFile(QProcess::nullDevice());
        run->start("valgrind",
                   {"--tool=callgrind", "--instr-atstart=no", "--collect-atstart=no",
                    "--callgrind-out-file=" + folder.filePath(QString("editor%1.out").arg(e)),
                    QCoreApplication::applicationFilePath(), "--instructions", "child", QString::number(e)});
        if (!run->waitForStarted()) {
            std::fprintf(stderr, "Cannot start valgrind: %s\n", qPrintable(run->errorString()));
            return 1;
        }
        runs.push_back(std::move(run));
    }
    std::vector<QMap<QString, double>> counts;
    for (int e = 0; e < editorCount; ++e) {
        runs[size_t(e)]->waitForFinished(-1);
        if (runs[size_t(e)]->exitStatus() != QProcess::NormalExit || runs[size_t(e)]->exitCode() != 0) {
            std::fprintf(stderr, "The callgrind run of editor %d failed\n", e);
            return 1;
        }
        counts.push_back(readDumps(QDir(folder.path()), QString("editor%1.out").arg(e)));
    }

    const char *const editorNames[editorCount] = {"coloured", "plain", "regex"};
    for (const Repaint repaint : {Repaint::Viewport, Repaint::Asked}) {
        std::printf("\n| keystroke in the middle (%d typed, %d Backspace), %s | coloured k instr | plain k "
                    "instr | regex k instr | x plain | x regex | goal x2 |\n|---|---|---|---|---|---|---|\n",
                    countedKeysPerPlace, countedKeysPerPlace, repaintName(repaint));
        double all[editorCount] = {};
        for (const char *place : typingPlaceNames()) {
            const QString key = QString(place) + '|' + repaintName(repaint);
            double perKey[editorCount];
            for (int e = 0; e < editorCount; ++e) {
                if (!counts[size_t(e)].contains(key)) {
                    std::fprintf(stderr, "No count of %s for %s\n", qPrintable(key), editorNames[e]);
                    return 1;
                }
                perKey[e] = counts[size_t(e)].value(key);
                all[e] += perKey[e] / double(typingPlaceNames().size());
            }
            printRow(QString(place) + ", per key", perKey, true);
        }
        printRow("all places, mean per key", all, true);
    }
    return 0;
}
} // namespace

int run(int argc, char **argv)
{
    if (argc > 3 && std::strcmp(argv[2], "child") == 0)
        return child(argc, argv, std::atoi(argv[3]));
    return parent(argc, argv);
}

} // namespace KeystrokeInstructions
