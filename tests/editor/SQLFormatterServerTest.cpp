// The formatter lays a statement out without changing what the server reads: the real PostgreSQL and
// MariaDB servers accept the formatted text exactly when they accept the original. Statements are only
// prepared, never run. Tables carry the prefix vfs_ and live only as long as the test's session.
#include "../backend/BackendTestSupport.h"
#include "TestServers.h"

#include "client/SqlConnectionClient.h"
#include "client/VornRootClient.h"
#include "sql/SQLInterpreter.h"
#include "sql/SQLParser.h"

#include <QDir>
#include <gtest/gtest.h>

#include <functional>

namespace
{

struct Sample {
    QString statement;
    bool accepted;
};

// How one server checks a statement without running it: prepared under a name, then dropped again.
struct ServerDialect {
    QString type;
    SQLParserParseProperties properties;
    QStringList fixture;
    std::function<QString(const QString &statement)> prepare;
    QString deallocate;
};

QString formatted(const QString &statement, const SQLParserParseProperties &properties)
{
    SQLParser parser;
    parser.setParseProperties(properties);
    return SQLInterpreter().formatComponents(parser.parsedComponentsForString2(statement));
}

QString visible(QString text)
{
    return text.replace(u'\n', QStringLiteral("\\n")).replace(u'\t', QStringLiteral("\\t"));
}

class SQLFormatterServerTest : public ::testing::Test
{
protected:
    // A root connected in auto-commit mode to the server, with the dialect's fixture tables made.
    static VornRootClientPtr connectedRoot(const DatabaseTarget &target, const ServerDialect &dialect)
    {
        startedBackend();
        VornRootClientPtr root = VornRootClient::create();
        if (!root)
            return nullptr;
        root->initRoot({QDir::tempPath()});
        const BackendOutcome connected =
            root->startNewConnection({target.server, target.port, target.database, target.user,
                                      target.password, target.type, QStringLiteral("Vorn test"), 10, 1});
        EXPECT_TRUE(connected.successful) << connected.errorMessage.toStdString();
        for (const QString &statement : dialect.fixture)
            EXPECT_TRUE(run(*root, statement)) << statement.toStdString();
        return root;
    }

    // Whether the server accepts the statement, with its complaint when it does not.
    static BackendOutcome verdict(VornRootClient &root, const ServerDialect &dialect,
                                  const QString &statement)
    {
        const BackendOutcome prepared = run(root, dialect.prepare(statement));
        if (prepared) {
            EXPECT_TRUE(run(root, dialect.deallocate));
        }
        return prepared;
    }

    // Formats each sample and has the server judge both texts.
    static void expectSameVerdicts(VornRootClient &root, const ServerDialect &dialect,
                                   const std::vector<Sample> &samples)
    {
        for (const Sample &sample : samples) {
            const QString layout = formatted(sample.statement, dialect.properties);
            SCOPED_TRACE("«" + visible(sample.statement).toStdString() + "» formatted «" +
                         visible(layout).toStdString() + "»");
            const BackendOutcome before = verdict(root, dialect, sample.statement);
            ASSERT_EQ(before.successful, sample.accepted)
                << "the sample itself: " << before.errorMessage.toStdString();
            const BackendOutcome after = verdict(root, dialect, layout);
            EXPECT_EQ(after.successful, sample.accepted) << after.errorMessage.toStdString();
        }
    }

private:
    static BackendOutcome run(VornRootClient &root, const QString &sql)
    {
        root.sqlConnection()->executeQuery(sql, {});
        return root.lastOutcome();
    }
};

TEST_F(SQLFormatterServerTest, PostgreSQLReadsTheFormattedTextAsTheOriginal)
{
    const ServerDialect postgres{
        "PostgreSQL",
        SQLParserParseProperties::postgreSQLParseProperties(),
        {"CREATE TEMPORARY TABLE vfs_orders (id int PRIMARY KEY, customer text, total numeric, placed date, "
         "tags text[])"},
        [](const QString &statement) { return "PREPARE vfs_check AS " + statement; },
        "DEALLOCATE vfs_check",
    };
    const std::optional<DatabaseTarget> target = serverTarget(postgres.type);
    VORN_REQUIRE_SERVER(target, "PostgreSQL");
    VornRootClientPtr root = connectedRoot(*target, postgres);
    ASSERT_NE(root, nullptr);
    const std::vector<Sample> samples{
        {"select customer, count(*) as n, sum(total) from vfs_orders where placed > date '2024-01-01' "
         "group by customer having count(*) > 1 order by n desc",
         true},
        {"select 1.5e+3, 1e-3, .5E+2, 2.5*-1, 7 / 2", true},
        {"select U&'d\\0061t', U&'d!0061t' UESCAPE '!', U&\"customer\" from vfs_orders", true},
        {"select $$a  b$$, $body$ begin; return 1;  end $body$, $$it's$$, $q$$$ x $q$", true},
        {"select id from --\tthe table\nvfs_orders", true},
        {"select id -- first\n, total --\tsecond\n, customer from vfs_orders /* closing\n */", true},
        {"select x::int, '1'::numeric(10, 2), cast(total as text) from (select '7' as x, total from "
         "vfs_orders) s",
         true},
        {"select tags[1:2], tags[1], (array[1, 2, 3])[2:3], tags[:1] from vfs_orders", true},
        {"select E'it\\'s\\n  here', e'\\\\', 'C:\\' from vfs_orders", true},
        {"select a /* outer /* inner */ still; comment */ from (select 1 as a) t", true},
        {"select $1 + 1, $2::text", true},
        {"select 'a' || 'b', 2 ^ 3, 5 % 2, 1 <> 2, 'x' ~* 'X', tags @> array['a'], -total from vfs_orders",
         true},
        {"select customer, count(*) over (partition by customer order by placed rows between 1 preceding and "
         "current row) from vfs_orders",
         true},
        {"with recent as (select * from vfs_orders where placed >= current_date - 30) select customer, "
         "max(total) from recent group by customer",
         true},
        {"insert into vfs_orders (id, customer, total) values (1, 'it''s', 2.5) on conflict (id) do update "
         "set total = excluded.total returning id",
         true},
        {"update vfs_orders o set total = o.total * 1.1 from (select id from vfs_orders where customer like "
         "'A%') s where s.id = o.id",
         true},
        {"delete from vfs_orders where id in (select id from vfs_orders where total < 0) and customer <> 'x'",
         true},
        {"select count(* from vfs_orders", false},
        {"select id from vfs_orders where", false},
        {"select 1.5e from vfs_orders", false},
        {"select id from vfs_missing", false},
        {"select id from --\tthe table vfs_orders", false},
        {"select $$unterminated from vfs_orders", false},
    };
    expectSameVerdicts(*root, postgres, samples);
}

TEST_F(SQLFormatterServerTest, MariaDBReadsTheFormattedTextAsTheOriginal)
{
    const ServerDialect mariadb{
        "MySQL",
        SQLParserParseProperties::mySQLParseProperties(),
        // The driver asks for IGNORE_SPACE when it connects; in the server's own mode, as other clients read,
        // count (*) is an error, and max (x) names a stored function rather than the aggregate.
        {"SET SESSION sql_mode = @@GLOBAL.sql_mode",
         "CREATE TEMPORARY TABLE vfs_orders (id int PRIMARY KEY, customer varchar(40), total decimal(10, 2), "
         "placed date)"},
        [](const QString &statement) {
            QString quoted = statement;
            quoted.replace("\\", "\\\\").replace("'", "''");
            return "PREPARE vfs_check FROM '" + quoted + "'";
        },
        "DEALLOCATE PREPARE vfs_check",
    };
    const std::optional<DatabaseTarget> target = serverTarget(mariadb.type);
    VORN_REQUIRE_SERVER(target, "MariaDB");
    VornRootClientPtr root = connectedRoot(*target, mariadb);
    ASSERT_NE(root, nullptr);
    const std::vector<Sample> samples{
        {"select customer, count(*) as n, sum(total) from vfs_orders where placed > '2024-01-01' group by "
         "customer having count(*) > 1 order by n desc",
         true},
        {"select 1.5e+3, 1e-3, .5E+2, 2.5*-1, 7 / 2", true},
        {"select @a := 1, @a + 1, @@session.sql_mode, @`odd name`", true},
        {"select id from --\tthe table\nvfs_orders", true},
        {"select id -- first\n, total #\tsecond\n, customer from vfs_orders /* closing\n */", true},
        {"select 1 /*!40101 + 1 */, /*!50000 2, */ 3", true},
        {"/*!40101 select id from vfs_orders */", true},
        {"select _utf8mb4'x', _latin1'y' collate latin1_bin, N'z', X'41', 0x41, b'01'", true},
        {"select `customer`, \"x\", 'say \"hi\"', 'a\\'b', \"it's\" from vfs_orders", true},
        {"insert into vfs_orders (id, customer, total) values (1, 'it''s', 2.5), (2, 'back\\\\slash', 3) on "
         "duplicate key update total = values(total)",
         true},
        {"update vfs_orders set total = total * 1.1 where customer like 'A%' and id between 1 and 10 order "
         "by "
         "id limit 5",
         true},
        {"select a.id, b.customer from vfs_orders a join vfs_orders b on a.id = b.id left outer join (select "
         "id, max(total) m from vfs_orders group by id) c on c.id = a.id where a.total >= 1 and b.total <=> "
         "c.m",
         true},
        {"select case when total > 10 then 'big' else 'small' end, coalesce(customer, 'none') from "
         "vfs_orders "
         "# hash comment",
         true},
        {"with recursive c(n) as (select 1 union all select n + 1 from c where n < 5) select n from c", true},
        {"select total div 2, total mod 2, 1 << 2, 5 & 3, ~1, 1 xor 0, !0, 1 || 0, --1 from vfs_orders",
         true},
        {"select count(* from vfs_orders", false},
        {"select count (*) from vfs_orders", false},
        {"select id from vfs_orders where", false},
        {"select 1.5e + 3 from vfs_orders", false},
        {"select id from vfs_missing", false},
        {"select id from --\tthe table vfs_orders", false},
    };
    expectSameVerdicts(*root, mariadb, samples);
}

} // namespace
