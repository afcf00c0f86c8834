// The input sheet's size rules and its run, and the statement-parameter form on it.
#include "resultset/InputPanelController.h"
#include "WaitFor.h"
#include "resultset/ParameterInputController.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{
QLineEdit *lineEdit(const InputPanelControllerFieldPtr &field)
{
    return qobject_cast<QLineEdit *>(field->inputField());
}

class InputPanelControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window_.resize(800, 600);
        window_.show();
    }
    QWidget window_;
};
} // namespace

TEST_F(InputPanelControllerTest, FieldSectionWidthFollowsTheWidestLabel)
{
    struct Case {
        QList<int> labels;
        int width;
    };
    const Case cases[] = {
        {{}, 260},      // no fields
        {{10}, 338},    // 10 + 32 + 16 + 280
        {{30, 5}, 358}, // the widest label counts
        {{272}, 600},   // exactly at the top
        {{400}, 600},   // wider labels get no more room
    };
    for (const Case &c : cases)
        EXPECT_EQ(InputPanelController::fieldSectionWidth(c.labels), c.width) << c.labels.size();
    EXPECT_EQ(InputPanelController::fieldSectionHeight({}), 4);
    EXPECT_EQ(InputPanelController::fieldSectionHeight({20}), 24);
    EXPECT_EQ(InputPanelController::fieldSectionHeight({20, 200, 0}), 20 + 8 + 200 + 8 + 0 + 4);
}

TEST_F(InputPanelControllerTest, SheetSizeWithoutHeaderAndWithManyFields)
{
    InputPanelController panel;
    int ended = -1;
    panel.setDefaultButtonAction([&](InputPanelController *) { ended = 1; });
    panel.runPanelOnWindow(&window_);
    QDialog *sheet = panel.window();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(panel.inputView()->size(), QSize(260, 4));
    const int buttonHeight = panel.defaultButton()->sizeHint().height();
    // No title or subtitle: 24 above the fields, the button row and 24 below them.
    EXPECT_EQ(sheet->minimumSize(), QSize(260, 4 + 24 + buttonHeight + 24));
    EXPECT_FALSE(panel.cancelButton()->isVisible());

    for (int i = 0; i < 40; ++i)
        panel.addField(InputPanelControllerField::fieldWithName(QString("p%1").arg(i), 0, QVariant()));
    panel.setTitle("Title");
    panel.runPanelOnWindow(&window_);
    sheet = panel.window();
    const int fieldHeight = panel.inputView()->height();
    EXPECT_GT(fieldHeight, 400);
    EXPECT_EQ(panel.scrollView()->minimumHeight(), 400);
    EXPECT_EQ(sheet->maximumSize().height(), sheet->minimumSize().height() + fieldHeight - 400);
    EXPECT_EQ(sheet->maximumSize().width(), 600);
    ASSERT_WAIT_FOR(sheet->isVisible());
    EXPECT_EQ(panel.scrollView()->verticalScrollBar()->value(), 0);
}

TEST_F(InputPanelControllerTest, ButtonsCopyTheTypedTextBeforeTheirCallback)
{
    InputPanelController panel;
    panel.setCancelButtonTitle("Cancel");
    QStringList seen;
    int defaults = 0;
    int cancels = 0;
    panel.setDefaultButtonAction([&](InputPanelController *p) {
        ++defaults;
        for (const auto &field : p->getFields())
            seen << field->value().toString();
    });
    panel.setCancelButtonAction([&](InputPanelController *p) {
        ++cancels;
        seen << p->getFields().first()->value().toString();
    });
    panel.addField(InputPanelControllerField::fieldWithName("a", 0, "first"));
    panel.addField(InputPanelControllerField::fieldWithName("b", 0, QVariant()));
    panel.runPanelOnWindow(&window_);
    ASSERT_WAIT_FOR(panel.window()->isVisible());
    EXPECT_EQ(lineEdit(panel.getFields()[0])->text(), "first");
    EXPECT_EQ(lineEdit(panel.getFields()[1])->text(), "");
    lineEdit(panel.getFields()[1])->setText("typed");
    QTest::keyClick(lineEdit(panel.getFields()[1]), Qt::Key_Return);
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(seen, QStringList({"first", "typed"}));
    EXPECT_FALSE(panel.window()->isVisible());

    seen.clear();
    panel.runPanelOnWindow(&window_);
    ASSERT_WAIT_FOR(panel.window()->isVisible());
    lineEdit(panel.getFields()[0])->setText("changed");
    QTest::keyClick(lineEdit(panel.getFields()[0]), Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(seen, QStringList({"changed"}));
}

// Typed keys go to whichever widget has the focus, as a user's keys do.
TEST_F(InputPanelControllerTest, TypingGoesIntoTheFirstFieldAndReturnEndsWithIt)
{
    const struct {
        const char *name;
        QVariant firstValue;
        int firstType;
    } cases[] = {
        {"empty first field", QVariant(), InputPanelControllerField::Text},
        {"prefilled first field is replaced", "earlier", InputPanelControllerField::Text},
        {"a field without input control is passed over", QVariant(), 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        InputPanelController panel;
        QStringList values;
        panel.setCancelButtonTitle("Cancel");
        panel.setTitle("Parameters");
        panel.setDefaultButtonAction([&](InputPanelController *p) {
            for (const auto &field : p->getFields())
                values << field->value().toString();
        });
        panel.addField(InputPanelControllerField::fieldWithName("first", c.firstType, c.firstValue));
        panel.addField(InputPanelControllerField::fieldWithName("second", 0, "kept"));
        panel.runPanelOnWindow(&window_);
        ASSERT_WAIT_FOR(panel.window()->isVisible() && QApplication::activeWindow() == panel.window());
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, "42");
        QTest::keyClick(focus, Qt::Key_Return);
        const QStringList expected =
            c.firstType == 0 ? QStringList{"42", "kept"} : QStringList{c.firstValue.toString(), "42"};
        EXPECT_EQ(values, expected);
        EXPECT_FALSE(panel.window()->isVisible());
    }
}

TEST_F(InputPanelControllerTest, ReadOnlyFieldsCannotBeChanged)
{
    InputPanelController panel;
    panel.setReadOnly(true);
    panel.setDefaultButtonAction([](InputPanelController *) {});
    panel.addField(InputPanelControllerField::fieldWithName("a", 0, "value"));
    panel.runPanelOnWindow(&window_);
    EXPECT_TRUE(lineEdit(panel.getFields()[0])->isReadOnly());
}

TEST_F(InputPanelControllerTest, ParameterFormHandsBackNamesAndValues)
{
    ParameterInputController form;
    QList<QVariant> results;
    const auto action = [&](const QVariant &result) { results << result; };
    form.runForSqlParameters({"b", "a", "c"}, &window_, QVariant(), action, {{"a", "cached"}});
    InputPanelController *panel = form.inputPanelController();
    EXPECT_EQ(panel->title(), "SQL Input Parameters");
    ASSERT_WAIT_FOR(panel->window()->isVisible());
    const auto fields = panel->getFields();
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(lineEdit(fields[0])->text(), "");
    EXPECT_EQ(lineEdit(fields[1])->text(), "cached");
    lineEdit(fields[0])->setText("1");
    panel->endSheet(1);
    ASSERT_EQ(results.size(), 1);
    const QVariantMap result = results[0].toMap();
    EXPECT_EQ(result.keys(), QStringList({"parameterNames", "parameterValues"}));
    EXPECT_EQ(result["parameterNames"].toStringList(), QStringList({"b", "a", "c"}));
    const QVariantMap values = result["parameterValues"].toMap();
    EXPECT_EQ(values["b"].toString(), "1");
    EXPECT_EQ(values["a"].toString(), "cached");
    EXPECT_EQ(values["c"].toString(), "");

    form.runForProcedureParameters({"x"}, &window_, QVariantMap{{"statement", 2}}, action, {});
    EXPECT_EQ(panel->title(), "Procedure Input Parameters");
    panel->endSheet(1);
    EXPECT_EQ(results[1].toMap()["userInfo"].toMap()["statement"].toInt(), 2);

    form.runForParameters({"x"}, &window_, QVariant(), action, {});
    EXPECT_EQ(panel->title(), "Procedure Input Parameters");
    panel->endSheet(0);
    ASSERT_EQ(results.size(), 3);
    EXPECT_FALSE(results[2].isValid());
}
