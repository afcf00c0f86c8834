#include "kit/CommandRouter.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
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

// Performs executeSql: only while it is switched on.
class ValidatingResponder : public QObject
{
    Q_OBJECT
public:
    bool on = false;
    QStringList received;
    Q_INVOKABLE void executeSql(QObject *) { received << "executeSql:"; }
    Q_INVOKABLE bool validateAction(const QString &) const { return on; }
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

TEST_F(CommandRouterTest, AResponderThatDeclinesForNowPassesTheCommandOn)
{
    ValidatingResponder editorPane;
    Responder procedurePane("procedurePane");
    router.setWindowResponder(&window, &editorPane);
    router.setNextResponder(&editorPane, &procedurePane);
    EXPECT_EQ(router.targetForAction("executeSql:", &window), &procedurePane);
    EXPECT_TRUE(router.sendAction("executeSql:", editor));
    EXPECT_TRUE(editorPane.received.isEmpty()) << "a declined command is not performed";
    editorPane.on = true;
    EXPECT_EQ(router.targetForAction("executeSql:", &window), &editorPane);
    router.setNextResponder(&editorPane, nullptr);
    editorPane.on = false;
    EXPECT_EQ(router.targetForAction("executeSql:", &window), nullptr);
    EXPECT_TRUE(CommandRouter::perform(&editorPane, "executeSql:", nullptr))
        << "a command sent to its target directly is not validated";
}

TEST_F(CommandRouterTest, WhileTheMenuBarHasTheKeyboardCommandsStartFromTheWidgetBefore)
{
    QMenuBar *bar = window.menuBar();
    bar->addMenu("File");
    bar->show(); // made after the window was shown
    EXPECT_EQ(router.firstResponder(&window), editor);
    // What the bar does itself when Escape leaves an open menu: it takes the keyboard.
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setFocus(Qt::MenuBarFocusReason);
    ASSERT_EQ(window.focusWidget(), bar);
    EXPECT_EQ(router.firstResponder(&window), editor);
    EXPECT_EQ(router.targetForAction("selectAllText:", &window), editor);
    editor->setFocus();
    EXPECT_EQ(router.firstResponder(&window), editor);
}

} // namespace

#include "CommandRouterTest.moc"
