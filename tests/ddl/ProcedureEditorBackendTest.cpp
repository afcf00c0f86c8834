#include "DdlBackendSupport.h"
#include "WaitFor.h"
#include "client/VornBrowserClient.h"
#include "client/VornProcedureClient.h"
#include "client/VornRootClient.h"
#include "ddl/ProcedureEditorController.h"
#include "ddl/ProcedureEditorControllerDelegate.h"
#include "editor/SQLEditorTextStorage.h"
#include "status/StatusManager.h"

// The stored-code editor over the real backend: a routine is loaded as the browser loads it, edited in
// the editor's text, built, reverted and run with its parameter values.
namespace
{

class ProcedureDocumentStandIn : public ProcedureEditorControllerDelegate
{
public:
    QVariantMap answers;
    int compiled = 0;
    bool stillAvailable = false;
    int reverted = 0;
    int updated = 0;
    QStringList askedNames;

    void procedureEditorCompiledProcedure(ProcedureEditorController *, bool available) override
    {
        stillAvailable = available;
        ++compiled;
    }
    void procedureEditorRevertedProcedure(ProcedureEditorController *) override { ++reverted; }
    void procedureEditorControllerNeedsParameters(const QStringList &names, ParameterAction action,
                                                  const QVariantMap &) override
    {
        askedNames = names;
        action(ParameterAnswer{names, answers, QVariant()});
    }
    void procedureUpdated() override { ++updated; }
};

class ProcedureEditorBackendTest : public DdlDatabaseTest
{
protected:
    void SetUp() override
    {
        if (GetParam() == "SQLite")
            GTEST_SKIP() << "SQLite has no stored code";
        DdlDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        schema = root->browser()->selectedSchema();
        cleanUp();
        editor = std::make_unique<ProcedureEditorController>(root);
        editor->setDelegate(document.get());
        editor->setProcedureDelegate(&stored);
        editor->setThreadController(threads);
        editor->setStatusManager(status);
    }
    void TearDown() override
    {
        if (testRoot) {
            // Edits left held would keep the focus: the test's own end lets them go.
            if (const auto procedure = root->procedure())
                procedure->revert();
            cleanUp();
        }
        editor.reset();
        DdlDatabaseTest::TearDown();
    }
    void cleanUp()
    {
        if (GetParam() == "PostgreSQL") {
            testRoot->execute("DROP FUNCTION IF EXISTS vproc_add(int, int)");
        } else {
            testRoot->execute("DROP PROCEDURE IF EXISTS vproc_twice");
        }
    }
    void load(const QString &type, const QString &name)
    {
        ASSERT_TRUE(root->browser()->selectElement(schema, type, name).successful)
            << root->lastErrorMessage().toStdString();
        editor->resetProcedureFromRoot();
        ASSERT_TRUE(editor->procedure());
    }
    void edit(const QString &from, const QString &to)
    {
        QString text = editor->sqlEditorTextStorage()->string();
        ASSERT_TRUE(text.contains(from)) << text.toStdString();
        editor->sqlEditorTextStorage()->replaceContents(text.replace(from, to));
        editor->sourceUpdated();
    }
    void compile()
    {
        const int before = stored.compiled;
        ASSERT_TRUE(editor->canCompile());
        editor->compileAndCommit();
        ASSERT_WAIT_FOR(stored.compiled > before);
        ASSERT_WAIT_FOR(!root->reserved());
    }
    void execute()
    {
        const int before = stored.updated;
        ASSERT_TRUE(editor->canExecute());
        editor->execute();
        ASSERT_WAIT_FOR_MS(stored.updated > before, 15000);
    }
    QStringList alerts() const
    {
        QStringList texts;
        for (const auto &message : status->messageQueue())
            texts << message->title + ": " + message->message;
        return texts;
    }
    void createAdd()
    {
        ASSERT_TRUE(testRoot->run("CREATE FUNCTION vproc_add(a int, b int) RETURNS int\nLANGUAGE sql\n"
                                  "AS $$\n  SELECT a + b\n$$"));
    }

    QString schema;
    ProcedureDocumentStandIn stored;
    std::unique_ptr<ProcedureEditorController> editor;
};

TEST_P(ProcedureEditorBackendTest, EditedFunctionIsBuiltAndRunWithItsInputValues)
{
    if (GetParam() != "PostgreSQL")
        GTEST_SKIP() << "the function with IN parameters is PostgreSQL's case";
    createAdd();
    load("FUNCTION", "vproc_add");
    EXPECT_TRUE(editor->sqlEditorTextStorage()->string().contains("SELECT a + b"));
    EXPECT_FALSE(editor->canCompile()) << "nothing edited yet";

    edit("SELECT a + b", "SELECT a + b + 100");
    EXPECT_TRUE(editor->canRevert());
    EXPECT_FALSE(editor->canExecute()) << "an unbuilt edit is not run";
    EXPECT_FALSE(root->allowFocusChange()) << "unbuilt edits keep the focus";
    EXPECT_EQ(root->lastErrorMessage(), "PROCEDURE_NEEDS_COMMIT_OR_REVERT");

    compile();
    EXPECT_TRUE(stored.stillAvailable);
    EXPECT_TRUE(editor->warnings().isEmpty());
    EXPECT_FALSE(editor->procedure()->sourceIsDirty());
    EXPECT_TRUE(editor->sqlEditorTextStorage()->string().contains("a + b + 100"));
    EXPECT_TRUE(root->allowFocusChange());

    stored.answers = {{"a", "2"}, {"b", "3"}};
    execute();
    EXPECT_EQ(stored.askedNames, QStringList({"a", "b"}));
    EXPECT_EQ(editor->procedure()->value(0).toString(), "105");
    EXPECT_EQ(editor->parameterCache().value("a").toString(), "2");
    EXPECT_TRUE(alerts().contains("The function 'vproc_add' executed successfully: Function result: 105"))
        << alerts().join(" | ").toStdString();
}

TEST_P(ProcedureEditorBackendTest, ProcedureWithAnOutParameterGivesItsValue)
{
    if (GetParam() != "MySQL")
        GTEST_SKIP() << "the procedure with an OUT parameter is MariaDB's case";
    ASSERT_TRUE(testRoot->run("CREATE PROCEDURE vproc_twice(IN x INT, OUT y INT)\n  SET y = x * 2"));
    load("PROCEDURE", "vproc_twice");
    edit("x * 2", "x * 3");
    compile();
    ASSERT_TRUE(stored.stillAvailable) << alerts().join(" | ").toStdString();

    stored.answers = {{"x", "14"}};
    execute();
    EXPECT_EQ(stored.askedNames, QStringList({"x"}));
    EXPECT_TRUE(alerts().contains("The procedure 'vproc_twice' executed successfully: The procedure resulted "
                                  "in the following out and inout values:\n\ny: 42"))
        << alerts().join(" | ").toStdString();
}

TEST_P(ProcedureEditorBackendTest, FailedBuildKeepsTheEditsAndRevertRestoresTheStoredText)
{
    if (GetParam() == "PostgreSQL")
        createAdd();
    else
        ASSERT_TRUE(testRoot->run("CREATE PROCEDURE vproc_twice(IN x INT, OUT y INT)\n  SET y = x * 2"));
    load(GetParam() == "PostgreSQL" ? "FUNCTION" : "PROCEDURE",
         GetParam() == "PostgreSQL" ? "vproc_add" : "vproc_twice");
    const QString storedText = editor->sqlEditorTextStorage()->string();
    const QString from = GetParam() == "PostgreSQL" ? "SELECT a + b" : "SET y = x * 2";
    edit(from, "SELECT ((");
    const QString edited = editor->sqlEditorTextStorage()->string();

    compile();
    EXPECT_TRUE(stored.stillAvailable);
    EXPECT_EQ(editor->sqlEditorTextStorage()->string(), edited) << "the edits stay";
    EXPECT_TRUE(editor->procedure()->sourceIsDirty());
    ASSERT_EQ(editor->warnings().size(), 1);
    EXPECT_GT(editor->warnings().first().toMap().value("position").toString().section(':', 0, 0).toInt(), 1)
        << "the warning points into the text";
    EXPECT_FALSE(editor->canExecute());
    EXPECT_TRUE(alerts().join("\n").contains("A database error occured while trying update the procedure."));

    editor->revert();
    EXPECT_EQ(stored.reverted, 1);
    EXPECT_EQ(editor->sqlEditorTextStorage()->string(), storedText);
    EXPECT_FALSE(editor->procedure()->sourceIsDirty());
    EXPECT_TRUE(editor->warnings().isEmpty());
    EXPECT_TRUE(root->allowFocusChange());
}

} // namespace

VORN_FOR_EVERY_DATABASE(ProcedureEditorBackendTest);
