// The menus of a document window of the real program, offscreen: every command in its place with
// its shortcut, items enabled as the toolbar's (Execute needs a connection and no running
// statement), keys that reach their commands, Open Recent, and files opened into a tab in front.
#include "app/ApplicationMenu.h"
#include "LongStatements.h"
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "app/VornDocumentController.h"
#include "app/WelcomeScreenController.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaObject.h"
#include "browser/IndependantInfoColumnViewController.h"
#include "browser/InfoController.h"
#include "document/DocumentHelper.h"
#include "document/InfoColumnRouting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "kit/CommandRouter.h"
#include "platform/Bundle.h"
#include "platform/PreferenceDefaults.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "tabs/RecentDocuments.h"
#include "window/ContentSplitView.h"
#include "window/FeaturedToolbar.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItem.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

using Pane = VornTabbedWindowController::Pane;

QList<QAction *> allItems(const QWidget *menuOrBar)
{
    QList<QAction *> items;
    for (QAction *item : menuOrBar->actions()) {
        items << item;
        if (QMenu *submenu = item->menu())
            items << allItems(submenu);
    }
    return items;
}

// One program for every test: a binary starts the Java VM once.
class ApplicationMenuTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QoJavaBridge::setSharedConfiguration(build.infoDictionary(), build.bundlePath());
        UserDefaults::standard().setObject(999999, PreferenceKey::last_auto_releasenotes);
        VornDocument::registerWindowPanes();
        folder = new QTemporaryDir;
        controller = new VornDocumentController(build.infoDictionary());
        controller->applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitFor([] { return !controller->isStarting(); }, 60000));
        WelcomeScreenController *welcome = controller->welcomeScreenController();
        welcome->connectionViewControllerWantsToConnect(
            welcome->connectionViewController(), sqliteConnection(folder->filePath("shop.db"), "Shop"));
        ASSERT_EQ(controller->documents().size(), 1);
        document = qobject_cast<VornDocument *>(controller->documents().first());
        ASSERT_TRUE(QTest::qWaitFor([] { return document->connected(); }, 60000));
        // The connect's own hold on the root ends a moment after.
        ASSERT_TRUE(QTest::qWaitFor([] { return !document->vornRoot()->reserved(); }, 10000));
    }

    static void TearDownTestSuite()
    {
        delete controller;
        delete folder;
    }

    void SetUp() override
    {
        ASSERT_NE(document, nullptr);
        window = document->vornWindowController();
        ASSERT_NE(window, nullptr);
        bar = qobject_cast<QMenuBar *>(window->window()->menuWidget());
        ASSERT_NE(bar, nullptr);
        editor = qobject_cast<SQLEditorViewController *>(window->pane(Pane::SqlEditor));
        ASSERT_NE(editor, nullptr);
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
        if (!window->contentSplitView()->viewAEnabled())
            window->toggleContentUpperView(nullptr);
        editor->sqlTextView()->setFocus();
    }

    QAction *item(const QString &action) const
    {
        for (QAction *candidate : allItems(bar)) {
            if (ApplicationMenu::actionOf(candidate) == action)
                return candidate;
        }
        return nullptr;
    }

    // The item's enabled state as its menu shows it now.
    bool enabledInMenu(const QString &action) const
    {
        QAction *found = item(action);
        EXPECT_NE(found, nullptr) << action.toStdString();
        for (QAction *menu : bar->actions())
            emit menu->menu()->aboutToShow();
        return found && found->isEnabled();
    }

    bool toolbarExecuteEnabled() const
    {
        window->toolbarController()->toolbar()->validateVisibleItems();
        for (ToolbarItem *toolbarItem : window->toolbarController()->toolbar()->items()) {
            if (toolbarItem->itemAction() == "executeSql:")
                return toolbarItem->isEnabled();
        }
        return false;
    }

    // The report of a stopped statement, when one shows, is answered.
    static void dismissAlert()
    {
        QMessageBox *shown = nullptr;
        VORN_WAIT_UNTIL(shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()), 2000);
        if (shown)
            shown->buttons().first()->click();
    }

    void type(const QString &text)
    {
        editor->sqlTextView()->selectAll();
        editor->sqlTextView()->insertPlainText(text);
        editor->sqlTextView()->setSelectedRange(0, 0);
    }

    static inline QTemporaryDir *folder = nullptr;
    static inline VornDocumentController *controller = nullptr;
    static inline VornDocument *document = nullptr;
    VornTabbedWindowController *window = nullptr;
    QMenuBar *bar = nullptr;
    SQLEditorViewController *editor = nullptr;
};

TEST_F(ApplicationMenuTest, EveryCommandIsInItsMenuWithItsShortcut)
{
    QStringList menus;
    for (QAction *menu : bar->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View", "&Query", "&Results", "&Window", "&Help"}));

    struct Entry {
        const char *menu;
        const char *action;
        const char *keys; // portable text, "; " between alternatives
    };
    const Entry entries[] = {
        {"&File", "newTab:", "Ctrl+T"},
        {"&File", "newWindow:", "Ctrl+N"},
        {"&File", "openDocument:", "Ctrl+O"},
        {"&File", "saveDocument:", "Ctrl+S"},
        {"&File", "saveDocumentAs:", "Ctrl+Alt+Shift+S"},
        {"&File", "revertDocumentToSaved:", ""},
        {"&File", "performCloseTab:", "Ctrl+W"},
        {"&File", "performClose:", "Ctrl+Shift+W"},
        {"&File", "importConnectionsBackup:", ""},
        {"&File", "createConnectionsBackup:", ""},
        {"&File", "terminate:", "Ctrl+Q"},
        {"&Edit", "undo:", "Ctrl+Z"},
        {"&Edit", "redo:", "Ctrl+Shift+Z"},
        {"&Edit", "copy:", "Ctrl+C"},
        {"&Edit", "selectAll:", "Ctrl+A"},
        {"&Edit", "gotoLine:", "Ctrl+L"},
        {"&Edit", "increaseIdentation:", "Ctrl+]"},
        {"&Edit", "runPreferences:", "Ctrl+,"},
        {"&View", "toggleMainLeftView:", "Meta+Ctrl+Alt+0"},
        {"&View", "toggleMainRightView:", "Ctrl+Alt+0"},
        {"&View", "openInfoInOwnWindow:", ""},
        {"&View", "toggleContentUpperView:", "Ctrl+Y"},
        {"&View", "toggleContentLowerView:", "Ctrl+Shift+Y"},
        {"&View", "toggleToolbarShown:", ""},
        {"&Query", "executeSql:", "Ctrl+Return; Ctrl+Enter"},
        {"&Query", "cancelExecution:", "Ctrl+."},
        {"&Query", "commit:", "Ctrl+Shift+K"},
        {"&Query", "rollback:", "Ctrl+Shift+R"},
        {"&Query", "analyseSql:", "Ctrl+Shift+A"},
        {"&Query", "formatSql:", ""},
        {"&Results", "refresh:", "Ctrl+R"},
        {"&Results", "addRow:", "Ctrl+="},
        {"&Results", "deleteRow:", "Ctrl+-"},
        {"&Results", "filter:", "Ctrl+Shift+F"},
        {"&Results", "sort:", "Ctrl+Shift+S"},
        {"&Results", "selectResultset:", "Ctrl+Alt+L"},
        {"&Results", "selectQuickFilter:", "Ctrl+Alt+F"},
        {"&Window", "selectNextTab:", "Ctrl+PgDown"},
        {"&Window", "openQueryRecall:", "Ctrl+Shift+H"},
        {"&Window", "runActivityViewer:", ""},
        {"&Help", "runAboutPanel:", ""},
    };
    for (const Entry &entry : entries) {
        SCOPED_TRACE(entry.action);
        QAction *found = item(entry.action);
        ASSERT_NE(found, nullptr);
        QStringList keys;
        for (const QKeySequence &key : found->shortcuts())
            keys << key.toString(QKeySequence::PortableText);
        EXPECT_EQ(keys.join("; "), entry.keys);
        QMenu *menu = nullptr;
        for (QAction *top : bar->actions()) {
            if (allItems(top->menu()).contains(found))
                menu = top->menu();
        }
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), entry.menu);
    }

    // No shortcut twice: a key shared by two items would do neither.
    QHash<QKeySequence, QString> owners;
    for (QAction *candidate : allItems(bar)) {
        for (const QKeySequence &key : candidate->shortcuts()) {
            EXPECT_FALSE(owners.contains(key))
                << key.toString().toStdString() << " of " << owners.value(key).toStdString() << " and "
                << candidate->text().toStdString();
            owners.insert(key, candidate->text());
        }
    }
    // Commands of panes the program does not have yet are left out.
    for (const char *absent : {"navigateBack:", "navigateForward:", "openRecycleBin:", "compile:"})
        EXPECT_EQ(item(absent), nullptr) << absent;
    // The statement commands follow the text; the code formats come with the program.
    QMenu *copyAs = bar->findChild<QMenu *>("SQLCOPYITEM");
    ASSERT_NE(copyAs, nullptr);
    type("select 1");
    EXPECT_TRUE(enabledInMenu("formatSql:"));
    // Analyse needs the root, which a load after connecting may still hold a moment.
    ASSERT_WAIT_FOR_MS(enabledInMenu("analyseSql:"), 10000);
    EXPECT_TRUE(copyAs->menuAction()->isVisible());
    EXPECT_TRUE(copyAs->isEnabled());
    type("  ");
    EXPECT_FALSE(enabledInMenu("formatSql:"));
    EXPECT_EQ(enabledInMenu("analyseSql:"), enabledInMenu("executeSql:")) << "Analyse follows Execute";
    EXPECT_FALSE(copyAs->isEnabled());
    EXPECT_FALSE(enabledInMenu("commit:"));
}

TEST_F(ApplicationMenuTest, ExecuteAndStopFollowTheConnectionAndTheRunningStatement)
{
    type("select 1");
    EXPECT_TRUE(enabledInMenu("executeSql:"));
    EXPECT_TRUE(toolbarExecuteEnabled());
    EXPECT_FALSE(enabledInMenu("cancelExecution:"));

    // The key runs the statement; while it runs nothing else can, but it can be stopped.
    type(longStatementFor("SQLite"));
    QTest::keyClick(editor->sqlTextView(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_WAIT_FOR(document->sqlEditorController()->isExecuting());
    EXPECT_FALSE(enabledInMenu("executeSql:"));
    EXPECT_FALSE(toolbarExecuteEnabled());
    EXPECT_TRUE(enabledInMenu("cancelExecution:"));
    // Stopped once the statement runs in the database, not before it got there.
    const QoJavaObjectPtr browser = document->vornRoot()->object()->call("browser").value<QoJavaObjectPtr>();
    ASSERT_NE(browser, nullptr);
    ASSERT_WAIT_FOR_MS(browser->call("canStopStoppableStatement").toBool(), 10000);
    QTest::keyClick(editor->sqlTextView(), Qt::Key_Period, Qt::ControlModifier);
    ASSERT_WAIT_FOR_MS(!document->sqlEditorController()->isExecuting(), 30000);
    ASSERT_WAIT_FOR(!document->vornRoot()->reserved());
    dismissAlert();
    EXPECT_TRUE(enabledInMenu("executeSql:"));

    // The keypad's Enter runs it too.
    type("select 2");
    QTest::keyClick(editor->sqlTextView(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    ASSERT_WAIT_FOR_MS(!document->sqlEditorController()->isExecuting(), 30000);
    ASSERT_WAIT_FOR(!document->vornRoot()->reserved());

    // Without a connection the command is disabled and its key does nothing.
    document->disconnect(nullptr);
    ASSERT_WAIT_FOR_MS(!document->vornRoot()->hasConnection(), 30000);
    EXPECT_FALSE(enabledInMenu("executeSql:"));
    EXPECT_FALSE(toolbarExecuteEnabled());
    QTest::keyClick(editor->sqlTextView(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(document->sqlEditorController()->isExecuting());
    EXPECT_EQ(document->sqlContents(), "select 2") << "the key is not typed into the text either";
    document->goStartupConnection();
    ASSERT_WAIT_FOR_MS(document->connected() && !document->vornRoot()->reserved(), 60000);
}

TEST_F(ApplicationMenuTest, ViewTogglesAreTitledByTheirPanesAndTheirKeysWorkFromTheEditor)
{
    // A toggle while a pane still moves is ignored, as a click on the pane button then is.
    WAIT_FOR(!window->contentSplitView()->isAnimating());
    enabledInMenu("toggleContentLowerView:");
    QAction *log = item("toggleContentLowerView:");
    const bool shown = window->contentSplitView()->viewBEnabled();
    EXPECT_EQ(log->text(), shown ? "Hide Execution Log" : "Show Execution Log");
    const auto key = [this](int modifiers) {
        QTest::keyClick(editor->sqlTextView(), Qt::Key_Y, Qt::KeyboardModifiers(modifiers));
        WAIT_FOR(!window->contentSplitView()->isAnimating()); // a toggle waits for the last one's end
    };
    key(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(window->contentSplitView()->viewBEnabled(), shown);
    enabledInMenu("toggleContentLowerView:");
    EXPECT_EQ(log->text(), shown ? "Show Execution Log" : "Hide Execution Log");
    key(Qt::ControlModifier | Qt::ShiftModifier);

    // Ctrl+Y belongs to the SQL editor's toggle, also while the editor has the keyboard.
    key(Qt::ControlModifier);
    EXPECT_FALSE(window->contentSplitView()->viewAEnabled());
    window->toggleContentUpperView(nullptr);
    WAIT_FOR(!window->contentSplitView()->isAnimating());
    ASSERT_TRUE(window->contentSplitView()->viewAEnabled());

    enabledInMenu("toggleToolbarShown:");
    EXPECT_EQ(item("toggleToolbarShown:")->text(), "Hide Toolbar");
    item("toggleToolbarShown:")->trigger();
    EXPECT_TRUE(window->toolbarController()->toolbar()->isHidden());
    enabledInMenu("toggleToolbarShown:");
    EXPECT_EQ(item("toggleToolbarShown:")->text(), "Show Toolbar");
    item("toggleToolbarShown:")->trigger();
    EXPECT_FALSE(window->toolbarController()->toolbar()->isHidden());
}

TEST_F(ApplicationMenuTest, OpenInfoInOwnWindowOpensAPanelOfTheInspectorsObject)
{
    const std::shared_ptr<InfoController> info = document->infoColumn().infoController();
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(IndependantInfoColumnViewController::topInfoPanel(), nullptr);
    ASSERT_TRUE(enabledInMenu("openInfoInOwnWindow:"));
    item("openInfoInOwnWindow:")->trigger();
    QWidget *panel = nullptr;
    ASSERT_WAIT_FOR(panel = IndependantInfoColumnViewController::topInfoPanel());
    EXPECT_EQ(panel->windowTitle(), info->name());
    panel->close();
    ASSERT_WAIT_FOR(!IndependantInfoColumnViewController::topInfoPanel());

    // A management session has no one object to open apart.
    info->setManagementMode(true);
    EXPECT_FALSE(enabledInMenu("openInfoInOwnWindow:"));
    info->setManagementMode(false);
    EXPECT_TRUE(enabledInMenu("openInfoInOwnWindow:"));
}

TEST_F(ApplicationMenuTest, OpenedFilesComeInFrontInATabOrAWindowAsThePreferenceSaysAndAreRemembered)
{
    QMenu *recent = nullptr;
    for (QMenu *menu : bar->findChildren<QMenu *>()) {
        if (menu->title() == "Open Recent")
            recent = menu;
    }
    ASSERT_NE(recent, nullptr);
    for (const bool inTab : {true, false}) {
        SCOPED_TRACE(inTab ? "in a tab" : "in a window");
        UserDefaults::standard().setObject(inTab, PreferenceKey::openDocumentInTab);
        const QString path = folder->filePath(inTab ? "tab.sql" : "window.sql");
        QString sql = "select 7;";
        const ConnectionParametersPtr shop = sqliteConnection(folder->filePath("other.db"), "Other");
        ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, shop.get(), {}, {}));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(sql.toUtf8());
        file.close();

        // Opened while the welcome screen is the front window.
        CommandRouter::shared().sendAction("openWelcomeScreen:", nullptr, nullptr, window->window());
        QWidget *welcome = controller->welcomeScreenController()->window();
        welcome->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(welcome));
        controller->openDocumentWithContentsOfURL(path);
        TabbedDocument *opened = controller->documentForPath(path);
        ASSERT_NE(opened, nullptr);
        ASSERT_NE(opened->windowController(), nullptr);
        EXPECT_EQ(opened->windowController() == window, inTab);
        VORN_WAIT_UNTIL(QApplication::activeWindow() == opened->windowController()->window(), 5000);
        ASSERT_EQ(QApplication::activeWindow(), opened->windowController()->window())
            << (QApplication::activeWindow() ? QApplication::activeWindow()->windowTitle().toStdString()
                                             : "none");
        EXPECT_EQ(RecentDocuments().documents().value(0), path);

        // Open Recent lists it first; choosing it again shows the same document in front.
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
        emit recent->aboutToShow();
        ASSERT_GE(recent->actions().size(), 3);
        EXPECT_EQ(recent->actions().first()->text(), QFileInfo(path).fileName());
        EXPECT_EQ(recent->actions().last()->text(), "Clear Menu");
        const qsizetype documents = controller->documents().size();
        recent->actions().first()->trigger();
        EXPECT_EQ(controller->documents().size(), documents);
        ASSERT_WAIT_FOR(QApplication::activeWindow() == opened->windowController()->window());
        if (!inTab)
            opened->windowController()->window()->close();
        else
            window->doCloseDoc(opened, true);
        window->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
    }
    emit recent->aboutToShow();
    recent->actions().last()->trigger();
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_FALSE(recent->actions().first()->isEnabled()) << "Clear Menu of an empty list";
}

TEST_F(ApplicationMenuTest, CloseTabClosesTheWelcomeScreenWhichHasNoTabs)
{
    CommandRouter::shared().sendAction("openWelcomeScreen:", nullptr, nullptr, window->window());
    auto *welcome = qobject_cast<QMainWindow *>(controller->welcomeScreenController()->window());
    ASSERT_NE(welcome, nullptr);
    // The welcome screen may still be on its way to the screen when first asked: ask until it is active.
    const auto activated = [welcome] {
        welcome->activateWindow();
        return welcome->isActiveWindow();
    };
    ASSERT_WAIT_FOR(activated());
    QTest::keyClick(welcome, Qt::Key_W, Qt::ControlModifier);
    WAIT_FOR(!welcome->isVisible());
    EXPECT_EQ(controller->documents().size(), 1) << "no document tab was closed";
}

} // namespace
