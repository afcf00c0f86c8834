// The real program in this process, offscreen: started behind the welcome screen, a SQLite connection
// chosen there opens its window; a user types statements into the editor, runs each with the toolbar's
// Execute button and reads the rows in the grid. The window is saved as "VornProgramQuery.png" in the
// build's test folder for a look.
#include "WaitFor.h"
#include "app/VornDocumentController.h"
#include "app/WelcomeScreenController.h"
#include "bridge/QoJavaBridge.h"
#include "connection/ConnectionParameters.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/Bundle.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"
#include "resultset/ResultsetTableModel.h"
#include "resultset/ResultsetViewController.h"
#include "window/ContentSplitView.h"
#include "window/FeaturedToolbar.h"
#include "window/SimpleTextController.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItem.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

using Pane = VornTabbedWindowController::Pane;

class VornProgramQueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // As the program's entry point does: every reader finds its preference.
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QoJavaBridge::setSharedConfiguration(build.infoDictionary(), build.bundlePath());
        UserDefaults::standard().setObject(999999, "last_auto_releasenotes");
        VornDocument::registerWindowPanes();
        ASSERT_TRUE(folder.isValid());
    }

    // Types into the focused editor as keys, with the caret at the end of what is there.
    void type(const QString &text)
    {
        SQLTextView *view = editor->sqlTextView();
        view->setFocus();
        view->selectAll();
        QTest::keyClick(view, Qt::Key_Delete);
        QTest::keyClicks(view, text);
    }

    // The toolbar's Execute button, clicked once it is enabled, then the run's end.
    void runWithToolbar()
    {
        ToolbarItem *execute = nullptr;
        for (ToolbarItem *item : window->toolbarController()->toolbar()->items()) {
            if (item->itemAction() == "executeSql:")
                execute = item;
        }
        ASSERT_NE(execute, nullptr);
        auto *button = qobject_cast<QAbstractButton *>(execute->view());
        ASSERT_NE(button, nullptr);
        // The connect's own hold on the root ends a moment after the document says it is connected.
        ASSERT_WAIT_FOR(!document->vornRoot()->reserved());
        window->toolbarController()->toolbar()->validateVisibleItems();
        ASSERT_WAIT_FOR(button->isEnabled());
        button->click();
        ASSERT_EQ(document->activeContent(), ContentPane::Busy) << "the click started a run";
        ASSERT_WAIT_FOR_MS(!document->sqlEditorController()->isExecuting(), 30000);
        ASSERT_WAIT_FOR(document->activeContent() != ContentPane::Busy);
        ASSERT_WAIT_FOR(!document->vornRoot()->reserved());
    }

    QTemporaryDir folder;
    VornDocument *document = nullptr;
    VornTabbedWindowController *window = nullptr;
    SQLEditorViewController *editor = nullptr;
};

TEST_F(VornProgramQueryTest, TypedQueryRunsFromTheToolbarAndItsRowsFillTheGrid)
{
    const QString database = folder.filePath("shop.db");
    QFile file(database);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const auto parameters = std::make_shared<ConnectionParameters>(QVariantMap{{"name", "Shop"},
                                                                               {"databaseType", "SQLite"},
                                                                               {"server", ""},
                                                                               {"port", ""},
                                                                               {"database", database},
                                                                               {"username", ""},
                                                                               {"autocommit", qint64(1)},
                                                                               {"label", qint64(0)}});
    VornDocumentController controller(Bundle(qEnvironmentVariable("VORN_BUILD_DIR")).infoDictionary());
    controller.applicationDidFinishLaunching();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.isStarting(); }, 60000));
    WelcomeScreenController *welcome = controller.welcomeScreenController();
    welcome->connectionViewControllerWantsToConnect(welcome->connectionViewController(), parameters);
    ASSERT_EQ(controller.documents().size(), 1);
    document = qobject_cast<VornDocument *>(controller.documents().first());
    ASSERT_NE(document, nullptr);
    window = document->vornWindowController();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return document->connected(); }, 60000));
    editor = qobject_cast<SQLEditorViewController *>(window->pane(Pane::SqlEditor));
    auto *grid = qobject_cast<ResultsetViewController *>(window->pane(Pane::Resultset));
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(grid, nullptr);
    window->window()->activateWindow();
    ASSERT_WAIT_FOR(window->window()->isActiveWindow());
    // A new connection's window opens without the editor: the user shows it with its pane button.
    if (!window->contentSplitView()->viewAEnabled())
        window->toggleContentUpperView(nullptr);
    ASSERT_WAIT_FOR(editor->sqlTextView()->isVisible());

    type("create table fruit (id integer, name text, price real)");
    EXPECT_EQ(document->sqlContents(), "create table fruit (id integer, name text, price real)");
    ASSERT_NO_FATAL_FAILURE(runWithToolbar());
    EXPECT_TRUE(document->simpleTextController()->text().startsWith("CREATE statement executed successfully"))
        << document->simpleTextController()->text().toStdString();
    type("insert into fruit values (1, 'apple', 0.5), (2, 'pear', 0.75), (3, 'fig', 2)");
    ASSERT_NO_FATAL_FAILURE(runWithToolbar());
    EXPECT_EQ(document->activeContent(), ContentPane::SimpleText);
    EXPECT_TRUE(document->simpleTextController()->text().startsWith("Successfully inserted 3 rows"))
        << document->simpleTextController()->text().toStdString();

    type("select name, price from fruit order by id");
    ASSERT_NO_FATAL_FAILURE(runWithToolbar());
    ASSERT_EQ(document->activeContent(), ContentPane::Resultset);
    QTableView *table = grid->tableView();
    ASSERT_TRUE(table->isVisible());
    const QAbstractItemModel *model = table->model();
    ASSERT_EQ(model->rowCount(), 3);
    ASSERT_EQ(model->columnCount(), 3) << "the row-number column and two data columns";
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "name");
    const auto cell = [&](int row, int column) {
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    };
    EXPECT_EQ(cell(0, 1), "apple");
    EXPECT_EQ(cell(2, 1), "fig");
    EXPECT_EQ(cell(1, 2), "0.75");

    const QString picture = qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/VornProgramQuery.png";
    EXPECT_TRUE(window->window()->grab().save(picture));
}

} // namespace
