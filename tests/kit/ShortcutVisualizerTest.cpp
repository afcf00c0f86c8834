#include "kit/ShortcutVisualizer.h"
#include "WaitFor.h"
#include "kit/AdvancedWindow.h"
#include "kit/ShortcutView.h"
#include "kit/ShortcutWindow.h"

#include <QAction>
#include <QDialog>
#include <QPropertyAnimation>

#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace
{

// A button that lists its own shortcut and counts how often it was asked.
struct ShortcutButton : QPushButton, VisualShortcutAdopter {
    using QPushButton::QPushButton;
    int asked = 0;
    VisualShortcut entry;
    QList<VisualShortcut> visualShortcuts() override
    {
        ++asked;
        return {entry};
    }
};

struct SharedDelegate : QObject, VisualShortcutAdopter {
    int asked = 0;
    QList<VisualShortcut> visualShortcuts() override
    {
        ++asked;
        return {};
    }
};

struct WindowDelegate : AdvancedWindowDelegate, VisualShortcutAdopter {
    int asked = 0;
    QList<VisualShortcut> visualShortcuts() override
    {
        ++asked;
        return {};
    }
};

QList<ShortcutView *> labels(const ShortcutVisualizer &visualizer)
{
    QWidget *overlay = visualizer.windowDisplayingShortcuts();
    return overlay ? overlay->findChildren<ShortcutView *>() : QList<ShortcutView *>();
}

} // namespace

TEST(ShortcutVisualizer, KeyTextsAreWhatTheUserPresses)
{
    struct Case {
        QString key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    const Case cases[] = {
        {"\r", Qt::ControlModifier, "Ctrl+Return"},
        {"\033", Qt::NoModifier, "Esc"},
        {"0", Qt::MetaModifier | Qt::AltModifier | Qt::ControlModifier, "Meta+Ctrl+Alt+0"},
        {"a", Qt::NoModifier, "A"},
        {"t", Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+T"},
        {"10", Qt::ControlModifier, "Ctrl+10"}, // a tab beyond the ninth: no single key
        {"⎋", Qt::NoModifier, "⎋"},
        {"f/⌥⌘b", Qt::ControlModifier, "Ctrl+F/⌥⌘B"},
    };
    for (const Case &c : cases) {
        const VisualShortcut shortcut =
            VisualShortcut::visualShortCutWithView(nullptr, c.key, c.modifiers, true);
        EXPECT_EQ(ShortcutVisualizer::stringForShortcut(shortcut), c.text) << c.key.toStdString();
    }
}

TEST(ShortcutVisualizer, CollectsDepthFirstSkippingHiddenViewsAndAsksSharedDelegatesOnce)
{
    QWidget root;
    auto *first = new ShortcutButton(&root);
    auto *hiddenPane = new QWidget(&root);
    auto *insideHidden = new ShortcutButton(hiddenPane);
    hiddenPane->hide();
    auto *group = new QWidget(&root);
    auto *second = new ShortcutButton(group);
    auto *third = new ShortcutButton(group);
    SharedDelegate shared;
    ShortcutVisualizer::setDelegateForView(first, &shared);
    ShortcutVisualizer::setDelegateForView(third, &shared);
    ShortcutVisualizer::setDelegateForView(hiddenPane, &shared);
    root.show();

    QList<VisualShortcutAdopter *> adopters;
    ShortcutVisualizer::recursiveCollectVisualShortcut(adopters, &root);
    EXPECT_EQ(adopters, (QList<VisualShortcutAdopter *>{first, &shared, second, third}));
    EXPECT_FALSE(adopters.contains(insideHidden));
}

TEST(ShortcutVisualizer, HoldingCtrlShowsLabelsAndAnyOtherInputHidesThem)
{
    AdvancedWindow window;
    WindowDelegate windowDelegate;
    window.setDelegate(&windowDelegate);
    auto *central = new QWidget;
    window.setCentralWidget(central);
    auto *narrow = new ShortcutButton(central);
    narrow->setGeometry(20, 20, 30, 30);
    narrow->entry = VisualShortcut::visualShortCutWithView(narrow, "f", Qt::ControlModifier, true);
    auto *wide = new ShortcutButton(central);
    wide->setGeometry(20, 100, 200, 30);
    wide->entry = VisualShortcut::visualShortCutWithView(wide, "\r", Qt::ControlModifier, true);
    wide->entry.shouldBump = true;
    wide->entry.subTitle = "Run";
    auto *disabled = new ShortcutButton(central);
    disabled->setGeometry(20, 200, 60, 30);
    disabled->entry = VisualShortcut::visualShortCutWithView(disabled, "d", Qt::ControlModifier, false);
    window.resize(400, 300);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    ShortcutVisualizer visualizer;
    visualizer.initialize(0.05);
    // Released early: nothing shows. (Ctrl is pressed as the keyboard reports it: held from then on.)
    QTest::keyPress(&window, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(visualizer.isCounting());
    QTest::keyRelease(&window, Qt::Key_Control);
    EXPECT_FALSE(visualizer.isCounting());
    // Moving the mouse is not watched.
    QTest::keyPress(&window, Qt::Key_Control, Qt::ControlModifier);
    QTest::mouseMove(central, QPoint(5, 5));
    EXPECT_TRUE(visualizer.isCounting());
    WAIT_FOR(visualizer.windowDisplayingShortcuts());
    EXPECT_EQ(windowDelegate.asked, 1);

    const QList<ShortcutView *> shown = labels(visualizer);
    ASSERT_EQ(shown.size(), 2); // the disabled entry has no label at all
    ShortcutView *bumped = shown.at(0);
    ShortcutView *plain = shown.at(1); // made last: on top of the bumped one
    EXPECT_EQ(plain->string(), "Ctrl+F");
    EXPECT_EQ(bumped->string(), "Ctrl+Return");
    EXPECT_EQ(bumped->subtitle(), "Run");
    EXPECT_EQ(bumped->arrowLength(), 34);
    EXPECT_EQ(plain->arrowLength(), 8);
    QWidget *overlay = visualizer.windowDisplayingShortcuts();
    auto anchor = [&](QWidget *control, double across) {
        return overlay->mapFromGlobal(
            control->mapToGlobal(QPoint(int(control->width() * across), control->height() / 2)));
    };
    // Narrow control: arrow at its middle; wide control: a quarter across (50 of 200).
    WAIT_FOR((plain->pos()) == (anchor(narrow, 0.5)));
    WAIT_FOR((bumped->pos()) == (anchor(wide, 0.25)));
    EXPECT_GE(plain->width(), 50);
    // Nothing shown is below the overlay's bottom-right room.
    EXPECT_EQ(overlay->size(), window.frameGeometry().size() + QSize(50, 50));

    QTest::keyClick(central, Qt::Key_A);
    EXPECT_EQ(visualizer.windowDisplayingShortcuts(), nullptr);
    QPointer<QWidget> fading = overlay;
    WAIT_FOR(fading.isNull());

    // A click hides it too, and a Shift press cancels a countdown.
    QTest::keyRelease(&window, Qt::Key_Control);
    window.activateWindow(); // the offscreen platform hands activation to the overlay and back to nobody
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyPress(&window, Qt::Key_Control, Qt::ControlModifier);
    WAIT_FOR(visualizer.windowDisplayingShortcuts());
    QTest::mouseClick(central, Qt::LeftButton);
    EXPECT_EQ(visualizer.windowDisplayingShortcuts(), nullptr);
    QTest::keyRelease(&window, Qt::Key_Control);
    QTest::keyPress(&window, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(visualizer.isCounting());
    QTest::keyPress(&window, Qt::Key_Shift);
    EXPECT_FALSE(visualizer.isCounting());
}

namespace
{

// A window with one control that has a shortcut, active, and a visualiser with a short hold time.
class HeldCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setCentralWidget(new QWidget);
        button = new ShortcutButton(window.centralWidget());
        button->setGeometry(20, 20, 120, 30);
        button->entry = VisualShortcut::visualShortCutWithView(button, "o", Qt::ControlModifier, true);
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        visualizer.initialize(0.05);
    }
    void TearDown() override { QTest::keyRelease(&window, Qt::Key_Control); }

    void pressCtrl()
    {
        QTest::keyPress(&window, Qt::Key_Control, Qt::ControlModifier);
        ASSERT_TRUE(visualizer.isCounting());
    }
    // Long enough for the countdown to end, whatever came of it.
    void letCountdownEnd() { VORN_WAIT_UNTIL(!visualizer.isCounting(), 2000); }

    AdvancedWindow window;
    ShortcutButton *button = nullptr;
    ShortcutVisualizer visualizer;
};

} // namespace

TEST_F(HeldCtrlTest, CtrlReleasedWhereTheOverlayCouldNotSeeItShowsNothing)
{
    visualizer.initialize(0.5); // time to come back to the window before the countdown ends
    pressCtrl();
    // The release goes to a window that is not one of ours: only the keyboard knows Ctrl is up.
    QWindow elsewhere;
    elsewhere.show();
    QTest::keyRelease(&elsewhere, Qt::Key_Control);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(visualizer.isCounting());
    letCountdownEnd();
    EXPECT_FALSE(visualizer.isCounting());
    EXPECT_EQ(visualizer.windowDisplayingShortcuts(), nullptr);
}

TEST_F(HeldCtrlTest, AShortcutThatOpensASheetEndsTheCountdown)
{
    QDialog sheet(&window);
    auto *open = new QAction(&window);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QObject::connect(open, &QAction::triggered, &sheet, &QDialog::open);
    window.addAction(open);

    pressCtrl();
    // The shortcut takes the O, held down: no key press of it ever reaches a widget.
    QTest::keyPress(&window, Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(sheet.isVisible());
    EXPECT_FALSE(visualizer.isCounting());
    letCountdownEnd();
    EXPECT_EQ(visualizer.windowDisplayingShortcuts(), nullptr);
}

TEST_F(HeldCtrlTest, ASheetThatOpensHidesTheLabelsAndEndsTheCountdown)
{
    pressCtrl();
    WAIT_FOR(visualizer.windowDisplayingShortcuts());
    QDialog sheet(&window);
    sheet.open(); // as a finished statement's alert would, while Ctrl is still held
    EXPECT_EQ(visualizer.windowDisplayingShortcuts(), nullptr);

    sheet.close();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyRelease(&window, Qt::Key_Control);
    pressCtrl();
    QDialog another(&window);
    another.open();
    EXPECT_FALSE(visualizer.isCounting());
}

TEST_F(HeldCtrlTest, WithoutCompositingTheLabelsAreDrawnInsideTheWindow)
{
    // Where nothing composes the desktop a clear window paints black: the layer is a child.
    QPointer<ShortcutWindow> layer = new ShortcutWindow(&window, {}, false);
    visualizer.displayShortCuts({button->entry}, layer);
    layer->show();
    EXPECT_FALSE(layer->isWindow());
    EXPECT_EQ(layer->geometry(), window.rect());
    EXPECT_TRUE(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
    const QList<ShortcutView *> shown = layer->findChildren<ShortcutView *>();
    ASSERT_EQ(shown.size(), 1);
    const QPoint anchor = layer->mapFromGlobal(button->mapToGlobal(QPoint(30, 15)));
    WAIT_FOR((shown[0]->pos()) == (anchor));

    // The label is part of the window's own picture: pale green over the window, nothing black.
    const QImage picture = window.grab().toImage();
    const QColor body = picture.pixelColor(shown[0]->geometry().center() + QPoint(0, 4));
    EXPECT_GT(body.green(), 200);
    EXPECT_GT(body.green(), body.red());
    const QColor beside = picture.pixelColor(shown[0]->geometry().right() + 20, 200);
    EXPECT_EQ(beside, window.palette().color(QPalette::Window));

    layer->fadeOut();
    WAIT_FOR(layer.isNull());
}

TEST_F(HeldCtrlTest, LabelsOfControlsAtTheWindowsEdgesAreDrawnWhole)
{
    // Controls at the right edge, the bottom edge and the bottom-right corner of the window.
    const QSize area = window.centralWidget()->size();
    struct Case {
        const char *where;
        QRect control;
        bool movesLeft, movesUp;
    };
    const Case cases[] = {
        {"right edge", {area.width() - 24, 20, 24, 24}, true, false},
        {"bottom edge", {20, area.height() - 10, 120, 10}, false, true},
        {"bottom-right corner", {area.width() - 24, area.height() - 10, 24, 10}, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where);
        auto *control = new ShortcutButton(window.centralWidget());
        control->setGeometry(c.control);
        control->entry = VisualShortcut::visualShortCutWithView(control, "\r", Qt::ControlModifier, true);
        control->entry.subTitle = "Execute";
        control->show();
        QPointer<ShortcutWindow> layer = new ShortcutWindow(&window, {}, false);
        visualizer.displayShortCuts({control->entry}, layer);
        layer->show();
        const QList<ShortcutView *> shown = layer->findChildren<ShortcutView *>();
        ASSERT_EQ(shown.size(), 1);
        ShortcutView *label = shown[0];
        // Once settled, the whole label lies in the window, pushed no further than it takes.
        WAIT_FOR(label->findChildren<QPropertyAnimation *>().isEmpty());
        EXPECT_TRUE(layer->rect().contains(label->geometry()));
        const QPoint anchor = layer->mapFromGlobal(control->mapToGlobal(QPoint(12, control->height() / 2)));
        if (c.movesLeft)
            EXPECT_EQ(label->geometry().right(), layer->rect().right());
        else
            EXPECT_EQ(label->x(), layer->mapFromGlobal(control->mapToGlobal(QPoint(30, 0))).x());
        if (c.movesUp)
            EXPECT_EQ(label->geometry().bottom(), layer->rect().bottom());
        else
            EXPECT_EQ(label->y(), anchor.y());
        delete layer;
        delete control;
    }
}

TEST(ShortcutView, SizeLeavesRoomForKeysArrowAndCaption)
{
    ShortcutView label;
    label.setString("A");
    label.setArrowLength(8);
    label.sizeToFit();
    const QSize small = label.size();
    EXPECT_EQ(small.width(), 50); // at least 48 + 2
    label.setArrowLength(34);
    label.sizeToFit();
    EXPECT_EQ(label.height() - small.height(), 26); // a bumped label hangs 26 lower
    label.setSubtitle("Show/hide Inspector Panel");
    label.sizeToFit();
    EXPECT_GT(label.width(), 50);
    label.grab().save("/tmp/tabs-shortcut-label.png");
}
