#pragma once

#include "elements/BrowserElement.h"

#include <QString>
#include <QStringList>

#include <memory>

class ResultsetViewController;
class SQLEditorViewController;
class VornDocument;
class VornTabbedWindowController;
struct DatabaseTarget;

// A connection document in a real window of its own, as the document tests drive it. A test fixture
// derives from it beside its GoogleTest base, opens the window in SetUp and closes it in TearDown. A
// failed step stops only itself: SetUp runs the steps under ASSERT_NO_FATAL_FAILURE.
class DocumentWindowFixture
{
protected:
    // A new document shown in its window, not connected, with the editor and grid panes at hand.
    void openDocumentWindow();
    // Closes the window and lets the document go, unless the test closed it already.
    void closeDocumentWindow();

    // Connects to the target and waits until the document is idle.
    void connectTo(const DatabaseTarget &target, quint64 autoCommit = 1);
    // No worker registered, the root free and the browser done loading.
    void waitForIdle();
    // The browser shows the connection's own schema, chosen as its pane does after connecting.
    void showConnectionSchema();
    // The element selected in the browser, as a click in its outline does, and loaded.
    void selectInBrowser(const BrowserElementPtr &element);

    // Replaces the editor's text, with the caret at its end.
    void type(const QString &sql);
    // Types the statements and runs them as Execute does, until their outcome reached the document.
    void runToEnd(const QString &sql);
    // Waits until the run has ended and its outcome reached the document.
    void waitForRun();

    // The grid's text at the row and column.
    QString cell(int row, int column) const;

    std::unique_ptr<VornDocument> document;
    VornTabbedWindowController *window = nullptr;
    SQLEditorViewController *editor = nullptr;
    ResultsetViewController *grid = nullptr;
};

// The test's own table made afresh on the target, through a connection of its own, by the statements
// that follow its drop.
void createTable(const DatabaseTarget &target, const QString &table, const QStringList &statements);
