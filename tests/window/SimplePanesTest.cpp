#include "FakeVornRootClient.h"
#include "window/AboutWindowController.h"
#include "window/NotSupportedViewController.h"
#include "window/SimpleActionController.h"
#include "window/SimpleActionViewController.h"
#include "window/SimpleTextController.h"
#include "window/SimpleTextViewController.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

class ReconnectTarget : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    QObject *lastSender = nullptr;
public slots:
    void reconnect(QObject *sender)
    {
        ++calls;
        lastSender = sender;
    }
};

TEST(SimplePanesTest, ActionButtonKeepsItsRightEdgeAndSendsItsAction)
{
    SimpleActionViewController pane;
    pane.view()->resize(600, 300);
    pane.view()->show();
    SimpleActionController model;
    ReconnectTarget target;
    model.setText("The connection was lost.");
    model.setButtonTitle("OK");
    model.setAction("reconnect:");
    model.setTarget(&target);
    pane.setSimpleActionController(&model);
    QPushButton *button = pane.actionButton();
    const int rightEdge = button->geometry().right();
    const int narrow = button->width();

    model.setButtonTitle("Reconnect to the database now");
    pane.contentUpdated();
    EXPECT_GT(button->width(), narrow) << "a longer title widens the button";
    EXPECT_EQ(button->geometry().right(), rightEdge) << "to the left: the right edge stays";
    EXPECT_EQ(pane.textField()->text(), "The connection was lost.");

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(target.lastSender, button);

    SimpleActionController unset;
    pane.setSimpleActionController(&unset);
    EXPECT_EQ(button->text(), "NO TEXT");
    EXPECT_EQ(pane.textField()->text(), "NO BUTTON");
}

TEST(SimplePanesTest, TextPaneRefreshesOnlyWhenTold)
{
    SimpleTextViewController pane;
    SimpleTextController model(std::make_shared<FakeVornRootClient>());
    model.setText("CREATE TABLE a (id INT)");
    pane.setSimpleTextController(&model);
    EXPECT_EQ(pane.textView()->toPlainText(), "CREATE TABLE a (id INT)");
    EXPECT_TRUE(pane.textView()->isReadOnly());

    model.setText("CREATE TABLE b (id INT)");
    pane.setSimpleTextController(&model);
    EXPECT_EQ(pane.textView()->toPlainText(), "CREATE TABLE a (id INT)") << "same model: untouched";
    pane.textUpdated();
    EXPECT_EQ(pane.textView()->toPlainText(), "CREATE TABLE b (id INT)");
    pane.setSimpleTextController(nullptr);
    EXPECT_EQ(pane.textView()->toPlainText(), "");
}

TEST(SimplePanesTest, TextModelPrintsOnlyObjectsAndNamesTheirKind)
{
    SimpleTextController model(std::make_shared<FakeVornRootClient>());
    EXPECT_EQ(model.text(), "");
    EXPECT_FALSE(model.canPrint()) << "a statement message has no element";
    const std::pair<const char *, const char *> kinds[] = {
        {"CONSTRAINT", "Constraint"}, {"INDEX", "Index"}, {"TABLE", "TABLE"}, {"view", "view"}};
    for (const auto &[type, printed] : kinds)
        EXPECT_EQ(SimpleTextController::contentTypeForElementType(type), printed) << type;
}

TEST(SimplePanesTest, AboutWindowShowsVersionAndCopyright)
{
    AboutWindowController about({{"CFBundleShortVersionString", "3.0.0"},
                                 {"BuildNumber", "42"},
                                 {"NSHumanReadableCopyright", "Copyright \u00a9 Vorn"}});
    about.runWindow();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.versionField()->text(), "Version 3.0.0 (42)");
    EXPECT_EQ(about.copyrightField()->text(), "Copyright \u00a9 Vorn");
    about.performCloseTab(nullptr);
    EXPECT_FALSE(about.isVisible());
}

TEST(SimplePanesTest, PlaceholderViewsBelongToTheirControllerUntilPlaced)
{
    QPointer<QWidget> unplaced, placed;
    QWidget host;
    {
        NotSupportedViewController a, b;
        unplaced = a.view();
        placed = b.view();
        placed->setParent(&host);
    }
    EXPECT_TRUE(unplaced.isNull());
    EXPECT_FALSE(placed.isNull()) << "a placed view is the window's";
}

} // namespace

#include "SimplePanesTest.moc"
