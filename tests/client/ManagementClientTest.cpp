// Management views and session pages against the real backend and the test servers, with the views'
// own resources from the build tree: loads filtered by radio and search entries and sorted, session
// pages, and a session action that really cancels another connection's query.
#include "BackendTestSupport.h"
#include "SessionRoots.h"
#include "WaitFor.h"
#include "client/SqlConnectionClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornInfoClient.h"
#include "client/VornResultset.h"
#include "client/VornRootClient.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace
{

const QString managementSchema = QStringLiteral("__VORN__MANAGEMENT__|__VORN__MANAGEMENT__");
const QString customFilter = QStringLiteral("__CUSTOM_FILTER__");

QString resource(const QString &name)
{
    return qEnvironmentVariable("VORN_BUILD_DIR") + "/share/vorn/resources/" + name;
}

// The element of the management list with the name.
QVariantMap managementView(const QString &type, const QString &name)
{
    for (const QVariant &section : PropertyList::readFile(resource("Management" + type + ".plist")).toList())
        for (const QVariant &element : section.toMap().value("elements").toList())
            if (element.toMap().value("name") == name)
                return element.toMap();
    return {};
}

// The value of the radio entry's choice with the name.
QString choice(const QVariantMap &view, const QString &entry, const QString &name)
{
    for (const QVariant &option : view.value("options").toList())
        if (option.toMap().value("name") == entry)
            for (const QVariant &value : option.toMap().value("values").toList())
                if (value.toMap().value("name") == name)
                    return value.toMap().value("value").toString();
    ADD_FAILURE() << "no choice " << name.toStdString() << " of " << entry.toStdString();
    return {};
}

QVariantMap sessionPage(const QString &type, const QString &sectionType)
{
    for (const QVariant &entry :
         PropertyList::readFile(resource("Management" + type + "Session.plist")).toList())
        if (entry.toMap().value("type") == sectionType)
            return entry.toMap();
    return {};
}

class ManagementClientTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(startedBackend());
        root_ = connectedRoot();
        ASSERT_NE(root_, nullptr);
        type_ = root_->connectionType();
    }

    void TearDown() override { endSessionRoots({root_, other_}); }

    VornRootClientPtr connectedRoot() { return connectedSessionRoot(target_, "Vorn management test"); }

    // Loads the view with the bar's entries (column, operator, value) and sorts; the outcome.
    BackendOutcome load(const QVariantMap &view, const QList<std::array<QVariant, 3>> &entries,
                        const QList<VornSort> &sort = {})
    {
        QStringList columns;
        QStringList operators;
        QVariantList values;
        for (const auto &entry : entries) {
            columns.append(entry[0].toString());
            operators.append(entry[1].toString());
            values.append(entry[2]);
        }
        return root_->browser()->selectElementWithQuickFiltersAndSort(
            managementSchema, view.value("type").toString(), view.value("query").toString(), columns,
            operators, values, sort);
    }

    QStringList column(const QString &name) const
    {
        QStringList values;
        const VornResultsetPtr rows = root_->resultset();
        for (int row = 1; rows && row <= rows->rowCount(); ++row)
            values.append(rows->rowValues(row).value(name).toString());
        return values;
    }

    // The second connection's own session identifier, as the views show it.
    QString otherSessionId() { return sessionIdOf(*other_, type_).toString(); }

    QString sleepStatement(const QString &marker) const
    {
        return (type_ == "PostgreSQL" ? "SELECT pg_sleep(30), '" : "SELECT SLEEP(30), '") + marker +
               "' AS marker";
    }

    QString sessionsView() const { return "Process overview"; }
    QString idColumn() const { return type_ == "PostgreSQL" ? "Process" : "Id"; }
    QString userColumn() const { return "User"; }

    VornRootClientPtr root_;
    VornRootClientPtr other_;
    QString type_;
};

TEST_P(ManagementClientTest, ViewsOfEverySectionLoad)
{
    const QVariantList sections = PropertyList::readFile(resource("Management" + type_ + ".plist")).toList();
    ASSERT_FALSE(sections.isEmpty());
    for (const QVariant &section : sections)
        for (const QVariant &element : section.toMap().value("elements").toList()) {
            const QVariantMap view = element.toMap();
            QList<VornSort> sort;
            if (view.contains("sort"))
                sort.append({view.value("sort").toString(), QStringLiteral("DESC")});
            const BackendOutcome outcome = load(view, {}, sort);
            // Some views need rights the test's user lacks; the document alerts with the message then.
            EXPECT_TRUE(outcome.successful || outcome.errorMessage.contains("privilege"))
                << view.value("name").toString().toStdString() << ": " << outcome.errorMessage.toStdString();
        }
}

TEST_P(ManagementClientTest, SqliteObjectsFilterByRadioAndSearchAndSort)
{
    if (type_ != "SQLite")
        GTEST_SKIP() << "the SQLite objects view";
    root_->sqlConnection()->executeQuery("CREATE TABLE mgmt_b (x INTEGER)", {});
    root_->sqlConnection()->executeQuery("CREATE TABLE mgmt_a (x INTEGER)", {});
    root_->sqlConnection()->executeQuery("CREATE INDEX mgmt_ix ON mgmt_a (x)", {});
    const QVariantMap view = managementView(type_, "Objects");
    const QString tables = choice(view, "Type", "Tables");

    ASSERT_TRUE(load(view, {{customFilter, customFilter, tables}, {"Name", "LIKE", "MGMT"}},
                     {{"Name", QStringLiteral("DESC")}}));
    EXPECT_EQ(column("Name"), QStringList({"mgmt_b", "mgmt_a"}));

    // The choice "all" and an empty search add nothing; a search text is a value, never SQL.
    ASSERT_TRUE(load(view, {{customFilter, customFilter, ""}, {"Name", "LIKE", ""}}, {{"Name", "ASC"}}));
    EXPECT_EQ(column("Name"), QStringList({"mgmt_a", "mgmt_b", "mgmt_ix"}));
    ASSERT_TRUE(load(view, {{"Name", "LIKE", "x' OR '1'='1"}}));
    EXPECT_TRUE(column("Name").isEmpty());
}

TEST_P(ManagementClientTest, SessionsFilterBySearchAndRadioAndSort)
{
    if (type_ == "SQLite")
        GTEST_SKIP() << "a SQLite file has no sessions";
    other_ = connectedRoot();
    ASSERT_NE(other_, nullptr);
    const QString otherId = otherSessionId();
    ASSERT_FALSE(otherId.isEmpty());
    const QString marker = "vorn_mgmt_" + QString::number(QDateTime::currentMSecsSinceEpoch());
    std::atomic<bool> done{false};
    JavaThread sleeper([&] {
        other_->sqlConnection()->executeQuery(sleepStatement(marker), {});
        done = true;
    });
    const QVariantMap view = managementView(type_, sessionsView());
    ASSERT_FALSE(view.isEmpty());
    const QString busy =
        type_ == "PostgreSQL" ? choice(view, "State", "Active") : choice(view, "Command", "Queries");
    const QString idle =
        type_ == "PostgreSQL" ? choice(view, "State", "Idle") : choice(view, "Command", "Sleeping");

    // The sleeping statement is found by its text among the busy sessions, and not among the idle ones.
    // (A server that shows a statement's text with its values finds the searching session too.)
    const auto findsOther = [&] {
        load(view, {{customFilter, customFilter, busy}, {"Query", "LIKE", marker.toUpper()}});
        return column(idColumn()).contains(otherId);
    };
    VORN_WAIT_UNTIL(findsOther(), 10000);
    ASSERT_TRUE(findsOther()) << load(view, {{customFilter, customFilter, busy}}).errorMessage.toStdString()
                              << " " << column("Query").join(" | ").toStdString();
    ASSERT_TRUE(load(
        view, {{customFilter, customFilter, busy}, {"Query", "LIKE", marker}, {idColumn(), "=", otherId}}));
    EXPECT_EQ(column(idColumn()), QStringList({otherId}));
    ASSERT_TRUE(load(view, {{customFilter, customFilter, idle}, {"Query", "LIKE", marker}}));
    EXPECT_TRUE(column(idColumn()).isEmpty());

    // Sorting by the id either way; a numeric search for one id finds only it.
    // Other tests' sessions of the same user come and go between two loads: each list is checked on its
    // own order, and both hold the sleeping session.
    const auto ids = [&] {
        QList<qlonglong> numbers;
        for (const QString &id : column(idColumn()))
            numbers.append(id.toLongLong());
        return numbers;
    };
    ASSERT_TRUE(load(view, {{userColumn(), "LIKE", target_.user}}, {{idColumn(), "ASC"}}));
    const QList<qlonglong> ascending = ids();
    ASSERT_GE(ascending.size(), 2);
    EXPECT_TRUE(std::is_sorted(ascending.begin(), ascending.end()));
    EXPECT_TRUE(ascending.contains(otherId.toLongLong()));
    ASSERT_TRUE(load(view, {{userColumn(), "LIKE", target_.user}}, {{idColumn(), "DESC"}}));
    const QList<qlonglong> descending = ids();
    EXPECT_TRUE(std::is_sorted(descending.rbegin(), descending.rend()));
    EXPECT_TRUE(descending.contains(otherId.toLongLong()));
    ASSERT_TRUE(load(view, {{idColumn(), "=", otherId}}));
    EXPECT_EQ(column(idColumn()), QStringList({otherId}));

    // The session's pages for its identifier: general (transposed) and its current statement.
    const VornInfoClientPtr info = root_->browser()->elementDescriptionForSessionInfo();
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(info->reserveBackgroundRoot("Loading session information"));
    const QVariantMap general = sessionPage(type_, "InfoSessionTypeGeneral").value("info").toMap();
    const std::optional<QVariantList> pairs =
        info->sessionData(general.value("query").toString(), otherId, QString(), true, 0.5f);
    ASSERT_TRUE(pairs.has_value());
    QVariantMap byName;
    for (const QVariant &pair : *pairs)
        byName.insert(pair.toMap().value("name").toString(), pair.toMap().value("value"));
    EXPECT_EQ(byName.value(idColumn()).toString(), otherId);
    const QVariantMap sql = sessionPage(type_, "InfoSessionTypeSql").value("info").toMap();
    const std::optional<QVariantList> statement =
        info->sessionData(sql.value("query").toString(), otherId, QString(), false, 0.5f);
    ASSERT_TRUE(statement.has_value());
    ASSERT_EQ(statement->size(), 1);
    EXPECT_TRUE(statement->first().toMap().value("Query").toString().contains(marker));

    // The page's first action cancels the statement on the other connection, long before it ends.
    const QVariantMap cancel =
        sessionPage(type_, "InfoSessionTypeGeneral").value("actions").toList().first().toMap();
    const BackendOutcome outcome = info->sessionAction(cancel.value("query").toString(), otherId, QString());
    EXPECT_TRUE(outcome.successful) << outcome.errorMessage.toStdString();
    ASSERT_WAIT_FOR_MS(done.load(), 10000);
    sleeper.join();
    info->endConnection();
}

TEST_P(ManagementClientTest, ActionOnAMissingSessionFails)
{
    if (type_ == "SQLite")
        GTEST_SKIP() << "a SQLite file has no sessions";
    const VornInfoClientPtr info = root_->browser()->elementDescriptionForSessionInfo();
    ASSERT_NE(info, nullptr);
    const QVariantMap cancel =
        sessionPage(type_, "InfoSessionTypeGeneral").value("actions").toList().first().toMap();
    const BackendOutcome outcome = info->sessionAction(cancel.value("query").toString(), "999999", QString());
    EXPECT_FALSE(outcome.successful);
    EXPECT_FALSE(outcome.errorMessage.isEmpty());
    // An identifier that is no number is bound as text and never runs as SQL.
    const BackendOutcome injected =
        info->sessionAction(cancel.value("query").toString(), "1; DROP TABLE x", QString());
    EXPECT_FALSE(injected.successful);
}

VORN_FOR_EVERY_DATABASE(ManagementClientTest);

} // namespace
