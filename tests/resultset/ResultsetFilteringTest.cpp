// Quick filters, sorts and their clearing in the result-set model over a real SQLite table.
#include "ResultsetTestSupport.h"
#include "WaitFor.h"
#include "status/StatusManager.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{
class ResultsetFilteringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture_ = std::make_unique<ResultsetFixture>(sqliteTarget(folder_), 2000);
        ASSERT_TRUE(fixture_->root.run(
            "CREATE TABLE item (id INTEGER PRIMARY KEY, name VARCHAR(40), amount DECIMAL(8, 2))"));
        for (int id = 1; id <= 6; ++id)
            ASSERT_TRUE(fixture_->root.run(QString("INSERT INTO item VALUES (%1, 'n%1', %1.5)").arg(id)));
        ASSERT_TRUE(fixture_->showTable("item"));
        model_ = fixture_->controller.get();
    }

    QStringList ids() const
    {
        QStringList shown;
        for (qint64 row = 1; row <= model_->numberOfRowsInResultset(); ++row)
            shown << model_->objectValueForColumn("id", row).toString();
        return shown;
    }

    int filterReservations() const
    {
        return int(fixture_->document.reservations.count("Filtering resultset"));
    }

    QTemporaryDir folder_;
    std::unique_ptr<ResultsetFixture> fixture_;
    ResultsetController *model_ = nullptr;
};
} // namespace

TEST_F(ResultsetFilteringTest, OnlyTheLatestRequestMadeWhileAFilterRunsIsApplied)
{
    model_->updateQuickFilterWithColumns({"id"}, {">"}, {"1"});
    ASSERT_TRUE(model_->isFiltering());
    model_->updateQuickFilterWithColumns({"id"}, {">"}, {"2"});
    model_->updateQuickFilterWithColumns({"id"}, {">"}, {"3"});
    model_->updateQuickFilterWithColumns({"id"}, {">"}, {"4"});
    ASSERT_TRUE(model_->desiredFilter());
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids(), (QStringList{"5", "6"}));
    EXPECT_FALSE(model_->desiredFilter());
    EXPECT_EQ(filterReservations(), 2) << "the first and the last";
    EXPECT_TRUE(model_->quickFilterValid());
    EXPECT_EQ(model_->quickFilterColumnValues(), QVariantList{"4"});
}

TEST_F(ResultsetFilteringTest, ARequestRefusedForABusyRootRunsOnceTheRootIsFree)
{
    fixture_->document.refuseReservations = true;
    model_->updateQuickFilterWithColumns({"name"}, {"="}, {"n3"});
    ASSERT_TRUE(model_->desiredFilter());
    fixture_->document.refuseReservations = false;
    ASSERT_WAIT_FOR(!model_->desiredFilter() && !model_->isFiltering());
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids(), QStringList{"3"});
}

TEST_F(ResultsetFilteringTest, ConditionsAreCheckedByTheirColumnsType)
{
    struct Case {
        const char *type;
        const char *value;
        const char *op;
        bool valid;
    };
    const Case cases[] = {
        {"S", "12a", "=", true},           {"N", "12", "=", true},
        {"N", " 1.5", ">", true},          {"N", "", "=", true},
        {"N", "12a", "=", false},          {"N", "12a", "IS NULL", true},
        {"N", "12a", "NOT IS NULL", true}, {"D", "02-01-2024", ">=", true},
        {"D", "02-01-20", "=", false},     {"D", "", "<", true},
        {"O", "anything", "=", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(model_->verifyFilterForColumn("x", c.value, c.op, c.type), c.valid)
            << c.type << " " << c.value << " " << c.op;
    EXPECT_FALSE(model_->verifyFilterForColumn("no such column", "1", "=")) << "a column the bar lacks";
    EXPECT_FALSE(model_->verifyFilterForColumn("id", "x1", "="));
    EXPECT_TRUE(model_->verifyFilterForColumn("name", "x1", "="));
}

TEST_F(ResultsetFilteringTest, AnInvalidConditionStopsBeforeTheBackend)
{
    model_->updateQuickFilterWithColumns({"amount"}, {">"}, {"2x"});
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids().size(), 6) << "the rows stay";
    EXPECT_EQ(fixture_->document.filterOrSortUpdates, 0);
    EXPECT_EQ(fixture_->status->connectionStatusText(), "QuickFilter is invalid");
    EXPECT_EQ(model_->quickFilterColumnValues(), QVariantList{"2x"}) << "the bar keeps what was typed";

    model_->updateQuickFilterWithColumns({"amount"}, {">"}, {"2.5"});
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids(), (QStringList{"3", "4", "5", "6"}));
}

TEST_F(ResultsetFilteringTest, SortListsPutTheColumnLast)
{
    const auto sort = [](std::initializer_list<std::pair<const char *, const char *>> keys) {
        QList<VornSort> list;
        for (const auto &[name, direction] : keys)
            list.append(VornSort{name, direction});
        return list;
    };
    struct Case {
        QList<VornSort> current;
        const char *column;
        int order;
        QList<VornSort> expected;
    };
    const QList<Case> cases{
        {{}, "a", 1, sort({{"a", "ASC"}})},
        {{}, "a", 2, sort({{"a", "DESC"}})},
        {{}, "a", 0, sort({{"a", "ASC"}})},
        {sort({{"a", "ASC"}, {"b", "ASC"}, {"c", "ASC"}}), "b", 2,
         sort({{"a", "ASC"}, {"c", "ASC"}, {"b", "DESC"}})},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ResultsetController::sortAdding(c.current, c.column, c.order), c.expected) << c.column;
}

TEST_F(ResultsetFilteringTest, SortsKeepTheFilterAndClearingResetsBoth)
{
    model_->updateQuickFilterWithColumns({"id"}, {">"}, {"3"});
    ASSERT_TRUE(fixture_->waitForIdle());
    model_->setQuickSort("id", 2);
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids(), (QStringList{"6", "5", "4"}));
    EXPECT_EQ(model_->quickSortColumnSortDirection("id"), 2);
    model_->addQuickSort("name", 1);
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(model_->quickSortColumnCurrentSort(), (QStringList{"id", "name"}));

    model_->clearFilterAndSort();
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(ids().size(), 6);
    EXPECT_TRUE(model_->quickFilterColumnColumns().isEmpty());
    EXPECT_TRUE(model_->quickSortColumnCurrentSort().isEmpty());
}

TEST_F(ResultsetFilteringTest, AFailedClearKeepsShowingWhatStillFilters)
{
    model_->updateQuickFilterWithColumns({"id"}, {">"}, {"4"});
    ASSERT_TRUE(fixture_->waitForIdle());
    ResultsetFixture other(sqliteTarget(folder_), 2000);
    ASSERT_TRUE(other.root.run("DROP TABLE item"));
    model_->clearFilterAndSort();
    ASSERT_TRUE(fixture_->waitForIdle());
    EXPECT_EQ(model_->quickFilterColumnColumns(), QVariantList{"id"});
    EXPECT_EQ(model_->quickFilterColumnValues(), QVariantList{"4"});
    EXPECT_EQ(ids(), (QStringList{"5", "6"}));
    EXPECT_TRUE(fixture_->alerts().join("\n").contains("reading from the resultset"));
}
