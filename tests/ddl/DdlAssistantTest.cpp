#include "../support/WaitFor.h"
#include "DdlBackendSupport.h"
#include "client/VornAssistantClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"
#include "ddl/DDLAssistantViewController.h"
#include "ddl/DDLConstraintDetailsViewController.h"
#include "ddl/DDLConstraintTypeViewController.h"
#include "ddl/DDLIndexColumnsViewController.h"
#include "ddl/DDLIndexTypeViewController.h"
#include "ddl/DDLProcedureIdentifierViewController.h"
#include "ddl/DDLProcedureParameterViewController.h"
#include "ddl/DDLScriptViewController.h"
#include "ddl/DDLSequenceAdvancedViewController.h"
#include "ddl/DDLSequenceIdentifierViewController.h"
#include "ddl/DDLSimpleTextViewController.h"
#include "ddl/DDLTableColumnViewController.h"
#include "ddl/DDLTableConstraintViewController.h"
#include "ddl/DDLTableIdentifierViewController.h"
#include "ddl/DDLTableKeyViewController.h"
#include "ddl/DDLTableObjectIdentifierViewController.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

// The create assistants driven as a user drives them, page by page, on each test database: their page
// rules, their create run and the objects they create.
namespace
{

class DdlAssistantTest : public DdlDatabaseTest
{
protected:
    void SetUp() override
    {
        DdlDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        window = std::make_unique<QWidget>();
        assistantClient = VornAssistantClient::ofRoot(*root);
        ASSERT_TRUE(assistantClient);
        cleanUp();
    }
    void TearDown() override
    {
        if (testRoot)
            cleanUp();
        window.reset();
        DdlDatabaseTest::TearDown();
    }
    void cleanUp()
    {
        if (GetParam() == "PostgreSQL") {
            testRoot->execute("DROP FUNCTION IF EXISTS vasst_f(integer)");
            testRoot->execute("DROP SEQUENCE IF EXISTS vasst_seq");
        }
        if (GetParam() == "MySQL")
            testRoot->execute("DROP FUNCTION IF EXISTS vasst_f");
        for (const char *table : {"vasst_lines", "vasst_orders", "vasst_other"})
            testRoot->execute(QStringLiteral("DROP TABLE IF EXISTS ") + table);
    }
    bool serverDatabase() const { return GetParam() != "SQLite"; }

    DDLAssistantViewController *open(const QString &type)
    {
        controller->createNew(type, window.get());
        DDLAssistantViewController *assistant = controller->assistantFor(type);
        EXPECT_TRUE(assistant && assistant->assistantWindowController());
        return assistant;
    }
    template <class Page> Page *page(DDLAssistantViewController *assistant, const QString &identifier)
    {
        auto *found = dynamic_cast<Page *>(assistant->page(identifier));
        EXPECT_TRUE(found) << identifier.toStdString();
        return found;
    }
    // Next, as the button does it (only when it is enabled).
    bool next(DDLAssistantViewController *assistant)
    {
        AssistantWindowController *wizard = assistant->assistantWindowController();
        if (!wizard->nextButton()->isEnabled())
            return false;
        wizard->next();
        return true;
    }
    bool shown(DDLAssistantViewController *assistant, const QString &identifier)
    {
        return assistant->assistantWindowController()->currentViewController() == assistant->page(identifier);
    }
    // From the script page: Create, then the outcome on the create page.
    QString create(DDLAssistantViewController *assistant)
    {
        EXPECT_TRUE(shown(assistant, "scriptScreen"));
        EXPECT_EQ(assistant->assistantWindowController()->nextButton()->text(), "Create");
        EXPECT_TRUE(next(assistant));
        EXPECT_EQ(assistant->createState(), DdlCreateState::Creating);
        VORN_WAIT_UNTIL(assistant->createState() != DdlCreateState::Creating, 20000);
        EXPECT_NE(assistant->createState(), DdlCreateState::Creating);
        return assistant->createPage()->text();
    }
    // The first of the names that the database offers as a type.
    QString typeLike(const QString &wanted)
    {
        const QStringList types = assistantClient->types();
        for (const QString &name : wanted.split('|'))
            for (const QString &type : types)
                if (type.compare(name, Qt::CaseInsensitive) == 0)
                    return type;
        return assistantClient->defaultColumnType();
    }
    void typeText(QLineEdit *field, const QString &text)
    {
        field->setText(text);
        emit field->textEdited(text);
    }
    void select(QComboBox *popUp, const QString &text)
    {
        popUp->setCurrentIndex(popUp->findText(text));
        ASSERT_GE(popUp->currentIndex(), 0) << text.toStdString();
    }
    void addColumn(DDLTableColumnViewController *columns, const QString &name, const QString &type,
                   const QString &size = QString())
    {
        columns->columnName()->setText(name);
        select(columns->types(), type);
        columns->size()->setText(size);
        ASSERT_TRUE(columns->addButton()->isEnabled()) << name.toStdString();
        columns->add();
    }
    // A table assistant brought to its script page with an id key column and a label column.
    DDLAssistantViewController *tableUpToScript(const QString &table)
    {
        DDLAssistantViewController *assistant = open("TABLE");
        next(assistant);
        typeText(page<DDLTableIdentifierViewController>(assistant, "idScreen")->nameField(), table);
        EXPECT_TRUE(next(assistant));
        auto *columns = page<DDLTableColumnViewController>(assistant, "columnScreen");
        addColumn(columns, "id", typeLike("INTEGER|INT"));
        addColumn(columns, "label", typeLike("VARCHAR"), "20");
        EXPECT_TRUE(next(assistant));
        page<DDLTableKeyViewController>(assistant, "keyScreen")->setKeyColumn("id", true);
        for (int step = 0; step < 3; ++step)
            EXPECT_TRUE(next(assistant));
        return assistant;
    }

    std::unique_ptr<QWidget> window;
    std::shared_ptr<VornAssistantClient> assistantClient;
};

TEST_P(DdlAssistantTest, TablePagesValidateNamesSizesColumnsAndKeys)
{
    DDLAssistantViewController *assistant = open("TABLE");
    AssistantWindowController *wizard = assistant->assistantWindowController();
    EXPECT_EQ(wizard->titleField()->text(), "Table Assistant");
    EXPECT_FALSE(wizard->previousButton()->isEnabled());
    EXPECT_FALSE(assistant->canNavigateToPageIdentifier("columnScreen", wizard));
    next(assistant);

    auto *identifier = page<DDLTableIdentifierViewController>(assistant, "idScreen");
    for (const QString bad : {"my table", "my-table", ""}) {
        typeText(identifier->nameField(), bad);
        EXPECT_FALSE(wizard->nextButton()->isEnabled()) << bad.toStdString();
    }
    typeText(identifier->nameField(), "  vasst_orders ");
    EXPECT_TRUE(wizard->nextButton()->isEnabled());
    EXPECT_EQ(assistant->sharedData()->value("name"), "vasst_orders");
    EXPECT_FALSE(assistant->sharedData()->value("schema").toString().isEmpty() && serverDatabase());
    ASSERT_TRUE(next(assistant));

    auto *columns = page<DDLTableColumnViewController>(assistant, "columnScreen");
    EXPECT_FALSE(wizard->nextButton()->isEnabled());
    // A type with an optional size: "0" is a size, an empty field none.
    QString sized;
    for (const QString &type : assistantClient->types())
        if (assistantClient->showSize(type) && !assistantClient->requireSize(type))
            sized = type;
    const QString integer = typeLike("INTEGER|INT");
    addColumn(columns, "a", integer);
    if (!sized.isEmpty()) {
        addColumn(columns, "zero", sized, "0");
        addColumn(columns, "nosize", sized, "");
        const QVariantList records = assistant->sharedData()->value("columns").toList();
        EXPECT_EQ(records.at(1).toMap().value("size"), 0);
        EXPECT_FALSE(records.at(2).toMap().contains("size"));
    }
    // Names compare without case; invalid ones are refused.
    for (const QString duplicate : {"A", " a ", "b c"}) {
        columns->columnName()->setText(duplicate);
        select(columns->types(), integer);
        EXPECT_FALSE(columns->addButton()->isEnabled()) << duplicate.toStdString();
    }
    // A column needs a type.
    columns->columnName()->setText("b");
    columns->types()->setCurrentIndex(-1);
    EXPECT_FALSE(columns->addButton()->isEnabled());
    addColumn(columns, "b", integer);
    EXPECT_TRUE(wizard->nextButton()->isEnabled());
    ASSERT_TRUE(next(assistant));

    auto *key = page<DDLTableKeyViewController>(assistant, "keyScreen");
    EXPECT_FALSE(wizard->nextButton()->isEnabled());
    key->setKeyColumn("a", true);
    key->setKeyColumn("b", true);
    EXPECT_EQ(assistant->sharedData()->value("keyColumns").toStringList(), (QStringList{"a", "b"}));
    key->setDontDefine(true);
    EXPECT_TRUE(wizard->nextButton()->isEnabled());
    EXPECT_TRUE(assistant->sharedData()->value("keyColumns").toStringList().isEmpty());
    EXPECT_FALSE(key->tableView()->isEnabled());
    key->setDontDefine(false);
    EXPECT_FALSE(assistant->sharedData()->contains("skipKey"));
    EXPECT_FALSE(wizard->nextButton()->isEnabled());
    key->setKeyColumn("b", true);
    ASSERT_TRUE(next(assistant));

    auto *constraints = page<DDLTableConstraintViewController>(assistant, "constraintScreen");
    constraints->selectType(DDLTableConstraintViewController::Unique);
    constraints->constraintName()->setText("vasst_uq");
    select(constraints->columns(), "b");
    constraints->add();
    EXPECT_EQ(assistant->sharedData()->value("constraints").toList().size(), 1);

    // Removing column b takes its key and its constraint with it.
    wizard->selectStep(2);
    columns->tableView()->selectRow(columns->tableView()->rowCount() - 1);
    columns->remove();
    EXPECT_TRUE(assistant->sharedData()->value("constraints").toList().isEmpty());
    EXPECT_TRUE(assistant->sharedData()->value("keyColumns").toStringList().isEmpty());
    EXPECT_FALSE(assistant->canNavigateToPageIdentifier("constraintScreen", wizard));
    wizard->selectStep(4);
    EXPECT_EQ(constraints->columns()->findText("b"), -1);

    // A second run starts empty.
    wizard->cancel();
    DDLAssistantViewController *again = open("TABLE");
    EXPECT_EQ(again, assistant);
    EXPECT_TRUE(again->sharedData()->value("columns").toList().isEmpty());
    EXPECT_FALSE(again->sharedData()->contains("keyColumns"));
}

TEST_P(DdlAssistantTest, CreateRunReportsRefusalAndFailureAndCanBeRetried)
{
    DDLAssistantViewController *assistant = tableUpToScript("vasst_orders");
    AssistantWindowController *wizard = assistant->assistantWindowController();

    // Another action holds the root: nothing runs and the user may go back.
    ASSERT_TRUE(root->reserveRoot("Something else"));
    next(assistant);
    ASSERT_WAIT_FOR(assistant->createPage()->text() == "ERROR");
    root->releaseReservedRoot();
    EXPECT_EQ(assistant->createState(), DdlCreateState::Editing);
    EXPECT_TRUE(wizard->previousButton()->isEnabled());
    EXPECT_TRUE(assistant->canCancelAssistantWindowController(wizard));
    EXPECT_FALSE(root->reserved());

    // The table exists already: the error shows and the pages keep their input.
    ASSERT_TRUE(testRoot->run(GetParam() == "MySQL" ? "CREATE TABLE vasst_orders (x INT)"
                                                    : "CREATE TABLE vasst_orders (x INTEGER)"));
    wizard->previous();
    const QString failed = create(assistant);
    EXPECT_TRUE(failed.startsWith("There was an error creating the new table:")) << failed.toStdString();
    EXPECT_TRUE(failed.endsWith("try again.")) << failed.toStdString();
    EXPECT_EQ(assistant->createState(), DdlCreateState::Editing);
    EXPECT_TRUE(wizard->previousButton()->isEnabled());
    EXPECT_FALSE(wizard->nextButton()->isEnabled());
    EXPECT_GE(document->backgroundReloads, 1);

    // Back to the name, another table, and Create again.
    document->commitBeforeVisible = true;
    wizard->selectStep(1);
    typeText(page<DDLTableIdentifierViewController>(assistant, "idScreen")->nameField(), "vasst_other");
    ASSERT_TRUE(assistant->canNavigateToPageIdentifier("scriptScreen", wizard));
    wizard->selectStep(6);
    const QString created = create(assistant);
    EXPECT_TRUE(created.startsWith("Successfully created a new table.")) << created.toStdString();
    EXPECT_TRUE(created.contains(QString("Please note that on %1 databases").arg(GetParam())));
    EXPECT_EQ(assistant->createState(), DdlCreateState::Created);
    EXPECT_FALSE(wizard->previousButton()->isEnabled());
    EXPECT_FALSE(assistant->canCancelAssistantWindowController(wizard));
    EXPECT_FALSE(assistant->canNavigateToPageIdentifier("idScreen", wizard));
    EXPECT_EQ(wizard->nextButton()->text(), "Finish");
    EXPECT_TRUE(testRoot->run("INSERT INTO vasst_other (id, label) VALUES (1, 'x')"));
    EXPECT_FALSE(root->reserved());
    // Finish closes the sheet.
    wizard->next();
    EXPECT_FALSE(wizard->isVisible());
}

TEST_P(DdlAssistantTest, ScriptPageInsertsIntoTheEditorAndCloses)
{
    DDLAssistantViewController *assistant = tableUpToScript("vasst_orders");
    auto *script = page<DDLScriptViewController>(assistant, "scriptScreen");
    EXPECT_TRUE(script->script().text.startsWith("CREATE TABLE "));
    script->insert();
    ASSERT_EQ(document->insertedCode.size(), 1);
    EXPECT_EQ(document->insertedCode.first(), script->script().text);
    EXPECT_FALSE(assistant->assistantWindowController()->isVisible());
}

TEST_P(DdlAssistantTest, AssistantsCreateTableIndexConstraintSequenceAndFunction)
{
    if (!serverDatabase())
        GTEST_SKIP() << "The server databases create every kind";
    // A referenced table with a key, then the orders table through the table assistant.
    ASSERT_TRUE(testRoot->run("CREATE TABLE vasst_lines (lid INTEGER NOT NULL PRIMARY KEY)"));
    ASSERT_TRUE(testRoot->run("INSERT INTO vasst_lines (lid) VALUES (7)"));
    DDLAssistantViewController *table = tableUpToScript("vasst_orders");
    ASSERT_TRUE(create(table).startsWith("Successfully")) << table->createPage()->text().toStdString();
    ASSERT_TRUE(testRoot->run("INSERT INTO vasst_orders (id, label) VALUES (7, 'seven')"));
    table->assistantWindowController()->next();

    // A unique descending index on label.
    DDLAssistantViewController *index = open("INDEX");
    next(index);
    auto *indexId = page<DDLTableObjectIdentifierViewController>(index, "idScreen");
    typeText(indexId->nameField(), "vasst_ix");
    select(indexId->tablePopUp(), "vasst_orders");
    ASSERT_TRUE(next(index));
    page<DDLIndexTypeViewController>(index, "typeScreen")->selectType(DDLIndexTypeViewController::Unique);
    ASSERT_TRUE(next(index));
    auto *indexColumns = page<DDLIndexColumnsViewController>(index, "columnScreen");
    EXPECT_FALSE(index->assistantWindowController()->nextButton()->isEnabled());
    const QList<QListWidgetItem *> label =
        indexColumns->availableColumnsTable()->findItems("label", Qt::MatchExactly);
    ASSERT_EQ(label.size(), 1);
    indexColumns->availableColumnsTable()->setCurrentItem(label.first());
    indexColumns->addDesc();
    ASSERT_TRUE(next(index));
    ASSERT_TRUE(next(index));
    ASSERT_TRUE(create(index).startsWith("Successfully")) << index->createPage()->text().toStdString();
    // The unique index refuses a second 'seven'.
    EXPECT_FALSE(testRoot->run("INSERT INTO vasst_orders (id, label) VALUES (8, 'seven')"));
    index->assistantWindowController()->next();

    // A foreign key from orders.id to the key of vasst_lines.
    DDLAssistantViewController *constraint = open("CONSTRAINT");
    next(constraint);
    auto *constraintId = page<DDLTableObjectIdentifierViewController>(constraint, "idScreen");
    typeText(constraintId->nameField(), "vasst_fk");
    select(constraintId->tablePopUp(), "vasst_orders");
    ASSERT_TRUE(next(constraint));
    page<DDLConstraintTypeViewController>(constraint, "typeScreen")
        ->selectType(DDLConstraintTypeViewController::ForeignKey);
    ASSERT_TRUE(next(constraint));
    auto *details = page<DDLConstraintDetailsViewController>(constraint, "detailsScreen");
    const QList<QListWidgetItem *> id = details->availableColumnsTable()->findItems("id", Qt::MatchExactly);
    ASSERT_EQ(id.size(), 1);
    details->availableColumnsTable()->setCurrentItem(id.first());
    details->add();
    const int lines = details->references()->findText("vasst_lines (lid)");
    ASSERT_GE(lines, 0);
    details->chooseReference(lines);
    ASSERT_TRUE(next(constraint));
    ASSERT_TRUE(next(constraint));
    ASSERT_TRUE(create(constraint).startsWith("Successfully"))
        << constraint->createPage()->text().toStdString();
    EXPECT_FALSE(testRoot->run("INSERT INTO vasst_orders (id, label) VALUES (9, 'nine')"));
    ASSERT_TRUE(testRoot->run("INSERT INTO vasst_lines (lid) VALUES (9)"));
    EXPECT_TRUE(testRoot->run("INSERT INTO vasst_orders (id, label) VALUES (9, 'nine')"));
    constraint->assistantWindowController()->next();

    // A sequence counting down from 100 by 5, where the database has sequences.
    if (controller->supportCreateNew("SEQUENCE")) {
        DDLAssistantViewController *sequence = open("SEQUENCE");
        next(sequence);
        typeText(page<DDLSequenceIdentifierViewController>(sequence, "idScreen")->nameField(), "vasst_seq");
        ASSERT_TRUE(next(sequence));
        auto *settings = page<DDLSequenceAdvancedViewController>(sequence, "advancedScreen");
        settings->setOwnValue(DDLSequenceAdvancedViewController::Start, "100");
        settings->setOwnValue(DDLSequenceAdvancedViewController::Increment, "-5");
        settings->setOwnValue(DDLSequenceAdvancedViewController::Max, "100");
        settings->setOwnValue(DDLSequenceAdvancedViewController::Min, "1x");
        EXPECT_FALSE(sequence->assistantWindowController()->nextButton()->isEnabled());
        settings->setOwnValue(DDLSequenceAdvancedViewController::Min, "-1000");
        settings->setCycle(DDLSequenceAdvancedViewController::CycleOff);
        ASSERT_TRUE(next(sequence));
        ASSERT_TRUE(create(sequence).startsWith("Successfully"))
            << sequence->createPage()->text().toStdString();
        EXPECT_EQ(firstValue("SELECT nextval('vasst_seq')"), "100");
        EXPECT_EQ(firstValue("SELECT nextval('vasst_seq')"), "95");
        sequence->assistantWindowController()->next();
    }

    // A function with one parameter that returns NULL until its code is written.
    DDLAssistantViewController *function = open("FUNCTION");
    next(function);
    auto *functionId = page<DDLProcedureIdentifierViewController>(function, "idScreen");
    typeText(functionId->nameField(), "vasst_f");
    select(functionId->returnType(), typeLike("INTEGER|INT"));
    ASSERT_TRUE(next(function));
    auto *parameters = page<DDLProcedureParameterViewController>(function, "parameterScreen");
    parameters->nameField()->setText("amount");
    select(parameters->type(), typeLike("INTEGER|INT"));
    ASSERT_TRUE(parameters->addButton()->isEnabled());
    parameters->add();
    parameters->nameField()->setText("AMOUNT");
    EXPECT_FALSE(parameters->addButton()->isEnabled());
    ASSERT_TRUE(next(function));
    ASSERT_TRUE(create(function).startsWith("Successfully")) << function->createPage()->text().toStdString();
    EXPECT_TRUE(testRoot->run("SELECT vasst_f(1)"));
}

VORN_FOR_EVERY_DATABASE(DdlAssistantTest);

} // namespace
