#include "kit/CommandRouter.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

// A responder that performs the commands it was made with and records what reached it.
class Responder : public QObject
{
    Q_OBJECT
public:
    explicit Responder(const QString &name) { setObjectName(name); }
    QStringList received;
public slots:
    void executeSql(QObject *) { received << "executeSql:"; }
    void navigateBack(QObject *) { received << "navigateBack:"; }
};

class GridResponder : public QObject
{
    Q_OBJECT
public:
    QStringList received;
public slots:
    void addRow(QObject *) { received << "addRow:"; }
    void navigateBack(QObject *) { received << "navigateBack:"; }
};

class Editor : public QLineEdit
{
    Q_OBJECT
public slots:
    void selectAllText(QObject *) { selectAll(); }
};

class CommandRouterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        editor = new Editor;
        layout->addWidget(editor);
        window.setCentralWidget(central);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->setFocus();
    }
    QMainWindow window;
    Editor *editor = nullptr;
    CommandRouter &router = CommandRouter::shared();
};

TEST_F(CommandRouterTest, ActionsGoToTheFirstResponderOfTheChain)
{
    Responder controller("controller"), sqlEditor("sqlEditor"), document("document"), app("app");
    Responder browser("browser");
    GridResponder grid;
    router.setWindowResponder(&window, &controller);
    router.setNextResponder(&controller, &sqlEditor);
    router.setNextResponder(&sqlEditor, &browser);
    router.setNextResponder(&browser, &grid);
    router.setDocumentResponder(&window, &document);
    router.addApplicationResponder(&app);

    struct Case {
        const char *action;
        QObject *expected;
    };
    const Case cases[] = {
        {"selectAllText:", editor},   // the focus widget comes first
        {"executeSql:", &controller}, // the window controller before the panes
        {"addRow:", &grid},           // down the explicit links
        {"noSuchAction:", nullptr},
    };
    for (const Case &c : cases)
        EXPECT_EQ(router.targetForAction(c.action, &window), c.expected) << c.action;

    // Cutting the chain after the controller leaves the panes out; the document and the
    // application still come last.
    router.setNextResponder(&controller, nullptr);
    EXPECT_EQ(router.targetForAction("addRow:", &window), nullptr);
    const QList<QObject *> chain = router.responderChain(&window);
    ASSERT_GE(chain.size(), 4);
    EXPECT_EQ(chain.at(chain.size() - 2), &document);
    EXPECT_EQ(chain.last(), &app);
    router.removeApplicationResponder(&app);
}

TEST_F(CommandRouterTest, SendActionPerformsOnceAndReportsMisses)
{
    Responder controller("controller");
    router.setWindowResponder(&window, &controller);
    EXPECT_TRUE(router.sendAction("executeSql:", editor));
    EXPECT_EQ(controller.received, QStringList{"executeSql:"});
    EXPECT_FALSE(router.sendAction("compile:", editor));
    GridResponder explicitTarget;
    EXPECT_TRUE(router.sendAction("navigateBack:", editor, &explicitTarget));
    EXPECT_EQ(explicitTarget.received, QStringList{"navigateBack:"});
    EXPECT_EQ(controller.received.size(), 1);
}

TEST_F(CommandRouterTest, ACycleOfLinksEndsTheWalk)
{
    Responder a("a"), b("b");
    router.setWindowResponder(&window, &a);
    router.setNextResponder(&a, &b);
    router.setNextResponder(&b, &a);
    EXPECT_EQ(router.targetForAction("addRow:", &window), nullptr);
    EXPECT_EQ(router.responderChain(&window).count(&a), 1);
}

TEST_F(CommandRouterTest, ADestroyedResponderLeavesTheChain)
{
    auto controller = std::make_unique<Responder>("controller");
    router.setWindowResponder(&window, controller.get());
    controller.reset();
    EXPECT_EQ(router.windowResponder(&window), nullptr);
    EXPECT_EQ(router.targetForAction("executeSql:", &window), nullptr);
}

} // namespace

#include "CommandRouterTest.moc"
