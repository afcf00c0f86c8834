#include "kit/CommandMenu.h"

#include "WaitFor.h"
#include "kit/CommandRouter.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

// The window's controller: performs its commands while they are switched on, retitles the toggle.
class Controller : public QObject
{
    Q_OBJECT
public:
    bool canRun = false;
    bool shown = true;
    QStringList received;
    Q_INVOKABLE void executeSql(QObject *) { received << "executeSql:"; }
    Q_INVOKABLE void toggleLog(QObject *) { received << "toggleLog:"; }
    Q_INVOKABLE void cancelExecution(QObject *) { received << "cancelExecution:"; }
    Q_INVOKABLE bool validateAction(const QString &action) const { return action != "executeSql:" || canRun; }
    Q_INVOKABLE bool validateMenuItem(QAction *item) const
    {
        if (CommandMenu::actionOf(item) == "toggleLog:")
            item->setText(shown ? "Hide Log" : "Show Log");
        return true;
    }
};

class CommandMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CommandMenu::installKeyValidation();
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        field = new QLineEdit;
        stop = new QPushButton("Stop");
        stop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));
        QObject::connect(stop, &QPushButton::clicked, [this] { ++stopClicks; });
        layout->addWidget(field);
        layout->addWidget(stop);
        window.setCentralWidget(central);
        menu = window.menuBar()->addMenu("Query");
        execute = CommandMenu::addItem(
            menu, &window, "Execute",
            "executeSql:", {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
        toggle =
            CommandMenu::addItem(menu, &window, "Toggle", "toggleLog:", {QKeySequence(Qt::CTRL | Qt::Key_Y)});
        cancel = CommandMenu::addItem(menu, &window, "Stop",
                                      "cancelExecution:", {QKeySequence(Qt::CTRL | Qt::Key_Period)});
        missing =
            CommandMenu::addItem(menu, &window, "Compile", "compile:", {QKeySequence("Ctrl+Alt+Return")});
        CommandMenu::validateOnShow(menu, &window);
        CommandRouter::shared().setWindowResponder(&window, &controller);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
    }

    QMainWindow window;
    Controller controller;
    QLineEdit *field = nullptr;
    QPushButton *stop = nullptr;
    int stopClicks = 0;
    QMenu *menu = nullptr;
    QAction *execute = nullptr;
    QAction *toggle = nullptr;
    QAction *cancel = nullptr;
    QAction *missing = nullptr;
};

TEST_F(CommandMenuTest, ItemsFollowWhoPerformsThemWhenTheMenuOpens)
{
    emit menu->aboutToShow();
    EXPECT_FALSE(execute->isEnabled()) << "the controller declines it for now";
    EXPECT_TRUE(toggle->isEnabled());
    EXPECT_EQ(toggle->text(), "Hide Log");
    EXPECT_FALSE(missing->isEnabled()) << "nobody performs it: disabled, not inert";

    controller.canRun = true;
    controller.shown = false;
    emit menu->aboutToShow();
    EXPECT_TRUE(execute->isEnabled());
    EXPECT_EQ(toggle->text(), "Show Log");
    execute->trigger();
    EXPECT_EQ(controller.received, QStringList{"executeSql:"});
}

TEST_F(CommandMenuTest, AShortcutWorksAsSoonAsItsCommandCanRunAndNeverBefore)
{
    emit menu->aboutToShow();
    ASSERT_FALSE(execute->isEnabled());
    QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(controller.received.isEmpty()) << "declined: the key does nothing";

    controller.canRun = true; // no menu opened since: the key itself validates
    QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(controller.received, (QStringList{"executeSql:", "executeSql:"})) << "Return and keypad Enter";

    controller.canRun = false;
    QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(controller.received.size(), 2) << "enabled at the last validation, declined now";
}

TEST_F(CommandMenuTest, TheMenuTakesAKeyFromTheTextFieldButNotFromAVisibleControl)
{
    // Ctrl+Y is a text field's redo; the menu's command gets it.
    field->setText("abc");
    QTest::keyClick(field, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(controller.received, QStringList{"toggleLog:"});
    EXPECT_EQ(field->text(), "abc");

    // A shown button with the same key keeps it, as long as it is shown.
    QTest::keyClick(field, Qt::Key_Period, Qt::ControlModifier);
    WAIT_FOR(stopClicks == 1); // a button's key clicks it with a short animation
    EXPECT_EQ(controller.received, QStringList{"toggleLog:"});
    stop->hide();
    QTest::keyClick(field, Qt::Key_Period, Qt::ControlModifier);
    EXPECT_EQ(stopClicks, 1);
    EXPECT_EQ(controller.received, (QStringList{"toggleLog:", "cancelExecution:"}));
}

} // namespace

#include "CommandMenuTest.moc"
