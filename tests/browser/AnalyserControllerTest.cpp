// The execution-plan analyser: each step's coloured line, the printed plan, the outline of the pane and
// the sheet that creates a missing plan table.
#include "FakeVornRootClient.h"
#include "WaitFor.h"

#include "browser/AnalyserController.h"
#include "browser/AnalyserViewController.h"
#include "browser/CreatePlanTable.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTreeView>
#include <gtest/gtest.h>

namespace
{

QVariantMap step(const QVariantMap &info, const QVariantList &children = {})
{
    QVariantMap result{{"info", info}};
    if (!children.isEmpty())
        result.insert("children", children);
    return result;
}

class AnalyserControllerTest : public ::testing::Test
{
protected:
    AnalyserControllerTest()
    {
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
        controller.syntaxNormalColor = Qt::black;
        controller.syntaxReservedColor = Qt::blue;
        controller.syntaxContextColor = Qt::darkGreen;
        controller.syntaxLiteralColor = Qt::red;
        controller.syntaxCommentColor = Qt::gray;
    }

    QString line(const QVariantMap &info, bool root = false) const
    {
        return AnalyserController::plainText(controller.displayValueForStep(step(info), root));
    }

    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    AnalyserController controller{root};
};

} // namespace

TEST_F(AnalyserControllerTest, LinesOfSteps)
{
    struct Case {
        const char *what;
        QVariantMap info;
        bool root;
        QString line;
    };
    const std::vector<Case> cases{
        {"the root names its optimizer, not its object",
         {{"OPERATION", "SELECT STATEMENT"},
          {"OPTIMIZER", "ALL_ROWS"},
          {"OBJECT_NAME", "EMP"},
          {"OPTIONS", "X"}},
         true,
         "SELECT STATEMENT Optimizer=ALL_ROWS"},
        {"a full scan with its estimates",
         {{"OPERATION", "TABLE ACCESS"},
          {"OPTIONS", "FULL"},
          {"OBJECT_NAME", "EMP"},
          {"COST", "3"},
          {"CARDINALITY", "14"}},
         false,
         "TABLE ACCESS (FULL) OF EMP (Cost=3 Card=14)"},
        {"the object's type after its name",
         {{"OPERATION", "INDEX"}, {"OBJECT_NAME", "PK_EMP"}, {"OBJECT_TYPE", "INDEX (UNIQUE)"}},
         false,
         "INDEX OF PK_EMP (INDEX (UNIQUE))"},
        {"cost and bytes",
         {{"OPERATION", "SORT"}, {"COST", "4"}, {"BYTES", "120"}},
         false,
         "SORT (Cost=4 Bytes=120)"},
        {"the cost collection runs into the cost",
         {{"OPERATION", "X"}, {"COST_COLLECTION", "X"}, {"COST", "2"}},
         false,
         "X (XCost=2)"},
        {"only a cardinality: no leading blank",
         {{"OPERATION", "X"}, {"CARDINALITY", "5"}},
         false,
         "X (Card=5)"},
        {"nothing but the operation", {{"OPERATION", "FILTER"}}, false, "FILTER"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(line(c.info, c.root), c.line);
    }
    EXPECT_TRUE(controller.displayValueForStep(QVariantMap{{"children", QVariantList{}}}, false).isEmpty())
        << "a step without its fields shows empty";
}

TEST_F(AnalyserControllerTest, PiecesTakeTheColoursOfWhatTheyAre)
{
    const AnalyserLine full = controller.displayValueForStep(step({{"OPERATION", "TABLE ACCESS"},
                                                                   {"OPTIONS", "FULL"},
                                                                   {"OBJECT_NAME", "EMP"},
                                                                   {"OBJECT_TYPE", "TABLE"}}),
                                                             false);
    EXPECT_EQ(full, (AnalyserLine{{"TABLE ACCESS", Qt::blue},
                                  {" (", Qt::black},
                                  {"FULL", Qt::red},
                                  {")", Qt::black},
                                  {" OF ", Qt::black},
                                  {"EMP", Qt::darkGreen},
                                  {" (TABLE)", Qt::blue}}));
    const AnalyserLine narrow =
        controller.displayValueForStep(step({{"OPERATION", "INDEX"}, {"OPTIONS", "RANGE SCAN"}}), false);
    EXPECT_EQ(narrow.at(2), (AnalyserLinePiece{"RANGE SCAN", Qt::gray}));
}

TEST_F(AnalyserControllerTest, PrintedPlanHasOneTabPerLevelAfterEachLineFeed)
{
    EXPECT_TRUE(controller.attributedString()->toPlainText().isEmpty()) << "no plan, nothing to print";
    controller.resetWithAnalysisInfo(step({{"OPERATION", "SELECT STATEMENT"}}));
    EXPECT_EQ(controller.attributedString()->toPlainText(), "\nSELECT STATEMENT");

    controller.resetWithAnalysisInfo(
        step({{"OPERATION", "SELECT STATEMENT"}},
             {step({{"OPERATION", "HASH JOIN"}}, {step({{"OPERATION", "SCAN"}, {"OBJECT_NAME", "A"}})}),
              step({{"OPERATION", "SORT"}})}));
    const QString printed =
        controller.attributedString()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    EXPECT_EQ(printed, "\nSELECT STATEMENT\n\tHASH JOIN\n\t\tSCAN OF A\n\tSORT");
    EXPECT_EQ(controller.printViewNeedsTitle(), "Analysis");
    root->analyserClient->analysed << "select 1";
    EXPECT_EQ(controller.printViewNeedsSourceQuery(), "select 1");
}

TEST_F(AnalyserControllerTest, ThePaneShowsTheWholeTreeExpanded)
{
    AnalyserViewController pane;
    controller.resetWithAnalysisInfo(
        step({{"OPERATION", "SELECT STATEMENT"}},
             {step({{"OPERATION", "NESTED LOOP"}},
                   {step({{"OPERATION", "SCAN"}}), step({{"OPERATION", "SEARCH"}})})}));
    pane.setAnalyserController(&controller);
    const QAbstractItemModel *model = pane.outlineView()->model();
    ASSERT_EQ(model->rowCount(), 1);
    const QModelIndex top = model->index(0, 0);
    EXPECT_EQ(top.data().toString(), "SELECT STATEMENT");
    const QModelIndex loop = model->index(0, 0, top);
    EXPECT_EQ(model->rowCount(loop), 2);
    EXPECT_EQ(model->index(1, 0, loop).data().toString(), "SEARCH");
    EXPECT_TRUE(pane.outlineView()->isExpanded(top));
    EXPECT_TRUE(pane.outlineView()->isExpanded(loop));

    controller.resetWithAnalysisInfo(step({{"OPERATION", "DELETE STATEMENT"}}));
    pane.analyserReset();
    EXPECT_EQ(model->index(0, 0).data().toString(), "DELETE STATEMENT");
    pane.setAnalyserController(nullptr);
    EXPECT_EQ(model->rowCount(), 0);
}

// Each tab keeps where its plan was scrolled to and whether its root was open.
TEST_F(AnalyserControllerTest, ThePaneRestoresATabsScrollAndRoot)
{
    AnalyserViewController pane;
    QVariantList steps;
    for (int n = 0; n < 80; ++n)
        steps.append(step({{"OPERATION", QString("SCAN %1").arg(n)}}));
    controller.resetWithAnalysisInfo(step({{"OPERATION", "SELECT STATEMENT"}}, steps));
    pane.setAnalyserController(&controller);
    pane.view()->resize(300, 200);
    pane.view()->show();
    QScrollBar *scroll = pane.outlineView()->verticalScrollBar();
    ASSERT_WAIT_FOR(scroll->maximum() > 20);
    scroll->setValue(20);

    QVariantMap scrolled;
    pane.encodeInferfaceState(scrolled);
    pane.setDefaultInterfaceState();
    EXPECT_EQ(scroll->value(), 0);
    pane.decodeInferfaceState(scrolled);
    EXPECT_EQ(scroll->value(), 20);

    const QModelIndex top = pane.outlineView()->model()->index(0, 0);
    pane.outlineView()->collapse(top);
    QVariantMap collapsed;
    pane.encodeInferfaceState(collapsed);
    pane.outlineView()->expandAll();
    pane.decodeInferfaceState(collapsed);
    EXPECT_FALSE(pane.outlineView()->isExpanded(top));
    pane.decodeInferfaceState(scrolled);
    EXPECT_TRUE(pane.outlineView()->isExpanded(top));
}

TEST(CreatePlanTableTest, CreateNeedsANameAndPasswordThatAreMoreThanBlanks)
{
    CreatePlanTable sheet;
    QStringList created;
    sheet.runModalForWindow(nullptr, "db:1521/ORCL", [&](const QString &user, const QString &password) {
        created << user << password;
    });
    EXPECT_EQ(sheet.username()->text(), "SYSTEM");
    EXPECT_FALSE(sheet.createButton()->isEnabled());
    sheet.password()->setText("  ");
    EXPECT_FALSE(sheet.createButton()->isEnabled());
    sheet.username()->setText("   ");
    sheet.password()->setText(" secret ");
    EXPECT_FALSE(sheet.createButton()->isEnabled());
    sheet.username()->setText("SYSTEM");
    EXPECT_TRUE(sheet.createButton()->isEnabled());
    sheet.createButton()->click();
    EXPECT_EQ(created, (QStringList{"SYSTEM", " secret "})) << "the values go on untrimmed";
}
