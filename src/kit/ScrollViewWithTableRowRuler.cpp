#include "kit/ScrollViewWithTableRowRuler.h"

#include "kit/TableRowRulerView.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

ScrollViewWithTableRowRuler::ScrollViewWithTableRowRuler(QTableView *tableView, QWidget *parent)
    : QWidget(parent), tableView_(tableView), rulerView_(new TableRowRulerView(this))
{
    tableView->setParent(this);
    tableView->verticalHeader()->hide(); // the ruler numbers the rows
    rulerView_->setTableView(tableView);
    rulerView_->raise();
    connect(tableView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ScrollViewWithTableRowRuler::reflectScrolledClipView);
    connect(tableView->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &ScrollViewWithTableRowRuler::reflectScrolledClipView);
}

QTableView *ScrollViewWithTableRowRuler::tableView() const
{
    return tableView_;
}

void ScrollViewWithTableRowRuler::setSelected(qint64 row, bool isEdited)
{
    rulerView_->setSelected(row, isEdited);
}

void ScrollViewWithTableRowRuler::tableviewWasUpdated()
{
    rulerView_->update();
}

VisibleRowRange ScrollViewWithTableRowRuler::visibleRange() const
{
    if (!tableView_ || !tableView_->model() || tableView_->model()->rowCount() == 0)
        return {};
    const int rows = tableView_->model()->rowCount();
    int first = tableView_->rowAt(0);
    int last = tableView_->rowAt(tableView_->viewport()->height() - 1);
    if (first < 0)
        first = 0;
    if (last < 0)
        last = rows - 1;
    return {first, last - first + 1};
}

void ScrollViewWithTableRowRuler::reflectScrolledClipView()
{
    rulerView_->update();
    if (delegate_)
        delegate_->scrollViewWithTableRowRuler(this, visibleRange());
}

void ScrollViewWithTableRowRuler::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The grid starts where the ruler's fading strip begins, so the numbers never cover a cell.
    if (tableView_)
        tableView_->setGeometry(rect().adjusted(rulerWidth - 14, 0, 0, 0));
    // The ruler keeps its place and width and takes the new height.
    rulerView_->setGeometry(rulerView_->x(), rulerView_->y(), rulerWidth, height());
}
