#include "ddl/DDLSequenceAdvancedViewController.h"
#include "ddl/DdlInput.h"
#include "ddl/DdlNavigation.h"
#include "ddl/DdlPrimaryKeys.h"

#include <gtest/gtest.h>

// The rules every create assistant shares, without a database: the wizard's answers by step and run
// state, what counts as a name or a number, the sequence values and the grouping of primary keys.
namespace
{

using Role = DdlPageRole;
using State = DdlCreateState;

TEST(DdlNavigation, ForwardBackAndCancelFollowTheStepAndTheRun)
{
    struct Case {
        Role shown;
        State state;
        bool pageCanContinue;
        bool forward;
        bool back;
        QString title;
    };
    const Case cases[] = {
        {Role::Start, State::Editing, false, true, false, "Next"},
        {Role::Data, State::Editing, true, true, true, "Next"},
        {Role::Data, State::Editing, false, false, true, "Next"},
        {Role::Script, State::Editing, true, true, true, "Create"},
        {Role::Create, State::Creating, true, false, false, "Finish"},
        {Role::Create, State::Editing, true, false, true, "Finish"},
        {Role::Create, State::Created, false, true, false, "Finish"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.shown) << "/" << int(c.state));
        EXPECT_EQ(DdlNavigation::canMoveForward(c.shown, c.state, c.pageCanContinue), c.forward);
        EXPECT_EQ(DdlNavigation::canMoveBackward(c.shown, c.state), c.back);
        EXPECT_EQ(DdlNavigation::forwardButtonTitle(c.shown), c.title);
    }
    EXPECT_TRUE(DdlNavigation::canCancel(State::Editing));
    EXPECT_FALSE(DdlNavigation::canCancel(State::Creating));
    EXPECT_FALSE(DdlNavigation::canCancel(State::Created));
    EXPECT_FALSE(DdlNavigation::forwardButtonCancels(State::Editing));
    EXPECT_TRUE(DdlNavigation::forwardButtonCancels(State::Created));
}

TEST(DdlNavigation, StepListIsLockedDuringAndAfterTheCreateAndNeverReachesTheCreateStep)
{
    for (const State state : {State::Creating, State::Created})
        for (const Role role : {Role::Start, Role::Data, Role::Script, Role::Create})
            EXPECT_FALSE(DdlNavigation::canNavigateTo(role, state, true));
    EXPECT_TRUE(DdlNavigation::canNavigateTo(Role::Start, State::Editing, false));
    EXPECT_TRUE(DdlNavigation::canNavigateTo(Role::Data, State::Editing, true));
    EXPECT_FALSE(DdlNavigation::canNavigateTo(Role::Script, State::Editing, false));
    EXPECT_FALSE(DdlNavigation::canNavigateTo(Role::Create, State::Editing, true));
}

TEST(DdlInput, IdentifiersAreTrimmedAndHoldOnlyLettersDigitsAndUnderscores)
{
    const struct {
        QString text;
        std::optional<QString> name;
    } cases[] = {
        {"  orders_2 \n", QString("orders_2")},
        {"", QString("")},
        {"my table", std::nullopt},
        {"my-table", std::nullopt},
        {"tabl\u00e9", std::nullopt},
        {"a;drop", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DdlInput::identifier(c.text), c.name) << c.text.toStdString();
}

TEST(DdlInput, IntegersAreWholeNumbersWithoutTrailingJunk)
{
    EXPECT_EQ(DdlInput::integer("0"), 0);
    EXPECT_EQ(DdlInput::integer(" -12 "), -12);
    EXPECT_EQ(DdlInput::integer("9223372036854775807"), std::numeric_limits<qlonglong>::max());
    for (const QString text : {"", " ", "12abc", "1.5", "abc"})
        EXPECT_FALSE(DdlInput::integer(text).has_value()) << text.toStdString();
}

QVariantMap sequence(std::initializer_list<std::pair<const char *, qlonglong>> own)
{
    QVariantMap shared;
    for (const char *setting : {"start", "increment", "min", "max", "cache"})
        shared.insert(QString(setting) + "_default", true);
    for (const auto &[setting, value] : own) {
        shared.insert(QString(setting) + "_default", false);
        shared.insert(QString(setting) + "_value", value);
    }
    return shared;
}

TEST(DdlSequenceValues, AnyIntegerWithinTheBoundsButNoZeroIncrement)
{
    using Page = DDLSequenceAdvancedViewController;
    EXPECT_EQ(Page::problem(sequence({})), "");
    EXPECT_EQ(Page::problem(sequence({{"increment", -1}, {"min", -100}, {"start", -1}, {"max", 0}})), "");
    EXPECT_EQ(Page::problem(sequence({{"start", 5}, {"min", 5}, {"max", 5}, {"cache", 1}})), "");
    EXPECT_NE(Page::problem(sequence({{"increment", 0}})), "");
    EXPECT_NE(Page::problem(sequence({{"cache", 0}})), "");
    EXPECT_NE(Page::problem(sequence({{"min", 10}, {"max", 9}})), "");
    EXPECT_NE(Page::problem(sequence({{"start", 4}, {"min", 5}})), "");
    EXPECT_NE(Page::problem(sequence({{"start", 11}, {"max", 10}})), "");
    // An own value whose text was not a whole number is missing.
    QVariantMap junk = sequence({{"start", 1}});
    junk.remove("start_value");
    EXPECT_NE(Page::problem(junk), "");
    // Before the page has written its settings it cannot continue.
    EXPECT_NE(Page::problem({}), "");
}

TEST(DdlPrimaryKeys, ColumnsAreGroupedIntoWholeKeysPerTable)
{
    const QList<DdlPrimaryKey> keys =
        DdlPrimaryKeys::wholeKeys({{"s", "a", "id"}, {"s", "b", "x"}, {"s", "b", "y"}, {"t", "a", "id"}});
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys[0].columns, QStringList{"id"});
    EXPECT_EQ(keys[1].columns, (QStringList{"x", "y"}));
    EXPECT_EQ(keys[2].schema, "t");
    EXPECT_EQ(DdlPrimaryKeys::title(keys[1]), "b (x, y)");
}

} // namespace
