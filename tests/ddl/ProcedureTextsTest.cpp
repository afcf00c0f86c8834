#include "ddl/ProcedureExecutionMessage.h"
#include "ddl/ProcedureMembers.h"
#include "ddl/ProcedureWarnings.h"
#include "editor/SQLEditorTextStorage.h"

#include <gtest/gtest.h>

// What the stored-code editor reads out of texts and says about them: the members a package declares,
// the warning lines of a build and the message of a run.
namespace
{

ProcedureMembers scan(const QString &text)
{
    SQLEditorTextStorage storage;
    storage.replaceContents(text);
    return selectableProceduresInParsedComponents(storage.parsedComponents());
}

TEST(ProcedureMembersTest, MembersAreTheNamesAfterTheirKeyword)
{
    const struct {
        const char *text;
        ProcedureMembers expected;
    } cases[] = {
        {"FUNCTION A\n\nPROCEDURE B",
         {{"A", "FUNCTION", "1 FUNCTION A", 1}, {"B", "PROCEDURE", "2 PROCEDURE B", 3}}},
        {"package p as\n  function   f1 return number;\n  Procedure p2(x in number);\nend;",
         {{"f1", "function", "1 function f1", 2}, {"p2", "Procedure", "2 Procedure p2", 3}}},
        // The name may stand on the next line or after a comment.
        {"procedure\n\n  later", {{"later", "procedure", "1 procedure later", 3}}},
        {"function /* note\n */ g", {{"g", "function", "1 function g", 2}}},
        // A quoted name is not a member, and neither is a keyword without a name.
        {"function \"quoted\"", {}},
        {"create table function_log (id int)", {}},
        {"", {}},
    };
    for (const auto &row : cases)
        EXPECT_EQ(scan(QString::fromUtf8(row.text)), row.expected) << row.text;
}

TEST(ProcedureMembersTest, CaretLineChoosesTheMemberItLiesIn)
{
    const ProcedureMembers members = {
        {"a", "function", "1 function a", 2},
        {"b", "function", "2 function b", 5},
        {"c", "procedure", "3 procedure c", 9},
        {"d", "procedure", "4 procedure d", 12},
    };
    const struct {
        qint64 caretLine;
        int expected;
    } cases[] = {{1, -1}, {2, 0}, {4, 0}, {9, 2}, {11, 2}, {12, 3}, {400, 3}};
    for (const auto &row : cases)
        EXPECT_EQ(memberIndexForCaretLine(members, row.caretLine), row.expected) << row.caretLine;
    EXPECT_EQ(memberIndexForCaretLine({}, 3), -1);
}

QVariantMap warning(const QString &position, const QString &message = QStringLiteral("bad"))
{
    return {{"position", position}, {"message", message}};
}

TEST(ProcedureWarningsTest, PositionReadsAsLineAndColumn)
{
    const struct {
        const char *position;
        const char *text;
        qint64 line;
    } cases[] = {
        {"0:0", "Error", 0},     {"", "Error", 0},      {"0:7", "Error", 0},
        {"12:0", "Line 12", 12}, {"12", "Line 12", 12}, {"12:5", "Line 12, column 5", 12},
    };
    for (const auto &row : cases) {
        EXPECT_EQ(ProcedureWarnings::positionText(warning(row.position)), row.text) << row.position;
        EXPECT_EQ(ProcedureWarnings::line(warning(row.position)), row.line) << row.position;
    }
}

TEST(ProcedureWarningsTest, SummaryListsFiveAndCutsLongMessages)
{
    const QString sixty(60, QLatin1Char('x'));
    const QString sixtyOne(61, QLatin1Char('y'));
    QVariantList warnings = {warning("1:1", sixty), warning("2:3", sixtyOne)};
    for (int line = 3; line <= 7; ++line)
        warnings << warning(QStringLiteral("%1:0").arg(line), QStringLiteral("m%1").arg(line));
    const QStringList lines = ProcedureWarnings::summary(warnings).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.at(0), "1:1\t" + sixty);
    EXPECT_EQ(lines.at(1), "2:3\t" + QString(57, QLatin1Char('y')) + "...");
    EXPECT_EQ(lines.at(4), "5:0\tm5");
}

TEST(ProcedureExecutionMessageTest, RunsSayWhatRanAndWhatCameOut)
{
    using namespace ProcedureExecutionMessage;
    const ProcedureExecutionKind function{true, false, false, false, "f", {}};
    const ProcedureExecutionKind procedure{false, true, false, false, "p", {}};
    const ProcedureExecutionKind packageProcedure{false, false, true, true, "pkg", "m"};
    const ProcedureExecutionKind packageFunction{false, false, true, false, "pkg", "m"};
    EXPECT_EQ(title(function), "The function 'f' executed successfully");
    EXPECT_EQ(title(procedure), "The procedure 'p' executed successfully");
    EXPECT_EQ(title(packageProcedure), "The procedure 'm' of package 'pkg' executed successfully")
        << "a member that is both counts as a procedure";
    EXPECT_EQ(title(packageFunction), "The function 'm' of package 'pkg' executed successfully");
    EXPECT_EQ(title({}), "");

    const struct {
        ProcedureExecutionKind kind;
        QList<ProcedureOutput> outputs;
        const char *expected;
    } cases[] = {
        {function, {{resultKey, "7"}, {"o", "x"}}, "Function result: 7\no: x"},
        {procedure, {}, "The procedure doesn't have any return values."},
        {procedure,
         {{"y", "null"}, {"z", "3"}},
         "The procedure resulted in the following out and inout values:\n\ny: null\nz: 3"},
        {packageFunction, {{resultKey, "1"}}, "Function result: 1"},
    };
    for (const auto &row : cases)
        EXPECT_EQ(text(row.kind, row.outputs), row.expected);
}

} // namespace
