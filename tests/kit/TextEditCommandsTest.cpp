#include "kit/TextEditCommands.h"

#include "kit/CommandRouter.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

class TextEditCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        field = new QLineEdit;
        text = new QPlainTextEdit;
        grid = new QTableWidget(3, 2);
        layout->addWidget(field);
        layout->addWidget(text);
        layout->addWidget(grid);
        window.setCentralWidget(central);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QGuiApplication::clipboard()->clear();
    }

    // The commands of the Edit menu that are valid now, as the menu would enable them.
    QStringList valid() const
    {
        QStringList actions;
        for (const char *action : {"undo:", "redo:", "cut:", "copy:", "paste:", "selectAll:"}) {
            if (commands.validateAction(action))
                actions << action;
        }
        return actions;
    }

    QMainWindow window;
    QLineEdit *field = nullptr;
    QPlainTextEdit *text = nullptr;
    QTableWidget *grid = nullptr;
    TextEditCommands commands;
};

TEST_F(TextEditCommandsTest, TextFieldsAndViewsGetOnlyTheCommandsThatDoSomething)
{
    for (QWidget *widget : {static_cast<QWidget *>(field), static_cast<QWidget *>(text)}) {
        SCOPED_TRACE(widget->metaObject()->className());
        widget->setFocus();
        EXPECT_EQ(valid(), QStringList{}) << "empty, nothing selected, nothing to paste";
        QTest::keyClicks(widget, "select 1");
        EXPECT_EQ(valid(), (QStringList{"undo:", "selectAll:"}));
        commands.selectAll(nullptr);
        commands.cut(nullptr);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "select 1");
        EXPECT_EQ(valid(), (QStringList{"undo:", "paste:"}));
        commands.paste(nullptr);
        commands.paste(nullptr);
        commands.undo(nullptr);
        EXPECT_TRUE(valid().contains("redo:"));
        commands.redo(nullptr);
        const QString shown = field == widget ? field->text() : text->toPlainText();
        EXPECT_EQ(shown, "select 1select 1");
        QGuiApplication::clipboard()->clear();
    }
}

TEST_F(TextEditCommandsTest, AReadOnlyViewOrAPasswordOnlyGivesWhatItAllows)
{
    text->setPlainText("select 1");
    text->setReadOnly(true);
    text->setFocus();
    text->selectAll();
    QGuiApplication::clipboard()->setText("x");
    EXPECT_EQ(valid(), (QStringList{"copy:", "selectAll:"}));

    field->setEchoMode(QLineEdit::Password);
    field->setText("secret");
    field->setFocus();
    field->selectAll();
    EXPECT_EQ(valid(), (QStringList{"paste:", "selectAll:"})) << "a password is never copied";
}

TEST_F(TextEditCommandsTest, AGridSelectsAllItsRowsAndNothingElse)
{
    grid->setFocus();
    EXPECT_EQ(valid(), QStringList{"selectAll:"});
    commands.selectAll(nullptr);
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 6);
}

} // namespace
