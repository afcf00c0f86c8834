#include "EditorTestSupport.h"

#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLFilterDrop.h"
#include "editor/SQLTextView.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace EditorTestSupport;

namespace
{

class SQLFilterDropTest : public ::testing::Test
{
protected:
    void SetUp() override { writeDefaultPreferences(); }
};

// The text with "|" at the drop point, and the text after the condition "a = 1" was dropped there.
TEST_F(SQLFilterDropTest, ADroppedConditionJoinsTheStatement)
{
    const std::pair<const char *, const char *> cases[] = {
        {"|", "a = 1\n"},
        {"select * from emp\n|", "select * from emp\nWHERE\n\ta = 1\n"},
        {"select * from emp|\n", "select * from emp WHERE a = 1\n"},
        {"select * from emp |\n", "select * from emp WHERE a = 1\n"},
        {"select * from emp where b = 2|", "select * from emp where b = 2 AND a = 1\n"},
        {"select * from emp where b = 2\n|", "select * from emp where b = 2\nAND a = 1\n"},
        {"select * from emp\n  where b = 2\n|", "select * from emp\n  where b = 2\n  AND a = 1\n"},
        {"select * from emp where |order by 1", "select * from emp where a = 1 order by 1"},
        {"select a|, b from emp", "select a a = 1 , b from emp"},
    };
    for (const auto &[before, after] : cases) {
        SCOPED_TRACE(before);
        QString text = QString::fromUtf8(before);
        const qint64 index = text.indexOf(u'|');
        text.remove(index, 1);
        SQLEditorTextStorage storage;
        storage.replaceContents(text);
        text.insert(index, SQLFilterDrop::textForDrop(storage, index, QStringLiteral("a = 1")));
        EXPECT_EQ(text, QString::fromUtf8(after));
    }
}

TEST_F(SQLFilterDropTest, ADropOnTheViewInsertsTheJoinedCondition)
{
    SQLTextView view;
    view.resize(500, 300);
    view.show();
    view.textStorage()->replaceContents(QStringLiteral("select * from emp\n"));
    processEvents();
    QMimeData data;
    data.setData(SQLFilterDrop::sqlFilterItemType, QByteArrayLiteral("ename = 'KING'"));
    QTextCursor end(view.document());
    end.movePosition(QTextCursor::End);
    const QPointF point = view.cursorRect(end).center() + QPointF(20, 0);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &drop);
    EXPECT_EQ(view.toPlainText(), "select * from emp\nWHERE\n\tename = 'KING'\n");
}

} // namespace
