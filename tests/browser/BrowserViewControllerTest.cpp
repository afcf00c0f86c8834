#include "BrowserTestSupport.h"

#include "WaitFor.h"
#include "browser/BrowserDefinitionActions.h"
#include "browser/BrowserMDUpdateView.h"
#include "browser/BrowserOutlineModel.h"
#include "browser/BrowserViewController.h"
#include "kit/DragAndDropItemSource.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{

// Fired by the test instead of the clock.
class ManualTimer : public BrowserFoldTimer
{
public:
    void start(int ms, std::function<void()> fire) override
    {
        active = true;
        lastMs = ms;
        fire_ = std::move(fire);
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    void fire()
    {
        active = false;
        const std::function<void()> fire = fire_;
        fire();
    }

    bool active = false;
    int lastMs = 0;

private:
    std::function<void()> fire_;
};

// The definitions controller's rules: only tables truncate, constraints never drop, tables and
// indexes can be created.
class FakeDefinitions : public BrowserDefinitionActions
{
public:
    bool canTruncate(const BrowserElementPtr &element) const override
    {
        return element && element->type() == "TABLE";
    }
    bool canDrop(const BrowserElementPtr &element) const override
    {
        return element && element->type() != "CONSTRAINT";
    }
    void truncate(const BrowserElementPtr &element, QWidget *) override { truncated << element->name(); }
    void drop(const BrowserElementPtr &element, QWidget *) override { dropped << element->name(); }
    bool supportCreateNew(const QString &type) const override { return type == "TABLE" || type == "INDEX"; }
    bool canCreateNew(const QString &type) const override { return type == "TABLE"; }
    void createNew(const QString &type, QWidget *) override { created << type; }

    QStringList truncated;
    QStringList dropped;
    QStringList created;
};

// The document's part: tells the pane what the controller reports.
class PaneDocument : public FakeBrowserDocument
{
public:
    using FakeBrowserDocument::FakeBrowserDocument;
    void browserHasBeenUpdated() override
    {
        FakeBrowserDocument::browserHasBeenUpdated();
        if (pane)
            pane->browserUpdated();
    }
    void browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &update) override
    {
        FakeBrowserDocument::browserDidUpdate(update);
        if (pane)
            pane->browserDidUpdate(update);
    }
    void browserWantsInfoOfElement(const BrowserElementPtr &element) override { infoOf << element->name(); }

    BrowserViewController *pane = nullptr;
    QStringList infoOf;
};

QStringList rowTexts(const QAbstractItemModel &model, const QModelIndex &parent = {})
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row)
        texts << model.index(row, 0, parent).data().toString();
    return texts;
}

QStringList menuTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *item : menu.actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return texts;
}

QAction *itemTitled(const QMenu &menu, const QString &title)
{
    for (QAction *item : menu.actions()) {
        if (item->text() == title)
            return item;
    }
    return nullptr;
}

class BrowserViewControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(5, PreferenceKey::browser_recent_count);
        UserDefaults::standard().setObject(true, PreferenceKey::browser_recent_enabled);
        UserDefaults::standard().setObject(true, PreferenceKey::browser_favourite_enabled);
        UserDefaults::standard().setObject(true, PreferenceKey::browser_skip_favourite_keyboard_navigation);
        f.browser->addObjects("HR", "TABLE", {"Customers", "EMP", "Items", "Orders", "Stock"});
        f.browser->addObjects("HR", "INDEX", {"EMP_PK"});
        f.browser->addObjects("HR", "CONSTRAINT", {"EMP_FK"});
        f.browser->addObjects("HR2", "VIEW", {"V1"});
        f.root->setFullyLoaded("HR");
        f.controller->setResourceFolder(resources.path());
        f.controller->setDelegate(&document);
        document.controller = f.controller.get();
        f.controller->resetBrowserFromRoot();

        pane = std::make_unique<BrowserViewController>([this] {
            auto timer = std::make_unique<ManualTimer>();
            timers.push_back(timer.get());
            return timer;
        });
        pane->setDefinitionActions(&definitions);
        document.pane = pane.get();
        pane->setBrowserController(f.controller.get());
        window.resize(320, 700);
        pane->view()->setParent(&window);
        pane->view()->resize(window.size());
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void TearDown() override
    {
        pane->setBrowserController(nullptr);
        f.controller->setDelegate(&f.document);
    }

    BrowserElementPtr element(const QString &name) const
    {
        return f.controller->dataBrowserElementStore()->findElementInStoreWithName(name, "HR");
    }

    QModelIndex sectionRow(qint64 type) const
    {
        BrowserOutlineModel *model = pane->outlineModel();
        for (int i = 0; i < model->rowCount(); ++i) {
            if (model->index(i, 0).data(BrowserOutlineModel::SectionTypeRole).toLongLong() == type)
                return model->index(i, 0);
        }
        return {};
    }

    QModelIndex row(qint64 sectionType, const QString &name) const
    {
        const QModelIndex section = sectionRow(sectionType);
        BrowserOutlineModel *model = pane->outlineModel();
        for (int i = 0; i < model->rowCount(section); ++i) {
            if (model->index(i, 0, section).data().toString() == name)
                return model->index(i, 0, section);
        }
        return {};
    }

    // Loads the element as a click does and waits for the load.
    void selectByClick(const QModelIndex &index)
    {
        ASSERT_TRUE(index.isValid());
        QTest::mouseClick(pane->outlineView()->viewport(), Qt::LeftButton, {},
                          pane->outlineView()->visualRect(index).center());
        ASSERT_TRUE(f.waitForIdle());
    }

    // A favourite EMP and a recent Orders, with Customers selected last.
    void favouriteAndRecent()
    {
        f.controller->updateFavouriteStatus(true, *element("EMP"));
        selectByClick(row(BrowserElementSection::TablesAndViews, "Orders"));
        selectByClick(row(BrowserElementSection::TablesAndViews, "Customers"));
    }

    QString selectedName() const
    {
        const QModelIndexList selected = pane->outlineView()->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? QString() : selected.first().data().toString();
    }

    QString selectedSection() const
    {
        const QModelIndexList selected = pane->outlineView()->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? QString() : selected.first().parent().data().toString();
    }

    QTemporaryDir resources;
    BrowserFixture f;
    PaneDocument document{f.root, f.document.connectedControllerWantsUniqueConnectionIdentifier(nullptr)};
    FakeDefinitions definitions;
    std::vector<ManualTimer *> timers; // the fold timer, then the search reload's
    std::unique_ptr<BrowserViewController> pane;
    QWidget window;
};

TEST_F(BrowserViewControllerTest, TheOutlineMirrorsTheActiveStore)
{
    BrowserOutlineModel &model = *pane->outlineModel();
    EXPECT_EQ(pane->schemaSelection()->currentText(), "HR");
    EXPECT_EQ(pane->schemaSelection()->count(), 2);
    EXPECT_TRUE(pane->searchField()->isEnabled());
    EXPECT_EQ(rowTexts(model),
              (QStringList{"Favourites", "Recent", "Tables and Views", "Indices", "Constraints"}));
    EXPECT_EQ(rowTexts(model, sectionRow(BrowserElementSection::TablesAndViews)),
              (QStringList{"Customers", "EMP", "Items", "Orders", "Stock"}));
    EXPECT_FALSE(model.flags(sectionRow(BrowserElementSection::Indices)) & Qt::ItemIsSelectable);

    // The search text filters the object sections.
    f.controller->activeElementStore()->setFilter("emp");
    pane->reloadOutlineView();
    EXPECT_EQ(rowTexts(model, sectionRow(BrowserElementSection::TablesAndViews)), QStringList{"EMP"});
    EXPECT_EQ(rowTexts(model, sectionRow(BrowserElementSection::Indices)), QStringList{"EMP_PK"});
    f.controller->activeElementStore()->setFilter("");

    // A grid drag shows the drop targets; its end the data store again.
    auto dragged = std::make_shared<Filter>();
    dragged->setElement(element("Orders"));
    dragged->setColumnName("CUSTOMER_ID");
    f.browser->setSimilarTables({{"HR", "Customers"}});
    NotificationCenter::defaultCenter().postNotification(BrowserViewController::beganDragNotification, this,
                                                         {{"filter", dragged->archive()}});
    EXPECT_TRUE(pane->browserInDragMode());
    EXPECT_EQ(model.store(), f.controller->temporaryBrowserElementStore());
    EXPECT_TRUE(rowTexts(model).contains("Similar Tables and Views"));
    NotificationCenter::defaultCenter().postNotification(BrowserViewController::endedDragNotification, this);
    EXPECT_FALSE(pane->browserInDragMode());
    EXPECT_EQ(model.store(), f.controller->dataBrowserElementStore());

    // Without a controller everything is empty and the search field is off.
    pane->setBrowserController(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(pane->schemaSelection()->count(), 0);
    EXPECT_FALSE(pane->searchField()->isEnabled());
}

TEST_F(BrowserViewControllerTest, ARecentUpdateMovesTheRowAndKeepsTheSelection)
{
    favouriteAndRecent();
    const QModelIndex recent = sectionRow(BrowserElementSection::Recent);
    EXPECT_EQ(rowTexts(*pane->outlineModel(), recent), (QStringList{"Customers", "Orders"}));
    selectByClick(row(BrowserElementSection::TablesAndViews, "Orders"));
    EXPECT_EQ(rowTexts(*pane->outlineModel(), recent), (QStringList{"Orders", "Customers"}));
    EXPECT_EQ(selectedName(), "Orders");
    EXPECT_EQ(selectedSection(), "Tables and Views");
}

TEST_F(BrowserViewControllerTest, ArrowKeysSkipRecentsAndWithThePreferenceFavourites)
{
    favouriteAndRecent();
    struct Case {
        bool skipFavourites;
        QString expectedAfterUp;
        bool searchFieldAfterUp;
    };
    for (const Case &c : {Case{true, "Customers", true}, Case{false, "EMP", false}}) {
        SCOPED_TRACE(c.skipFavourites);
        UserDefaults::standard().setObject(c.skipFavourites,
                                           PreferenceKey::browser_skip_favourite_keyboard_navigation);
        selectByClick(row(BrowserElementSection::TablesAndViews, "Customers"));
        pane->outlineView()->setFocus();
        QTest::keyClick(pane->outlineView(), Qt::Key_Up);
        ASSERT_TRUE(f.waitForIdle());
        EXPECT_EQ(selectedName(), c.expectedAfterUp);
        EXPECT_EQ(QApplication::focusWidget() == pane->searchField(), c.searchFieldAfterUp);
        if (c.searchFieldAfterUp)
            continue;
        EXPECT_EQ(selectedSection(), "Favourites");
        // Up on the favourites' header hands the keyboard to the search field.
        QTest::keyClick(pane->outlineView(), Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), pane->searchField());
        // Down passes over the recent items.
        pane->outlineView()->setFocus();
        QTest::keyClick(pane->outlineView(), Qt::Key_Down);
        ASSERT_TRUE(f.waitForIdle());
        EXPECT_EQ(selectedName(), "Customers");
        EXPECT_EQ(selectedSection(), "Tables and Views");
    }
}

TEST_F(BrowserViewControllerTest, DownArrowInTheSearchFieldSelectsTheFirstObject)
{
    pane->searchField()->setFocus();
    QTest::keyClick(pane->searchField(), Qt::Key_Down);
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(selectedName(), "Customers");
    EXPECT_EQ(QApplication::focusWidget(), pane->outlineView());
    EXPECT_EQ(document.loadedElements, QStringList{"Customers"});
}

TEST_F(BrowserViewControllerTest, ModifiedClicksOpenElsewhereWithoutSelecting)
{
    selectByClick(row(BrowserElementSection::TablesAndViews, "Customers"));
    const QModelIndex orders = row(BrowserElementSection::TablesAndViews, "Orders");
    const QPoint at = pane->outlineView()->visualRect(orders).center();
    QWidget *viewport = pane->outlineView()->viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, at);
    EXPECT_EQ(document.newDocumentElement, element("Orders"));
    EXPECT_FALSE(document.newDocumentWindow);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, at);
    EXPECT_TRUE(document.newDocumentWindow);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier, at);
    EXPECT_EQ(document.infoOf, QStringList{"Orders"});
    EXPECT_EQ(selectedName(), "Customers");
    EXPECT_EQ(f.controller->dataBrowserElementStore()->selectedElement()->name(), "Customers");
}

TEST_F(BrowserViewControllerTest, ClickingTheSelectedElementAgainLoadsNothing)
{
    selectByClick(row(BrowserElementSection::TablesAndViews, "Items"));
    const int loads = int(f.browser->loads().size());
    selectByClick(row(BrowserElementSection::TablesAndViews, "Items"));
    EXPECT_EQ(f.browser->loads().size(), loads);
}

TEST_F(BrowserViewControllerTest, SearchFoldsFavouritesAndRecentsUntilThreeSecondsAfterTheLastKey)
{
    favouriteAndRecent();
    ASSERT_EQ(timers.size(), 2u);
    ManualTimer &fold = *timers[0];
    ManualTimer &reload = *timers[1];
    BrowserOutlineView *outline = pane->outlineView();
    const QModelIndex favourites = sectionRow(BrowserElementSection::Favourites);
    ASSERT_TRUE(outline->isExpanded(favourites));

    QTest::keyClicks(pane->searchField(), "it");
    QCoreApplication::processEvents();
    EXPECT_TRUE(fold.active);
    EXPECT_EQ(fold.lastMs, 3000);
    EXPECT_TRUE(reload.active);
    EXPECT_EQ(reload.lastMs, 600);
    EXPECT_FALSE(outline->isExpanded(sectionRow(BrowserElementSection::Favourites)));
    EXPECT_FALSE(outline->isExpanded(sectionRow(BrowserElementSection::Recent)));
    EXPECT_EQ(rowTexts(*pane->outlineModel(), sectionRow(BrowserElementSection::TablesAndViews)),
              QStringList{"Items"});
    reload.fire();
    EXPECT_FALSE(outline->isExpanded(sectionRow(BrowserElementSection::Favourites)));

    // Clearing the text reloads at once and leaves the fold pending.
    pane->searchField()->clear();
    pane->searchFieldUpdate();
    EXPECT_EQ(rowTexts(*pane->outlineModel(), sectionRow(BrowserElementSection::TablesAndViews)).size(), 5);
    EXPECT_TRUE(fold.active);

    fold.fire();
    EXPECT_TRUE(outline->isExpanded(sectionRow(BrowserElementSection::Favourites)));
    EXPECT_TRUE(outline->isExpanded(sectionRow(BrowserElementSection::Recent)));
    EXPECT_FALSE(pane->foldPending());

    // Saving the interface state ends a pending fold at once.
    QTest::keyClicks(pane->searchField(), "x");
    QCoreApplication::processEvents();
    ASSERT_TRUE(pane->foldPending());
    QVariantMap state;
    pane->encodeInferfaceState(state);
    EXPECT_FALSE(pane->foldPending());
    EXPECT_TRUE(outline->isExpanded(sectionRow(BrowserElementSection::Favourites)));
}

TEST_F(BrowserViewControllerTest, DragContentsFollowTheModifiers)
{
    struct Case {
        QString name;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    const QList<Case> cases = {
        {"Orders", {}, "Orders"},
        {"Orders", Qt::ControlModifier, "Orders"},
        {"Orders", Qt::AltModifier, "SELECT\n\t*\nFROM\n\tOrders"},
        {"Orders", Qt::ShiftModifier, "SELECT\n\t*\nFROM\n\tOrders"},
        {"Orders", Qt::ControlModifier | Qt::AltModifier, "UPDATE\n\tOrders\nSET\n\t"},
        {"EMP_PK", Qt::AltModifier, "EMP_PK"},
        {"EMP_PK", Qt::ControlModifier | Qt::AltModifier, "EMP_PK"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.name + " " + QString::number(c.modifiers.toInt())).toStdString());
        const BrowserElementPtr dragged = element(c.name);
        ASSERT_TRUE(dragged);
        const std::unique_ptr<QMimeData> data(pane->pasteboardForElement(dragged, c.modifiers));
        EXPECT_EQ(data->text(), c.text);
        const FilterPtr filter = Filter::fromArchive(data->data(Filter::filterItemType));
        ASSERT_TRUE(filter);
        EXPECT_TRUE(filter->element()->isSameDatabaseElement(*dragged));
        EXPECT_TRUE(filter->columnName().isEmpty());
        EXPECT_EQ(filter->textDrop(), c.text == c.name ? QString() : c.text);
    }

    // A change of modifiers during the drag rewrites the text; the variants travel along.
    const std::unique_ptr<QMimeData> data(pane->pasteboardForElement(element("Orders"), {}));
    EXPECT_EQ(QString::fromUtf8(data->data(BrowserViewController::updateTextType)),
              "UPDATE\n\tOrders\nSET\n\t");
    pane->dragAndDroppableOutlineViewNeedsUpdatedPasteboard(pane->outlineView(), data.get(), Qt::AltModifier);
    EXPECT_EQ(data->text(), "SELECT\n\t*\nFROM\n\tOrders");
    pane->dragAndDroppableOutlineViewNeedsUpdatedPasteboard(pane->outlineView(), data.get(), {});
    EXPECT_EQ(data->text(), "Orders");

    // Only one element row drags.
    BrowserOutlineModel &model = *pane->outlineModel();
    const QModelIndex orders = row(BrowserElementSection::TablesAndViews, "Orders");
    EXPECT_EQ(model.mimeData({orders, row(BrowserElementSection::TablesAndViews, "EMP")}), nullptr);
    EXPECT_EQ(model.mimeData({sectionRow(BrowserElementSection::TablesAndViews)}), nullptr);
    const std::unique_ptr<QMimeData> one(model.mimeData({orders}));
    ASSERT_TRUE(one);
    EXPECT_TRUE(one->hasFormat(Filter::filterItemType));
}

// The drag's token is the dragged filter's, a negated grid filter drawn as such; other data has none.
TEST_F(BrowserViewControllerTest, TheDragTokenShowsTheDraggedFilter)
{
    const std::unique_ptr<QMimeData> data(pane->pasteboardForElement(element("Orders"), {}));
    const std::unique_ptr<DragAndDropItemSource> token(
        pane->dragAndDroppableOutlineViewItemFromPasteboard(pane->outlineView(), data.get()));
    ASSERT_TRUE(token);
    EXPECT_TRUE(QTextDocumentFragment::fromHtml(token->stringForImage()).toPlainText().contains("Orders"));
    EXPECT_FALSE(token->isAlternate());

    auto negated = std::make_shared<Filter>();
    negated->setElement(element("Orders"));
    negated->setColumnName("CUSTOMER_ID");
    negated->setValues({"7"});
    negated->setNot(true);
    QMimeData grid;
    grid.setData(Filter::filterItemType, negated->archive());
    const std::unique_ptr<DragAndDropItemSource> gridToken(
        pane->dragAndDroppableOutlineViewItemFromPasteboard(pane->outlineView(), &grid));
    ASSERT_TRUE(gridToken);
    EXPECT_TRUE(gridToken->isAlternate());

    QMimeData text;
    text.setText("Orders");
    EXPECT_EQ(pane->dragAndDroppableOutlineViewItemFromPasteboard(pane->outlineView(), &text), nullptr);
}

TEST_F(BrowserViewControllerTest, DropsTakeOnlyColumnFiltersOnElementRows)
{
    f.browser->setColumns("HR", "Customers", {"ID", "NAME", "CUSTOMER_ID"});
    auto gridFilter = std::make_shared<Filter>();
    gridFilter->setElement(element("Orders"));
    gridFilter->setColumnName("CUSTOMER_ID");
    gridFilter->setValues({"7"});
    QMimeData grid;
    grid.setData(Filter::filterItemType, gridFilter->archive());
    const std::unique_ptr<QMimeData> browserDrag(pane->pasteboardForElement(element("Orders"), {}));
    QMimeData text;
    text.setText("Orders");

    const QModelIndex customers = row(BrowserElementSection::TablesAndViews, "Customers");
    const QModelIndex header = sectionRow(BrowserElementSection::TablesAndViews);
    struct Case {
        const QMimeData *data;
        QModelIndex target;
        bool accepted;
    };
    for (const Case &c : {Case{&grid, customers, true}, Case{&grid, header, false}, Case{&grid, {}, false},
                          Case{browserDrag.get(), customers, false}, Case{&text, customers, false}})
        EXPECT_EQ(pane->outlineValidateDrop(c.data, c.target), c.accepted);

    // The column menu: a disabled header, the suggested column first in bold, separators.
    QStringList shown;
    bool firstBold = false;
    int choice = -1;
    pane->setColumnChooser([&](QMenu &menu, QAction *first, const QPoint &) {
        shown = menuTexts(menu);
        firstBold = first && first->font().bold();
        EXPECT_FALSE(menu.actions().first()->isEnabled());
        return choice;
    });
    EXPECT_FALSE(pane->outlineAcceptDrop(&grid, customers, {10, 10}, {}));
    EXPECT_EQ(shown, (QStringList{"Select a column to drop 'CUSTOMER_ID' on", "-", "CUSTOMER_ID", "-", "ID",
                                  "NAME", "CUSTOMER_ID"}));
    EXPECT_TRUE(firstBold);
    EXPECT_FALSE(document.newDocumentElement);

    // Ctrl held at the drop opens the table filtered in a new tab.
    choice = 1;
    EXPECT_FALSE(pane->outlineAcceptDrop(&grid, customers, {10, 10}, Qt::ControlModifier));
    EXPECT_EQ(document.newDocumentElement, element("Customers"));
    ASSERT_TRUE(document.newDocumentFilter);
    EXPECT_EQ(document.newDocumentFilter->columnName(), "ID");
}

TEST_F(BrowserViewControllerTest, MenusFollowTheSelectionTheModeAndTheDefinitions)
{
    const auto texts = [this](const BrowserElementPtr &element) {
        const std::unique_ptr<QMenu> menu(pane->generateContextMenu(element));
        return menuTexts(*menu);
    };
    const auto enabled = [this](const BrowserElementPtr &element, const QString &title) {
        const std::unique_ptr<QMenu> menu(pane->generateContextMenu(element));
        QAction *item = itemTitled(*menu, title);
        return item && item->isEnabled();
    };
    EXPECT_EQ(texts(element("Orders")),
              (QStringList{"Open Info on Orders", "Favourite", "-", "Open in New Tab", "Open in New Window",
                           "-", "Import Data", "Export Data", "-", "Create New", "-", "Truncate...",
                           "Drop...", "-", "Show Browser Panel"}));
    EXPECT_EQ(texts(nullptr), (QStringList{"Create New", "-", "Show Browser Panel"}));
    const BrowserElementPtr constraint =
        f.controller->dataBrowserElementStore()->findElementInStoreWithName("EMP_FK", "HR");
    const BrowserElementPtr index = element("EMP_PK");
    struct Case {
        BrowserElementPtr element;
        bool truncate;
        bool drop;
    };
    for (const Case &c :
         {Case{element("Orders"), true, true}, Case{index, false, true}, Case{constraint, false, false}}) {
        SCOPED_TRACE(c.element->name().toStdString());
        EXPECT_EQ(enabled(c.element, "Truncate..."), c.truncate);
        EXPECT_EQ(enabled(c.element, "Drop..."), c.drop);
        EXPECT_FALSE(texts(c.element).contains("Import Data") && c.element->type() != "TABLE");
    }

    // The "New" menu lists what the database can create, enabled where it can now.
    const std::unique_ptr<QMenu> create(pane->generateNewMenu());
    EXPECT_EQ(menuTexts(*create), (QStringList{"Table", "Index"}));
    EXPECT_TRUE(create->actions().at(0)->isEnabled());
    EXPECT_FALSE(create->actions().at(1)->isEnabled());
    create->actions().at(0)->trigger();
    EXPECT_EQ(definitions.created, QStringList{"TABLE"});

    // The menu-bar commands act on the selection.
    EXPECT_FALSE(pane->validateAction("menuInfo:"));
    QAction info;
    info.setProperty("vornAction", "menuInfo:");
    pane->validateMenuItem(&info);
    EXPECT_EQ(info.text(), "Open Info on Object");
    selectByClick(row(BrowserElementSection::TablesAndViews, "Orders"));
    for (const char *action : {"menuInfo:", "menuFavourite:", "menuTruncate:", "menuDrop:"})
        EXPECT_TRUE(pane->validateAction(action)) << action;
    pane->validateMenuItem(&info);
    EXPECT_EQ(info.text(), "Open Info on Orders");
    QAction favourite;
    favourite.setProperty("vornAction", "menuFavourite:");
    pane->menuFavourite(&favourite);
    pane->validateMenuItem(&favourite);
    EXPECT_TRUE(favourite.isChecked());
    pane->menuFavourite(&favourite);
    pane->validateMenuItem(&favourite);
    EXPECT_FALSE(favourite.isChecked());

    // Management mode: no element commands at all.
    f.controller->toggleManagementMode();
    EXPECT_EQ(texts(element("Orders")), QStringList{"Show Browser Panel"});
    for (const char *action : {"menuInfo:", "menuFavourite:", "menuTruncate:", "menuDrop:"})
        EXPECT_FALSE(pane->validateAction(action)) << action;
    f.controller->toggleManagementMode();
}

TEST_F(BrowserViewControllerTest, HistoryMenusListTheEntriesAndNavigate)
{
    std::unique_ptr<QMenu> back(pane->historyMenu(true));
    EXPECT_TRUE(back->actions().isEmpty());
    EXPECT_EQ(back->title(), "Navigation Menu");
    for (const QString &name : QStringList{"Customers", "Items", "Stock"})
        selectByClick(row(BrowserElementSection::TablesAndViews, name));
    EXPECT_TRUE(pane->validateAction("navigateBack:"));
    EXPECT_FALSE(pane->validateAction("navigateForward:"));
    back.reset(pane->historyMenu(true));
    EXPECT_EQ(menuTexts(*back), (QStringList{"Items", "Customers"}));
    back->actions().at(1)->trigger();
    ASSERT_TRUE(f.waitForIdle());
    EXPECT_EQ(document.loadedElements.last(), "Customers");
    const std::unique_ptr<QMenu> forward(pane->historyMenu(false));
    EXPECT_EQ(menuTexts(*forward), (QStringList{"Items", "Stock"}));
    EXPECT_EQ(selectedName(), "Customers");
}

TEST_F(BrowserViewControllerTest, ARefusedSchemaChangeSnapsBack)
{
    QComboBox *schemas = pane->schemaSelection();
    f.root->reservedByOther = true;
    schemas->setCurrentIndex(schemas->findText("HR2"));
    pane->schemaSelectionUpdated(nullptr);
    EXPECT_EQ(schemas->currentText(), "HR");
    EXPECT_EQ(f.controller->dataBrowserElementStore()->selectedSchema(), "HR");

    f.root->reservedByOther = false;
    schemas->setCurrentIndex(schemas->findText("HR2"));
    pane->schemaSelectionUpdated(nullptr);
    EXPECT_EQ(schemas->currentText(), "HR2");
    EXPECT_EQ(rowTexts(*pane->outlineModel(), sectionRow(BrowserElementSection::TablesAndViews)),
              QStringList{"V1"});
}

TEST_F(BrowserViewControllerTest, TheBadgeFadesWithTheBackgroundUpdate)
{
    BrowserMDUpdateView *badge = pane->browserMDUpdateView();
    EXPECT_EQ(badge->alpha(), 0.0);
    EXPECT_EQ(badge->height(), 35);
    EXPECT_EQ(badge->width(), badge->suggestedWidth());
    EXPECT_EQ(badge->shape().boundingRect().topLeft(), QPointF(-6, 6));
    f.controller->setUpdatingMetaDataInBackground(true);
    pane->browserMetaDataCheckUpdated();
    WAIT_FOR(badge->alpha() == 1.0);
    f.controller->setUpdatingMetaDataInBackground(false);
    pane->browserMetaDataCheckUpdated();
    WAIT_FOR(badge->alpha() == 0.0);
    EXPECT_EQ(badge->parent(), pane->view());
}

TEST_F(BrowserViewControllerTest, AVisibleRectangleOfAnotherSizeLeavesTheScrollPosition)
{
    QVariantMap state;
    pane->encodeInferfaceState(state);
    ASSERT_TRUE(state.contains(BrowserViewController::visibleRectKey));
    QRect other = state.value(BrowserViewController::visibleRectKey).toRect();
    other.setHeight(other.height() + 40);
    other.moveTop(30);
    pane->decodeInferfaceState({{BrowserViewController::visibleRectKey, other}});
    EXPECT_EQ(pane->outlineView()->verticalScrollBar()->value(), 0);
}

} // namespace
