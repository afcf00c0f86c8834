#include "window/VornTabbedWindowController.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "kit/ColoredView.h"
#include "kit/CommandRouter.h"
#include "platform/UserDefaults.h"
#include "window/ContentSplitView.h"
#include "window/EmptyViewController.h"
#include "window/FeaturedToolbar.h"
#include "window/MainSplitView.h"
#include "window/MainWindowDocument.h"
#include "window/NotSupportedViewController.h"
#include "window/SimpleActionViewController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItemAdjustableLayout.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{
// A document of the tests' own for the main window, and panes that record what reaches them.

class FakeDocument : public MainWindowDocument
{
    Q_OBJECT
public:
    explicit FakeDocument(qint64 features = 0x2E) : features(features) {}
    qint64 features;
    bool binFull = false;
    int titleFormat = 0;

    qint64 toolbarFeatures() const override { return features; }
    bool toolbarRecylceBinIsFull() const override { return binFull; }
    int tabTitleFormat() const override { return titleFormat; }
    void setTabTitleFormat(int format) override { titleFormat = format; }
    QString contextDisplayName() const override { return "Sales"; }
    TabbedDocumentState documentState() const override { return TabbedDocumentStateNone; }
    void loadDocumentInWindowController(TabbedWindowController *) override {}
    TabbedWindowController *createTabbedWindowController() override
    {
        auto *controller = new VornTabbedWindowController;
        controller->loadWindow();
        return controller;
    }
};

// The SQL editor pane as the window sees it: it runs statements and takes inserted text.
class FakeSqlEditorPane : public PaneViewController
{
    Q_OBJECT
public:
    FakeSqlEditorPane() { setView(new QLabel("SQL editor")); }
    QStringList inserted;
    int executions = 0;
    Q_INVOKABLE void insertQueryNearCursor(const QString &text) { inserted << text; }
public slots:
    void executeSql(QObject *) { ++executions; }
};

// A pane that keeps one value per tab and counts detaches.
class StatefulPane : public PaneViewController
{
    Q_OBJECT
public:
    explicit StatefulPane(const QString &key) : key_(key) { setView(new QLabel(key)); }
    QString value;
    int detaches = 0;
    void encodeInferfaceState(QVariantMap &archive) const override { archive.insert(key_, value); }
    void decodeInferfaceState(const QVariantMap &archive) override { value = archive.value(key_).toString(); }
    void setDefaultInterfaceState() override { value = "default"; }
    void detachModel() override { ++detaches; }

private:
    QString key_;
};

using Pane = VornTabbedWindowController::Pane;

class VornTabbedWindowControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(true, "startWithBrowserPanel");
        UserDefaults::standard().setObject(true, "startWithInfoPanel");
        VornTabbedWindowController::setPaneMaker(Pane::SqlEditor, [this] {
            auto pane = std::make_unique<FakeSqlEditorPane>();
            editor = pane.get();
            return pane;
        });
        for (Pane p : {Pane::Browser, Pane::Resultset, Pane::InfoColumn, Pane::Logger, Pane::Status})
            VornTabbedWindowController::setPaneMaker(p, [this, p] {
                auto pane = std::make_unique<StatefulPane>(QString("pane%1").arg(int(p)));
                stateful[int(p)] = pane.get();
                return pane;
            });
        controller = new VornTabbedWindowController;
        controller->loadWindow();
        first.makeWindowControllers(controller, false);
        controller->window()->show();
        controller->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    }
    void TearDown() override
    {
        for (int i = 0; i < 8; ++i)
            VornTabbedWindowController::setPaneMaker(Pane(i), nullptr);
        VornTabbedWindowController::setFilterDropHandler(nullptr);
        delete controller.data();
    }
    QPointer<VornTabbedWindowController> controller;
    FakeDocument first{0x2E};
    FakeSqlEditorPane *editor = nullptr;
    StatefulPane *stateful[8] = {};
};

// With nothing in the centre, the pane says where to start: the SQL editor, shown by its button.
TEST_F(VornTabbedWindowControllerTest, TheEmptyCentreSaysToShowTheSqlEditor)
{
    ContentSplitView *content = controller->contentSplitView();
    EmptyViewController *empty = controller->emptyViewController();
    controller->showContent(ContentPane::Nothing);
    content->setViewAEnabled(false, false);
    ASSERT_TRUE(empty->view()->isVisible());
    EXPECT_EQ(empty->guidanceLabel()->text(),
              "Show the SQL editor to write SQL statements and execute them.");
    ASSERT_TRUE(empty->showSqlEditorButton()->isVisible());

    empty->showSqlEditorButton()->click();
    EXPECT_TRUE(content->viewAEnabled());
    EXPECT_TRUE(editor->view()->isVisible());
    EXPECT_EQ(empty->guidanceLabel()->text(),
              "Write SQL statements in the SQL editor and execute them to see their results here.");
    EXPECT_FALSE(empty->showSqlEditorButton()->isVisible());

    // Hidden again, with the animation of the pane button: the button comes back.
    controller->toggleContentUpperView(nullptr);
    ASSERT_WAIT_FOR(!content->viewAEnabled() && !content->isAnimating());
    EXPECT_TRUE(empty->showSqlEditorButton()->isVisible());
}

TEST_F(VornTabbedWindowControllerTest, ContentPaneFollowsTheDocumentsCode)
{
    ContentSplitView *content = controller->contentSplitView();
    CommandRouter &router = CommandRouter::shared();
    PaneViewController *browser = controller->pane(Pane::Browser);
    EXPECT_EQ(content->contentView(), controller->emptyViewController()->view()) << "the default state";
    struct Case {
        ContentPane pane;
        QWidget *view;
        QObject *afterBrowser;
    };
    const Case cases[] = {
        {ContentPane::Resultset, controller->pane(Pane::Resultset)->view(),
         controller->pane(Pane::Resultset)},
        {ContentPane::Analyser, controller->pane(Pane::Analyser)->view(), controller->pane(Pane::Resultset)},
        {ContentPane::SimpleText, controller->simpleTextViewController()->view(),
         controller->pane(Pane::Resultset)},
        {ContentPane::SimpleAction, controller->simpleActionViewController()->view(),
         controller->pane(Pane::Resultset)},
        {ContentPane::Procedure, controller->pane(Pane::ProcedureEditor)->view(),
         controller->pane(Pane::ProcedureEditor)},
        {ContentPane::NotSupported, controller->notSupportedViewController()->view(),
         controller->pane(Pane::ProcedureEditor)},
        {ContentPane::Nothing, controller->emptyViewController()->view(),
         controller->pane(Pane::ProcedureEditor)},
    };
    for (const Case &c : cases) {
        controller->showContent(c.pane);
        EXPECT_EQ(content->contentView(), c.view) << "pane " << quint64(c.pane);
        EXPECT_EQ(router.nextResponder(browser), c.afterBrowser) << "pane " << quint64(c.pane);
    }
    controller->showContent(ContentPane::Busy);
    QPointer<QWidget> busy = content->contentView();
    EXPECT_TRUE(qobject_cast<ColoredView *>(busy));
    controller->showContent(ContentPane::Busy);
    EXPECT_NE(content->contentView(), busy.data()) << "a new busy view each time";
    ASSERT_WAIT_FOR(busy.isNull());
}

TEST_F(VornTabbedWindowControllerTest, ActionsReachThePanesThroughTheChain)
{
    CommandRouter &router = CommandRouter::shared();
    QWidget *window = controller->window();
    EXPECT_EQ(router.targetForAction("executeSql:", window), editor);
    EXPECT_EQ(router.targetForAction("toggleMainLeftView:", window), controller.data());
    EXPECT_EQ(router.targetForAction("cancelOperation:", window), nullptr) << "Escape passes on";

    FeaturedToolbar *toolbar = controller->toolbarController()->toolbar();
    toolbar->validateVisibleItems();
    for (ToolbarItem *item : toolbar->items()) {
        if (item->itemIdentifier() == "executeItem") {
            EXPECT_TRUE(item->isEnabled());
        }
        if (item->itemIdentifier() == "addItem") {
            EXPECT_FALSE(item->isEnabled()) << "the placeholder grid adds no rows";
        }
    }
    EXPECT_TRUE(router.sendAction("executeSql:", nullptr, nullptr, window));
    EXPECT_EQ(editor->executions, 1);
}

TEST_F(VornTabbedWindowControllerTest, PaneTogglesKeepButtonsAndMenuInStep)
{
    MainSplitView *main = controller->mainSplitView();
    ToolbarController *toolbar = controller->toolbarController();
    ASSERT_TRUE(main->viewAEnabled());
    EXPECT_TRUE(toolbar->leftPaneButton()->isChecked());
    EXPECT_FALSE(toolbar->topPaneButton()->isChecked()) << "the editor starts hidden";

    QAction item("View");
    item.setProperty("vornAction", "toggleMainLeftView:");
    EXPECT_TRUE(controller->validateMenuItem(&item));
    EXPECT_EQ(item.text(), "Hide Browser Panel");

    controller->toggleMainLeftView(nullptr);
    ASSERT_WAIT_FOR(!main->isAnimating());
    EXPECT_FALSE(main->viewAEnabled());
    EXPECT_FALSE(toolbar->leftPaneButton()->isChecked()) << "SplitViewUpdates syncs the buttons";
    controller->validateMenuItem(&item);
    EXPECT_EQ(item.text(), "Show Browser Panel");

    QAbstractButton *bottom = toolbar->bottomPaneButton();
    bottom->click();
    ASSERT_WAIT_FOR(!controller->contentSplitView()->isAnimating());
    EXPECT_TRUE(controller->contentSplitView()->viewBEnabled());
    EXPECT_TRUE(bottom->isChecked());

    controller->insertText("SELECT 1");
    EXPECT_TRUE(controller->contentSplitView()->viewAEnabled() ||
                controller->contentSplitView()->isAnimating())
        << "a hidden editor is shown first";
    EXPECT_EQ(editor->inserted, QStringList{"SELECT 1"});
}

TEST_F(VornTabbedWindowControllerTest, EachTabKeepsItsPaneState)
{
    MainSplitView *main = controller->mainSplitView();
    main->setViewAEnabled(false, false);
    stateful[int(Pane::Browser)]->value = "first's browser";

    FakeDocument second(0x2E);
    second.makeWindowControllers(controller, false);
    EXPECT_TRUE(main->viewAEnabled()) << "a new tab starts from the defaults";
    EXPECT_EQ(stateful[int(Pane::Browser)]->value, "default");
    EXPECT_TRUE(controller->toolbarController()->leftPaneButton()->isChecked());

    controller->activateDocument(&first);
    EXPECT_FALSE(main->viewAEnabled());
    EXPECT_EQ(stateful[int(Pane::Browser)]->value, "first's browser");
    EXPECT_FALSE(controller->toolbarController()->leftPaneButton()->isChecked());
    controller->removeDocument(&second);
}

TEST_F(VornTabbedWindowControllerTest, ToolbarFollowsTheActiveDocument)
{
    FeaturedToolbar *toolbar = controller->toolbarController()->toolbar();
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(toolbar->features(), 0x2E);
    EXPECT_FALSE(controller->needToolbarUpdate());
    EXPECT_EQ(controller->toolbarController()->adjustableRightItem()->splitView(),
              controller->mainSplitView());

    first.features = 0x2E | 0x80 | 0x100;
    first.binFull = true;
    EXPECT_TRUE(controller->needToolbarUpdate());
    controller->documentStatusUpdated(&first);
    EXPECT_EQ(controller->toolbarController()->toolbar(), toolbar) << "re-configured, not replaced";
    EXPECT_EQ(toolbar->features(), 0x2E | 0x80 | 0x100);
    EXPECT_TRUE(controller->toolbarController()->trashItem()->view()->property("binFull").toBool());
    EXPECT_EQ(controller->toolbarController()->adjustableRightItem()->splitView(),
              controller->mainSplitView())
        << "the new spacer is bound again";

    FakeDocument second(0x2F);
    second.makeWindowControllers(controller, true);
    EXPECT_EQ(toolbar->features(), 0x2F) << "switching tabs brings the other document's toolbar";
    controller->removeDocument(&second);
}

TEST_F(VornTabbedWindowControllerTest, TabMenuOffersTheTitleFormats)
{
    QMenu menu;
    EXPECT_TRUE(controller->createTabMenuItems(1, &menu).isEmpty()) << "index equal to the tab count";
    first.titleFormat = 2;
    const QList<QAction *> items = controller->createTabMenuItems(0, &menu);
    ASSERT_FALSE(items.isEmpty());
    QAction *title = items.last();
    EXPECT_EQ(title->text(), "Title");
    ASSERT_TRUE(title->menu());
    const QList<QAction *> formats = title->menu()->actions();
    ASSERT_EQ(formats.size(), 3);
    EXPECT_EQ(formats[0]->text(), "Name of selected element");
    EXPECT_EQ(formats[1]->text(), "Name of document");
    EXPECT_EQ(formats[2]->text(), "Name of the connection");
    EXPECT_TRUE(formats[2]->isChecked());
    EXPECT_FALSE(formats[0]->isChecked());
    formats[1]->trigger();
    EXPECT_EQ(first.titleFormat, 1);
}

TEST_F(VornTabbedWindowControllerTest, OnlyFilterItemsDroppedOnTheTabBarReachTheHook)
{
    QList<QByteArray> received;
    VornTabbedWindowController::setFilterDropHandler(
        [&received](const QByteArray &data, VornTabbedWindowController *) { received << data; });
    controller->tabBarReceivedExternalDrop("text/plain", "SELECT 1");
    EXPECT_TRUE(received.isEmpty());
    controller->tabBarReceivedExternalDrop(VornTabbedWindowController::FilterItemType, "filter-bytes");
    EXPECT_EQ(received, QList<QByteArray>{"filter-bytes"});
}

TEST_F(VornTabbedWindowControllerTest, SheetControllersLiveAsLongAsTheirUse)
{
    using Sheet = VornTabbedWindowController::Sheet;
    int made = 0;
    for (Sheet sheet : {Sheet::Import, Sheet::Export, Sheet::RecycleBin, Sheet::ConnectionDetails})
        VornTabbedWindowController::setSheetMaker(sheet, [&made](VornTabbedWindowController *) {
            ++made;
            return std::make_unique<QObject>();
        });
    QPointer<QObject> import = controller->createImportViewController();
    ASSERT_TRUE(import);
    EXPECT_EQ(controller->currentImportViewController(), import.data());
    controller->destroyImportViewController();
    EXPECT_TRUE(import.isNull());
    EXPECT_EQ(controller->currentImportViewController(), nullptr);

    QObject *shared = controller->sharedExportViewController();
    EXPECT_EQ(controller->sharedExportViewController(), shared) << "the shared one is kept";
    controller->destroyExportViewController();
    EXPECT_NE(controller->createExportViewController(), nullptr);

    QObject *bin = controller->sharedRecycleBinViewController();
    EXPECT_EQ(controller->sharedRecycleBinViewController(), bin);
    QObject *details = controller->sharedConnectionDetailsViewController();
    EXPECT_EQ(controller->sharedConnectionDetailsViewController(), details);
    EXPECT_EQ(made, 5);
    for (Sheet sheet : {Sheet::Import, Sheet::Export, Sheet::RecycleBin, Sheet::ConnectionDetails})
        VornTabbedWindowController::setSheetMaker(sheet, nullptr);
}

TEST_F(VornTabbedWindowControllerTest, LastTabClosedDetachesThePanes)
{
    controller->clearControllers();
    EXPECT_EQ(stateful[int(Pane::Browser)]->detaches, 1);
    EXPECT_EQ(stateful[int(Pane::Resultset)]->detaches, 1);
    EXPECT_EQ(stateful[int(Pane::InfoColumn)]->detaches, 1);
    // The status bar and the log pane hold the closed document's manager and log otherwise.
    EXPECT_EQ(stateful[int(Pane::Logger)]->detaches, 1);
    EXPECT_EQ(stateful[int(Pane::Status)]->detaches, 1);
}

TEST(VornWindowPlacementTest, WidthAndCascade)
{
    struct Width {
        int screen, window, expected;
    };
    const Width widths[] = {{1440, 1000, 1100}, {1280, 1000, 1100}, {1200, 1000, 1000}, {1440, 1010, 1010}};
    for (const Width &w : widths)
        EXPECT_EQ(VornTabbedWindowController::adjustedWindowWidth(w.screen, w.window), w.expected)
            << w.screen << " " << w.window;

    const QSize size(1000, 700);
    const QRect screen(0, 0, 1440, 900);
    EXPECT_FALSE(VornTabbedWindowController::cascadeTopLeft({}, size, screen));
    struct Cascade {
        QList<QRect> others;
        QPoint expected;
    };
    const Cascade cascades[] = {
        // Rightmost left edge 300, lowest bottom edge 200 + 700 - 1: 20 right of it, 36 above it.
        {{QRect(100, 200, 1000, 700), QRect(300, 50, 1000, 700)}, QPoint(320, 200 - 36)},
        // A window as tall as the space above the lowest bottom edge stays below the screen's top.
        {{QRect(100, 20, 1000, 700)}, QPoint(120, 0)},
        // Far right: the window keeps its right edge on the screen.
        {{QRect(600, 100, 1000, 700)}, QPoint(440, 64)},
    };
    for (const Cascade &c : cascades) {
        const auto cascaded = VornTabbedWindowController::cascadeTopLeft(c.others, size, screen);
        ASSERT_TRUE(cascaded);
        EXPECT_EQ(*cascaded, c.expected);
    }
}

// The main window with its panes (placeholders where a pane's own controller is still to come)
// and toolbar, saved as a picture for people to look at.
TEST(VornMainWindowPictureTest, ScreenshotOfTheMainWindow)
{
    UserDefaults::standard().setObject(true, "startWithBrowserPanel");
    UserDefaults::standard().setObject(true, "startWithInfoPanel");
    FakeDocument document(0xAF);
    auto *controller = new VornTabbedWindowController;
    controller->loadWindow();
    document.makeWindowControllers(controller, false);
    controller->window()->resize(1200, 760);
    controller->window()->show();
    controller->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    controller->contentSplitView()->setViewAEnabled(true, false);
    controller->contentSplitView()->setViewBEnabled(true, false);
    SimpleTextController text(std::make_shared<FakeVornRootClient>());
    text.setText("CREATE TABLE customers (\n    id INTEGER PRIMARY KEY,\n    name VARCHAR(80) NOT NULL\n);");
    controller->simpleTextViewController()->setSimpleTextController(&text);
    controller->setSimpleTextView();
    controller->updateToolbar();

    const QImage shot = controller->window()->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.width(), 1200);
    EXPECT_EQ(controller->mainSplitView()->extentOf(controller->mainSplitView()->viewA()), 220);
    const QString folder = qEnvironmentVariable("VORN_BUILD_DIR", QDir::tempPath()) + "/test-artifacts";
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/main-window.png"));
    controller->simpleTextViewController()->setSimpleTextController(nullptr);
    delete controller;
}

} // namespace

#include "VornTabbedWindowControllerTest.moc"
