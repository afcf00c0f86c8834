// Quick filters, sorts, condition texts and stored filters of a table's rows, per database.
#include "BackendTestSupport.h"
#include "bridge/QoJavaBridge.h"
#include "client/VornResultset.h"
#include "client/VornSort.h"

#include <gtest/gtest.h>

namespace
{
class BackendFilterTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        auto setup = connected(1);
        const QString moment = GetParam() == "MySQL" ? "DATETIME(3)" : "TIMESTAMP";
        const QStringList sql{
            "DROP TABLE IF EXISTS vbf_item",
            "CREATE TABLE vbf_item (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), born " + moment + ")",
            "INSERT INTO vbf_item VALUES (1, '50% off', '2024-01-02 10:00:00')",
            "INSERT INTO vbf_item VALUES (2, 'a_b', '2024-03-04 00:00:00')",
            "INSERT INTO vbf_item (id, name) VALUES (3, 'it''s')",
            "INSERT INTO vbf_item (id, name) VALUES (4, 'axb')"};
        for (const QString &statement : sql)
            ASSERT_TRUE(setup->run(statement)) << statement.toStdString();
        root_ = connected(1);
        browser_ = asObject(root_->call("browser"));
        schema_ = browser_->call("selectedSchema").toString();
        browser_->call("selectElement:::", {schema_, "TABLE", "vbf_item"});
        ASSERT_TRUE(root_->lastActionSuccessful()) << root_->lastErrorMessage().toStdString();
        // Stored filters outlive the test's roots: start without any.
        for (const QString &name : stringList(browser_->call("getCompatibleStoredFiltersNames")))
            browser_->call("removeCompatibleFilter:", {name});
    }

    // The ids of the shown rows, in order.
    QStringList ids(TestRoot &root) const
    {
        VornResultset rows(root.resultset());
        QStringList found;
        for (int row = 1; row <= rows.rowCount(); ++row)
            found.append(rows.rowValues(row).value("id").toString());
        return found;
    }

    void filter(const QVariantList &columns, const QVariantList &operators, const QVariantList &values)
    {
        browser_->call("updateQuickFilter:::", {columns, operators, values});
    }

    QVariant sorts(const QList<VornSort> &sort) const
    {
        QVariantList objects;
        for (const VornSort &one : sort)
            objects.append(QVariant::fromValue(one.toJava()));
        return objects;
    }

    std::unique_ptr<TestRoot> root_;
    QoJavaObjectPtr browser_;
    QString schema_;
};

VORN_FOR_EVERY_DATABASE(BackendFilterTest);
} // namespace

TEST_P(BackendFilterTest, EachOperatorFindsTheRowsItNames)
{
    struct Case {
        const char *column;
        const char *op;
        const char *value;
        QStringList ids;
    };
    const QList<Case> cases{
        {"name", "LIKE", "%", {"1"}}, // the user's wildcard is a plain character
        {"name", "LIKE", "_", {"2"}},
        {"name", "NOTLIKE", "_", {"1", "3", "4"}},
        {"name", "STARTSWITH", "a", {"2", "4"}},
        {"name", "ENDSWITH", "s", {"3"}},
        {"name", "=", "it's", {"3"}},
        {"name", "LIKE", "", {"1", "2", "3", "4"}}, // an empty value asks nothing
        {"id", ">", "2", {"3", "4"}},
        {"id", "!=", "1", {"2", "3", "4"}},
        {"id", "<=", "2", {"1", "2"}},
        {"born", "IS NULL", "ignored", {"3", "4"}},
        {"born", "NOT IS NULL", "", {"1", "2"}},
        {"__CUSTOM_FILTER__", "__CUSTOM_FILTER__", "id = 1 OR id = 4", {"1", "4"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1 %2 %3").arg(c.column, c.op, c.value).toStdString());
        filter({c.column}, {c.op}, {c.value});
        ASSERT_TRUE(root_->lastActionSuccessful()) << root_->lastErrorMessage().toStdString();
        EXPECT_EQ(ids(*root_), c.ids);
    }
    if (GetParam() != "SQLite") { // SQLite keeps dates as text
        filter({"born"}, {">="}, {"01-03-2024 00:00:00.0"});
        ASSERT_TRUE(root_->lastActionSuccessful()) << root_->lastErrorMessage().toStdString();
        EXPECT_EQ(ids(*root_), QStringList{"2"});
    }
}

TEST_P(BackendFilterTest, UnusableConditionsFailAndKeepTheRows)
{
    filter({"id"}, {"="}, {"2"});
    ASSERT_TRUE(root_->lastActionSuccessful());
    struct Case {
        const char *column;
        const char *op;
        const char *value;
        const char *message;
    };
    const Case cases[] = {
        {"id", "=", "12a", "not a number"},
        {"__CUSTOM_FILTER__", "__CUSTOM_FILTER__", "1 = 1; DELETE FROM vbf_item", "may not contain a ';'"},
        {"name", "LIKE ANY", "x", "is not known"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        filter({c.column}, {c.op}, {c.value});
        EXPECT_FALSE(root_->lastActionSuccessful());
        EXPECT_TRUE(root_->lastErrorMessage().contains(c.message)) << root_->lastErrorMessage().toStdString();
        EXPECT_EQ(root_->resultset()->call("rowCount").toInt(), 1) << "the rows shown stay";
    }
    EXPECT_TRUE(root_->run("SELECT COUNT(*) FROM vbf_item"));
    EXPECT_TRUE(browser_->call("isNumberCompleteOrEmpty:", {" 12.5"}).toBool());
    EXPECT_FALSE(browser_->call("isNumberCompleteOrEmpty:", {"12a"}).toBool());
    EXPECT_TRUE(browser_->call("isTimestampCompleteOrEmpty:", {""}).toBool());
    EXPECT_TRUE(browser_->call("isTimestampCompleteOrEmpty:", {"02-01-2024"}).toBool());
    EXPECT_FALSE(browser_->call("isTimestampCompleteOrEmpty:", {"02-01-20"}).toBool());
}

TEST_P(BackendFilterTest, SortsKeepTheFilterAndClearingDropsBoth)
{
    filter({"id"}, {">"}, {"1"});
    browser_->call("updateSort:", {sorts({{"id", "DESC"}})});
    ASSERT_TRUE(root_->lastActionSuccessful()) << root_->lastErrorMessage().toStdString();
    EXPECT_EQ(ids(*root_), (QStringList{"4", "3", "2"}));
    EXPECT_FALSE(
        browser_
            ->call("needsUpdateForQuickFilter:::", {QVariantList{"id"}, QVariantList{">"}, QVariantList{"1"}})
            .toBool());
    EXPECT_TRUE(
        browser_
            ->call("needsUpdateForQuickFilter:::", {QVariantList{"id"}, QVariantList{">"}, QVariantList{"2"}})
            .toBool());
    browser_->call("updateFilterAndSort::", {QVariant(), sorts({})});
    ASSERT_TRUE(root_->lastActionSuccessful());
    EXPECT_EQ(ids(*root_), (QStringList{"1", "2", "3", "4"}));
    EXPECT_TRUE(stringList(browser_->call("quickFilterColumns")).isEmpty());
}

TEST_P(BackendFilterTest, ConditionTextsQuoteNamesAndLiterals)
{
    VornResultset rows(root_->resultset());
    const QString moment =
        GetParam() == "SQLite" ? "'02-01-2024 10:00:00.0'" : "TIMESTAMP '2024-01-02 10:00:00'";
    const QString escapedQuote = GetParam() == "MySQL" ? "'50!%\\\\'" : "'50!%\\'";
    struct Case {
        QString actual;
        QString expected;
    };
    const Case cases[] = {
        {rows.queryPartForColumnValueAndOperator("name", "it's", "="), "name = 'it''s'"},
        {rows.queryPartForColumnValueAndOperator("name", "50%\\", "STARTSWITH"),
         "name LIKE " + escapedQuote.left(escapedQuote.size() - 1) + "%' ESCAPE '!'"},
        {rows.queryPartForColumnValueAndOperator("id", "7", ">="), "id >= 7"},
        {rows.queryPartForColumnValueAndOperator("born", "02-01-2024 10:00:00.0", ">"), "born > " + moment},
        {rows.queryPartForColumnValueAndOperator("born", "", "IS NULL"), "born IS NULL"},
        {rows.queryPartForColumnAndValue("name", QString(), true), "name IS NOT NULL"},
        {rows.queryPartForColumnAndValue("id", "3", true), "NOT (id = 3)"},
        {rows.inQueryForColumnAndValues("name", {"a", "b'c"}, false), "name IN ('a', 'b''c')"},
        {rows.inQueryForColumnAndValues("id", {"1", "2"}, true), "id NOT IN (1, 2)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.actual, c.expected);
    EXPECT_TRUE(rows.queryPartForColumnValueAndOperator("name", "x", "BETWEEN").isNull());
}

TEST_P(BackendFilterTest, StoredFiltersPersistAcrossRootsByName)
{
    filter({"name"}, {"STARTSWITH"}, {"a"});
    browser_->call("updateSort:", {sorts({{"id", "DESC"}})});
    browser_->call("storeFilter:", {"starts with a"});
    ASSERT_TRUE(root_->lastActionSuccessful()) << root_->lastErrorMessage().toStdString();
    EXPECT_EQ(browser_->call("currentStoredFilter").toString(), "starts with a");
    EXPECT_FALSE(browser_->call("currentFilterContainsChanges").toBool());
    filter({"name"}, {"STARTSWITH"}, {"ax"});
    EXPECT_TRUE(browser_->call("currentFilterContainsChanges").toBool());
    browser_->call("storeFilter:", {"  "});
    EXPECT_FALSE(root_->lastActionSuccessful()) << "a blank name is refused";

    auto other = connected(1);
    const QoJavaObjectPtr browser = asObject(other->call("browser"));
    browser->call("selectElement:::", {schema_, "TABLE", "vbf_item"});
    ASSERT_TRUE(other->lastActionSuccessful());
    EXPECT_EQ(stringList(browser->call("getCompatibleStoredFiltersNames")), QStringList{"starts with a"});
    browser->call("loadStoredFilter:", {"starts with a"});
    ASSERT_TRUE(other->lastActionSuccessful()) << other->lastErrorMessage().toStdString();
    EXPECT_EQ(ids(*other), (QStringList{"4", "2"}));
    EXPECT_EQ(browser->call("currentStoredFilter").toString(), "starts with a");

    browser->call("updateCompatibleFilterName::", {"starts with a", "a-rows"});
    ASSERT_TRUE(other->lastActionSuccessful());
    EXPECT_EQ(browser->call("currentStoredFilter").toString(), "a-rows");
    browser->call("removeCompatibleFilter:", {"no such filter"});
    EXPECT_FALSE(other->lastActionSuccessful());
    browser->call("removeCompatibleFilter:", {"a-rows"});
    EXPECT_TRUE(stringList(browser_->call("getCompatibleStoredFiltersNames")).isEmpty());
}
