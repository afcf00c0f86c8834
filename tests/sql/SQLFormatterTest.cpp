#include "SQLTestSupport.h"

#include "sql/SQLInterpreter.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

using C = SQLParserComponent;

SQLParser parserFor(Dialect dialect)
{
    SQLParser parser;
    parser.setParseProperties(propertiesFor(dialect));
    return parser;
}

QString format(const QString &statement, Dialect dialect = Dialect::Default)
{
    return SQLInterpreter().formatComponents(parserFor(dialect).parsedComponentsForString2(statement));
}

TEST(SQLFormatter, ShortStatementsStayOnOneLine)
{
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"select   a ,b from t", "select a, b from t"},
        {"select max ( x ) from t", "select max(x) from t"},
        {"select a.b from t", "select a.b from t"},
        {"select\n  a\n  from t ;", "select a from t ;"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(format(input), expected) << visible(input).toStdString();
}

TEST(SQLFormatter, LongStatementsBreakByClauseAndDepth)
{
    EXPECT_EQ(
        format("select first_column, second_column, third_column from some_table where first_column = 1"),
        "select\n\tfirst_column,\n\tsecond_column,\n\tthird_column\nfrom\n\tsome_table\nwhere\n\tfirst_"
        "column = 1");
    // A line comment stays on the line it followed; the break comes after it.
    EXPECT_EQ(format("select first_column, -- note\nsecond_column, third_column from some_table where x = 1"),
              "select\n\tfirst_column, -- "
              "note\n\tsecond_column,\n\tthird_column\nfrom\n\tsome_table\nwhere\n\tx = 1");
    EXPECT_EQ(format("update some_table set first_column = 1, second_column = 2 where third_column = 3"),
              "update some_table\n\tset first_column = 1,\n\tsecond_column = 2\nwhere\n\tthird_column = 3");
    EXPECT_EQ(format("create table t (a int)"), "create table t (a int)");
    EXPECT_EQ(format("create table some_table (first_column integer not null, second_column varchar(20))"),
              "create table some_table (\n\tfirst_column integer not null,\n\tsecond_column varchar(20)\n)");
}

TEST(SQLFormatter, CaseAndSubSelects)
{
    EXPECT_EQ(format("select case when a = 1 then 'one' when a = 2 then 'two' else 'many' end as n from t"),
              "select\n\tcase when a = 1 then 'one'\n\t\twhen a = 2 then 'two'\n\t\telse 'many' end as "
              "n\nfrom\n\tt");
    EXPECT_EQ(format("select a from (select b from some_long_table_name where c = 1) x where a > 1"),
              "select\n\ta\nfrom\n\t(\n\t\tselect\n\t\t\tb\n\t\tfrom\n\t\t\tsome_long_table_"
              "name\n\t\twhere\n\t\t\tc = 1\n\t) x\n"
              "where\n\ta > 1");
}

// What a blank would change: operators that touched, a MySQL dash run, quoted text and numbers
// that touched, and a "." beside a number that stood apart.
TEST(SQLFormatter, KeepsTogetherWhatABlankWouldChange)
{
    struct Case {
        Dialect dialect;
        QString input;
        QString expected;
    };
    const Case cases[] = {
        {Dialect::Default, "select a<>b from t", "select a <> b from t"},
        {Dialect::Default, "select a||b from t", "select a || b from t"},
        {Dialect::Default, "select x::int from t", "select x :: int from t"},
        {Dialect::Default, "select a:=b, c=>d, e->f, g>>h, i&&j, k@>l, m~*n",
         "select a := b, c => d, e -> f, g >> h, i && j, k @> l, m ~* n"},
        {Dialect::MySQL, "select --x from t", "select --x from t"},
        {Dialect::MySQL, "select a --\tb from t", "select a --\tb from t"},
        {Dialect::Default, "select 1 . x from t", "select 1 .x from t"},
        {Dialect::Default, "select x . 1 from t", "select x. 1 from t"},
        {Dialect::Default, "select 'it''s', N'x', 1e5, \"a\"\"b\" from t",
         "select 'it''s', N'x', 1e5, \"a\"\"b\" from t"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(format(c.input, c.dialect), c.expected) << c.input.toStdString();
}

// What the server would read differently: a call name apart from its "(" (MariaDB rejects
// count (*)), a split exponent, a variable apart from its sigil, a MySQL line comment opened by a
// tab or carriage return that took the next line into it, a Unicode-escape string taken apart.
TEST(SQLFormatter, KeepsWhatTheServerReadsAsOneUnit)
{
    struct Case {
        Dialect dialect;
        QString input;
        QString expected;
    };
    const Case cases[] = {
        {Dialect::MySQL, "select count(*) from t", "select count(*) from t"},
        {Dialect::Default, "select count(distinct a), \"f\"(1) from t",
         "select\n\tcount(distinct a),\n\t\"f\"(1)\nfrom\n\tt"},
        {Dialect::Default, "select 1.5e+3, 1e-3, .5E+2 from t", "select 1.5e+3, 1e-3, .5E+2 from t"},
        {Dialect::MySQL, "select 1.5e+3, 2 e + 3 from t", "select 1.5e+3, 2 e + 3 from t"},
        {Dialect::MySQL, "select @a := 1, @@session.x, @`q`", "select @a := 1, @@session.x, @`q`"},
        {Dialect::MySQL, "select _utf8mb4'x', 'u'@'h'", "select _utf8mb4'x', 'u'@'h'"},
        {Dialect::Default, "select $1 + $2 from t", "select $1 + $2 from t"},
        {Dialect::MySQL, "select a --\tcomment\nfrom t", "select a --\tcomment\nfrom t"},
        {Dialect::MySQL, "select a --\r\nfrom t", "select a --\r\nfrom t"},
        {Dialect::MySQL, "select a --\t(x, y\n, b from t", "select\n\ta --\t(x, y\n\t, b from t"},
        {Dialect::Default, "select U&'d\\0061t' UESCAPE '!', U&\"d\\0061t\" from t",
         "select U&'d\\0061t' UESCAPE '!', U&\"d\\0061t\" from t"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(format(c.input, c.dialect), c.expected)
            << dialectName(c.dialect) << " " << visible(c.input).toStdString();
}

// The broken-up layout keeps them too, and puts its line break after a MySQL line comment.
TEST(SQLFormatter, LongStatementsKeepWhatTheServerReadsAsOneUnit)
{
    EXPECT_EQ(format("select count(*), first_column --\tnote\n, @total := 1.5e+3 from some_long_table_name",
                     Dialect::MySQL),
              "select\n\tcount(*),\n\tfirst_column --\tnote\n\t,\n\t@total := 1.5e+3\nfrom\n\tsome_long_"
              "table_name");
}

// Formatting only changes blanks and line breaks: tokenizing the result gives the input's
// components, and whatever touched in the input and must stay together still touches.
void expectSameComponents(const QString &statement, Dialect dialect, const std::string &context)
{
    SQLParser parser = parserFor(dialect);
    const SQLParserComponentList input = parser.parsedComponentsForString2(statement);
    const QString formatted = SQLInterpreter().formatComponents(input);
    const SQLParserComponentList output = parser.parsedComponentsForString2(formatted);

    const auto significant = [](const SQLParserComponentList &components) {
        std::vector<std::pair<qsizetype, SQLParserComponentPtr>> result;
        for (qsizetype k = 0; k < components.size(); ++k) {
            const quint64 type = components.at(k)->parserComponentType();
            if (type != C::Whitespace && type != C::Newline)
                result.emplace_back(k, components.at(k));
        }
        return result;
    };
    const auto before = significant(input);
    const auto after = significant(output);
    const auto describeAll = [&] {
        return context + "\n  input  «" + visible(statement).toStdString() + "»\n  output «" +
               visible(formatted).toStdString() + "»";
    };
    ASSERT_EQ(before.size(), after.size()) << describeAll();
    const auto isOperator = [](const SQLParserComponent &c) {
        static const QStringList punctuation = {",", "(", ")", ";", "."};
        return c.parserComponentType() == C::None && !punctuation.contains(c.string());
    };
    for (size_t k = 0; k < before.size(); ++k) {
        ASSERT_EQ(before[k].second->parserComponentType(), after[k].second->parserComponentType())
            << describeAll();
        ASSERT_EQ(before[k].second->string(), after[k].second->string()) << describeAll();
        if (k + 1 < before.size() && before[k + 1].first == before[k].first + 1 &&
            isOperator(*before[k].second) && isOperator(*before[k + 1].second)) {
            ASSERT_EQ(after[k + 1].first, after[k].first + 1) << "operators came apart: " << describeAll();
        }
        const quint64 type = before[k].second->parserComponentType();
        if (k + 1 < before.size() && before[k + 1].first == before[k].first + 1 &&
            (type == C::Identifier || type == C::QuotedIdentifier) && before[k + 1].second->string() == "(") {
            ASSERT_EQ(after[k + 1].first, after[k].first + 1) << "a name left its (: " << describeAll();
        }
    }
    EXPECT_EQ(SQLInterpreter().formatComponents(output), formatted) << "not stable: " << describeAll();
}

TEST(SQLFormatter, FormattingKeepsTheComponentsOfRealStatements)
{
    const QStringList statements = {
        "select c.id, c.name, sum(o.total) as total from customers c join orders o on o.customer_id = c.id "
        "where c.name like 'A%' and o.placed > :since /* recent */ group by c.id, c.name order by total "
        "desc;",
        "SELECT e.*, d.name FROM emp e LEFT OUTER JOIN dept d USING (deptno) WHERE e.sal>=1000 AND e.comm<>0",
        "select case when x::numeric > 1.5 then 'big' else 'small' end, coalesce(a,b)||'-'||c from s.t",
        "insert into t (a, b, c) values (1, 'two', :three), (4, 'it''s', null);",
        "update accounts set balance = balance - 100.00 where id = 7 and not locked -- keep it short",
        "select * from (select a, count(*) n from t group by a) x where x.n > 1 order by 2 desc",
        "create index ix_orders_customer on orders (customer_id, placed desc)",
        "select `weird col`, \"dq\" from `db`.`tbl` where a <=> b and c := 5 # mysql comment",
        "select 1 . x, x . 1, 1.e5, -.5, --1\n from dual",
        "select a from t where b in (select b from u where u.c = t.c and u.d between 1 and 10)",
        "select count(*), count(distinct a), 1.5e+3, 2E-7, .5e+2, @a := @a + 1, @@session.sql_mode from t",
        "select name, rank() over (partition by dept order by sal desc rows between 1 preceding and current "
        "row) r from emp window w as (order by sal)",
        "select a --\tnot sql\n, b --\r\n, c -- spaced\n, d # hash\n, e /* block\n */ from t",
        "select U&'d\\0061t' UESCAPE '!', U&\"col\", $1, _utf8mb4'x', 'u'@'localhost', 'say \"hi\"' from t",
        "select case x when 1 then 'a''b' else (select max(y) from u) end from t1 inner join t2 on t1.a=t2.a",
    };
    for (const Dialect dialect : {Dialect::Default, Dialect::MySQL})
        for (const QString &statement : statements)
            expectSameComponents(statement, dialect, std::string("dialect ") + dialectName(dialect));
}

TEST(SQLFormatter, FormattingKeepsTheComponentsOfGeneratedStatements)
{
    static const QStringList pieces = {
        "select", "from",   "where", "and",    "or",     "join",    "on",     "group", "order",
        "by",     "insert", "into",  "values", "update", "set",     "create", "table", "case",
        "when",   "else",   "end",   "a",      "b1",     "x_y",     " ",      " ",     " ",
        "\t",     "1",      "2.5",   ".",      ",",      "(",       ")",      ";",     "=",
        "<",      ">",      "!",     "|",      ":",      ":p",      "-",      "+",     "*",
        "/",      "@",      "~",     "&",      "'s'",    "'it''s'", "\"q\"",  "`m`",   "/* c */",
        "-- c\n", "#",      "N'x'",  "count(", "f(",     "e",       "1.5e+3", "@",     "@a",
        ":=",     "$1",     "U&'x'", "--\t",   "--",     "\n",      "\r\n",   "_"};
    for (const Dialect dialect : {Dialect::Default, Dialect::MySQL}) {
        for (quint32 seed = 1; seed <= 1500; ++seed) {
            QRandomGenerator random(seed);
            QString statement;
            const int count = random.bounded(1, 40);
            for (int k = 0; k < count; ++k)
                statement += pieces.at(random.bounded(pieces.size()));
            expectSameComponents(statement, dialect,
                                 std::string("dialect ") + dialectName(dialect) + " seed " +
                                     std::to_string(seed));
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

} // namespace
