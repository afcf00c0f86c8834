#include "kit/ShortcutVisualizer.h"
#include "WaitFor.h"
#include "kit/AdvancedWindow.h"
#include "kit/ShortcutView.h"

#include <QPushButton>
#include <QTest>
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
    // Released early: nothing shows.
    QTest::keyPress(&window, Qt::Key_Control);
    EXPECT_TRUE(visualizer.isCounting());
    QTest::keyRelease(&window, Qt::Key_Control);
    EXPECT_FALSE(visualizer.isCounting());
    // Moving the mouse is not watched.
    QTest::keyPress(&window, Qt::Key_Control);
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
    QTest::keyPress(&window, Qt::Key_Control);
    WAIT_FOR(visualizer.windowDisplayingShortcuts());
    QTest::mouseClick(central, Qt::LeftButton);
    EXPECT_EQ(visualizer.windowDisplayingShortcuts(), nullptr);
    QTest::keyRelease(&window, Qt::Key_Control);
    QTest::keyPress(&window, Qt::Key_Control);
    EXPECT_TRUE(visualizer.isCounting());
    QTest::keyPress(&window, Qt::Key_Shift);
    EXPECT_FALSE(visualizer.isCounting());
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
