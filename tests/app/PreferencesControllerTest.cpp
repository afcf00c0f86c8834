// The preferences window offscreen, over a store of its own: panes switch under a fixed top-left
// corner, every control shows and writes its key, the timestamp pattern derives the platform's,
// Restore Defaults rewrites the SQL editor group, and the refresh actions reach what shows the
// settings. Opened through the application's commands it is one window for the run.
#include "app/PreferencesController.h"
#include "WaitFor.h"
#include "app/PreferenceColorButton.h"
#include "app/VornDocumentController.h"
#include "kit/AdvancedWindow.h"
#include "kit/CommandRouter.h"
#include "platform/NotificationCenter.h"
#include "platform/PreferenceDefaults.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "tabs/TabbedWindowController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

namespace
{

class PreferencesControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        store = std::make_unique<UserDefaults>(folder.filePath("Vorn.json"));
        PreferenceDefaults::setDefaultPreferences(*store);
        controller = std::make_unique<PreferencesController>(store.get());
        sqlUpdates = NotificationCenter::defaultCenter().addObserver(
            Preferences::sqlPreferenceUpdateNotification, nullptr,
            [this](const Notification &) { ++posted; });
    }

    void TearDown() override { NotificationCenter::defaultCenter().removeObserver(sqlUpdates); }

    AdvancedWindow *panel() const { return controller->panel(); }

    template <typename Control> Control *control(const QString &pane, const QString &key) const
    {
        QWidget *view = controller->paneNamed(pane);
        return view ? view->findChild<Control *>(key) : nullptr;
    }

    QTemporaryDir folder;
    std::unique_ptr<UserDefaults> store;
    std::unique_ptr<PreferencesController> controller;
    NotificationCenter::ObserverId sqlUpdates = 0;
    int posted = 0;
};

TEST_F(PreferencesControllerTest, PanesSwitchUnderAFixedTopLeftCornerAndNothingIsCutOff)
{
    QStringList labels;
    for (QAction *item : controller->toolbar()->actions())
        labels << item->text() + " (" + item->objectName() + ")";
    EXPECT_EQ(labels,
              (QStringList{"General (general)", "Browser (browser)", "Tabs (tabs)", "Resultset (resultset)",
                           "SQL Editor (sql)", "Connections (connections)", "Printing (printing)"}));
    EXPECT_EQ(controller->toolbar()->objectName(), "preferencesToolbar");
    EXPECT_EQ(controller->toolbar()->actions().at(4)->toolTip(), "Open SQL Editor Preferences");
    for (QAction *item : controller->toolbar()->actions())
        EXPECT_FALSE(item->icon().isNull()) << item->text().toStdString();

    controller->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel()));
    EXPECT_EQ(panel()->windowTitle(), "Vorn Preferences: General");
    panel()->move(120, 90);
    const QPoint corner = panel()->pos();

    // From the tallest pane to the shortest and back, then through every pane.
    controller->openPreferenceViewNamed("tabs");
    const int tall = panel()->height();
    controller->openPreferenceViewNamed("printing");
    EXPECT_LT(panel()->height(), tall) << "the panel fits the short pane";
    EXPECT_EQ(panel()->pos(), corner);
    EXPECT_EQ(panel()->windowTitle(), "Vorn Preferences: Printing");
    for (const QString &identifier : PreferencesController::toolbarItemIdentifiers()) {
        SCOPED_TRACE(identifier.toStdString());
        controller->openPreferenceViewNamed(identifier);
        QWidget *pane = controller->currentPane();
        ASSERT_EQ(pane, controller->paneNamed(identifier));
        EXPECT_EQ(panel()->pos(), corner);
        EXPECT_TRUE(pane->isVisible());
        for (QAction *item : controller->toolbar()->actions())
            EXPECT_EQ(item->isChecked(), item->objectName() == identifier);
        // Every control has room for what it shows, inside the pane.
        for (QWidget *child : pane->findChildren<QWidget *>()) {
            if (!child->isVisible() || child->sizeHint().isEmpty() || child->objectName().startsWith("qt_"))
                continue; // the inner parts of a control are its own business
            SCOPED_TRACE(child->objectName().toStdString() + " " + child->metaObject()->className());
            EXPECT_GE(child->width(), child->minimumSizeHint().width());
            EXPECT_TRUE(pane->rect().contains(QRect(child->mapTo(pane, QPoint()), child->size())));
        }
    }

    // An unknown pane leaves the panel empty under the bare title.
    controller->openPreferenceViewNamed("nonsense");
    EXPECT_EQ(controller->currentPane(), nullptr);
    EXPECT_EQ(panel()->windowTitle(), "Vorn Preferences");
    for (QAction *item : controller->toolbar()->actions())
        EXPECT_FALSE(item->isChecked());

    // A toolbar item shows its pane; the Tabs entry goes through General to Tabs; opening again
    // starts from General.
    controller->toolbar()->actions().at(3)->trigger();
    EXPECT_EQ(controller->currentPane(), controller->paneNamed("resultset"));
    controller->openTabPreferences();
    EXPECT_EQ(panel()->windowTitle(), "Vorn Preferences: Tabs");
    controller->openPreferences();
    EXPECT_EQ(controller->currentPane(), controller->paneNamed("general"));
}

TEST_F(PreferencesControllerTest, EveryControlShowsItsKeyAndWritesAChangeOfTheSameKind)
{
    enum Kind { Flag, Integer, Real, Choice, Colour };
    struct Case {
        const char *pane;
        const QString &key;
        Kind kind;
        bool notifiesSqlPanes = false;
    };
    const Case cases[] = {
        {"general", PreferenceKey::checkForUpdatesAtStartup, Flag},
        {"general", PreferenceKey::startWithBrowserPanel, Flag},
        {"general", PreferenceKey::startWithInfoPanel, Flag},
        {"general", PreferenceKey::recallCount, Real},
        {"general", PreferenceKey::activity_viewer_show_inactive, Flag},
        {"browser", PreferenceKey::browser_recent_enabled, Flag},
        {"browser", PreferenceKey::browser_recent_count, Integer},
        {"browser", PreferenceKey::browser_favourite_enabled, Flag},
        {"browser", PreferenceKey::browser_skip_favourite_keyboard_navigation, Flag},
        {"browser", PreferenceKey::recycleBinSupport, Flag},
        {"tabs", PreferenceKey::alwaysShowTabbar, Flag},
        {"tabs", PreferenceKey::collapseSingleTab, Flag},
        {"tabs", PreferenceKey::tabTitleFormat, Choice},
        {"tabs", PreferenceKey::showColorLabelTabs, Flag},
        {"tabs", PreferenceKey::showColorLabelTabsWide, Flag},
        {"tabs", PreferenceKey::selectCreatedTabs, Flag},
        {"tabs", PreferenceKey::openDocumentInTab, Flag},
        {"tabs", PreferenceKey::tabDuplicateSQL, Flag},
        {"sql", PreferenceKey::startWithSqlEditor, Flag, true},
        {"sql", PreferenceKey::syntaxFontSize, Integer, true},
        {"sql", PreferenceKey::performSyntaxColoring, Flag, true},
        {"sql", PreferenceKey::syntaxNormalColor, Colour, true},
        {"sql", PreferenceKey::syntaxReservedColor, Colour, true},
        {"sql", PreferenceKey::syntaxContextColor, Colour, true},
        {"sql", PreferenceKey::syntaxLiteralColor, Colour, true},
        {"sql", PreferenceKey::syntaxCommentColor, Colour, true},
        {"sql", PreferenceKey::syntaxParameterColor, Colour, true},
        {"sql", PreferenceKey::syntaxActiveHintColor, Colour, true},
        {"sql", PreferenceKey::syntaxFindBraces, Flag, true},
        {"sql", PreferenceKey::syntaxAutoComplete, Flag, true},
        {"resultset", PreferenceKey::timestampRoundMidnight, Flag},
        {"resultset", PreferenceKey::numberOfResultSetRows, Integer},
        {"resultset", PreferenceKey::resultSetScroll, Flag},
        {"resultset", PreferenceKey::quickFilterUseLike, Flag},
        {"resultset", PreferenceKey::quickFilterUseLikeMatchOnNumeric, Flag},
        {"connections", PreferenceKey::timeOutWhileConnecting, Flag},
        {"connections", PreferenceKey::keepConnectionAlive, Flag},
        {"connections", PreferenceKey::autoReconnectFromDocument, Flag},
        {"connections", PreferenceKey::allowBackgroundConnections, Flag},
        {"connections", PreferenceKey::allowBackgroundConnectionsConnection, Flag},
        {"connections", PreferenceKey::allowBackgroundConnectionsInfoInspector, Flag},
        {"connections", PreferenceKey::oracleIndexHints, Flag},
        {"printing", PreferenceKey::print_header, Flag},
        {"printing", PreferenceKey::print_column_header, Flag},
        {"printing", PreferenceKey::print_footer, Flag},
        {"printing", PreferenceKey::print_alternaterows, Flag},
        {"printing", PreferenceKey::print_trunc_query, Flag},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        const int before = posted;
        switch (c.kind) {
        case Flag: {
            store->setObject(!store->boolForKey(c.key), c.key);
            controller->openPreferenceViewNamed(c.pane); // a change made elsewhere shows
            auto *box = control<QCheckBox>(c.pane, c.key);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->isChecked(), store->boolForKey(c.key));
            const bool was = store->boolForKey(c.key);
            box->click();
            EXPECT_EQ(store->objectForKey(c.key), QVariant(!was));
            break;
        }
        case Integer:
        case Real: {
            store->setObject(qint64(7), c.key);
            controller->openPreferenceViewNamed(c.pane);
            auto *box = control<QSpinBox>(c.pane, c.key);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->value(), 7);
            box->stepBy(5);
            EXPECT_EQ(store->integerForKey(c.key), 12);
            EXPECT_EQ(store->objectForKey(c.key).typeId(),
                      c.kind == Real ? QMetaType::Double : QMetaType::LongLong);
            break;
        }
        case Choice: {
            store->setObject(qint64(2), c.key);
            controller->openPreferenceViewNamed(c.pane);
            auto *box = control<QComboBox>(c.pane, c.key);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->currentIndex(), 2);
            box->setCurrentIndex(1);
            emit box->activated(1);
            EXPECT_EQ(store->objectForKey(c.key), QVariant(qint64(1)));
            break;
        }
        case Colour: {
            store->setObject(QString("#123456"), c.key);
            controller->openPreferenceViewNamed(c.pane);
            auto *button = control<PreferenceColorButton>(c.pane, c.key);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->color(), QColor("#123456"));
            // Picked in the colour dialog the button opens.
            button->click();
            QColorDialog *dialog = nullptr;
            ASSERT_WAIT_FOR((dialog = panel()->findChild<QColorDialog *>()) && dialog->isVisible());
            dialog->setCurrentColor(QColor(0xab, 0xcd, 0xef));
            dialog->accept();
            EXPECT_EQ(store->objectForKey(c.key), QVariant(QString("#abcdef")));
            EXPECT_EQ(button->color(), QColor("#abcdef"));
            ASSERT_WAIT_FOR(!panel()->findChild<QColorDialog *>());
            break;
        }
        }
        EXPECT_EQ(posted - before, c.notifiesSqlPanes ? 1 : 0) << "SQL panes told to reread";
    }

    // What matters only under another setting is disabled while that one is off.
    store->setObject(false, PreferenceKey::allowBackgroundConnections);
    controller->openPreferenceViewNamed("connections");
    auto *checker = control<QCheckBox>("connections", PreferenceKey::allowBackgroundConnectionsConnection);
    EXPECT_FALSE(checker->isEnabled());
    control<QCheckBox>("connections", PreferenceKey::allowBackgroundConnections)->click();
    EXPECT_TRUE(checker->isEnabled());
}

TEST_F(PreferencesControllerTest, TheTimestampPatternDerivesThePlatformsAndIsWrittenToTheFile)
{
    const struct {
        const char *chosen;
        const char *derived;
        bool typed;
    } cases[] = {
        {"MM/dd/yyyy HH:mm:ss.S", "M/d/yyyy HH:mm:ss.S", false},
        {"yyyy-MM-dd HH:mm:ss.S", "yyyy-M-d HH:mm:ss.S", false},
        {"dd-MM-yyyy HH:mm:ss.S", "d-M-yyyy HH:mm:ss.S", false},
        {"dd.MM.yyyy HH:mm", "yyyy/MM/d HH:mm:ss.S", true},
    };
    controller->openPreferenceViewNamed("resultset");
    auto *format = control<QComboBox>("resultset", PreferenceKey::timestampDataFormat);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->currentText(), "dd-MM-yyyy HH:mm:ss.S");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen);
        if (c.typed) {
            format->lineEdit()->setText(c.chosen);
            emit format->lineEdit()->editingFinished();
        } else {
            format->setCurrentIndex(format->findText(c.chosen));
            emit format->textActivated(c.chosen);
        }
        EXPECT_EQ(store->stringForKey(PreferenceKey::timestampDataFormat), c.chosen);
        EXPECT_EQ(UserDefaults(store->filePath()).stringForKey(PreferenceKey::cocoaTimestampDataFormat),
                  c.derived)
            << "derived and on disk";
    }

    // An emptied field is refused: the stored pattern stays and shows again.
    format->lineEdit()->setText("  ");
    emit format->lineEdit()->editingFinished();
    EXPECT_EQ(store->stringForKey(PreferenceKey::timestampDataFormat), "dd.MM.yyyy HH:mm");
    EXPECT_EQ(format->currentText(), "dd.MM.yyyy HH:mm");
}

TEST_F(PreferencesControllerTest, RestoreDefaultsRewritesTheTwelveSqlEditorSettingsAndTellsTheSqlPanes)
{
    const struct {
        const QString &key;
        QVariant changed;
        QVariant restored;
    } group[] = {
        {PreferenceKey::startWithSqlEditor, true, false},
        {PreferenceKey::performSyntaxColoring, false, true},
        {PreferenceKey::syntaxNormalColor, "#111111", "#000000"},
        {PreferenceKey::syntaxReservedColor, "#111111", "#0000ff"},
        {PreferenceKey::syntaxContextColor, "#111111", "#996633"},
        {PreferenceKey::syntaxLiteralColor, "#111111", "#ff0000"},
        {PreferenceKey::syntaxCommentColor, "#111111", "#008000"},
        {PreferenceKey::syntaxActiveHintColor, "#111111", "#e6ffe6"},
        {PreferenceKey::syntaxFindBraces, false, true},
        {PreferenceKey::syntaxAutoComplete, false, true},
        {PreferenceKey::syntaxFontSize, qint64(18), qint64(11)},
        {PreferenceKey::syntaxParameterColor, "#111111", "#800080"},
    };
    for (const auto &setting : group)
        store->setObject(setting.changed, setting.key);
    // Settings that already hold their default, or none at all, are written too.
    store->setObject(qint64(11), PreferenceKey::syntaxFontSize);
    store->removeObjectForKey(PreferenceKey::syntaxParameterColor);
    store->setObject(qint64(2), PreferenceKey::tabTitleFormat);
    controller->openPreferenceViewNamed("sql");
    auto *size = control<QSpinBox>("sql", PreferenceKey::syntaxFontSize);
    ASSERT_NE(size, nullptr);
    size->setValue(20);
    posted = 0;

    QPushButton *restore =
        controller->paneNamed("sql")->findChild<QPushButton *>("resetDefaultSqlPreferences");
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->text(), "Restore Defaults");
    restore->click();

    for (const auto &setting : group) {
        SCOPED_TRACE(setting.key.toStdString());
        EXPECT_EQ(store->objectForKey(setting.key), setting.restored);
    }
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(store->integerForKey(PreferenceKey::tabTitleFormat), 2) << "other groups keep theirs";
    // The pane shows what was restored.
    EXPECT_EQ(size->value(), 11);
    EXPECT_TRUE(control<QCheckBox>("sql", PreferenceKey::syntaxAutoComplete)->isChecked());
    EXPECT_EQ(control<PreferenceColorButton>("sql", PreferenceKey::syntaxReservedColor)->color(),
              QColor(Qt::blue));
}

TEST_F(PreferencesControllerTest, TabSettingsRedrawEveryTabbedWindowAndCloseTabClosesThePanel)
{
    // Two open windows of tabs count their paints.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    };
    PaintCounter counters[2];
    std::unique_ptr<TabbedWindowController> windows[2];
    for (int i = 0; i < 2; ++i) {
        windows[i] = std::make_unique<TabbedWindowController>();
        windows[i]->loadWindow();
        windows[i]->window()->resize(300, 200);
        windows[i]->window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(windows[i]->window()));
        windows[i]->window()->installEventFilter(&counters[i]);
    }
    controller->openPreferenceViewNamed("tabs");
    auto *wide = control<QCheckBox>("tabs", PreferenceKey::showColorLabelTabsWide);
    ASSERT_NE(wide, nullptr);
    for (PaintCounter &counter : counters)
        counter.paints = 0;
    wide->click();
    for (PaintCounter &counter : counters)
        EXPECT_GT(counter.paints, 0) << "redrawn at once";
    // A setting that no tab shows redraws nothing.
    for (PaintCounter &counter : counters)
        counter.paints = 0;
    control<QCheckBox>("tabs", PreferenceKey::selectCreatedTabs)->click();
    for (PaintCounter &counter : counters)
        EXPECT_EQ(counter.paints, 0);

    controller->openPreferences();
    panel()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel()));
    QTest::keyClick(panel(), Qt::Key_W, Qt::ControlModifier);
    ASSERT_WAIT_FOR(!panel()->isVisible());
    // Closing only hides it: it opens again as it was.
    controller->openPreferences();
    EXPECT_TRUE(panel()->isVisible());
}

TEST(PreferencesCommands, TheApplicationOpensOnePreferencesWindowForTheRun)
{
    // The commands of Edit's Preferences… and of the tab menu's Tab Preferences.
    VornDocumentController application({});
    CommandRouter &router = CommandRouter::shared();
    EXPECT_EQ(application.preferencesController(), nullptr) << "made on first use";
    ASSERT_TRUE(router.sendAction("runPreferences:", nullptr));
    PreferencesController *first = application.preferencesController();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->panel()->isVisible());
    EXPECT_EQ(first->panel()->windowTitle(), "Vorn Preferences: General");
    ASSERT_TRUE(router.sendAction("runTabPreferences:", nullptr));
    EXPECT_EQ(application.preferencesController(), first);
    EXPECT_EQ(first->panel()->windowTitle(), "Vorn Preferences: Tabs");
    ASSERT_TRUE(router.sendAction("runPreferences:", nullptr));
    EXPECT_EQ(first->panel()->windowTitle(), "Vorn Preferences: General");
}

} // namespace
