// The schema browser's client against the real backend: a SQLite file and the test servers. Tables
// carry the prefix vbw_.
#include "client/VornBrowserClient.h"
#include "BackendTestSupport.h"
#include "WaitFor.h"
#include "client/SqlConnectionClient.h"
#include "client/VornResultset.h"
#include "client/VornRootClient.h"

#include <QDir>
#include <gtest/gtest.h>

namespace
{

// Names that only quoting keeps as they are: a space and quotes inside, mixed case, a reserved word.
const QString awkwardTable = QStringLiteral("vbw Mixed \"Quoted\" `Case`");
const QString reservedTable = QStringLiteral("select");

class VornBrowserClientTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(startedBackend());
        root_ = VornRootClient::create();
        ASSERT_NE(root_, nullptr);
        root_->initRoot({QDir::tempPath()});
        connect(1);
        createFixture();
        browser_ = root_->browser();
        ASSERT_NE(browser_, nullptr);
        schema_ = browser_->selectedSchema();
    }

    void TearDown() override
    {
        if (root_) {
            dropFixture();
            root_->commit();
            root_->endConnection();
            root_->deInitialize();
        }
    }

    // (Re)connects; flags as startNewConnection takes them (1: auto-commit).
    void connect(int flags)
    {
        const BackendOutcome outcome = root_->startNewConnection(
            {target_.server, target_.port, target_.database, target_.user, target_.password, target_.type,
             QStringLiteral("Vorn test"), 10, flags});
        ASSERT_TRUE(outcome.successful) << outcome.errorMessage.toStdString();
        browser_ = root_->browser();
    }

    bool mysql() const { return GetParam() == "MySQL"; }
    bool postgres() const { return GetParam() == "PostgreSQL"; }

    // The name as the test's database writes it in its own DDL.
    QString quoted(const QString &name) const
    {
        if (mysql())
            return "`" + QString(name).replace("`", "``") + "`";
        return "\"" + QString(name).replace("\"", "\"\"") + "\"";
    }

    ::testing::AssertionResult run(const QString &sql) const
    {
        root_->sqlConnection()->executeQuery(sql, {});
        const BackendOutcome outcome = root_->lastOutcome();
        if (outcome)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << sql.toStdString() << ": " << outcome.errorMessage.toStdString();
    }

    void createFixture()
    {
        dropFixture();
        ASSERT_TRUE(run("CREATE TABLE vbw_dept (deptno INTEGER PRIMARY KEY, dname VARCHAR(20))"));
        ASSERT_TRUE(run("CREATE TABLE vbw_emp (empno INTEGER PRIMARY KEY, ename VARCHAR(20), deptno INTEGER, "
                        "CONSTRAINT vbw_emp_dept FOREIGN KEY (deptno) REFERENCES vbw_dept (deptno))"));
        ASSERT_TRUE(run("CREATE INDEX vbw_emp_name ON vbw_emp (ename)"));
        ASSERT_TRUE(run("CREATE VIEW vbw_emp_view AS SELECT empno, deptno FROM vbw_emp"));
        ASSERT_TRUE(run("CREATE TABLE " + quoted(awkwardTable) + " (" + quoted("Select") + " INTEGER)"));
        ASSERT_TRUE(run("CREATE TABLE " + quoted(reservedTable) + " (n INTEGER)"));
        ASSERT_TRUE(
            run("INSERT INTO vbw_dept VALUES (10, 'ACCOUNTING'), (20, 'RESEARCH'), (30, 'O''Brien')"));
        ASSERT_TRUE(run("INSERT INTO vbw_emp VALUES (1, 'CLARK', 10), (2, 'KING', 10), (3, 'SMITH', 20), "
                        "(4, 'ADAMS', NULL)"));
        ASSERT_TRUE(run("INSERT INTO " + quoted(awkwardTable) + " VALUES (7)"));
    }

    void dropFixture()
    {
        run("DROP VIEW IF EXISTS vbw_emp_view");
        for (const QString &table : {QString("vbw_emp"), QString("vbw_dept"), awkwardTable, reservedTable})
            run("DROP TABLE IF EXISTS " + quoted(table));
    }

    // The row count of the root's current result set; -1 without one.
    int shownRows() const
    {
        const std::optional<ResultsetState> state = root_->resultsetState();
        return state ? state->rowCount : -1;
    }

    // One column of every row of the current result set, in order ("NULL" for SQL NULL).
    QStringList shownColumn(const QString &column) const
    {
        QStringList values;
        const VornResultsetPtr rows = root_->resultset();
        for (int row = 1; rows && row <= rows->rowCount(); ++row)
            values.append(rows->rowValues(row).value(column, "NULL").toString());
        return values;
    }

    VornRootClientPtr root_;
    std::shared_ptr<VornBrowserClient> browser_;
    QString schema_;
};

VORN_FOR_EVERY_DATABASE(VornBrowserClientTest);

} // namespace

TEST_P(VornBrowserClientTest, TypesAndNamesAreReadOnceAndAnsweredFromTheCache)
{
    EXPECT_TRUE(browser_->schemas().contains(schema_));
    EXPECT_FALSE(browser_->hasCachedTypesOfSchema(schema_));
    EXPECT_TRUE(browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "").isEmpty())
        << "names are answered from the cache only";

    const QStringList types = browser_->typesInSchema(schema_);
    EXPECT_TRUE(root_->lastOutcome().successful);
    EXPECT_TRUE(browser_->hasCachedTypesOfSchema(schema_));
    ASSERT_GE(types.size(), 3);
    EXPECT_EQ(types.mid(0, 2), QStringList({"TABLE", "VIEW"})) << types.join(", ").toStdString();
    EXPECT_TRUE(types.contains("INDEX"));

    // MariaDB's index and constraint names, and PostgreSQL's constraint names, are unique only per table.
    const QString index = mysql() ? "vbw_emp.vbw_emp_name" : "vbw_emp_name";
    EXPECT_TRUE(browser_->elementsOfTypeInSchemaLike("INDEX", schema_, "").contains(index));
    if (GetParam() != "SQLite") {
        const QStringList constraints = browser_->elementsOfTypeInSchemaLike("CONSTRAINT", schema_, "");
        EXPECT_TRUE(constraints.contains("vbw_emp.vbw_emp_dept")) << constraints.join(", ").toStdString();
    }

    QStringList tables = browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "");
    tables.removeIf([](const QString &name) { return !name.startsWith("vbw") && name != reservedTable; });
    EXPECT_EQ(tables, QStringList({reservedTable, "vbw Mixed \"Quoted\" `Case`", "vbw_dept", "vbw_emp"}))
        << "display order is by name";
    EXPECT_EQ(browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "EMP"), QStringList({"vbw_emp"}));
    EXPECT_EQ(browser_->elementsOfTypeInSchemaLike("VIEW", schema_, "vbw"), QStringList({"vbw_emp_view"}));
    EXPECT_TRUE(browser_->referringTypeOfElementOfTypeInSchemaWithName(schema_, "TABLE", "vbw_emp").isNull());

    // A table made after the read appears only after the metadata is reloaded.
    ASSERT_TRUE(run("CREATE TABLE vbw_late (n INTEGER)"));
    EXPECT_FALSE(browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "").contains("vbw_late"));
    root_->reloadConnectionMetaDataCache();
    EXPECT_TRUE(root_->lastOutcome().successful);
    EXPECT_FALSE(browser_->hasCachedTypesOfSchema(schema_));
    browser_->typesInSchema(schema_);
    EXPECT_TRUE(browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "").contains("vbw_late"));
    run("DROP TABLE vbw_late");

    EXPECT_TRUE(browser_->typesInSchema("vbw_no_such_schema").isEmpty());
    EXPECT_FALSE(root_->schemaTerm().isEmpty());
    EXPECT_FALSE(root_->catalogTerm().isEmpty());
}

TEST_P(VornBrowserClientTest, NamesAreQuotedWhereTheDatabaseWouldReadThemOtherwise)
{
    struct Case {
        QString name;
        QString sqlite;
        QString postgres;
        QString mysql;
    };
    const QList<Case> cases{
        {"vbw_emp", "vbw_emp", "vbw_emp", "vbw_emp"},
        {"Emp2", "Emp2", "\"Emp2\"", "Emp2"},
        {"select", "\"select\"", "\"select\"", "`select`"},
        {"2nd", "\"2nd\"", "\"2nd\"", "`2nd`"},
        {awkwardTable, "\"vbw Mixed \"\"Quoted\"\" `Case`\"", "\"vbw Mixed \"\"Quoted\"\" `Case`\"",
         "`vbw Mixed \"Quoted\" ``Case```"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString expected = mysql() ? c.mysql : postgres() ? c.postgres : c.sqlite;
        EXPECT_EQ(browser_->qualifiedTableNameOfElement("TABLE", schema_, c.name), expected);
        EXPECT_EQ(browser_->qualifiedTableNameOfElement("TABLE", "", c.name), expected);
        EXPECT_EQ(browser_->fullyQualifiedTableNameOfElement("TABLE", schema_, c.name),
                  browser_->qualifiedTableNameOfElement("TABLE", schema_, schema_) + "." + expected);
    }
    EXPECT_EQ(browser_->qualifiedTableNameOfElement("TABLE", "vbw other", "vbw_emp"),
              (mysql() ? "`vbw other`" : "\"vbw other\"") + QString(".vbw_emp"));

    // The quoted names reach the database as they are.
    for (const QString &table : {awkwardTable, reservedTable}) {
        const BackendOutcome loaded = browser_->selectElement(schema_, "TABLE", table);
        EXPECT_TRUE(loaded.successful) << loaded.errorMessage.toStdString();
    }
    const BackendOutcome filtered =
        browser_->selectElementWithFilter(schema_, "TABLE", awkwardTable, "Select", QString("7"), false);
    EXPECT_TRUE(filtered.successful) << filtered.errorMessage.toStdString();
    EXPECT_EQ(shownRows(), 1);
}

TEST_P(VornBrowserClientTest, ColumnsAndForeignKeysAreSeenFromTheAskedTable)
{
    browser_->typesInSchema(schema_);
    EXPECT_EQ(browser_->allColumnsInTable(schema_, "vbw_emp"), QStringList({"empno", "ename", "deptno"}));
    EXPECT_TRUE(browser_->allColumnsInTable(schema_, "vbw_nothing").isEmpty());
    const QStringList all = browser_->allColumnsInSchema(schema_);
    EXPECT_TRUE(all.contains("dname") && all.contains("Select"));
    EXPECT_EQ(all.count("deptno"), 1);

    QList<BrowserTableName> withDeptno = browser_->tablesWithColumnsNamed(schema_, "DEPTNO");
    withDeptno.removeIf([](const BrowserTableName &table) { return !table.name.startsWith("vbw_"); });
    std::sort(withDeptno.begin(), withDeptno.end(), [](auto &a, auto &b) { return a.name < b.name; });
    EXPECT_EQ(withDeptno, QList<BrowserTableName>(
                              {{"vbw_dept", "TABLE"}, {"vbw_emp", "TABLE"}, {"vbw_emp_view", "VIEW"}}));

    const QString constraint = GetParam() == "SQLite" ? "vbw_emp.fk1" : "vbw_emp.vbw_emp_dept";
    const ForeignKeyEntry fromEmp{constraint, "deptno", "vbw_dept", "deptno"};
    const ForeignKeyEntry fromDept{constraint, "deptno", "vbw_emp", "deptno"};
    EXPECT_EQ(browser_->exportedKeysInSchemaAndTable(schema_, "vbw_emp"), QList<ForeignKeyEntry>({fromEmp}));
    EXPECT_EQ(browser_->exportedKeysInSchemaAndTable(schema_, "vbw_dept"),
              QList<ForeignKeyEntry>({fromDept}));
    EXPECT_EQ(browser_->exportedKeysForColumnInSchemaAndTable("deptno", schema_, "vbw_emp"),
              QList<ForeignKeyEntry>({fromEmp}));
    EXPECT_EQ(browser_->exportedKeysForColumnInSchemaAndTable("deptno", schema_, QString()),
              QList<ForeignKeyEntry>({fromEmp, fromDept}))
        << "a null table is any table";
    EXPECT_TRUE(browser_->exportedKeysForColumnInSchemaAndTable("ename", schema_, "vbw_emp").isEmpty());
}

TEST_P(VornBrowserClientTest, SelectingATableMakesItsRowsTheCurrentResult)
{
    const BackendOutcome loaded = browser_->selectElement(schema_, "TABLE", "vbw_emp");
    ASSERT_TRUE(loaded.successful) << loaded.errorMessage.toStdString();
    EXPECT_EQ(shownRows(), 4);
    EXPECT_EQ(shownColumn("ename"), QStringList({"CLARK", "KING", "SMITH", "ADAMS"}));
    EXPECT_EQ(browser_->name(), "vbw_emp");
    EXPECT_EQ(browser_->type(), "TABLE");
    EXPECT_TRUE(browser_->filter().isEmpty());
    EXPECT_FALSE(browser_->previousStateHadFilterOrSort(schema_, "TABLE", "vbw_emp"));

    ASSERT_TRUE(browser_->selectElement(schema_, "VIEW", "vbw_emp_view").successful);
    EXPECT_EQ(shownRows(), 4);

    // A statement's result has no element.
    ASSERT_TRUE(run("SELECT 1 AS n"));
    EXPECT_TRUE(browser_->name().isNull());

    // An index has no rows: it loads as its definition, and no result set stays behind.
    const BackendOutcome index = browser_->selectElement(schema_, "INDEX", "vbw_emp_name");
    ASSERT_TRUE(index.successful) << index.errorMessage.toStdString();
    EXPECT_FALSE(root_->resultset());
    EXPECT_TRUE(root_->contentDescription().contains("vbw_emp_name"))
        << root_->contentDescription().toStdString();
    const BackendOutcome missing = browser_->selectElement(schema_, "TABLE", "vbw_missing");
    EXPECT_FALSE(missing.successful);
    EXPECT_FALSE(missing.errorMessage.isEmpty());
}

TEST_P(VornBrowserClientTest, FiltersBindOneValueSeveralValuesOrNull)
{
    struct Case {
        QString name;
        QVariant values;
        bool negate;
        QStringList enames;
    };
    const QList<Case> cases{
        {"one value", QString("10"), false, {"CLARK", "KING"}},
        {"one value, negated", QString("10"), true, {"SMITH"}},
        {"several values", QStringList({"10", "20"}), false, {"CLARK", "KING", "SMITH"}},
        {"several values, negated", QStringList({"10", "30"}), true, {"SMITH"}},
        {"null", QVariant(), false, {"ADAMS"}},
        {"null, negated", QVariant(), true, {"CLARK", "KING", "SMITH"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const BackendOutcome loaded =
            browser_->selectElementWithFilter(schema_, "TABLE", "vbw_emp", "deptno", c.values, c.negate);
        ASSERT_TRUE(loaded.successful) << loaded.errorMessage.toStdString();
        EXPECT_EQ(shownColumn("ename"), c.enames);
        EXPECT_EQ(browser_->name(), "vbw_emp");
        EXPECT_FALSE(browser_->filter().isEmpty());
        EXPECT_TRUE(browser_->previousStateHadFilterOrSort(schema_, "TABLE", "vbw_emp"));
    }

    // A quote inside a value is a value, not SQL; the text shown quotes it as a literal.
    ASSERT_TRUE(
        browser_->selectElementWithFilter(schema_, "TABLE", "vbw_dept", "dname", QString("O'Brien"), false)
            .successful);
    EXPECT_EQ(shownColumn("deptno"), QStringList({"30"}));
    EXPECT_TRUE(browser_->filter().contains("'O''Brien'")) << browser_->filter().toStdString();
    ASSERT_TRUE(
        browser_
            ->selectElementWithFilter(schema_, "TABLE", "vbw_dept", "dname", QString("x' OR 'a'='a"), false)
            .successful);
    EXPECT_EQ(shownRows(), 0);
}

TEST_P(VornBrowserClientTest, InvalidFiltersFailClearlyAndLeaveTheBrowserUsable)
{
    // A value the column's type cannot take is refused before the database sees it, on every database
    // alike (the caller then loads unfiltered).
    const BackendOutcome text =
        browser_->selectElementWithFilter(schema_, "TABLE", "vbw_emp", "deptno", QString("ten"), false);
    EXPECT_FALSE(text.successful);
    EXPECT_EQ(text.errorMessage, "INVALID_INPUT");

    const BackendOutcome column =
        browser_->selectElementWithFilter(schema_, "TABLE", "vbw_emp", "no_such_column", QString("1"), false);
    EXPECT_FALSE(column.successful);
    EXPECT_NE(column.errorMessage, "INVALID_INPUT");
    EXPECT_FALSE(column.errorMessage.isEmpty());

    const BackendOutcome operatorUnknown = browser_->selectElementWithQuickFiltersAndSort(
        schema_, "TABLE", "vbw_emp", {"deptno"}, {"; DROP"}, {QString("1")}, {});
    EXPECT_FALSE(operatorUnknown.successful);
    EXPECT_TRUE(operatorUnknown.errorMessage.contains("not known"))
        << operatorUnknown.errorMessage.toStdString();
    const BackendOutcome uneven =
        browser_->selectElementWithQuickFiltersAndSort(schema_, "TABLE", "vbw_emp", {"deptno"}, {}, {}, {});
    EXPECT_FALSE(uneven.successful);

    const BackendOutcome after = browser_->selectElement(schema_, "TABLE", "vbw_emp");
    EXPECT_TRUE(after.successful) << after.errorMessage.toStdString();
    EXPECT_EQ(shownRows(), 4);
}

TEST_P(VornBrowserClientTest, QuickFiltersAndSortsAreAppliedAndRemembered)
{
    const BackendOutcome loaded = browser_->selectElementWithQuickFiltersAndSort(
        schema_, "TABLE", "vbw_emp", {"deptno", "ename"}, {"NOT IS NULL", "<>"},
        {QVariant(), QString("KING")}, {{"deptno", "DESC"}, {"ename", "ASC"}});
    ASSERT_TRUE(loaded.successful) << loaded.errorMessage.toStdString();
    EXPECT_EQ(shownColumn("ename"), QStringList({"SMITH", "CLARK"}));
    EXPECT_EQ(browser_->sort(), QList<VornSort>({{"deptno", "DESC"}, {"ename", "ASC"}}));
    EXPECT_EQ(browser_->quickFilterColumns(), QVariantList({"deptno", "ename"}));
    EXPECT_EQ(browser_->quickFilterOperators(), QVariantList({"NOT IS NULL", "<>"}));
    EXPECT_TRUE(browser_->previousStateHadFilterOrSort(schema_, "TABLE", "vbw_emp"));

    // Reading the rows again keeps the element, its filter and its sort.
    browser_->refresh();
    EXPECT_TRUE(root_->lastOutcome().successful);
    EXPECT_EQ(browser_->name(), "vbw_emp");
    EXPECT_EQ(browser_->sort().size(), 2);

    ASSERT_TRUE(browser_->selectElement(schema_, "TABLE", "vbw_emp").successful);
    EXPECT_FALSE(browser_->previousStateHadFilterOrSort(schema_, "TABLE", "vbw_emp"));
    EXPECT_TRUE(browser_->sort().isEmpty());
}

TEST_P(VornBrowserClientTest, CommitAndRollbackDecideWhatTheTableShows)
{
    connect(0);
    ASSERT_TRUE(run("INSERT INTO vbw_dept VALUES (40, 'OPERATIONS')"));
    EXPECT_TRUE(root_->dirty());
    ASSERT_TRUE(root_->rollback().successful);
    ASSERT_TRUE(browser_->selectElement(schema_, "TABLE", "vbw_dept").successful);
    EXPECT_EQ(shownRows(), 3);

    ASSERT_TRUE(run("INSERT INTO vbw_dept VALUES (40, 'OPERATIONS')"));
    ASSERT_TRUE(root_->commit().successful);
    EXPECT_FALSE(root_->dirty());
    EXPECT_FALSE(root_->needsRefreshAfterCommit()) << "no result was left half read";
    ASSERT_TRUE(browser_->selectElement(schema_, "TABLE", "vbw_dept").successful);
    EXPECT_EQ(shownColumn("dname"), QStringList({"ACCOUNTING", "RESEARCH", "O'Brien", "OPERATIONS"}));
    ASSERT_TRUE(root_->commit().successful);
}

TEST_P(VornBrowserClientTest, SchemasWithAwkwardNamesAreReadAndLoaded)
{
    if (mysql())
        GTEST_SKIP() << "the MariaDB test user may not create databases";
    const QString other = "vbw Other \"Schema\"";
    if (postgres()) {
        run("DROP SCHEMA IF EXISTS " + quoted(other) + " CASCADE");
        ASSERT_TRUE(run("CREATE SCHEMA " + quoted(other)));
    } else {
        ASSERT_TRUE(
            run("ATTACH DATABASE '" + sqliteTarget(folder_, "other.db").database + "' AS " + quoted(other)));
    }
    ASSERT_TRUE(run("CREATE TABLE " + quoted(other) + ".\"Vbw Inner\" (\"Value\" INTEGER)"));
    ASSERT_TRUE(run("INSERT INTO " + quoted(other) + ".\"Vbw Inner\" VALUES (1), (2)"));
    root_->reloadConnectionMetaDataCache();
    EXPECT_TRUE(browser_->schemas().contains(other));

    browser_->setSelectedSchema(other);
    EXPECT_EQ(browser_->selectedSchema(), other);
    EXPECT_EQ(browser_->typesInSchema(other), QStringList({"TABLE"}));
    EXPECT_EQ(browser_->elementsOfTypeInSchemaLike("TABLE", other, ""), QStringList({"Vbw Inner"}));
    EXPECT_EQ(browser_->allColumnsInTable(other, "Vbw Inner"), QStringList({"Value"}));
    EXPECT_EQ(browser_->qualifiedTableNameOfElement("TABLE", other, "Vbw Inner"), "\"Vbw Inner\"");
    EXPECT_EQ(browser_->fullyQualifiedTableNameOfElement("TABLE", other, "Vbw Inner"),
              "\"vbw Other \"\"Schema\"\"\".\"Vbw Inner\"");
    const BackendOutcome loaded = browser_->selectElementWithFilter(other, "TABLE", "Vbw Inner", "Value",
                                                                    QStringList({"1", "2"}), false);
    ASSERT_TRUE(loaded.successful) << loaded.errorMessage.toStdString();
    EXPECT_EQ(shownRows(), 2);

    browser_->setSelectedSchema(QString());
    EXPECT_EQ(browser_->selectedSchema(), schema_) << "no schema is the connection's own";
    if (postgres())
        run("DROP SCHEMA " + quoted(other) + " CASCADE");
}

TEST_P(VornBrowserClientTest, QuestionsFromTheInterfaceDoNotWaitForARunningStatement)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "no statement of SQLite's keeps the connection long enough";
    const QString sleep = postgres() ? "SELECT pg_sleep(60)" : "SELECT SLEEP(60)";
    std::shared_ptr<SqlConnectionClient> sql = root_->sqlConnection();
    JavaThread statement([&] { sql->executeQuery(sleep, {}); });
    const QoJavaObjectPtr browserObject = asObject(root_->object()->call("browser"));
    ASSERT_WAIT_FOR_MS(browserObject->call("canStopStoppableStatement").toBool(), 10000);

    // Nothing is cached yet, and the connection is busy: the answers are empty, not late.
    EXPECT_TRUE(browser_->allColumnsInSchema(schema_).isEmpty());
    EXPECT_TRUE(browser_->exportedKeysInSchemaAndTable(schema_, "vbw_emp").isEmpty());
    EXPECT_TRUE(browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "").isEmpty());
    EXPECT_FALSE(browser_->readElementsOfSchemaWhenFree(schema_));
    EXPECT_FALSE(root_->fullyLoadedForSchema(schema_));
    sql->cancelQuery();
    statement.join();

    EXPECT_TRUE(browser_->readElementsOfSchemaWhenFree(schema_));
    EXPECT_TRUE(browser_->elementsOfTypeInSchemaLike("TABLE", schema_, "").contains("vbw_emp"));

    EXPECT_EQ(browser_->allColumnsInTable(schema_, "vbw_emp"), QStringList({"empno", "ename", "deptno"}))
        << "read once the connection is free";
    EXPECT_TRUE(root_->fullyLoadedForSchema(schema_));
}
