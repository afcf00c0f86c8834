// Execution plans through the bridge: the root's analyser per database, read with its typed client.
#include "BackendTestSupport.h"
#include "client/VornAnalyserClient.h"
#include "client/VornRootClient.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
class BackendAnalyserTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        root_ = connected(1);
        root_->execute("DROP TABLE IF EXISTS vba_line");
        root_->execute("DROP TABLE IF EXISTS vba_order");
        for (const QString &sql :
             {QString("CREATE TABLE vba_order (id INTEGER NOT NULL PRIMARY KEY, customer VARCHAR(20))"),
              QString(
                  "CREATE TABLE vba_line (id INTEGER NOT NULL PRIMARY KEY, order_id INTEGER, qty INTEGER)"),
              QString("INSERT INTO vba_order VALUES (1, 'a'), (2, 'b')"),
              QString("INSERT INTO vba_line VALUES (1, 1, 5), (2, 1, 6), (3, 2, 7)")})
            ASSERT_TRUE(root_->run(sql)) << sql.toStdString();
        client_ = std::make_shared<VornRootClient>(root_->object());
        analyser_ = client_->analyse();
        ASSERT_TRUE(analyser_);
    }

    // Every step of the tree, depth first.
    static void walk(const QVariantMap &step, const std::function<void(const QVariantMap &)> &visit)
    {
        visit(step);
        for (const QVariant &child : step.value("children").toList())
            walk(child.toMap(), visit);
    }

    static QStringList objectNames(const QVariantMap &plan)
    {
        QStringList names;
        walk(plan, [&](const QVariantMap &step) {
            const QString name = step.value("info").toMap().value("OBJECT_NAME").toString();
            if (!name.isEmpty())
                names << name.toLower();
        });
        return names;
    }

    std::unique_ptr<TestRoot> root_;
    std::shared_ptr<VornRootClient> client_;
    std::shared_ptr<VornAnalyserClient> analyser_;
};

VORN_FOR_EVERY_DATABASE(BackendAnalyserTest);
} // namespace

TEST_P(BackendAnalyserTest, AJoinGivesATreeUnderTheStatementNamingBothTables)
{
    EXPECT_TRUE(client_->analysisSupported());
    EXPECT_TRUE(analyser_->planTableAvailable()) << "only Oracle keeps plans in a table";
    // Without aliases: SQLite and MariaDB name a table by its alias where it has one.
    const QString sql =
        "SELECT customer, qty FROM vba_order JOIN vba_line ON vba_line.order_id = vba_order.id "
        "WHERE qty > 5 ORDER BY customer";
    const QVariantMap plan = analyser_->getPlanTable(sql);
    ASSERT_TRUE(client_->lastActionSuccessful()) << client_->lastErrorMessage().toStdString();
    EXPECT_EQ(plan.value("info").toMap().value("OPERATION").toString(), "SELECT STATEMENT");
    ASSERT_FALSE(plan.value("children").toList().isEmpty());
    const QStringList names = objectNames(plan);
    EXPECT_TRUE(names.contains("vba_order")) << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains("vba_line")) << names.join(", ").toStdString();
    walk(plan, [](const QVariantMap &step) {
        const QVariantMap info = step.value("info").toMap();
        EXPECT_FALSE(info.value("OPERATION").toString().isEmpty()) << "every step names what it does";
        for (auto it = info.cbegin(); it != info.cend(); ++it)
            EXPECT_EQ(it.value().typeId(), QMetaType::QString) << it.key().toStdString();
    });
    EXPECT_EQ(analyser_->query(), sql);
}

TEST_P(BackendAnalyserTest, AFullScanAndItsEstimatesReadAsTheAnalyserShowsThem)
{
    const QVariantMap plan = analyser_->getPlanTable("SELECT * FROM vba_line");
    ASSERT_TRUE(client_->lastActionSuccessful()) << client_->lastErrorMessage().toStdString();
    QVariantMap scan;
    walk(plan, [&](const QVariantMap &step) {
        const QVariantMap info = step.value("info").toMap();
        if (info.value("OBJECT_NAME").toString().toLower() == "vba_line")
            scan = info;
    });
    ASSERT_FALSE(scan.isEmpty());
    if (GetParam() == "PostgreSQL") {
        EXPECT_EQ(scan.value("OPERATION"), "Seq Scan");
        EXPECT_TRUE(scan.contains("COST") && scan.contains("CARDINALITY") && scan.contains("BYTES"));
    } else if (GetParam() == "MySQL") {
        EXPECT_EQ(scan.value("OPERATION"), "TABLE ACCESS");
        EXPECT_EQ(scan.value("OPTIONS"), "ALL");
        EXPECT_TRUE(scan.contains("CARDINALITY"));
    } else {
        EXPECT_EQ(scan.value("OPERATION"), "SCAN");
        EXPECT_EQ(scan.value("OPTIONS"), "FULL");
    }
}

TEST_P(BackendAnalyserTest, ExplainingAChangeLeavesTheDataAlone)
{
    analyser_->getPlanTable("DELETE FROM vba_line WHERE qty > 5");
    ASSERT_TRUE(client_->lastActionSuccessful()) << client_->lastErrorMessage().toStdString();
    ASSERT_TRUE(root_->execute("SELECT COUNT(*) AS n FROM vba_line"));
    EXPECT_EQ(dictionary(root_->resultset()->call("getRow:", {1})).value("n").toInt(), 3);
}

TEST_P(BackendAnalyserTest, AStatementTheDatabaseRefusesFailsWithItsMessage)
{
    const QVariantMap plan = analyser_->getPlanTable("SELECT amount FROM vba_missing");
    EXPECT_TRUE(plan.isEmpty());
    EXPECT_FALSE(client_->lastActionSuccessful());
    EXPECT_TRUE(client_->lastErrorMessage().contains("vba_missing", Qt::CaseInsensitive))
        << client_->lastErrorMessage().toStdString();
    analyser_->getPlanTable("   ");
    EXPECT_FALSE(client_->lastActionSuccessful()) << "nothing to analyse is no success";
    analyser_->createPlanTable("SYSTEM", "secret", "", "", "");
    EXPECT_FALSE(client_->lastActionSuccessful()) << "only Oracle keeps a plan table to create";
}
