#include "EditorTestSupport.h"

#include "editor/SQLCompletion.h"
#include "editor/SQLEditorTextStorage.h"

#include <gtest/gtest.h>

#include <optional>

using namespace EditorTestSupport;

namespace
{

// Answers every question with a word that tells what was asked.
class EchoSource : public SQLCompletionSource
{
public:
    QStringList autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &kind) override
    {
        return {kind + QStringLiteral("_OBJECT")};
    }
    QStringList autoCompleteNeedsTableAndViewNamesForAutoComplete() override
    {
        return {QStringLiteral("DEPT"), QStringLiteral("EMP")};
    }
    QStringList autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &schema) override
    {
        return {schema + QStringLiteral(".T1")};
    }
    QStringList autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
        const QStringList &tables, bool restrictedToTables,
        const std::optional<QList<SQLCompletionAlias>> &usedAliases) override
    {
        QString asked = QStringLiteral("COLUMNS(%1%2").arg(tables.join(u','), restrictedToTables ? "|r" : "");
        if (usedAliases) {
            asked += QStringLiteral("|aliases");
            for (const SQLCompletionAlias &alias : *usedAliases)
                asked += QStringLiteral(" %1=%2").arg(alias.alias, alias.refers);
        }
        return {asked + u')'};
    }
};

class SQLCompletionTest : public ::testing::Test
{
protected:
    void SetUp() override { writeDefaultPreferences(); }

    // The text with "|" marking the caret; answers the caret's index.
    qint64 load(QString text)
    {
        const qint64 caret = text.indexOf(u'|');
        text.remove(caret, 1);
        storage.replaceContents(text);
        return caret;
    }

    SQLEditorTextStorage storage;
    EchoSource source;
    SQLCompletion completion{storage, &source};
};

const QStringList whereWords = {"between", "or", "and", "like", "is null", "not"};

struct SuggestionCase {
    const char *text;
    QStringList words;
    // The stretch a choice replaces, relative to the caret: start offset and length.
    std::optional<std::pair<qint64, qint64>> replaced;
};

TEST_F(SQLCompletionTest, SuggestsWordsByClauseAndRole)
{
    const QStringList keywords = SQLCompletion::statementKeywords;
    const SuggestionCase cases[] = {
        {"|", keywords, {{0, 0}}},
        {"SEL|", keywords, {{-3, 3}}},
        {"se|lect * from emp", keywords, {{-2, 6}}},
        {"-- only a note\n|", keywords, {}},
        {"select a -- no|te\nfrom emp", {}, {}},
        {"select a /* no|te */ from emp", {}, {{0, 0}}},
        {"select * from emp where ename = 'SM|ITH'", {}, {{0, 0}}},
        {"select * from emp where empno = 73|69", {}, {{0, 0}}},
        {"select * from emp where ename = 'SMITH'|", {}, {{-7, 7}}},
        {"select |", {"distinct", "count", "COLUMNS()"}, {{0, 0}}},
        {"select a |", {"from"}, {{0, 0}}},
        {"select a from emp order by a |", {"asc", "desc"}, {{0, 0}}},
        {"select * from |", {"DEPT", "EMP"}, {{0, 0}}},
        {"select * from em|", {"DEPT", "EMP"}, {{-2, 2}}},
        {"select * from sch.|", {"sch.T1"}, {{0, 0}}},
        {"select * from emp e |", SQLCompletion::aliasFollowers, {{0, 0}}},
        {"select * from emp e left |", {"outer join"}, {{0, 0}}},
        {"select * from emp e inner |", {"join"}, {{0, 0}}},
        {"select e.| from emp e", {"COLUMNS(emp|r)"}, {{0, 0}}},
        {"select e.en| from emp e", {"COLUMNS(emp|r)"}, {{-2, 2}}},
        {"select x.| from emp", {"COLUMNS(x|r)"}, {{0, 0}}},
        {"select s.| from (select a, b bee, c from t) s", {"a", "c", "bee"}, {{0, 0}}},
        {"select * from emp where |", whereWords + QStringList{"COLUMNS(emp|r)"}, {{0, 0}}},
        {"select * from emp where  |  ename = 1", whereWords + QStringList{"COLUMNS(emp|r)"}, {{0, 0}}},
        {"select * from emp e, dept d where |",
         whereWords + QStringList{"COLUMNS(emp,dept|r)", "e", "d"},
         {{0, 0}}},
        {"select * from emp e, dept d where e.|", {"COLUMNS(emp|r|aliases e=emp d=dept)"}, {{0, 0}}},
        {"select * from emp e, dept d where a = 1 and e.|",
         {"COLUMNS(emp|r|aliases e=emp d=dept)"},
         {{0, 0}}},
        {"select * from emp e, dept d where a = e.|", {"COLUMNS(emp|r)"}, {{0, 0}}},
        {"select count(|", {"distinct", "count", "COLUMNS(|r)"}, {{0, 0}}},
        {"select count(|) from emp", {}, {{-1, 1}}},
        {"drop |", SQLCompletion::objectKinds, {{0, 0}}},
        {"drop table |", {"TABLE_OBJECT"}, {{0, 0}}},
        {"drop sequence |", {"SEQUENCE_OBJECT"}, {{0, 0}}},
        {"insert |", {"into"}, {{0, 0}}},
        {"insert into emp |", {"( ", "select"}, {{0, 0}}},
        {"create table emp |", {"( ", "as"}, {{0, 0}}},
        {"create index emp_ix |", {"on", "using"}, {{0, 0}}},
        {"update emp |", {"set"}, {{0, 0}}},
        {"select 1 from dual;\n\n|", keywords, {{0, 0}}},
    };
    for (const SuggestionCase &c : cases) {
        SCOPED_TRACE(c.text);
        const qint64 caret = load(QString::fromUtf8(c.text));
        TextRange replaced;
        EXPECT_EQ(completion.autoCompleteItemsAtLocation(caret, &replaced), c.words);
        if (c.replaced) {
            EXPECT_EQ(replaced.location, caret + c.replaced->first);
            EXPECT_EQ(replaced.length, c.replaced->second);
        }
    }
}

TEST_F(SQLCompletionTest, OnlyTheStatementAroundTheCaretIsRead)
{
    const qint64 caret = load(QStringLiteral("select * from a where x = 1;\nselect * from b where | ;\n"
                                             "select * from c;"));
    EXPECT_EQ(completion.autoCompleteItemsAtLocation(caret), whereWords + QStringList{"COLUMNS(b|r)"});
}

TEST_F(SQLCompletionTest, WithoutASourceOnlyKeywordsAreOffered)
{
    SQLCompletion keywordsOnly(storage, nullptr);
    const qint64 caret = load(QStringLiteral("select * from emp where |"));
    EXPECT_EQ(keywordsOnly.autoCompleteItemsAtLocation(caret), whereWords);
    EXPECT_TRUE(keywordsOnly.autoCompleteItemsAtLocation(load(QStringLiteral("select * from |"))).isEmpty());
}

TEST_F(SQLCompletionTest, CombinerJoinsADroppedConditionByWhatPrecedesIt)
{
    const std::pair<const char *, QString> cases[] = {
        {"|", QString()},
        {"select * from emp|", "WHERE"},
        {"select * from emp e |", "WHERE"},
        {"select * from emp\n|", "WHERE"},
        {"select * from emp -- note\n|", "WHERE"},
        {"select * from emp\n\n\n|", QString()},
        {"select * from emp where a = 1 |", "AND"},
        {"select * from emp where a = b|", "AND"},
        {"select * from emp where |", QString()},
        {"select a|", QString()},
        {"select a, b| from emp", QString()},
        {"-- note\n|", QString()},
    };
    for (const auto &[text, combiner] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(completion.combinerForInsertedTermAt(load(QString::fromUtf8(text))), combiner);
    }
}

} // namespace
