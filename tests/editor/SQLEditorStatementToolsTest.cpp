// Explain, format and "Copy as" of the SQL editor model: the statement they take, explain's outcomes on the
// background runner against the fake root, and the export formats of the shipped resource.
#include "../status/StatusManagerFakes.h"
#include "EditorControllerFakes.h"
#include "EditorTestSupport.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "editor/SQLCodeExport.h"
#include "editor/SQLEditorController.h"
#include "platform/Bundle.h"

#include <gtest/gtest.h>

namespace
{

class StatusTexts : public FakeDocument
{
public:
    void statusManagerHasStatusUpdate(StatusManager *manager) override
    {
        if (!manager->activeStatus())
            finals << manager->connectionStatusText();
    }
    QStringList finals;
};

class SQLEditorStatementToolsTest : public ::testing::Test
{
protected:
    SQLEditorStatementToolsTest()
    {
        EditorTestSupport::writeDefaultPreferences();
        statusManager->setDelegate(&statusTexts);
        document.root = root;
        controller.setDelegate(static_cast<SQLEditorControllerDelegate *>(&document));
        controller.setStatusManager(statusManager);
        controller.setThreadController(threads);
    }
    ~SQLEditorStatementToolsTest() override { statusManager->setDelegate(nullptr); }

    void analyse(const QString &sql, TextRange range)
    {
        controller.setContents(sql);
        EditorTestSupport::processEvents();
        const int releases = document.releases;
        controller.analyseSQLInRange(range, &extended);
        if (document.reservations.isEmpty()) {
            EditorTestSupport::processEvents(); // alerts are queued
            return;
        }
        ASSERT_WAIT_FOR_MS(document.releases > releases, 10000);
        ASSERT_WAIT_FOR_MS(threads->numberOfRegisteredThreads(true) == 0, 10000);
        EditorTestSupport::processEvents();
    }
    QStringList alertTitles() const { return EditorControllerFakes::alertTitles(*statusManager); }

    QoJavaBridge bridge{QVariantMap(), QString()};
    std::shared_ptr<ThreadController> threads = std::make_shared<ThreadController>(&bridge);
    FakeClock clock;
    FakeNotifier notifier{clock};
    std::shared_ptr<StatusManager> statusManager =
        std::make_shared<StatusManager>(std::make_shared<FakeVornRootClient>(), notifier.notifier);
    StatusTexts statusTexts;
    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    FakeEditorDocument document;
    BeepCountingController controller{root};
    TextRange extended;
};

} // namespace

TEST_F(SQLEditorStatementToolsTest, ExplainSendsTheStatementAtTheCaretWithMarksForParameters)
{
    root->analyserClient->plan = {{"info", QVariantMap{{"OPERATION", "SELECT STATEMENT"}}}};
    // Separated by a separator but not by a blank line: a run would take both.
    analyse("select a from t where b = :b;\nselect 2", {3, 0});
    EXPECT_EQ(root->analyserClient->analysed, QStringList{"select a from t where b = ?"});
    EXPECT_EQ(extended.location, 0);
    EXPECT_EQ(document.reservations, QStringList{"Analysing SQL statement"});
    ASSERT_EQ(document.plans.size(), 1);
    EXPECT_EQ(document.plans.first().value("info").toMap().value("OPERATION"), "SELECT STATEMENT");
    EXPECT_EQ(statusTexts.finals.last(), "Successfully analysed SQL Statement");
    EXPECT_TRUE(controller.planTableAvailable());
}

TEST_F(SQLEditorStatementToolsTest, ExplainOfTwoStatementsAlertsAndOfNoneBeeps)
{
    analyse("select 1;\nselect 2", {0, 18});
    EXPECT_EQ(alertTitles(), QStringList{"Cannot analyse multiple SQL statements"});
    EXPECT_EQ(controller.beeps, 0);

    analyse("select 1;\n\n  -- nothing\n", {14, 0});
    EXPECT_EQ(controller.beeps, 1);
    EXPECT_TRUE(document.reservations.isEmpty()) << "nothing reached the backend";
    EXPECT_TRUE(root->analyserClient->analysed.isEmpty());
    EXPECT_EQ(document.willExecute, 2) << "the document switches its pane before the statement is known";
    EXPECT_EQ(document.notExecuted.size(), 2) << "and is told to switch it back";
}

TEST_F(SQLEditorStatementToolsTest, AMissingPlanTableIsRequestedAndAskedAgainNextTime)
{
    root->analyserClient->hasPlanTable = false;
    analyse("select 1", {0, 0});
    EXPECT_EQ(document.planTableRequests, 1);
    EXPECT_EQ(document.notExecuted.size(), 1);
    EXPECT_TRUE(document.plans.isEmpty());
    EXPECT_TRUE(root->analyserClient->analysed.isEmpty());
    EXPECT_EQ(statusTexts.finals.last(), "Error analysing SQL statement");
    EXPECT_FALSE(controller.planTableAvailable());

    root->analyserClient->hasPlanTable = true;
    analyse("select 1", {0, 0});
    analyse("select 1", {0, 0});
    EXPECT_EQ(root->analyserClient->planTableQuestions, 2) << "once found, the table is not asked for again";
    EXPECT_EQ(document.plans.size(), 2);
    controller.resetSqlEditorFromRoot();
    EXPECT_FALSE(controller.planTableAvailable()) << "a new connection may lack it";
}

TEST_F(SQLEditorStatementToolsTest, ABackendErrorIsAlertedWithItsText)
{
    root->analyserClient->error = "relation \"t\" does not exist";
    analyse("select * from t", {0, 0});
    EXPECT_EQ(alertTitles(), QStringList{"Error analysing SQL statement"});
    EXPECT_TRUE(statusManager->messageQueue().first()->message.contains("relation \"t\" does not exist"));
    EXPECT_TRUE(document.plans.isEmpty());
    EXPECT_EQ(document.releases, 1);
}

TEST_F(SQLEditorStatementToolsTest, AnalyseNeedsADatabaseThatExplains)
{
    controller.setContents("select 1");
    EXPECT_TRUE(controller.canAnalyseSQLInRange({0, 0}, false));
    root->analyses = false;
    EXPECT_FALSE(controller.canAnalyseSQLInRange({0, 0}, false));
}

TEST_F(SQLEditorStatementToolsTest, FormatReplacesOnlyTheStatementAtTheCaret)
{
    controller.setContents("select   a ,b from t;\nselect 2");
    EditorTestSupport::processEvents();
    TextRange range;
    // The statement's separator is part of the range replaced, so the formatted text keeps it.
    const QString formatted = controller.formattedSQLInRange({2, 0}, &range);
    EXPECT_TRUE(formatted.startsWith("select a, b from t")) << formatted.toStdString();
    EXPECT_TRUE(formatted.endsWith(";")) << formatted.toStdString();
    EXPECT_EQ(range.location, 0);
    EXPECT_EQ(range.length, 21);
    EXPECT_TRUE(controller.canFormatSQLInRange({2, 0}));

    controller.setContents("   ");
    EXPECT_FALSE(controller.canFormatSQLInRange({1, 0}));
    EXPECT_EQ(controller.formattedSQLInRange({1, 0}, &range), "");
}

TEST_F(SQLEditorStatementToolsTest, ExportTurnsLineCommentsIntoBlockCommentsOfTheDialect)
{
    const QString build = QString::fromUtf8(qgetenv("VORN_BUILD_DIR"));
    ASSERT_FALSE(build.isEmpty());
    Bundle::setMainBundlePrefix(build);
    controller.setContents("select 1 -- one\nfrom dual");
    EditorTestSupport::processEvents();
    EXPECT_EQ(controller.exportedSQLInRange({0, 0}, nullptr, "java"),
              "String query = \"select 1 /* one */ from dual\";\n");
    Bundle::setMainBundlePrefix(QString());
}

namespace
{
QVariantMap cFormat(bool printable = false, bool array = false)
{
    return {{"name", "C"},
            {"array", array},
            {"printable", printable},
            {"first_line_prefix", "q%d = "},
            {"second_line_prefix", "  "},
            {"literal_quote", "\""},
            {"literal_quote_escape", "\\\""},
            {"line_postfix", "\n"},
            {"last_line_postfix", ";\n"},
            {"newline", "\\n"}};
}
} // namespace

TEST(SQLCodeExportTest, StatementsAsLiterals)
{
    struct Case {
        const char *what;
        QStringList statements;
        QVariantMap format;
        bool multiLine;
        QString expected;
    };
    QVariantMap withCount = cFormat();
    withCount.insert("first_query_prefix", "n = %t;\n");
    QVariantMap sqlQuotes = cFormat();
    sqlQuotes.insert("literal_quote", "'");
    sqlQuotes.insert("literal_quote_escape", "''");
    const std::vector<Case> cases{
        {"one statement: no number",
         {"select a,\n  b\nfrom t"},
         cFormat(),
         false,
         "q = \"select a, b from t\";\n"},
        {"two statements: numbered from 1",
         {"select 1", "select 2"},
         cFormat(),
         false,
         "q1 = \"select 1\";\nq2 = \"select 2\";\n"},
        {"array: numbered from 0",
         {"select 1", "select 2"},
         cFormat(false, true),
         false,
         "q0 = \"select 1\";\nq1 = \"select 2\";\n"},
        {"multi-line: continuation lines aligned under the first literal",
         {"select a\nfrom t"},
         cFormat(),
         true,
         "q = \"select a \"\n    \"from t\";\n"},
        {"printable: untrimmed and joined by the newline text",
         {"select a\n  from t"},
         cFormat(true),
         false,
         "q = \"select a\\n  from t\";\n"},
        {"%t: the number of statements",
         {"a", "b", "c"},
         withCount,
         false,
         "n = 3;\nq1 = \"a\";\nq2 = \"b\";\nq3 = \"c\";\n"},
        {"the quote is escaped",
         {"select \"x\" from t"},
         cFormat(),
         false,
         "q = \"select \\\"x\\\" from t\";\n"},
        {"a backslash is escaped before the quote",
         {"select '\\\"' from t"},
         cFormat(),
         false,
         "q = \"select '\\\\\\\"' from t\";\n"},
        {"a lone backslash stays one character of the literal",
         {"select 'a\\' from t"},
         cFormat(),
         false,
         "q = \"select 'a\\\\' from t\";\n"},
        {"a doubling escape doubles only the quote",
         {"select 'a''b\\'"},
         sqlQuotes,
         false,
         "q = 'select ''a''''b\\''';\n"},
        {"an empty line: no text but its separator",
         {"select a\n\nfrom t"},
         cFormat(),
         false,
         "q = \"select a  from t\";\n"},
        {"an empty line, multi-line: a literal of its own",
         {"select a\n\nfrom t"},
         cFormat(),
         true,
         "q = \"select a \"\n    \" \"\n    \"from t\";\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SQLCodeExport::exportStatements(c.statements, c.format, c.multiLine).toStdString(),
                  c.expected.toStdString());
    }
}

TEST(SQLCodeExportTest, MenuOfTheShippedFormats)
{
    Bundle::setMainBundlePrefix(QString::fromUtf8(qgetenv("VORN_BUILD_DIR")));
    const QVariantMap resource = SQLCodeExport::readResource();
    const QStringList formats = resource.value("formats").toStringList();
    ASSERT_FALSE(formats.isEmpty()) << "the resource is installed beside the program";
    for (const QString &format : formats) {
        if (format.isEmpty())
            continue;
        const QVariantMap description = resource.value(format).toMap();
        for (const char *key : {"name", "first_line_prefix", "second_line_prefix", "literal_quote",
                                "literal_quote_escape", "line_postfix", "last_line_postfix", "newline"})
            EXPECT_TRUE(description.contains(key)) << format.toStdString() << " lacks " << key;
    }
    const QStringList identifiers = SQLCodeExport::sqlExportFormats();
    ASSERT_EQ(identifiers.size(), 2 * formats.size() + 3);
    EXPECT_EQ(identifiers.first(), "--SingleLine");
    EXPECT_EQ(identifiers.at(formats.size() + 2), "--MultiLine");
    EXPECT_EQ(identifiers.at(formats.size() + 3), "-MULTI-" + formats.first());

    struct Title {
        QString format;
        QString title;
    };
    for (const Title &t : std::vector<Title>{{"--SingleLine", "Single query line"},
                                             {"--MultiLine", "Multiple query lines"},
                                             {"c", "C"},
                                             {"-MULTI-c-printable", "C - Printable"},
                                             {"java-array", "Java - Array"},
                                             {"objc-mutablearray", "Objective-C - NSMutableArray"},
                                             {"sql-literal", "SQL string literal"},
                                             {"no-such-format", ""}})
        EXPECT_EQ(SQLCodeExport::displayNameForSqlExportFormat(t.format), t.title) << t.format.toStdString();

    QVariantMap variants;
    const auto flagged = [](bool array, bool mutableArray, bool printable) {
        return QVariantMap{
            {"name", "N"}, {"array", array}, {"nsmutablearray", mutableArray}, {"printable", printable}};
    };
    variants.insert("a", flagged(true, true, true));
    variants.insert("b", flagged(true, false, true));
    variants.insert("c", flagged(false, false, false));
    EXPECT_EQ(SQLCodeExport::displayNameForSqlExportFormat("a", variants), "N - NSMutableArray Printable");
    EXPECT_EQ(SQLCodeExport::displayNameForSqlExportFormat("b", variants), "N - Array Printable");
    EXPECT_EQ(SQLCodeExport::displayNameForSqlExportFormat("c", variants), "N");
    Bundle::setMainBundlePrefix(QString());
}
