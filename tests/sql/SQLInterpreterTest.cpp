#include "SQLTestSupport.h"

#include "sql/SQLInterpreter.h"

#include <gtest/gtest.h>

namespace
{

using I = SQLInterpreterComponent;

// The text tokenized, with the word MARKER replaced by the auto-completion marker as the
// completion code injects it: one Identifier component.
SQLInterpreterComponentList interpret(const QString &text,
                                      SQLInterpreterCompoundComponentList *tables = nullptr)
{
    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    SQLParserComponentList components = parser.parsedComponentsForString2(text);
    for (auto &component : components) {
        if (component->string() == "MARKER")
            component = SQLParserComponent::componentWithType(
                SQLParserComponent::Identifier, SQLInterpreter::AutoCompleteInjectionIdentifier);
    }
    return SQLInterpreter().interpreteComponents(components, tables);
}

// The nth component with this text.
SQLInterpreterComponentPtr find(const SQLInterpreterComponentList &components, const QString &text,
                                int nth = 0)
{
    for (const auto &c : components) {
        if (c->text() == text && nth-- == 0)
            return c;
    }
    return nullptr;
}

struct Expect {
    QString text;
    int nth;
    quint64 role;
    QString refers = {}; // text of what it refers to; "" for nothing, "(" for a group
    qint64 term = -1;    // -1: not checked
    QString flags = "?"; // the set clause flags among "sfwgo", "?" not checked
};

QString flagsOf(const I &c)
{
    QString flags;
    if (c.inSelectClause())
        flags += 's';
    if (c.inFromClause())
        flags += 'f';
    if (c.inWhereClause())
        flags += 'w';
    if (c.inGroupBy())
        flags += 'g';
    if (c.inOrderBy())
        flags += 'o';
    return flags;
}

QString refersText(const I &c)
{
    if (!c.refers())
        return QString();
    return c.refers()->isCompound() ? QStringLiteral("(") : c.refers()->text();
}

void expectRoles(const QString &statement, const std::vector<Expect> &expectations)
{
    const SQLInterpreterComponentList components = interpret(statement);
    for (const Expect &e : expectations) {
        const auto c = find(components, e.text, e.nth);
        ASSERT_TRUE(c) << statement.toStdString() << ": no «" << e.text.toStdString() << "» #" << e.nth;
        const std::string where =
            statement.toStdString() + ": «" + e.text.toStdString() + "» #" + std::to_string(e.nth);
        EXPECT_EQ(qint64(c->interpreterComponentType()), qint64(e.role)) << where;
        EXPECT_EQ(refersText(*c), e.refers) << where;
        if (e.term >= 0) {
            EXPECT_EQ(c->termPosition(), e.term) << where;
        }
        if (e.flags != "?") {
            EXPECT_EQ(flagsOf(*c), e.flags) << where;
        }
    }
}

TEST(SQLInterpreter, SelectWithAliasesSchemaWhereTermsAndOrderBy)
{
    expectRoles("select a, b.c x from s.t b where a = :p order by 1", {{"select", 0, I::Select},
                                                                       {"a", 0, I::ColumnName, "", 0, "s"},
                                                                       {"b", 0, I::TableAlias, "t"},
                                                                       {"c", 0, I::ColumnName, "b", 1, "s"},
                                                                       {"x", 0, I::ColumnNameAlias, "c"},
                                                                       {"from", 0, I::From},
                                                                       {"s", 0, I::SchemaName},
                                                                       {"t", 0, I::TableName, "s"},
                                                                       {"b", 1, I::TableAlias, "t"},
                                                                       {"where", 0, I::Where},
                                                                       {"a", 1, I::ColumnName, "", 0, "w"},
                                                                       {"=", 0, I::Comparison},
                                                                       {":p", 0, I::ColumnName, "", 1, "w"},
                                                                       {"order", 0, I::GroupOrOrder},
                                                                       {"by", 0, I::By},
                                                                       {"1", 0, I::None}});
    expectRoles("select a from t where b = 1 and c > 2 group by a order by a desc",
                {{"b", 0, I::ColumnName, "", 0, "w"},
                 {"and", 0, I::Junction},
                 {"c", 0, I::ColumnName, "", 0, "w"},
                 {"a", 1, I::ColumnName, "", 0, "g"},
                 {"a", 2, I::ColumnName, "", 0, "o"},
                 {"desc", 0, I::SortOrder}});
}

TEST(SQLInterpreter, KeywordsInAnyLetterCaseButOnlyWholeWords)
{
    expectRoles("SeLeCt a FROM t WHERE b In (1) aNd selected = orders", {{"SeLeCt", 0, I::Select},
                                                                         {"FROM", 0, I::From},
                                                                         {"t", 0, I::TableName},
                                                                         {"WHERE", 0, I::Where},
                                                                         {"In", 0, I::In},
                                                                         {"aNd", 0, I::Junction},
                                                                         {"selected", 0, I::ColumnName},
                                                                         {"orders", 0, I::ColumnName}});
}

TEST(SQLInterpreter, JoinsAndNamesAfterOn)
{
    expectRoles("select * from a join b on a.id = b.id", {{"*", 0, I::ColumnName, "", -1, "s"},
                                                          {"a", 0, I::TableName},
                                                          {"join", 0, I::Join},
                                                          {"b", 0, I::TableName},
                                                          {"on", 0, I::On},
                                                          {"a", 1, I::Prefix},
                                                          {"id", 0, I::ColumnName, "a"},
                                                          {"b", 1, I::Prefix}});
    expectRoles("select x.n from t x left outer join u y using (k)", {{"x", 0, I::TableAlias, "t"},
                                                                      {"t", 0, I::TableName},
                                                                      {"x", 1, I::TableAlias, "t"},
                                                                      {"left", 0, I::JoinPrefix},
                                                                      {"outer", 0, I::JoinPrefix},
                                                                      {"u", 0, I::TableName},
                                                                      {"y", 0, I::TableAlias, "u"},
                                                                      {"using", 0, I::On}});
}

TEST(SQLInterpreter, InsertUpdateAndDDL)
{
    expectRoles(
        "update t set a = 1",
        {{"update", 0, I::Update}, {"t", 0, I::TableName}, {"set", 0, I::Set}, {"a", 0, I::ColumnName}});
    expectRoles("update t x set a = 1", {{"x", 0, I::TableAlias, "t"}, {"set", 0, I::Set}});
    expectRoles("insert into t (a, b) values (1, 2)", {{"insert", 0, I::Insert},
                                                       {"into", 0, I::Into},
                                                       {"t", 0, I::TableName},
                                                       {"values", 0, I::Values},
                                                       {"a", 0, I::ColumnName},
                                                       {"b", 0, I::ColumnName}});
    expectRoles("insert t values (1)", {{"t", 0, I::Into}});
    expectRoles("create table foo (id int)",
                {{"create", 0, I::DDLVerb}, {"table", 0, I::ObjectKind}, {"foo", 0, I::TableName, "table"}});
    expectRoles("drop index ix", {{"drop", 0, I::DDLVerb}, {"ix", 0, I::ObjectName, "index"}});
    expectRoles("create view v as select 1", {{"v", 0, I::TableName, "view"}, {"as", 0, I::TableDefinition}});
    expectRoles("create index ix on t (a)", {{"ix", 0, I::ObjectName, "index"}, {"on", 0, I::On}});

    SQLInterpreterCompoundComponentList tables;
    interpret("insert into t (a, b) values (1, 2)", &tables);
    EXPECT_TRUE(tables.isEmpty()) << "a column list after INTO is no table";
}

TEST(SQLInterpreter, FunctionCallsAndGroups)
{
    expectRoles("select max(x) m from t",
                {{"max", 0, I::FunctionCall}, {"m", 0, I::ColumnNameAlias, "max"}, {"x", 0, I::ColumnName}});

    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    SQLInterpreter interpreter;
    SQLInterpreterComponentList flat;
    for (const auto &c : parser.parsedComponentsForString2("select max(x) from t"))
        flat.append(std::make_shared<I>(c));
    const auto root = interpreter.interpreteCompoundComponents(flat);
    interpreter.interpreteCompound(root);
    ASSERT_EQ(root->subcomponents().size(), 1);
    const auto statement =
        std::static_pointer_cast<SQLInterpreterCompoundComponent>(root->subcomponents().first());
    const auto group = std::find_if(statement->subcomponents().cbegin(), statement->subcomponents().cend(),
                                    [](const auto &c) { return c->isCompound(); });
    ASSERT_NE(group, statement->subcomponents().cend());
    EXPECT_EQ((*group)->refers(), flat.at(2)) << "the group refers to its function name";
    const auto &inner = std::static_pointer_cast<SQLInterpreterCompoundComponent>(*group);
    EXPECT_EQ(inner->compoundStart(), "(");
    EXPECT_EQ(inner->compoundEnd(), ")");
    EXPECT_EQ(inner->descriptionCompact(), "(x)");
    EXPECT_EQ(statement->descriptionCompact(), "select max[COMP] from t");
    EXPECT_EQ(root->componentCount(), 10);
}

TEST(SQLInterpreter, SubSelectsAfterFromJoinOrCommaAreTables)
{
    SQLInterpreterCompoundComponentList tables;
    const auto components =
        interpret("select s.a from (select a from t) s, u join (select 1) j on j.x = s.a", &tables);
    ASSERT_EQ(tables.size(), 2);
    const auto s = find(components, "s", 1);
    EXPECT_EQ(s->interpreterComponentType(), quint64(I::TableAlias));
    EXPECT_EQ(s->referingTable(), tables.at(0));
    EXPECT_EQ(find(components, "s", 0)->referingTable(), tables.at(0)) << "the alias used as prefix";
    EXPECT_EQ(find(components, "u")->interpreterComponentType(), quint64(I::TableName));
    EXPECT_EQ(find(components, "t")->interpreterComponentType(), quint64(I::TableName));
    EXPECT_EQ(find(components, "j", 0)->referingTable(), tables.at(1));
    EXPECT_EQ(find(components, "a", 0)->referingTable(), tables.at(0));
}

TEST(SQLInterpreter, AliasesOneLevelOutAndUnknownPrefixes)
{
    expectRoles("select (select t2.a from t2 where t2.b = x.b) from t1 x", {{"t2", 0, I::Prefix},
                                                                            {"t2", 1, I::TableName},
                                                                            {"x", 0, I::TableAlias, "t1"},
                                                                            {"x", 1, I::TableAlias, "t1"}});
    expectRoles("select \"Q\".a, q.b from t \"Q\"", {{"\"Q\"", 0, I::TableAlias, "t"}, {"q", 0, I::Prefix}});
}

TEST(SQLInterpreter, InjectionMarkerTakesTheRoleOfAPlainName)
{
    const QString m = SQLInterpreter::AutoCompleteInjectionIdentifier;
    EXPECT_EQ(m, "28392381_39039_3290032930SQL_AUTO_COMPLETE_INJECTION_IDENTIFIER28392381_39039_3290032930");
    expectRoles("select MARKER from t", {{m, 0, I::ColumnName, "", 0, "s"}});
    expectRoles("select a from MARKER", {{m, 0, I::TableName}});
    expectRoles("select a from t where b = 1 and MARKER", {{m, 0, I::ColumnName, "", 0, "w"}});
    expectRoles("select x.MARKER from t x", {{m, 0, I::ColumnName, "x"}});
    const auto components = interpret("select x.MARKER from t x");
    EXPECT_EQ(find(components, m)->referingTable(), find(components, "t"));
    expectRoles("update t set MARKER", {{m, 0, I::ColumnName}});
    expectRoles("insert into MARKER", {{m, 0, I::TableName}});
    expectRoles("select a from t join MARKER", {{m, 0, I::TableName}});
    expectRoles("select a from t order by MARKER", {{m, 0, I::ColumnName, "", 0, "o"}});
}

TEST(SQLInterpreter, EveryParserComponentGetsOneInterpreterComponentInOrder)
{
    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    const auto parsed = parser.parsedComponentsForString2("select a -- c\n, (b)) x\n\nfrom t;");
    const auto components = SQLInterpreter().interpreteComponents(parsed);
    ASSERT_EQ(components.size(), parsed.size());
    for (qsizetype k = 0; k < parsed.size(); ++k)
        EXPECT_EQ(components.at(k)->parserComponent(), parsed.at(k));

    EXPECT_TRUE(SQLInterpreter().interpreteComponents({}).isEmpty());
    EXPECT_TRUE(SQLInterpreter().interpreteCompoundComponents({})->subcomponents().isEmpty());
}

} // namespace
