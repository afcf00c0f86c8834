// Opens a 10 MB SQL script in the SQL editor with colouring on and in a plain QPlainTextEdit, then types
// ordinary keys in the middle of both, and prints the times and their ratios. Runs offscreen by default.
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
constexpr qsizetype scriptSize = 10 * 1024 * 1024;
constexpr int keystrokes = 60;

QString makeScript()
{
    QString script;
    script.reserve(scriptSize + 512);
    for (int i = 0; script.size() < scriptSize; ++i) {
        script += QStringLiteral("-- statement %1\n"
                                 "SELECT e.ename, e.sal, d.dname, \"Mixed Case\"\n"
                                 "  FROM emp e JOIN dept d ON d.deptno = e.deptno\n"
                                 " WHERE e.sal > :minsal AND e.job = 'CLERK' /* %1 */\n"
                                 " ORDER BY (e.sal + 1) DESC;\n\n")
                      .arg(i);
    }
    return script;
}

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Opening: the text goes in and the first screen is painted.
template <typename Load> double timeOpening(QPlainTextEdit &edit, Load load)
{
    QElapsedTimer timer;
    timer.start();
    load();
    edit.viewport()->repaint();
    QCoreApplication::processEvents();
    return milliseconds(timer);
}

// One ordinary key in the middle of the text, until the view has painted it.
std::vector<double> timeKeystrokes(QPlainTextEdit &edit)
{
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(edit.document()->characterCount() / 2);
    cursor.movePosition(QTextCursor::EndOfBlock);
    edit.setTextCursor(cursor);
    edit.centerCursor();
    edit.viewport()->repaint();
    QCoreApplication::processEvents();
    std::vector<double> times;
    for (int i = 0; i < keystrokes; ++i) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&edit, Qt::Key(Qt::Key_A + i % 26));
        edit.viewport()->repaint();
        QCoreApplication::processEvents();
        times.push_back(milliseconds(timer));
    }
    return times;
}
} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    setenv("XDG_CONFIG_HOME", home.path().toUtf8().constData(), 1);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Vorn");
    QApplication::setApplicationName("Vorn");
    PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());

    const QString script = makeScript();
    std::printf("script: %lld characters\n", qlonglong(script.size()));

    SQLTextView editor;
    editor.resize(900, 700);
    editor.setVerticalRuler(std::make_unique<SQLEditorRulerView>(&editor));
    editor.setShowQueryBreaks(true);
    editor.show();
    SQLEditorTextStorage &storage = *editor.textStorage();
    storage.setReservedWords({"select", "from", "join", "on", "where", "and", "order", "by", "desc"});
    storage.setContextWords({"emp", "dept", "ename", "sal", "dname", "deptno", "job"});
    QCoreApplication::processEvents();

    QPlainTextEdit plain;
    plain.resize(900, 700);
    plain.setLineWrapMode(QPlainTextEdit::NoWrap);
    plain.setFont(editor.font());
    plain.show();
    QCoreApplication::processEvents();

    const double plainOpen = timeOpening(plain, [&] { plain.setPlainText(script); });
    const double editorOpen = timeOpening(editor, [&] { storage.replaceContents(script); });
    const std::vector<double> plainKeys = timeKeystrokes(plain);
    const std::vector<double> editorKeys = timeKeystrokes(editor);

    const double plainKey = median(plainKeys);
    const double editorKey = median(editorKeys);
    const double editorKeyWorst = *std::max_element(editorKeys.begin(), editorKeys.end());
    const double plainKeyWorst = *std::max_element(plainKeys.begin(), plainKeys.end());
    std::printf("open 10 MB      coloured editor %9.1f ms   plain QPlainTextEdit %9.1f ms   ratio %.2f\n",
                editorOpen, plainOpen, editorOpen / plainOpen);
    std::printf("keystroke median coloured editor %8.3f ms   plain QPlainTextEdit %8.3f ms   ratio %.2f\n",
                editorKey, plainKey, editorKey / plainKey);
    std::printf("keystroke worst  coloured editor %8.3f ms   plain QPlainTextEdit %8.3f ms   ratio %.2f\n",
                editorKeyWorst, plainKeyWorst, editorKeyWorst / plainKeyWorst);
    return 0;
}
