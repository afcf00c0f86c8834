#include "kit/AssistantWindowController.h"
#include "kit/AssistantWindowControllerDelegate.h"
#include "kit/AssistantWindowSubViewController.h"
#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

struct FakePage : AssistantWindowSubViewController {
    explicit FakePage(QSize size) : widget(new QLabel("page")) { widget->resize(size); }
    ~FakePage() override { delete widget.data(); }
    QWidget *view() override { return widget; }
    void updateInterface() override { ++updates; }
    QPointer<QWidget> widget;
    int updates = 0;
};

// An assistant whose answers the test sets.
struct FakeAssistant : AssistantWindowControllerDelegate {
    FakeAssistant(int count, QSize size = QSize(400, 300))
    {
        for (int i = 0; i < count; ++i) {
            ids << QString("page%1").arg(i + 1);
            pages.push_back(std::make_unique<FakePage>(size));
            navigable << true;
        }
    }
    QStringList ids;
    std::vector<std::unique_ptr<FakePage>> pages;
    QList<bool> navigable;
    bool canForward = true, canBackward = true, canCancel = true, forwardCancels = false;
    bool autoSkip = false, confirmCancel = true;
    int cancelled = 0;
    QStringList shown;

    QString titleForAssistantWindowController(AssistantWindowController *) override { return "Create Table"; }
    QStringList pageIdentifiersForAssistantWindowController(AssistantWindowController *) override
    {
        return ids;
    }
    QString nameForPageIdentifier(const QString &id, AssistantWindowController *) override
    {
        return id.toUpper();
    }
    AssistantWindowSubViewController *viewControllerForPageIdentifier(const QString &id,
                                                                      AssistantWindowController *) override
    {
        return pages[ids.indexOf(id)].get();
    }
    bool canNavigateToPageIdentifier(const QString &id, AssistantWindowController *) override
    {
        return navigable[ids.indexOf(id)];
    }
    bool canMoveForwardForAssistantWindowController(AssistantWindowController *) override
    {
        return canForward;
    }
    bool canMoveBackwardForAssistantWindowController(AssistantWindowController *) override
    {
        return canBackward;
    }
    bool canCancelAssistantWindowController(AssistantWindowController *) override { return canCancel; }
    QString titleForForwardButtonForAssistantWindowController(AssistantWindowController *) override
    {
        return forwardCancels ? "Finish" : "Next";
    }
    void cancelledAssistantWindowController(AssistantWindowController *) override { ++cancelled; }
    bool forwardButtonCancelsAssistantWindowController(AssistantWindowController *) override
    {
        return forwardCancels;
    }
    bool supportAutoSkipForAssistantWindowController(AssistantWindowController *) override
    {
        return autoSkip;
    }
    QString autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *) override
    {
        return "testAutoSkip";
    }
    bool supportAutoSkipForPageIdentifier(const QString &, AssistantWindowController *) override
    {
        return true;
    }
    bool cancelConfirmationForAssistantWindowController(AssistantWindowController *) override
    {
        return confirmCancel;
    }
    void assistantWindowController(AssistantWindowController *w, AssistantWindowSubViewController *) override
    {
        shown << ids[w->currentStep()];
    }
};

class AssistantWindowControllerTest : public ::testing::Test
{
protected:
    void run(FakeAssistant &assistant)
    {
        wizard.setDelegate(&assistant);
        wizard.runAsSheet(&parentWindow);
    }
    QWidget parentWindow;
    AssistantWindowController wizard;
};

TEST_F(AssistantWindowControllerTest, AutoSkipLandsOnTheLastReachablePage)
{
    struct Case {
        const char *what;
        QList<bool> navigable;
        bool autoSkipOn;
        qint64 landing;
    };
    const Case cases[] = {
        {"pages 2 and 3 reachable, 4 not", {true, true, true, false}, true, 2},
        {"every later page reachable", {true, true, true, true}, true, 3},
        {"auto-skip off", {true, true, true, true}, false, 1},
    };
    for (const Case &c : cases) {
        FakeAssistant assistant(4);
        assistant.navigable = c.navigable;
        assistant.autoSkip = true;
        UserDefaults::standard().setObject(false, "testAutoSkip");
        AssistantWindowController w;
        w.setDelegate(&assistant);
        w.runAsSheet(&parentWindow);
        ASSERT_EQ(w.currentStep(), 0) << c.what;
        UserDefaults::standard().setObject(c.autoSkipOn, "testAutoSkip");
        w.next();
        EXPECT_EQ(w.currentStep(), c.landing) << c.what;
        EXPECT_TRUE(w.autoSkipBox()->isVisibleTo(&w));
        EXPECT_EQ(w.autoSkipBox()->isChecked(), c.autoSkipOn);
    }
}

TEST_F(AssistantWindowControllerTest, BackNeverSkips)
{
    FakeAssistant assistant(4);
    assistant.autoSkip = true;
    UserDefaults::standard().setObject(true, "testAutoSkip");
    run(assistant);
    EXPECT_EQ(wizard.currentStep(), 3) << "even the first page is skipped past";
    wizard.selectStep(1);
    wizard.previous();
    EXPECT_EQ(wizard.currentStep(), 0);
    EXPECT_EQ(assistant.shown.last(), "page1");
    EXPECT_GE(assistant.pages[0]->updates, 1);
}

TEST_F(AssistantWindowControllerTest, TheCurrentStepIsAlwaysEnabledInTheIndex)
{
    FakeAssistant assistant(3);
    assistant.navigable = {false, true, false};
    run(assistant);
    const QList<QAbstractButton *> cells = wizard.indexCells();
    ASSERT_EQ(cells.size(), 3);
    EXPECT_TRUE(cells[0]->isEnabled()) << "current, though not navigable";
    EXPECT_TRUE(cells[0]->isChecked());
    EXPECT_TRUE(cells[1]->isEnabled());
    EXPECT_FALSE(cells[2]->isEnabled());
    EXPECT_EQ(cells[1]->text(), "PAGE2");
    cells[1]->click();
    EXPECT_EQ(wizard.currentStep(), 1);
    EXPECT_EQ(wizard.titleField()->text(), "Create Table");
}

TEST_F(AssistantWindowControllerTest, ButtonsFollowTheAssistant)
{
    FakeAssistant assistant(2);
    assistant.canBackward = false;
    assistant.canCancel = false;
    run(assistant);
    EXPECT_FALSE(wizard.previousButton()->isEnabled());
    EXPECT_FALSE(wizard.cancelButton()->isVisibleTo(&wizard));
    assistant.canBackward = true;
    assistant.forwardCancels = true;
    wizard.reevaluateInterface();
    EXPECT_TRUE(wizard.previousButton()->isEnabled());
    EXPECT_EQ(wizard.nextButton()->text(), "Finish");
    wizard.nextButton()->click();
    EXPECT_FALSE(wizard.isVisible()) << "a forward button that cancels closes the wizard";
    EXPECT_EQ(assistant.cancelled, 1);
}

TEST_F(AssistantWindowControllerTest, EscapeAndCancelRules)
{
    struct Case {
        const char *what;
        bool canCancel, canForward, forwardCancels, confirm;
        bool escapeCloses, cancelCloses;
    };
    const Case cases[] = {
        {"can cancel", true, true, false, true, true, true},
        {"cannot cancel, enabled forward that cancels", false, true, true, true, true, false},
        {"cannot cancel, disabled forward that cancels", false, false, true, true, false, false},
        {"cannot cancel, forward advances", false, true, false, true, false, false},
        {"confirmation refuses Cancel but not Escape", true, true, false, false, true, false},
    };
    for (const Case &c : cases) {
        for (bool escape : {true, false}) {
            FakeAssistant assistant(2);
            assistant.canCancel = c.canCancel;
            assistant.canForward = c.canForward;
            assistant.forwardCancels = c.forwardCancels;
            assistant.confirmCancel = c.confirm;
            AssistantWindowController w;
            w.setDelegate(&assistant);
            w.runAsSheet(&parentWindow);
            if (escape)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.cancel();
            const bool closes = escape ? c.escapeCloses : c.cancelCloses;
            EXPECT_EQ(w.isVisible(), !closes) << c.what << (escape ? " (Escape)" : " (Cancel)");
            EXPECT_EQ(assistant.cancelled, closes ? 1 : 0) << c.what;
        }
    }
}

TEST_F(AssistantWindowControllerTest, ShortcutsFollowTheButtons)
{
    FakeAssistant assistant(2);
    assistant.canBackward = false;
    run(assistant);
    const QList<VisualShortcut> shortcuts = wizard.visualShortcuts();
    ASSERT_EQ(shortcuts.size(), 3);
    EXPECT_EQ(shortcuts[0].view, wizard.cancelButton());
    EXPECT_EQ(shortcuts[0].keyEquivalent, "\033");
    EXPECT_EQ(shortcuts[1].keyEquivalent, "\u2190");
    EXPECT_EQ(shortcuts[1].modifierFlags, Qt::ControlModifier);
    EXPECT_FALSE(shortcuts[1].enabled);
    EXPECT_EQ(shortcuts[2].keyEquivalent, "\r");
    EXPECT_TRUE(shortcuts[2].enabled);
}

TEST_F(AssistantWindowControllerTest, TheCloseButtonDoesNothing)
{
    FakeAssistant assistant(2);
    run(assistant);
    EXPECT_FALSE(wizard.close());
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(assistant.cancelled, 0);
}

TEST_F(AssistantWindowControllerTest, PagesSizeTheWindow)
{
    FakeAssistant assistant(3, QSize(400, 300));
    assistant.pages[2]->widget->resize(600, 420);
    run(assistant);
    const QSize first = wizard.size();
    wizard.next();
    EXPECT_EQ(wizard.size(), first) << "a page of the same size swaps without resizing";
    wizard.next();
    EXPECT_EQ(wizard.width() - first.width(), 200);
    EXPECT_EQ(wizard.height() - first.height(), 120);
}

TEST_F(AssistantWindowControllerTest, ModalRunReturnsWhenTheWizardCloses)
{
    FakeAssistant assistant(2);
    AssistantWindowController w;
    w.setDelegate(&assistant);
    QTimer::singleShot(0, &w, [&w] { w.cancel(); });
    w.runAsModalWindow();
    EXPECT_EQ(assistant.cancelled, 1);
    EXPECT_TRUE(assistant.pages[0]->widget) << "the page's view outlives its time in the wizard";
}

} // namespace
