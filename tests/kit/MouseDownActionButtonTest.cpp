#include "kit/MouseDownActionButton.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

struct MenuMaker : MouseDownActionContextButton, MouseDownActionNewButton {
    QString title;
    int made = 0;
    QMenu *generateContextMenu() override { return make("context"); }
    QMenu *generateNewMenu() override { return make("new"); }
    QMenu *make(const QString &kind)
    {
        ++made;
        auto *menu = new QMenu(title + kind);
        menu->addAction("item");
        return menu;
    }
};

} // namespace

TEST(MouseDownActionButton, MenuComesFromContextDelegateThenNewDelegateThenButton)
{
    MouseDownActionButton button;
    EXPECT_EQ(button.popupMenu(), nullptr);
    QMenu own("own");
    button.setMenu(&own);
    EXPECT_EQ(button.popupMenu(), &own);
    MenuMaker newMaker;
    button.setNewMenuDelegate(&newMaker);
    EXPECT_EQ(button.popupMenu()->title(), "new");
    MenuMaker contextMaker;
    button.setExternalContextMenuDelegate(&contextMaker);
    QPointer<QMenu> first = button.popupMenu();
    EXPECT_EQ(first->title(), "context");
    EXPECT_EQ(button.popupMenu()->title(), "context");
    EXPECT_TRUE(first.isNull()); // a menu made earlier is not kept around
    button.setEnabled(false);
    EXPECT_EQ(button.popupMenu(), nullptr);
}

TEST(MouseDownActionButton, ActsOnMouseDownAndNotWhenDisabled)
{
    MouseDownActionButton button;
    button.resize(40, 20);
    button.show();
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1); // no mouse-up needed
    QTest::mouseRelease(&button, Qt::LeftButton);

    MenuMaker maker;
    button.setExternalContextMenuDelegate(&maker);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1); // the menu pops up instead of the action
    EXPECT_EQ(maker.made, 1);
    QMenu *shown = button.popupMenu();
    shown->hide();

    button.setEnabled(false);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(maker.made, 2); // only the query above made one
}
