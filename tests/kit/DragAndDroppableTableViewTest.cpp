#include "kit/DragAndDroppableTableView.h"
#include "WaitFor.h"
#include "kit/DragAndDropItem.h"
#include "kit/DragAndDropItemSource.h"
#include "kit/DragAndDropPasteboardWriter.h"
#include "kit/DragAndDroppableOutlineView.h"
#include "kit/DragAndDroppableTableViewOtherView.h"
#include "kit/DragAndDroppableTableViewSourceView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const QString filterItemType = "com.ostrel.apps.vorn.filter-item";

// A stand-in for the filter item: "column;negated;row,row,..." as its bytes.
struct StandInItem : DragAndDropItemSource {
    QString column;
    bool negated = false;
    QList<int> rows;
    QString stringForImage() const override { return column + " = 42"; }
    bool isAlternate() const override { return negated; }
    QString columnName() const override { return column; }
    QList<int> rowIndexes() const override { return rows; }
    static StandInItem *fromData(const QByteArray &data)
    {
        const QList<QByteArray> parts = data.split(';');
        if (parts.size() != 3)
            return nullptr;
        auto *item = new StandInItem;
        item->column = QString::fromUtf8(parts[0]);
        item->negated = parts[1] == "1";
        for (const QByteArray &row : parts[2].split(','))
            item->rows << row.toInt();
        return item;
    }
};

struct GridDelegate : DragAndDroppableTableViewDelegate {
    QStringList events;
    bool handlesCancel = true;
    DragAndDropItemSource *dragAndDroppableTableViewItemFromPasteboard(DragAndDroppableTableView *,
                                                                       const QMimeData *data) override
    {
        return StandInItem::fromData(data->data(filterItemType));
    }
    void dragAndDroppableTableViewDragBegan(DragAndDroppableTableView *) override { events << "began"; }
    void dragAndDroppableTableViewDragMoved(DragAndDroppableTableView *) override { events << "moved"; }
    void dragAndDroppableTableViewDragEnded(DragAndDroppableTableView *) override { events << "ended"; }
    void dragAndDroppableTableViewNeedsUpdatedPasteboard(DragAndDroppableTableView *, QMimeData *data,
                                                         Qt::KeyboardModifiers modifiers) override
    {
        events << "update";
        QByteArray bytes = data->data(filterItemType);
        bytes.replace(";0;", modifiers & Qt::AltModifier ? ";1;" : ";0;");
        data->setData(filterItemType, bytes);
    }
    bool cancelOperation(DragAndDroppableTableView *) override
    {
        events << "cancel";
        return handlesCancel;
    }
    QMenu *dragAndDroppableTableViewNeedsMenuForRow(DragAndDroppableTableView *, int row, int column,
                                                    bool) override
    {
        events << QString("menu %1 %2").arg(row).arg(column);
        return nullptr;
    }
};

} // namespace

TEST(DragAndDropItem, TokenSizes)
{
    struct Case {
        QSizeF text;
        QSizeF token;
    };
    const Case cases[] = {
        {{40, 14}, {128, 36}},  {{150, 14}, {172, 36}},   {{299, 30}, {321, 42}},   {{300, 14}, {322, 36}},
        {{400, 14}, {322, 36}}, {{100, 224}, {128, 236}}, {{100, 225}, {128, 237}}, {{100, 900}, {128, 237}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DragAndDropItem::tokenSizeForTextSize(c.text, 128, 36), c.token);
    StandInItem shortItem;
    shortItem.column = "ID";
    EXPECT_EQ(DragAndDropItem::imageForDragAndDropItemSource(shortItem).size(), QSize(128, 36));
    const QPixmap wide = DragAndDropItem::tokenImageForText(QString(200, 'x'), false, 128, 36);
    EXPECT_EQ(wide.width(), 322);
    StandInItem negated = shortItem;
    negated.negated = true;
    EXPECT_NE(DragAndDropItem::imageForDragAndDropItemSource(negated).toImage(),
              DragAndDropItem::imageForDragAndDropItemSource(shortItem).toImage());
}

TEST(DragAndDropPasteboardWriter, CarriesEveryTypeButPlainText)
{
    QMimeData source;
    source.setText("42");
    source.setData(filterItemType, "ID;0;1");
    DragAndDropPasteboardWriter writer(source);
    EXPECT_EQ(writer.writableTypes(), QStringList{filterItemType});
    EXPECT_EQ(writer.pasteboardPropertyListForType(filterItemType), "ID;0;1");
    std::unique_ptr<QMimeData> copy(writer.mimeData());
    EXPECT_FALSE(copy->hasText());
    DragAndDropPasteboardWriter tab({"com.ostrel.apps.vorn.tab"}, {{"com.ostrel.apps.vorn.tab", "Tab"}});
    EXPECT_TRUE(tab.description().startsWith("DragAndDropPasteboardWriter com.ostrel.apps.vorn.tab"));
}

TEST(DragAndDroppableTableView, HighlightGeometry)
{
    const QRectF column(100, 0, 80, 500);
    const QRectF first(0, 40, 400, 20);
    const QRectF last(0, 80, 400, 20);
    EXPECT_EQ(DragAndDroppableTableView::highlightTargetRect(column, first, last, false),
              QRectF(100, 40, 79, 60));
    EXPECT_EQ(DragAndDroppableTableView::highlightTargetRect(column, first, last, true),
              QRectF(100, 40, 77, 60));

    // Rows 2, 3 and 7: two blocks; a run from row 0 starts 2 points lower.
    const QList<QRectF> runs =
        DragAndDroppableTableViewSourceView::runRects({2, 3, 7}, 20, QRectF(0, 0, 80, 120));
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0], QRectF(1, 1, 78, 40));
    EXPECT_EQ(runs[1], QRectF(1, 101, 78, 20));
    EXPECT_EQ(DragAndDroppableTableViewSourceView::runRects({0, 1}, 20, QRectF(0, 0, 80, 40)).first(),
              QRectF(1, 3, 78, 38));

    const QPainterPath dimmed = DragAndDroppableTableViewOtherView::cutOutPath(QRectF(0, 0, 300, 200), column,
                                                                               {2}, 20, QPointF(0, 0));
    EXPECT_TRUE(dimmed.contains(QPointF(50, 50)));
    EXPECT_FALSE(dimmed.contains(QPointF(140, 50))); // the dragged cell is a hole
}

TEST(DragAndDroppableTableView, DragDimsTheGridAndRedrawsTheTokenOnModifierChanges)
{
    QStandardItemModel model(20, 3);
    model.setHorizontalHeaderLabels({"ID", "NAME", "CITY"});
    DragAndDroppableTableView grid;
    grid.setModel(&model);
    GridDelegate delegate;
    grid.setDragDelegate(&delegate);
    grid.resize(400, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

    QMimeData pasteboard;
    pasteboard.setData(filterItemType, "NAME;0;2,3,7");
    std::unique_ptr<DragAndDropItemSource> item(
        delegate.dragAndDroppableTableViewItemFromPasteboard(&grid, &pasteboard));
    grid.draggingSessionWillBegin(*item);
    EXPECT_TRUE(grid.disableScroll());
    ASSERT_NE(grid.otherView(), nullptr);
    ASSERT_NE(grid.sourceView(), nullptr);
    EXPECT_EQ(grid.sourceView()->rows(), (QList<int>{2, 3, 7}));
    const QRect cell(grid.columnViewportPosition(1), grid.rowViewportPosition(2), grid.columnWidth(1) - 1,
                     grid.rowViewportPosition(7) + grid.rowHeight(7) - grid.rowViewportPosition(2));
    WAIT_FOR((grid.sourceView()->geometry()) == (cell.adjusted(-2, -2, 2, 2)));
    WAIT_FOR(std::abs(grid.otherView()->color().alphaF() - 0.75) < 0.01);
    grid.grab().save("/tmp/tabs-grid-drag.png");

    grid.draggingSessionMoved(&pasteboard, Qt::NoModifier, false); // a move only
    const QPixmap before = grid.currentDragImage();
    grid.draggingSessionMoved(&pasteboard, Qt::AltModifier, true);
    EXPECT_EQ(pasteboard.data(filterItemType), "NAME;1;2,3,7");
    EXPECT_NE(grid.currentDragImage().toImage(), before.toImage());
    grid.draggingSessionEnded();
    EXPECT_FALSE(grid.disableScroll());
    EXPECT_EQ(grid.otherView(), nullptr);
    EXPECT_EQ(grid.sourceView(), nullptr);
    EXPECT_EQ(delegate.events, (QStringList{"began", "moved", "update", "moved", "ended"}));
}

TEST(DragAndDroppableTableView, EscapeGoesToTheDelegateOutsideEditing)
{
    QStandardItemModel model(3, 2);
    DragAndDroppableTableView grid;
    grid.setModel(&model);
    GridDelegate delegate;
    grid.setDragDelegate(&delegate);
    grid.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&grid, &escape);
    EXPECT_EQ(delegate.events, QStringList{"cancel"});
    EXPECT_TRUE(escape.isAccepted());
    delegate.handlesCancel = false;
    QKeyEvent unhandled(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&grid, &unhandled);
    EXPECT_FALSE(unhandled.isAccepted()); // travels on

    grid.setCurrentIndex(model.index(0, 0));
    static_cast<QAbstractItemView &>(grid).edit(model.index(0, 0));
    ASSERT_TRUE(grid.isEditingCell());
    grid.cancelOperation();
    EXPECT_FALSE(grid.isEditingCell());
    EXPECT_EQ(delegate.events.size(), 2); // editing ended without asking the delegate
}

TEST(DragAndDroppableTableView, AMenuIsAskedForTheCellUnderThePointer)
{
    QStandardItemModel model(3, 2);
    DragAndDroppableTableView grid;
    grid.setModel(&model);
    GridDelegate delegate;
    grid.setDragDelegate(&delegate);
    grid.resize(300, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    // A click's menu event reaches the grid through its viewport, in the viewport's coordinates.
    const QRect cell = grid.visualRect(model.index(1, 1));
    QContextMenuEvent click(QContextMenuEvent::Mouse, cell.center(),
                            grid.viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid.viewport(), &click);
    ASSERT_EQ(delegate.events, QStringList{"menu 1 1"});
}

TEST(DragAndDroppableTableView, InterfaceStateHoldsTheColumnOrder)
{
    QStandardItemModel model(1, 3);
    model.setHorizontalHeaderLabels({"ID", "NAME", "CITY"});
    DragAndDroppableTableView grid;
    grid.setModel(&model);
    grid.horizontalHeader()->moveSection(2, 0);
    QVariantMap archive;
    grid.encodeInferfaceState(archive);
    EXPECT_EQ(archive.value("DragAndDroppableTableView.columns").toStringList(),
              (QStringList{"CITY", "ID", "NAME"}));
}
