// Result sets through the bridge: paging, streaming, value shapes and column names.
#include "BackendTestSupport.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"
#include "client/VornResultset.h"

#include <QTest>
#include <gtest/gtest.h>

namespace
{
class BackendResultsetTest : public DatabaseTest
{
protected:
    // The numbers 1 to count, in order, in the column "n".
    QString numbers(int count) const
    {
        if (GetParam() == "PostgreSQL")
            return QString("SELECT g AS n FROM generate_series(1, %1) g").arg(count);
        if (GetParam() == "MySQL")
            return QString("SELECT seq AS n FROM seq_1_to_%1").arg(count);
        return QString("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < %1) "
                       "SELECT n FROM c")
            .arg(count);
    }
};

VORN_FOR_EVERY_DATABASE(BackendResultsetTest);

QVariantMap row(const QoJavaObjectPtr &rows, int number)
{
    return dictionary(rows->call("getRow:", {number}));
}

QString wrapperClass(const QVariant &cell)
{
    const QoJavaObjectPtr object = asObject(cell);
    return object ? object->className() : QString();
}
} // namespace

TEST_P(BackendResultsetTest, RowsArriveInGrowingPortionsUpToTheRowLimit)
{
    struct Case {
        int flags;
        int rowLimit;
        int available;
        int rows;
        bool stoppedAtLimit;
    };
    const Case cases[] = {
        {1, 0, 1000, 1000, false}, {1, 250, 1000, 250, true}, {0, 0, 1000, 1000, false},
        {0, 250, 1000, 250, true}, {1, 250, 250, 250, false}, {0, 250, 251, 250, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("flags %1, limit %2, %3 rows")
                         .arg(c.flags)
                         .arg(c.rowLimit)
                         .arg(c.available)
                         .toStdString());
        auto root = connected(c.flags, c.rowLimit);
        ASSERT_TRUE(root->execute(numbers(c.available))) << root->lastErrorMessage().toStdString();
        const QoJavaObjectPtr rows = root->resultset();
        int count = rows->call("rowCount").toInt();
        EXPECT_EQ(count, 100) << "the statement reads only its first portion";
        EXPECT_FALSE(rows->call("fullyLoaded").toBool());
        while (!rows->call("fullyLoaded").toBool()) {
            rows->call("preload");
            ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
            const int grown = rows->call("rowCount").toInt();
            ASSERT_GT(grown, count);
            count = grown;
        }
        EXPECT_EQ(count, c.rows);
        EXPECT_EQ(rows->call("stoppedAtRowLimit").toBool(), c.stoppedAtLimit);
        EXPECT_EQ(row(rows, count).value("n").toString(), QString::number(c.rows));
        EXPECT_FALSE(rows->call("getRow:", {count + 1}).isValid());
        rows->call("preload");
        EXPECT_TRUE(root->lastActionSuccessful());
        EXPECT_EQ(rows->call("rowCount").toInt(), c.rows);
        EXPECT_TRUE(root->run("SELECT 1")) << "the connection is free after the limit";
    }
}

// Rows cross to the native side a portion at a time and leave the backend as they go: what crossed reads
// as the backend showed it, and the backend answers for it no more.
TEST_P(BackendResultsetTest, RowsCrossToTheNativeSideOnce)
{
    auto root = connected(1, 0);
    const QString text = GetParam() == "MySQL" ? "CONCAT('r', n)" : "'r' || n";
    ASSERT_TRUE(root->execute(
        QString(
            "SELECT n, CASE WHEN n % 3 = 0 THEN NULL ELSE %1 END AS t, '' AS e FROM (%2) numbers ORDER BY n")
            .arg(text, numbers(250))))
        << root->lastErrorMessage().toStdString();
    const QoJavaObjectPtr backendRows = root->resultset();
    const QVariantMap shownByBackend = row(backendRows, 99);
    VornResultset rows(backendRows);
    EXPECT_EQ(rows.rowCount(), 100);
    EXPECT_FALSE(backendRows->call("getRow:", {99}).isValid())
        << "a row that crossed is the backend's no more";
    EXPECT_TRUE(backendRows->call("takeRows").toString().isEmpty()) << "nothing waits";
    EXPECT_EQ(backendRows->call("rowCount").toInt(), 100);
    EXPECT_EQ(rows.rowValues(99), shownByBackend);

    rows.preload();
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_EQ(rows.rowCount(), 200);
    // Rows the backend fetched on its own (a commit reads the rest) cross when a row beyond is asked for.
    backendRows->call("preload");
    ASSERT_TRUE(rows.getRow(250));
    EXPECT_EQ(rows.rowCount(), 250);
    for (const qint32 number : {1, 100, 101, 200, 201, 250}) {
        SCOPED_TRACE(number);
        const std::optional<VornRow> fetched = rows.getRow(number);
        ASSERT_TRUE(fetched);
        EXPECT_EQ(fetched->cell(rows.columnIndex("n")).string(), QString::number(number));
        const VornCell text = fetched->cell(rows.columnIndex("t"));
        EXPECT_EQ(text.kind, number % 3 == 0 ? VornCell::Kind::Null : VornCell::Kind::Text);
        EXPECT_EQ(text.string(), number % 3 == 0 ? QString() : "r" + QString::number(number));
        const VornCell empty = fetched->cell(rows.columnIndex("e"));
        EXPECT_EQ(empty.kind, VornCell::Kind::Text);
        EXPECT_FALSE(empty.string().isNull());
        EXPECT_TRUE(empty.string().isEmpty());
    }
    EXPECT_FALSE(rows.getRow(251));
}

// Rows cross in slices of bounded size; a row larger than a slice crosses whole.
TEST_P(BackendResultsetTest, LongRowsCrossInSlices)
{
    auto root = connected(1, 0);
    const QString type = GetParam();
    auto repeated = [&](int length) {
        if (type == "SQLite")
            return QString("replace(hex(zeroblob(%1)), '00', 'xx')").arg(length / 2);
        return QString("repeat('x', %1)").arg(length);
    };
    const QString sql =
        QString("SELECT n, CASE WHEN n = 150 THEN %1 ELSE %2 END AS t FROM (%3) numbers ORDER BY n")
            .arg(repeated(40000), repeated(1000), numbers(250));
    ASSERT_TRUE(root->execute(sql)) << root->lastErrorMessage().toStdString();
    VornResultset rows(root->resultset());
    while (!rows.fullyLoaded())
        rows.preload();
    ASSERT_EQ(rows.rowCount(), 250);
    for (qint32 number = 1; number <= 250; ++number) {
        const std::optional<VornRow> fetched = rows.getRow(number);
        ASSERT_TRUE(fetched);
        ASSERT_EQ(fetched->cell(0).string(), QString::number(number));
        ASSERT_EQ(fetched->cell(1).string(), QString(number == 150 ? 40000 : 1000, u'x')) << number;
    }
}

// After a preload the next portion is read ahead: a failure of that read must reach the preload that
// would have handed its rows over, and the result must not look complete before then.
TEST_P(BackendResultsetTest, AFailureWhileReadingAheadFailsTheNextPreload)
{
    if (GetParam() != "PostgreSQL")
        GTEST_SKIP() << "only PostgreSQL fails a query in the middle of its rows (division by zero)";
    auto root = connected(1, 0);
    // Rows 1 to 100 come with the statement, 101 to 200 with the first preload; row 300 lies in the
    // portion read ahead after it.
    ASSERT_TRUE(root->execute(QString("SELECT n, 1 / (n - 300) AS q FROM (%1) numbers").arg(numbers(1000))));
    VornResultset rows(root->resultset());
    rows.preload();
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_EQ(rows.rowCount(), 200);
    EXPECT_FALSE(rows.fullyLoaded()) << "the failed read ahead still has to be reported";
    rows.preload();
    EXPECT_FALSE(root->lastActionSuccessful());
    EXPECT_TRUE(root->lastErrorMessage().contains("division by zero"))
        << root->lastErrorMessage().toStdString();
    EXPECT_TRUE(rows.fullyLoaded());
    EXPECT_EQ(rows.rowCount(), 200);
    EXPECT_TRUE(root->run("SELECT 1")) << "the connection is free after the failure";
}

// Rows read ahead wait in the backend until a preload hands them over; a commit takes them with the rest.
TEST_P(BackendResultsetTest, RowsReadAheadArriveOnlyWithAPreload)
{
    auto root = connected(0, 0);
    ASSERT_TRUE(root->execute(numbers(1000)));
    const QoJavaObjectPtr rows = root->resultset();
    rows->call("preload");
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_EQ(rows->call("rowCount").toInt(), 200);
    EXPECT_EQ(row(rows, 200).value("n").toString(), "200");
    EXPECT_FALSE(rows->call("getRow:", {201}).isValid());
    rows->call("preload");
    EXPECT_EQ(rows->call("rowCount").toInt(), 400);
    EXPECT_EQ(row(rows, 400).value("n").toString(), "400");
    root->call("commit");
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_TRUE(rows->call("fullyLoaded").toBool());
    EXPECT_EQ(rows->call("rowCount").toInt(), 1000);
    for (const int number : {201, 400, 401, 800, 1000})
        EXPECT_EQ(row(rows, number).value("n").toString(), QString::number(number)) << number;
}

TEST_P(BackendResultsetTest, CommittingReadsTheRestOfAnOpenResultFirst)
{
    auto root = connected(0, 0);
    ASSERT_TRUE(root->execute(numbers(1000)));
    const QoJavaObjectPtr rows = root->resultset();
    EXPECT_FALSE(rows->call("fullyLoaded").toBool());
    root->call("commit");
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_TRUE(root->isTrue("needsRefreshAfterCommit"));
    EXPECT_TRUE(rows->call("fullyLoaded").toBool());
    EXPECT_EQ(rows->call("rowCount").toInt(), 1000);
}

TEST_P(BackendResultsetTest, ServersStreamWhileTheCursorIsOpen)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "a local file has no server to stream from";
    const QString clientName = "Vorn streaming check";
    auto root = connected(1, 0, true, clientName);
    auto observer = connected(1);
    QString sessionQuery;
    if (GetParam() == "PostgreSQL") {
        // pgjdbc streams only inside a transaction: one is held while the cursor is open.
        sessionQuery =
            QString("SELECT state AS s FROM pg_stat_activity WHERE application_name = '%1'").arg(clientName);
    } else {
        // The server waits to send the rest while the result streams.
        ASSERT_TRUE(root->execute("SELECT CONNECTION_ID() AS id"));
        const QString id = row(root->resultset(), 1).value("id").toString();
        sessionQuery = "SELECT COMMAND AS s FROM information_schema.PROCESSLIST WHERE ID = " + id;
    }
    auto sessionState = [&] {
        EXPECT_TRUE(observer->execute(sessionQuery)) << observer->lastErrorMessage().toStdString();
        return row(observer->resultset(), 1).value("s").toString();
    };
    // The session may still be busy with what the connect ran: wait for it to rest.
    const QString idle = GetParam() == "PostgreSQL" ? "idle" : "Sleep";
    ASSERT_WAIT_FOR_MS(sessionState() == idle, 10000);

    ASSERT_TRUE(root->execute(numbers(5000000)));
    EXPECT_EQ(root->resultset()->call("rowCount").toInt(), 100);
    EXPECT_NE(sessionState(), idle);
    root->call("clearResultset");
    EXPECT_FALSE(root->resultset());
    EXPECT_TRUE(QTest::qWaitFor([&] { return sessionState() == idle; }, 10000));
    EXPECT_TRUE(root->run("SELECT 1")) << "the connection is free again";
}

TEST_P(BackendResultsetTest, ValuesArriveInTheirDisplayShape)
{
    auto root = connected(1);
    root->execute("DROP TABLE IF EXISTS vbr_values");
    const QString type = GetParam();
    const QString amountType = type == "SQLite" ? "TEXT" : "DECIMAL(30,10)";
    const QString bigType = type == "MySQL" ? "LONGTEXT" : "TEXT";
    const QString binaryType = type == "PostgreSQL" ? "BYTEA" : "BLOB";
    const QString momentType = type == "MySQL" ? "DATETIME(3)" : "TIMESTAMP";
    const QString binaryLiteral = type == "PostgreSQL" ? "'\\x00ff'::bytea" : "X'00FF'";
    ASSERT_TRUE(
        root->run(QString("CREATE TABLE vbr_values (id INTEGER, whole BIGINT, amount %1, ratio DOUBLE "
                          "PRECISION, day DATE, moment %2, midnight %2, note VARCHAR(100), big %3, "
                          "data %4)")
                      .arg(amountType, momentType, bigType, binaryType)));
    ASSERT_TRUE(root->run(QString("INSERT INTO vbr_values VALUES (1, 9223372036854775807, "
                                  "'12345678901234567890.0123456789', 0.00000015, '2024-02-29', "
                                  "'2024-02-29 13:45:30.25', '2024-03-01 00:00:00', ?, ?, %1)")
                              .arg(binaryLiteral),
                          {QString("Zoë ☃ 漢字 𝄞"), "first line\nsecond line"}));
    ASSERT_TRUE(root->run("INSERT INTO vbr_values (id) VALUES (2)"));

    ASSERT_TRUE(root->execute("SELECT * FROM vbr_values ORDER BY id"));
    const QoJavaObjectPtr rows = root->resultset();
    const QVariantMap values = row(rows, 1);
    EXPECT_EQ(values.value("whole").toString(), "9223372036854775807");
    EXPECT_EQ(values.value("amount").toString(), "12345678901234567890.0123456789");
    EXPECT_EQ(values.value("ratio").toString(), "0.00000015");
    EXPECT_EQ(values.value("note").toString(), QString("Zoë ☃ 漢字 𝄞"));
    if (type != "SQLite") {
        // SQLite keeps dates as the text it was given.
        EXPECT_EQ(values.value("day").toString(), "29-02-2024");
        EXPECT_EQ(values.value("moment").toString(), "29-02-2024 13:45:30.25");
        EXPECT_EQ(values.value("midnight").toString(), "01-03-2024");
    }
    if (type == "MySQL") {
        EXPECT_EQ(wrapperClass(values.value("big")), "nl/dalmerik/vorn/CharacterWrapper");
        EXPECT_EQ(asObject(values.value("big"))->call("stringValue").toString(), "first line\nsecond line");
    } else {
        EXPECT_EQ(values.value("big").toString(), "first line\nsecond line");
    }
    ASSERT_EQ(wrapperClass(values.value("data")), "nl/dalmerik/vorn/BinaryWrapper");
    EXPECT_FALSE(asObject(values.value("data"))->call("isNull").toBool());
    EXPECT_EQ(rows->call("primaryColumnTypeForColumn:", {"data"}).toString(), "B");
    EXPECT_FALSE(stringList(rows->call("searchableColumnNames")).contains("data"));

    // SQL NULL is an absent key; a binary column still tells its value is null.
    const QVariantMap nulls = row(rows, 2);
    for (const QString column : {"whole", "amount", "ratio", "day", "moment", "note"})
        EXPECT_FALSE(nulls.contains(column)) << column.toStdString();
    EXPECT_TRUE(asObject(nulls.value("data"))->call("isNull").toBool());

    if (type != "SQLite") {
        auto exact = connected(1, 2000, false);
        ASSERT_TRUE(exact->execute("SELECT day, midnight FROM vbr_values WHERE id = 1"));
        EXPECT_EQ(row(exact->resultset(), 1).value("day").toString(), "29-02-2024 00:00:00.0");
        EXPECT_EQ(row(exact->resultset(), 1).value("midnight").toString(), "01-03-2024 00:00:00.0");
    }
    root->execute("DROP TABLE vbr_values");
}

// A double shows as the shortest text that reads back as the same value, without an exponent.
TEST_P(BackendResultsetTest, DoublesShowTheirShortestExactText)
{
    const struct {
        const char *literal;
        QString shown;
    } cases[] = {
        {"0.1", "0.1"},
        {"1.0", "1.0"},
        {"2000.0", "2000.0"},
        {"-2.5", "-2.5"},
        {"0.00000015", "0.00000015"},
        {"8.41e21", "8410000000000000000000"},
        {"1e23", "100000000000000000000000"},
        {"1e-300", "0." + QString(299, u'0') + "1"},
        {"0.30000000000000004", "0.30000000000000004"},
        {"123.456", "123.456"},
        {"0.001", "0.001"},
        {"1234567.125", "1234567.125"},
        {"9999999.0", "9999999.0"},
        {"10000000.0", "10000000"},
        {"123456789012.345", "123456789012.345"},
        {"1234567890123.4567", "1234567890123.4568"},
    };
    auto root = connected(1);
    root->execute("DROP TABLE IF EXISTS vbr_doubles");
    ASSERT_TRUE(root->run("CREATE TABLE vbr_doubles (id INTEGER, v DOUBLE PRECISION)"));
    int id = 0;
    for (const auto &c : cases)
        ASSERT_TRUE(root->run(QString("INSERT INTO vbr_doubles VALUES (%1, %2)").arg(++id).arg(c.literal)));
    ASSERT_TRUE(root->execute("SELECT v FROM vbr_doubles ORDER BY id"));
    const QoJavaObjectPtr rows = root->resultset();
    id = 0;
    for (const auto &c : cases)
        EXPECT_EQ(row(rows, ++id).value("v").toString(), c.shown) << c.literal;
}

TEST_P(BackendResultsetTest, RepeatedColumnLabelsGetUniqueNames)
{
    auto root = connected(1);
    root->execute("DROP TABLE IF EXISTS vbr_dup");
    ASSERT_TRUE(root->run("CREATE TABLE vbr_dup (id INTEGER)"));
    ASSERT_TRUE(root->run("INSERT INTO vbr_dup VALUES (1), (2)"));
    const QString sql =
        "SELECT a.id, b.id, a.id + 10 AS id_2 FROM vbr_dup a, vbr_dup b WHERE a.id = 1 AND b.id = 2";
    ASSERT_TRUE(root->execute(sql));
    const QoJavaObjectPtr rows = root->resultset();
    const QStringList names = stringList(rows->call("columnNames"));
    EXPECT_EQ(names, QStringList({"id", "id_3", "id_2"}));
    EXPECT_EQ(stringList(rows->call("columnLabels")), QStringList({"id", "id", "id_2"}));
    const QVariantMap values = row(rows, 1);
    EXPECT_EQ(values.value("id").toString(), "1");
    EXPECT_EQ(values.value("id_3").toString(), "2");
    EXPECT_EQ(values.value("id_2").toString(), "11");
    EXPECT_EQ(rows->call("primaryColumnTypeForColumn:", {"id_3"}).toString(), "N");

    const QoJavaObjectPtr metaData = asObject(rows->call("resultsetMetaData"));
    const QVariantList columns =
        JavaUtils::recursiveCollectionsFromVector(asObject(metaData->call("columns")));
    ASSERT_EQ(columns.size(), 3);
    for (int i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].toMap().value("name").toString(), names[i]);
        EXPECT_EQ(columns[i].toMap().value("label").toString(), i == 2 ? "id_2" : "id");
        EXPECT_FALSE(columns[i].toMap().value("typeName").toString().isEmpty());
    }

    // A statement's result: no table, read-only, its own text, and it can be run again.
    EXPECT_FALSE(rows->call("tableName").isValid());
    EXPECT_TRUE(rows->call("readOnly").toBool());
    EXPECT_EQ(rows->call("readOnlyReason").toString(), "NOSTATE");
    EXPECT_EQ(rows->call("selectStatement").toString(), sql);
    EXPECT_TRUE(asObject(rows->call("root"))->isEqualTo(root->object()));
    const QoJavaObjectPtr browser = asObject(root->call("browser"));
    ASSERT_TRUE(browser->call("canRefresh").toBool());
    browser->call("refresh");
    ASSERT_TRUE(root->lastActionSuccessful()) << root->lastErrorMessage().toStdString();
    EXPECT_FALSE(root->resultset()->isEqualTo(rows));
    EXPECT_EQ(row(root->resultset(), 1).value("id_3").toString(), "2");
    root->execute("DROP TABLE vbr_dup");
}

namespace
{
// The VM's default time zone for the life of a test; Europe/Amsterdam skips 02:00 to 03:00 on 31 March 2024.
class DefaultTimeZone
{
public:
    explicit DefaultTimeZone(const QString &zone)
        : timeZone_(startedBackend()->classForName("java.util.TimeZone")),
          previous_(asObject(timeZone_->callStatic("getDefault")))
    {
        const QVariant id = startedBackend()->classForName("java.time.ZoneId")->callStatic("of:", {zone});
        timeZone_->callStatic("setDefault:", {timeZone_->callStatic("getTimeZone:", {id})});
    }
    ~DefaultTimeZone() { timeZone_->callStatic("setDefault:", {QVariant::fromValue(previous_)}); }

private:
    QoJavaClass *timeZone_;
    QoJavaObjectPtr previous_;
};
} // namespace

TEST_P(BackendResultsetTest, DatesAndTimesShowAsTheDatabaseHoldsThem)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "SQLite keeps dates as the text it was given";
    const DefaultTimeZone amsterdam("Europe/Amsterdam");
    auto root = connected(1, 2000, false);
    const bool mysql = GetParam() == "MySQL";
    if (mysql) {
        // A zero date needs a session that allows it.
        ASSERT_TRUE(root->run("SET SESSION sql_mode = ''"));
        root->execute("DROP TABLE IF EXISTS vbr_zero");
        ASSERT_TRUE(root->run("CREATE TABLE vbr_zero (day DATE)"));
        ASSERT_TRUE(root->run("INSERT INTO vbr_zero VALUES ('0000-00-00')"));
    }
    struct Case {
        QString sql;
        QString shown;
    };
    std::vector<Case> cases{
        {"SELECT TIMESTAMP '2024-03-31 02:30:00' AS v", "31-03-2024 02:30:00.0"},
        {"SELECT TIMESTAMP '2024-10-27 02:30:00.25' AS v", "27-10-2024 02:30:00.25"},
        {"SELECT DATE '2024-03-31' AS v", "31-03-2024 00:00:00.0"},
        {"SELECT TIME '13:45:30' AS v", "13:45:30.0"},
    };
    if (mysql) {
        cases.push_back({"SELECT CAST('838:59:59' AS TIME) AS v", "838:59:59"});
        cases.push_back({"SELECT CAST('-01:00:00' AS TIME) AS v", "-01:00:00"});
        cases.push_back({"SELECT day AS v FROM vbr_zero", "0000-00-00"});
    } else {
        cases.push_back({"SELECT TIME '24:00:00' AS v", "24:00:00"});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        ASSERT_TRUE(root->execute(c.sql)) << root->lastErrorMessage().toStdString();
        EXPECT_EQ(row(root->resultset(), 1).value("v").toString(), c.shown);
    }
    if (mysql)
        root->execute("DROP TABLE vbr_zero");
}

namespace
{
// The VM's default locale for the life of a test.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QString &tag)
        : locale_(startedBackend()->classForName("java.util.Locale")),
          previous_(asObject(locale_->callStatic("getDefault")))
    {
        locale_->callStatic("setDefault:", {locale_->callStatic("forLanguageTag:", {tag})});
    }
    ~DefaultLocale() { locale_->callStatic("setDefault:", {QVariant::fromValue(previous_)}); }

private:
    QoJavaClass *locale_;
    QoJavaObjectPtr previous_;
};
} // namespace

// The user's pattern is in SimpleDateFormat's letters and writes what SimpleDateFormat writes, but for the
// fraction of a second, which has every digit the value needs. Values without a zone have none to show;
// PostgreSQL's instants show in the VM's time zone.
TEST_P(BackendResultsetTest, DatePatternsWriteTheirFields)
{
    if (GetParam() == "SQLite")
        GTEST_SKIP() << "SQLite keeps dates as the text it was given";
    const DefaultLocale english("en-US");
    const DefaultTimeZone amsterdam("Europe/Amsterdam");
    const QString moment = "SELECT TIMESTAMP '2024-02-29 13:45:30.25' AS v";
    struct Case {
        QString pattern;
        QString sql;
        QString shown;
    };
    std::vector<Case> cases{
        {"dd-MM-yyyy HH:mm:ss.S", moment, "29-02-2024 13:45:30.25"},
        {"yyyy-MM-dd'T'HH:mm:ss.SSS", moment, "2024-02-29T13:45:30.250"},
        {"d/M/yy h:mm a", moment, "29/2/24 1:45 PM"},
        {"EEE, d MMM yyyy HH:mm", moment, "Thu, 29 Feb 2024 13:45"},
        {"EEEE d MMMM y G", moment, "Thursday 29 February 2024 AD"},
        {"''yy'' 'o''clock' HH", moment, "'24' o'clock 13"},
        {"D u F k K", moment, "60 4 5 13 1"},
        {"yyyyMMddHHmmssSSSSSS", moment, "20240229134530250000"},
        {"HH:mm:ss.SSSSSSSSSSSS", moment, "13:45:30.250000000"},
        {"HH:mm Z XXX", moment, "13:45 +0000 Z"},
    };
    if (GetParam() == "PostgreSQL")
        cases.push_back({"dd-MM-yyyy HH:mm:ss.S XXX", "SELECT TIMESTAMPTZ '2024-07-01 12:00:00.5+00' AS v",
                         "01-07-2024 14:00:00.5 +02:00"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pattern.toStdString());
        TestRoot root(2000, c.pattern, false);
        ASSERT_TRUE(root.connect(target_, 10, 1)) << root.lastErrorMessage().toStdString();
        ASSERT_TRUE(root.execute(c.sql)) << root.lastErrorMessage().toStdString();
        EXPECT_EQ(row(root.resultset(), 1).value("v").toString(), c.shown);
    }

    const struct {
        QString pattern;
        QString reason;
    } refused[] = {
        {"yyyy-MM-dd x", "Illegal pattern character 'x'"},
        {"dd-MM-yyyy 'at HH", "Unterminated quote"},
        {"HH:mm XXXX", "invalid ISO 8601 format: length=4"},
    };
    for (const auto &r : refused) {
        TestRoot root(2000, r.pattern, false);
        EXPECT_FALSE(root.lastActionSuccessful()) << r.pattern.toStdString();
        EXPECT_EQ(root.lastErrorMessage(),
                  QString("The timestamp format '%1' is not valid: %2").arg(r.pattern, r.reason));
    }
}

// Closing a result whose rows are all read must not send KILL QUERY: it is needless, and one that lands
// late can hit the session's next statement. The driver learns the end of a result only by reading past its
// last row, so a result whose rows end exactly where a portion ends is the case that matters. A result
// closed half-read is still stopped, which shows the server's count sees the driver's KILL QUERY.
TEST_P(BackendResultsetTest, AResultReadToItsEndClosesWithoutStoppingTheServer)
{
    if (GetParam() != "MySQL")
        GTEST_SKIP() << "only MariaDB stops a statement to close its cursor early";
    auto root = connected(1, 0);
    auto observer = connected(1);
    auto kills = [&] {
        EXPECT_TRUE(observer->execute("SHOW GLOBAL STATUS LIKE 'Com_kill'"));
        return row(observer->resultset(), 1).value("Value").toInt();
    };
    struct Case {
        int rows;
        int read;
        bool stopped;
    };
    const Case cases[] = {
        {10, 10, false},
        {100, 100, false}, // exactly the first portion
        {200, 200, false}, // exactly the first two portions
        {1000, 100, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1 rows, %2 read").arg(c.rows).arg(c.read).toStdString());
        // The count is the server's; another test's cancel may land in between, so one round that
        // shows the expected answer out of a few is proof enough, while a wrong close fails every round.
        bool asExpected = false;
        for (int round = 0; round < 3 && !asExpected; round++) {
            const int before = kills();
            ASSERT_TRUE(root->execute(numbers(c.rows))) << root->lastErrorMessage().toStdString();
            const QoJavaObjectPtr rows = root->resultset();
            while (rows->call("rowCount").toInt() < c.read)
                rows->call("preload");
            ASSERT_EQ(rows->call("rowCount").toInt(), c.read);
            root->call("clearResultset");
            ASSERT_TRUE(root->run("SELECT 1"));
            asExpected = (kills() > before) == c.stopped;
        }
        EXPECT_TRUE(asExpected) << (c.stopped ? "a half-read result was not stopped"
                                              : "closing a fully read result sent KILL QUERY");
    }
}

TEST_P(BackendResultsetTest, TheTransactionHeldForStreamingIsNoUncommittedWork)
{
    if (GetParam() != "PostgreSQL")
        GTEST_SKIP() << "only PostgreSQL streams inside a transaction of its own";
    const QString clientName = "Vorn cursor transaction check";
    auto root = connected(1, 0, true, clientName);
    auto observer = connected(1);
    auto inTransaction = [&] {
        EXPECT_TRUE(observer->execute(
            QString("SELECT count(*) AS n FROM pg_stat_activity WHERE application_name = '%1' "
                    "AND state = 'idle in transaction'")
                .arg(clientName)));
        return row(observer->resultset(), 1).value("n").toInt() > 0;
    };
    const std::vector<std::pair<QString, std::function<void()>>> endings{
        {"read to its end", [&] { root->resultset()->call("preload"); }},
        {"cleared", [&] { root->call("clearResultset"); }},
        {"the next statement", [&] { ASSERT_TRUE(root->execute("SELECT 1")); }},
    };
    for (const auto &[ending, end] : endings) {
        SCOPED_TRACE(ending.toStdString());
        ASSERT_TRUE(root->execute(numbers(150)));
        EXPECT_FALSE(root->resultset()->call("fullyLoaded").toBool());
        EXPECT_TRUE(inTransaction());
        EXPECT_FALSE(root->isTrue("dirty"));
        EXPECT_EQ(root->call("dirtySeconds").toInt(), 0);
        end();
        ASSERT_WAIT_FOR(!inTransaction());
        EXPECT_FALSE(root->isTrue("dirty"));
    }
}
