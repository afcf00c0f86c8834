// The info column's views offscreen: the button bar, the rows' layout, the column's sections and the
// floating panel's closing.
#include "browser/InfoColumnView.h"
#include "FakeVornInfoClient.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "browser/IndependantInfoColumnViewController.h"
#include "browser/InfoColumnButtonBar.h"
#include "browser/InfoColumnButtonBarButton.h"
#include "browser/InfoColumnDataView.h"
#include "browser/InfoColumnDataViewDelegate.h"
#include "browser/InfoColumnSectionHeader.h"
#include "browser/InfoColumnViewController.h"
#include "browser/InfoController.h"
#include "browser/InfoSectionNotLoadedView.h"
#include "kit/ShortcutVisualizer.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{
QStringList keysOf(const InfoColumnButtonBar &bar)
{
    QStringList keys;
    for (const InfoColumnButtonBarButton *button : bar.buttons())
        keys << button->shortcut().toString(QKeySequence::PortableText);
    return keys;
}

class RecordingTarget : public InfoColumnDataViewDelegate
{
public:
    void shouldReferTo(const BrowserElementPtr &element) override { referred << element; }
    void shouldReferToAction(const QVariant &action) override { actions << action; }
    void shouldChangeFavouriteStatusTo(bool favourite) override { favourites << favourite; }
    QList<BrowserElementPtr> referred;
    QVariantList actions;
    QList<bool> favourites;
};
} // namespace

TEST(InfoColumnButtonBarTest, GeometryAndKeysFollowTheButtonSet)
{
    struct Case {
        quint64 set;
        int width;
        QStringList keys;
        qint64 active;
    };
    const QString k = "Ctrl+Alt+";
    const QList<Case> cases{
        {1 | 2 | 4 | 8 | 16 | 32 | 128 | 256 | 512 | InfoColumnButtonBar::refreshFlag,
         292,
         {k + "1", k + "2", k + "3", k + "4", k + "5", k + "6", k + "7", k + "8", k + "9", k + "R"},
         1},
        {1 | 2 | 32 | InfoColumnButtonBar::refreshFlag,
         3 * 28 + 4 + 8 + 28,
         {k + "1", k + "2", k + "3", k + "R"},
         1},
        {InfoColumnButtonBar::refreshFlag, 40, {k + "R"}, 1},
        {0, 4, {}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.set);
        InfoColumnButtonBar bar(c.set, 1);
        EXPECT_EQ(bar.width(), c.width);
        EXPECT_EQ(bar.height(), 22);
        EXPECT_EQ(keysOf(bar), c.keys);
        EXPECT_EQ(bar.activeButton(), c.active);
    }
    InfoColumnButtonBar bar(1 | 2 | 32 | InfoColumnButtonBar::refreshFlag, 1);
    EXPECT_EQ(bar.button(2)->pos(), QPoint(28, 1));
    EXPECT_EQ(bar.button(32)->pos(), QPoint(56, 1));
    EXPECT_EQ(bar.refreshButton()->pos(), QPoint(3 * 28 + 8, 1));
}

TEST(InfoColumnButtonBarTest, PressingLightsOneButtonAndRefreshNeverStaysLit)
{
    class Delegate : public InfoColumnButtonBarDelegate
    {
    public:
        void infoColumnButtonBarSelectChanged(InfoColumnButtonBar *) override { ++selects; }
        void infoColumnButtonBarRefreshRequested(InfoColumnButtonBar *) override { ++refreshes; }
        int selects = 0;
        int refreshes = 0;
    } delegate;
    InfoColumnButtonBar bar(1 | 2 | 32 | InfoColumnButtonBar::refreshFlag, 32);
    bar.setDelegate(&delegate);
    EXPECT_EQ(bar.activeButton(), 32) << "a known initial selection is kept";
    EXPECT_FALSE(bar.button(32)->isEnabled());
    bar.button(2)->click();
    EXPECT_EQ(bar.activeButton(), 2);
    EXPECT_EQ(delegate.selects, 1);
    EXPECT_TRUE(bar.button(2)->isChecked());
    EXPECT_FALSE(bar.button(2)->isEnabled());
    EXPECT_TRUE(bar.button(32)->isEnabled());
    EXPECT_FALSE(bar.button(32)->isChecked());
    bar.button(2)->click();
    EXPECT_EQ(delegate.selects, 1) << "the lit button cannot be pressed";
    bar.refreshButton()->click();
    EXPECT_EQ(delegate.refreshes, 1);
    EXPECT_FALSE(bar.refreshButton()->isChecked());
    bar.setEnableRefresh(false);
    bar.refreshButton()->click();
    EXPECT_EQ(delegate.refreshes, 1);
    EXPECT_EQ(InfoColumnButtonBar(1 | 2, 64).activeButton(), 1)
        << "an unknown initial selection lights General";
    EXPECT_DOUBLE_EQ(InfoColumnButtonBarButton::opacity(false, true), 0.5);
    EXPECT_DOUBLE_EQ(InfoColumnButtonBarButton::opacity(false, false), 0.25);
}

TEST(InfoColumnButtonBarTest, TheOverlayLabelsEveryButtonWithItsKeys)
{
    QWidget window;
    auto *bar = new InfoColumnButtonBar(1 | 2 | 32 | InfoColumnButtonBar::refreshFlag, 2, &window);
    window.show();
    QList<VisualShortcutAdopter *> adopters;
    ShortcutVisualizer::recursiveCollectVisualShortcut(adopters, &window);
    ASSERT_TRUE(adopters.contains(bar)) << "the window's overlay asks the bar";

    QStringList labels;
    QList<bool> enabled;
    QList<bool> bumped;
    QList<QWidget *> views;
    for (const VisualShortcut &shortcut : bar->visualShortcuts()) {
        labels << ShortcutVisualizer::stringForShortcut(shortcut);
        enabled << shortcut.enabled;
        bumped << shortcut.shouldBump;
        views << shortcut.view;
    }
    EXPECT_EQ(labels, (QStringList{"Ctrl+Alt+1", "Ctrl+Alt+2", "Ctrl+Alt+3", "Ctrl+Alt+R"}));
    EXPECT_EQ(enabled, (QList<bool>{true, false, true, true})) << "the lit button has no label";
    EXPECT_EQ(bumped, (QList<bool>{false, true, false, true})) << "neighbours stand apart";
    EXPECT_EQ(views,
              (QList<QWidget *>{bar->button(1), bar->button(2), bar->button(32), bar->refreshButton()}));

    bar->setEnableRefresh(false);
    EXPECT_FALSE(bar->visualShortcuts().last().enabled);
    EXPECT_TRUE(InfoColumnButtonBar(0, 1).visualShortcuts().isEmpty());
}

TEST(InfoColumnDataViewTest, RowsAreLaidOutByTheirContentAndArrangement)
{
    InfoColumnDataView *spacer = InfoColumnDataView::infoColumnDataViewSpacer(4.9);
    spacer->sizeToFitWidth(200);
    EXPECT_EQ(spacer->size(), QSize(200, 4));
    delete spacer;

    InfoColumnDataView valueOnly;
    valueOnly.setValue("A message");
    valueOnly.sizeToFitWidth(200);
    EXPECT_EQ(valueOnly.valueCell()->x(), 10);
    EXPECT_FALSE(valueOnly.nameCell()->isVisible() && valueOnly.nameCell()->isVisibleTo(&valueOnly));

    InfoColumnDataView title;
    title.setName("Primary key");
    title.setBold(true);
    title.sizeToFitWidth(200);
    EXPECT_EQ(title.nameCell()->x(), 10);
    EXPECT_FALSE(title.valueCell()->isVisibleTo(&title));

    InfoColumnDataView line;
    line.setName("Name:");
    line.setValue("EMP");
    line.setNameWidth(80);
    line.sizeToFitWidth(200);
    EXPECT_EQ(line.valueCell()->x(), 80 + 12) << "the shared name column, then gap and lead";

    InfoColumnDataView fills;
    fills.setName("ID");
    fills.setValue("INTEGER");
    fills.setArrangement(2);
    fills.setNameWidth(80);
    fills.sizeToFitWidth(200);
    EXPECT_EQ(fills.valueCell()->x(), int(fills.minimumNameWidth()) + 12) << "its own name width";
    EXPECT_EQ(fills.valueCell()->alignment() & Qt::AlignRight, Qt::AlignRight);

    InfoColumnDataView favourite;
    favourite.setFavouriteStatus(true);
    favourite.sizeToFitWidth(200);
    EXPECT_EQ(favourite.favouriteButton()->pos(), QPoint(10, 0));
    EXPECT_GE(favourite.height(), 24);
    EXPECT_TRUE(favourite.favouriteButton()->isChecked());
}

TEST(InfoColumnDataViewTest, LongValuesWrapUnderTheNameOnlyWithTheWrapFlag)
{
    const QString longText = QString("word ").repeated(60).trimmed();
    InfoColumnDataView wrapped;
    wrapped.setName("Comment:");
    wrapped.setArrangement(8);
    wrapped.setValue(longText);
    wrapped.sizeToFitWidth(200);
    const int lineHeight = wrapped.nameCell()->height();
    EXPECT_EQ(wrapped.valueCell()->x(), 10);
    EXPECT_EQ(wrapped.valueCell()->y(), 5 + lineHeight);
    EXPECT_EQ(wrapped.valueCell()->width(), 180);
    EXPECT_EQ(wrapped.height(), 5 + lineHeight + wrapped.valueCell()->height());
    EXPECT_GT(wrapped.valueCell()->height(), 3 * lineHeight);
    EXPECT_TRUE(wrapped.valueCell()->toolTip().isEmpty());

    InfoColumnDataView single;
    single.setName("Comment:");
    single.setValue(longText);
    single.sizeToFitWidth(200);
    EXPECT_EQ(single.height(), single.nameCell()->height()) << "one line, cut in the middle";
    EXPECT_NE(single.valueCell()->text(), longText);
    EXPECT_EQ(single.valueCell()->toolTip(), longText);

    InfoColumnDataView shortWrapped;
    shortWrapped.setName("Comment:");
    shortWrapped.setArrangement(8);
    shortWrapped.setValue("Short");
    shortWrapped.sizeToFitWidth(200);
    EXPECT_EQ(shortWrapped.valueCell()->y(), 0) << "a value of one line stays beside its name";
}

TEST(InfoColumnDataViewTest, TheReferButtonFollowsItsTextAndTellsTheTarget)
{
    RecordingTarget target;
    InfoColumnDataView row;
    row.setName("EMP_IX");
    auto element = std::make_shared<BrowserElement>("EMP_IX", "HR", "INDEX", BrowserElement::Index);
    row.setReferingObject(element);
    row.setReferTarget(&target);
    row.sizeToFitWidth(200);
    ASSERT_TRUE(row.referButton());
    EXPECT_EQ(row.referButton()->x(), row.nameCell()->geometry().right() + 1 + 2) << "behind the name";
    row.referButton()->click();
    ASSERT_EQ(target.referred.size(), 1);
    EXPECT_EQ(target.referred.first(), element);

    InfoColumnDataView favourite;
    favourite.setFavouriteStatus(false);
    favourite.setReferTarget(&target);
    favourite.favouriteButton()->click();
    EXPECT_EQ(target.favourites, QList<bool>{true});
}

TEST(InfoSectionViewsTest, HeaderPlaceholdersAndNoticeSize)
{
    InfoColumnSectionHeader *header =
        InfoColumnSectionHeader::sectionHeader(QString(), "Shop", QPixmap(), QString(), 2, true);
    EXPECT_EQ(header->name(), "___");
    EXPECT_EQ(header->title(), "___");
    EXPECT_EQ(header->connection(), "Shop");
    EXPECT_TRUE(header->managementMode());
    delete header;
    InfoSectionNotLoadedView *notice = InfoSectionNotLoadedView::instance();
    EXPECT_EQ(notice->height(), 35);
    EXPECT_EQ(notice->width(), notice->suggestedWidth());
    EXPECT_EQ(notice->title(), "Please wait");
    delete notice;
}

namespace
{
class InfoColumnViewControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root->browserClient->describe = [this](const QString &, const QString &, const QString &) {
            return info;
        };
        info->generic = {{"name", "EMP"}, {"type", "TABLE"}, {"subtype", "table"}};
        info->filledGeneric = info->generic;
        info->indexInfo = true;
        info->ddlText = "CREATE TABLE EMP (ID INTEGER)";
        column.view()->resize(260, 500);
        column.view()->show();
    }

    void showTable()
    {
        controller->resetInfoUsingBrowserElementColumns(
            std::make_shared<BrowserElement>("EMP", "HR", "TABLE", BrowserElement::Table),
            QList<QVariantMap>{{{"label", "ID"}, {"typeName", "INTEGER"}}});
        column.setInfoController(controller);
    }

    QStringList rowTexts() const
    {
        QStringList texts;
        for (const InfoColumnDataView *row : column.dataViews()) {
            if (!row->spacer())
                texts << row->name() + "|" + row->value();
        }
        return texts;
    }

    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    std::shared_ptr<FakeVornInfoClient> info = std::make_shared<FakeVornInfoClient>();
    std::shared_ptr<InfoController> controller = std::make_shared<InfoController>(root);
    InfoColumnViewController column;
};
} // namespace

TEST_F(InfoColumnViewControllerTest, TheBarOffersTheControllersSectionsAndShowsTheActiveOne)
{
    EXPECT_EQ(column.infoColumnButtonBar()->infoColumnButtonSet(), 1u) << "General alone before a controller";
    showTable();
    EXPECT_EQ(column.infoColumnButtonBar()->infoColumnButtonSet(),
              quint64(1 | 2 | 4 | 32) | InfoColumnButtonBar::refreshFlag);
    EXPECT_EQ(rowTexts().first(), "Name:|EMP");
    EXPECT_EQ(column.header()->title(), "General");
    EXPECT_TRUE(column.notLoadedView()->isVisibleTo(column.view())) << "the skeleton is still loading";
    EXPECT_FALSE(column.infoColumnButtonBar()->refreshButton()->isEnabled());

    column.infoColumnButtonBar()->button(2)->click();
    EXPECT_EQ(column.header()->title(), "Columns");
    EXPECT_EQ(rowTexts(), QStringList{"ID:|INTEGER"});

    // An update of another section leaves the rows; of this one redraws them.
    const QList<InfoColumnDataView *> before = column.dataViews();
    column.infoUpdated(32);
    EXPECT_EQ(column.dataViews(), before);
    column.infoUpdated(2);
    EXPECT_NE(column.dataViews(), before);
}

TEST_F(InfoColumnViewControllerTest, TheSelectedSectionIsRestoredFromTheInterfaceState)
{
    showTable();
    column.infoColumnButtonBar()->button(32)->click();
    QVariantMap state;
    column.encodeInferfaceState(state);
    EXPECT_EQ(state.value("SelectedInfo").toLongLong(), 32);

    column.infoColumnButtonBar()->button(1)->click();
    column.decodeInferfaceState(state);
    EXPECT_EQ(column.infoColumnButtonBar()->activeButton(), 32);
    EXPECT_EQ(column.header()->title(), "Data definition");

    column.decodeInferfaceState({{"SelectedInfo", 512}});
    EXPECT_EQ(column.infoColumnButtonBar()->activeButton(), 1) << "a page the object has not: General";
    EXPECT_EQ(column.header()->title(), "General");
}

TEST_F(InfoColumnViewControllerTest, ALoadedSectionDropsTheNoticeAndTheFavouriteSitsAtTheBottom)
{
    showTable();
    for (const InfoItemSectionPtr &section : controller->infoItemSections())
        section->fullyLoaded = true;
    column.infoControllerUpdate();
    EXPECT_FALSE(column.notLoadedView()->isVisibleTo(column.view()));
    EXPECT_TRUE(column.infoColumnButtonBar()->refreshButton()->isEnabled());
    // The short General page puts its favourite row at the bottom of the column.
    InfoColumnDataView *favourite = column.dataViews().last();
    ASSERT_TRUE(favourite->favouriteStatus());
    EXPECT_FALSE(*favourite->favouriteStatus());
    EXPECT_EQ(favourite->geometry().bottom() + 1, favourite->parentWidget()->height());
    EXPECT_GE(favourite->parentWidget()->height(), column.columnView()->scrollView()->viewport()->height());

    column.view()->resize(180, 500);
    QCoreApplication::processEvents();
    for (const InfoColumnDataView *row : column.dataViews())
        EXPECT_EQ(row->width(), column.columnView()->scrollView()->viewport()->width());
}

TEST_F(InfoColumnViewControllerTest, ValuesThatFitTheColumnAreShownWhole)
{
    showTable();
    for (const InfoColumnDataView *row : column.dataViews()) {
        if (!row->spacer()) {
            EXPECT_EQ(row->valueCell()->text(), row->value()) << row->name().toStdString();
        }
    }
}

TEST(IndependantInfoColumnViewControllerTest, ClosingWaitsForTheLoadersBeforeLettingGo)
{
    auto root = std::make_shared<FakeVornRootClient>();
    auto info = std::make_shared<FakeVornInfoClient>();
    info->generic = {{"name", "EMP"}, {"type", "TABLE"}, {"subtype", "table"}};
    root->browserClient->describe = [info](const QString &, const QString &, const QString &) {
        return info;
    };
    auto controller = std::make_shared<InfoController>(root);
    controller->resetInfoUsingBrowserElementColumns(
        std::make_shared<BrowserElement>("EMP", "HR", "TABLE", BrowserElement::Table), std::nullopt);
    std::weak_ptr<IndependantInfoColumnViewController> weak;
    std::shared_ptr<ThreadController> threads;
    {
        auto panel = IndependantInfoColumnViewController::create(controller, nullptr);
        EXPECT_TRUE(controller->keepConnection());
        panel->showWithSuggestedOrigin(QPoint(40, 40));
        weak = panel;
        threads = panel->threadController();
        ASSERT_TRUE(panel->panel()->isVisible());
        EXPECT_EQ(panel->panel()->windowTitle(), "EMP");
        EXPECT_TRUE(panel->viewController()->poppedOut());
    }
    ASSERT_FALSE(weak.expired()) << "an open panel keeps itself";
    // A loader that has not finished yet: a worker registered with the panel's registry.
    std::mutex gate;
    gate.lock();
    std::atomic<bool> registered{false};
    std::thread loader([&] {
        threads->registerThread(InfoController::loadThreadName, true);
        registered = true;
        std::lock_guard wait(gate);
        threads->unRegisterThread();
    });
    ASSERT_WAIT_FOR(registered.load());
    weak.lock()->performCloseTab(nullptr);
    ASSERT_WAIT_FOR(!weak.lock() || !weak.lock()->panel());
    VORN_WAIT_UNTIL(weak.expired(), 3 * IndependantInfoColumnViewController::closingPollMs);
    EXPECT_FALSE(weak.expired()) << "still waiting for the loader";
    gate.unlock();
    loader.join();
    ASSERT_WAIT_FOR(weak.expired());
    EXPECT_EQ(controller->name(), "No selection") << "the panel's info was reset on close";
}

TEST(IndependantInfoColumnViewControllerTest, CloseTabKeyClosesThePanel)
{
    auto controller = std::make_shared<InfoController>(std::make_shared<FakeVornRootClient>());
    std::weak_ptr<IndependantInfoColumnViewController> weak;
    {
        auto panel = IndependantInfoColumnViewController::create(controller, nullptr);
        panel->showWithSuggestedOrigin(QPoint(40, 40));
        weak = panel;
    }
    QWidget *window = weak.lock()->panel();
    ASSERT_WAIT_FOR(window->isActiveWindow());
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    ASSERT_WAIT_FOR(weak.expired());
}
