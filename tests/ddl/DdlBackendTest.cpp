#include "DdlBackendSupport.h"
#include "client/VornAssistantClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"
#include "ddl/ConstraintScript.h"
#include "ddl/DdlNaming.h"
#include "ddl/IndexScript.h"
#include "ddl/ProcedureScript.h"
#include "ddl/SequenceScript.h"
#include "ddl/TableScript.h"

// The built DDL run on each test database through the controller, and checked in its catalogue.
namespace
{

class DdlBackendTest : public DdlDatabaseTest
{
protected:
    void SetUp() override
    {
        DdlDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        assistant = VornAssistantClient::ofRoot(*root);
        ASSERT_TRUE(assistant);
        naming = controller->naming();
        ASSERT_TRUE(naming);
        schema = root->browser()->selectedSchema();
        cleanUp();
    }
    void TearDown() override
    {
        if (testRoot)
            cleanUp();
        DdlDatabaseTest::TearDown();
    }
    void cleanUp()
    {
        if (GetParam() == "PostgreSQL") {
            testRoot->execute("DROP FUNCTION IF EXISTS vddl_f()");
            testRoot->execute("DROP SEQUENCE IF EXISTS vddl_seq");
        }
        if (GetParam() == "MySQL")
            testRoot->execute("DROP PROCEDURE IF EXISTS vddl_p");
        dropTables({"lines", "orders", "a", "b"});
        testRoot->execute(GetParam() == "MySQL" ? "DROP TABLE IF EXISTS `vddl_Keys`"
                                                : "DROP TABLE IF EXISTS \"vddl_Keys\"");
    }

    // Runs the statements as a create assistant does: on a worker, inside the root's reservation.
    bool create(const QStringList &statements, QString *error)
    {
        EXPECT_TRUE(root->reserveRoot("Creating"));
        bool created = false;
        JavaThread worker([&] { created = controller->executeCreateSql(statements, "Table", error); });
        worker.join();
        root->releaseReservedRoot();
        return created;
    }
    void createOrders()
    {
        const QVariantMap shared{
            {"schema", schema},
            {"name", name("orders")},
            {"comment", "Bob's orders"},
            {"columns",
             QVariantList{
                 QVariantMap{{"name", "id"}, {"type", "INTEGER"}, {"empty", 0}, {"autonumber", 1}},
                 QVariantMap{
                     {"name", "label"}, {"type", "VARCHAR"}, {"size", 20}, {"empty", 0}, {"default", "'x'"}},
                 // A reserved word as a column name.
                 QVariantMap{{"name", "order"}, {"type", "INTEGER"}, {"empty", 1}},
             }},
            {"keyColumns", QStringList{"id"}},
            {"constraints",
             QVariantList{QVariantMap{{"name", "vddl_uq"}, {"type", "unique"}, {"column", "label"}}}},
        };
        const DdlScript script = TableScript::build(shared, *naming);
        QString error;
        ASSERT_TRUE(create(script.statements, &error)) << error.toStdString() << "\n"
                                                       << script.text.toStdString();
    }

    // The primary key columns of the schema that belong to the orders table.
    QList<PrimaryKeyColumn> ordersKeys() const
    {
        QList<PrimaryKeyColumn> keys;
        for (const PrimaryKeyColumn &key : assistant->primaryKeysForSchemaTable(schema, QString())) {
            if (key.table == name("orders"))
                keys << key;
        }
        return keys;
    }

    std::shared_ptr<VornAssistantClient> assistant;
    std::unique_ptr<DdlNaming> naming;
    QString schema;
};

TEST_P(DdlBackendTest, TableIsCreatedWithItsColumnsKeyAndComment)
{
    ASSERT_NO_FATAL_FAILURE(createOrders());
    EXPECT_EQ(assistant->searchableColumnNamesForSchemaAndTable(schema, name("orders")),
              (QStringList{"id", "label", "order"}));
    // Other test binaries share the server's schema: only this test's table counts.
    const QList<PrimaryKeyColumn> keys = ordersKeys();
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(keys.at(0).column, "id");
    EXPECT_EQ(assistant->primaryKeysForSchemaTable(schema, name("orders")).size(), 1);
    if (GetParam() == "PostgreSQL") {
        EXPECT_EQ(firstValue("SELECT obj_description('vddl_orders'::regclass, 'pg_class')"), "Bob's orders");
    } else if (GetParam() == "MySQL") {
        EXPECT_EQ(firstValue("SELECT TABLE_COMMENT FROM information_schema.TABLES "
                             "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'vddl_orders'"),
                  "Bob's orders");
    }
    // The key numbers itself where the database has such a column.
    if (assistant->supportsAutoNumber()) {
        ASSERT_TRUE(testRoot->run("INSERT INTO vddl_orders (label) VALUES ('first')"));
        EXPECT_EQ(firstValue("SELECT id FROM vddl_orders"), "1");
    }
}

TEST_P(DdlBackendTest, IndexIsCreatedOnTheTable)
{
    ASSERT_NO_FATAL_FAILURE(createOrders());
    QVariantMap shared{{"type", "UNIQUE"},
                       {"name", name("ix")},
                       {"table", name("orders")},
                       {"schema", schema},
                       {"columns", QVariantList{QVariantMap{{"name", "order"}, {"direction", "DESC"}},
                                                QVariantMap{{"name", "label"}, {"direction", "ASC"}}}}};
    // A chosen advanced option of the database, where it has one.
    const QStringList options = assistant->advancedIndexOptions();
    if (!options.isEmpty())
        shared["options"] =
            QVariantMap{{options.first(), assistant->choicesForAdvancedOption(options.first()).last()}};
    const DdlScript script = IndexScript::build(shared, *naming);
    QString error;
    ASSERT_TRUE(create(script.statements, &error)) << error.toStdString() << "\n"
                                                   << script.text.toStdString();
    const QString sql =
        GetParam() == "SQLite" ? "SELECT name FROM sqlite_master WHERE type = 'index' AND name = 'vddl_ix'"
        : GetParam() == "PostgreSQL" ? "SELECT indexname FROM pg_indexes WHERE indexname = 'vddl_ix'"
                                     : "SELECT DISTINCT INDEX_NAME FROM information_schema.STATISTICS "
                                       "WHERE TABLE_SCHEMA = DATABASE() AND INDEX_NAME = 'vddl_ix'";
    EXPECT_EQ(firstValue(sql), "vddl_ix");
}

TEST_P(DdlBackendTest, ForeignKeyConstraintReferencesAPrimaryKey)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "SQLite adds no constraints to an existing table";
    ASSERT_NO_FATAL_FAILURE(createOrders());
    ASSERT_TRUE(testRoot->run("CREATE TABLE vddl_lines (id INTEGER, order_id INTEGER)"));
    const QList<PrimaryKeyColumn> keys = ordersKeys();
    ASSERT_FALSE(keys.isEmpty());
    const QVariantMap shared{{"name", name("fk")},
                             {"table", name("lines")},
                             {"schema", schema},
                             {"type", "FOREIGNKEY"},
                             {"columns", QStringList{"order_id"}},
                             {"references", QStringList{keys.at(0).table, keys.at(0).column}}};
    const DdlScript script = ConstraintScript::build(shared, *naming);
    QString error;
    ASSERT_TRUE(create(script.statements, &error)) << error.toStdString() << "\n"
                                                   << script.text.toStdString();
    const QString sql = GetParam() == "PostgreSQL"
                            ? "SELECT conname FROM pg_constraint WHERE conname = 'vddl_fk'"
                            : "SELECT CONSTRAINT_NAME FROM information_schema.TABLE_CONSTRAINTS "
                              "WHERE CONSTRAINT_SCHEMA = DATABASE() AND CONSTRAINT_NAME = 'vddl_fk'";
    EXPECT_EQ(firstValue(sql), "vddl_fk");
    EXPECT_FALSE(testRoot->execute("INSERT INTO vddl_lines VALUES (1, 42)"))
        << "the key refuses a missing order";
}

TEST_P(DdlBackendTest, CatalogueNamesThatNeedQuotesAreQuoted)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "SQLite adds no constraints to an existing table";
    // A referenced table and key column in mixed case, the column a reserved word.
    const QString quote = GetParam() == "MySQL" ? "`" : "\"";
    ASSERT_TRUE(
        testRoot->run(QString("CREATE TABLE %1vddl_Keys%1 (%1Select%1 INTEGER PRIMARY KEY)").arg(quote)));
    ASSERT_TRUE(testRoot->run("CREATE TABLE vddl_lines (id INTEGER, order_id INTEGER)"));
    QStringList references;
    for (const PrimaryKeyColumn &key : assistant->primaryKeysForSchemaTable(schema, QString())) {
        if (key.table == "vddl_Keys")
            references = {key.table, key.column};
    }
    ASSERT_EQ(references, (QStringList{"vddl_Keys", "Select"}));
    const QVariantMap shared{{"name", name("fk")},
                             {"table", name("lines")},
                             {"schema", schema},
                             {"type", "FOREIGNKEY"},
                             {"columns", QStringList{"order_id"}},
                             {"references", references}};
    QString error;
    const DdlScript script = ConstraintScript::build(shared, *naming);
    EXPECT_TRUE(create(script.statements, &error)) << error.toStdString() << "\n"
                                                   << script.text.toStdString();
    EXPECT_FALSE(testRoot->execute("INSERT INTO vddl_lines VALUES (1, 42)"))
        << "the key refuses a missing row";
}

TEST_P(DdlBackendTest, StoredCodeAndSequencesWhereTheDatabaseHasThem)
{
    const DdlDialect dialect = controller->dialect();
    QString error;
    if (GetParam() == "PostgreSQL") {
        const DdlScript function = ProcedureScript::build(
            {{"TYPE", "FUNCTION"}, {"schema", schema}, {"name", "vddl_f"}, {"returnType", "integer"}},
            dialect, *naming);
        ASSERT_TRUE(create(function.statements, &error)) << error.toStdString();
        EXPECT_EQ(firstValue("SELECT proname FROM pg_proc WHERE proname = 'vddl_f'"), "vddl_f");
        const DdlScript sequence = SequenceScript::build({{"schema", schema},
                                                          {"name", "vddl_seq"},
                                                          {"start_default", false},
                                                          {"start_value", 5},
                                                          {"cycle_default", false},
                                                          {"cycle_value", "NOCYCLE"}},
                                                         dialect, *naming);
        ASSERT_TRUE(create(sequence.statements, &error)) << error.toStdString();
        EXPECT_EQ(firstValue("SELECT nextval('vddl_seq')"), "5");
    } else if (GetParam() == "MySQL") {
        const DdlScript procedure = ProcedureScript::build(
            {{"TYPE", "PROCEDURE"},
             {"schema", schema},
             {"name", "vddl_p"},
             {"parameters", QVariantList{QVariantMap{
                                {"name", "a"}, {"usage", "IN"}, {"type", "VARCHAR"}, {"size", "20"}}}}},
            dialect, *naming);
        ASSERT_TRUE(create(procedure.statements, &error))
            << error.toStdString() << procedure.text.toStdString();
        EXPECT_EQ(firstValue("SELECT ROUTINE_NAME FROM information_schema.ROUTINES "
                             "WHERE ROUTINE_SCHEMA = DATABASE() AND ROUTINE_NAME = 'vddl_p'"),
                  "vddl_p");
    } else {
        for (const char *kind : {"PROCEDURE", "FUNCTION", "SEQUENCE", "CONSTRAINT", "PACKAGE"})
            EXPECT_FALSE(controller->supportCreateNew(kind)) << kind;
    }
}

TEST_P(DdlBackendTest, ScriptStopsAtTheFirstFailedStatementWithItsMessage)
{
    QString error;
    EXPECT_FALSE(create({"CREATE TABLE vddl_a (x INTEGER)", "CREATE TABLE vddl_a (x INTEGER)",
                         "CREATE TABLE vddl_b (x INTEGER)"},
                        &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(firstValue("SELECT count(*) FROM vddl_b").isNull()) << "the statement after the failure ran";
    if (GetParam() == "MySQL") {
        // DDL commits by itself there: the first table stands, and the message says so.
        EXPECT_EQ(firstValue("SELECT count(*) FROM vddl_a"), "0");
        EXPECT_TRUE(error.startsWith("The new table was created")) << error.toStdString();
    } else {
        // Transactional DDL: the failed script leaves nothing behind.
        EXPECT_TRUE(firstValue("SELECT count(*) FROM vddl_a").isNull());
        EXPECT_FALSE(error.startsWith("The new table was created")) << error.toStdString();
    }
    // The connection still works after the failed script.
    EXPECT_TRUE(create({"CREATE TABLE vddl_b (x INTEGER)"}, &error)) << error.toStdString();
}

TEST_P(DdlBackendTest, UnknownOrUnchosenOptionsWriteNothing)
{
    const QStringList options = assistant->advancedOptions();
    EXPECT_EQ(assistant->scriptForOptions({{"no such option", "DROP TABLE x"}}), "");
    for (const QString &option : options) {
        const QStringList choices = assistant->choicesForAdvancedOption(option);
        ASSERT_FALSE(choices.isEmpty()) << option.toStdString();
        EXPECT_EQ(assistant->scriptForOptions({{option, choices.first()}}), "") << option.toStdString();
        EXPECT_EQ(assistant->scriptForOptions({{option, "; DROP TABLE x"}}), "") << option.toStdString();
        EXPECT_FALSE(assistant->scriptForOptions({{option, choices.last()}}).isEmpty())
            << option.toStdString();
    }
}

VORN_FOR_EVERY_DATABASE(DdlBackendTest);

} // namespace
