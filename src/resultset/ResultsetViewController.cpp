#include "resultset/ResultsetViewController.h"

#include "kit/DragAndDroppableTableView.h"
#include "kit/DragAndDroppableTableViewOtherView.h"
#include "kit/DragAndDroppableTableViewSourceView.h"
#include "kit/ShortcutVisualizer.h"
#include "resultset/QuickFilterView.h"
#include "resultset/RecordEditController.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetHeaderView.h"
#include "resultset/ResultsetRowNumberDelegate.h"
#include "resultset/ResultsetSplitView.h"
#include "resultset/ResultsetTableModel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
QFont cellFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(11);
    return font;
}
} // namespace

ResultsetViewController::ResultsetViewController(QObject *parent) : PaneViewController(parent)
{
    auto *gridPane = new QWidget;
    auto *layout = new QVBoxLayout(gridPane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The kit grid: drags cells out as filter items and dims the rest while a drag lasts.
    tableView_ = new DragAndDroppableTableView(gridPane);
    layout->addWidget(tableView_);
    rowLimitNotice_ = new QLabel(gridPane);
    rowLimitNotice_->setContentsMargins(6, 3, 6, 3);
    rowLimitNotice_->setWordWrap(true);
    rowLimitNotice_->hide();
    layout->addWidget(rowLimitNotice_);
    QWidget *view = setUpQuickFilter(gridPane);
    setView(view);
    ShortcutVisualizer::setDelegateForView(view, this);

    tableModel_ = new ResultsetTableModel(this);
    tableView_->setModel(tableModel_);
    tableView_->setFrameShape(QFrame::NoFrame);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->setWordWrap(false);
    tableView_->setFont(cellFont());
    tableView_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableView_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableView_->verticalHeader()->hide();
    tableView_->verticalHeader()->setDefaultSectionSize(QFontMetrics(cellFont()).height() + 4);
    tableView_->setItemDelegateForColumn(0, new ResultsetRowNumberDelegate(tableView_));

    auto *header = new ResultsetHeaderView(tableView_);
    tableView_->setHorizontalHeader(header);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(rowNumberColumnWidth);
    header->setStretchLastSection(false);
    connect(header, &ResultsetHeaderView::didClickTableColumn, this, &ResultsetViewController::headerClicked);
    connect(header, &QHeaderView::sectionMoved, this, &ResultsetViewController::columnMoved);
    connect(header, &QHeaderView::sectionResized, this, &ResultsetViewController::columnResized);
    QScrollBar *scrollBar = tableView_->verticalScrollBar();
    connect(scrollBar, &QScrollBar::valueChanged, this, &ResultsetViewController::reportVisibleRange);
    connect(scrollBar, &QScrollBar::rangeChanged, this, &ResultsetViewController::reportVisibleRange);
    tableView_->viewport()->installEventFilter(this);
    setUpEditing();
    setUpDragging();
    buildColumns();
}

ResultsetViewController::~ResultsetViewController()
{
    // The window may keep the view longer than this controller lives.
    ShortcutVisualizer::setDelegateForView(view(), nullptr);
}

void ResultsetViewController::setResultsetController(ResultsetController *resultsetController)
{
    resultsetController_ = resultsetController;
    resultsetReset();
}

void ResultsetViewController::detachModel()
{
    setResultsetController(nullptr);
}

void ResultsetViewController::resultsetReset()
{
    rowAfterRemoval_ = -1;
    Q_ASSERT_X(QThread::currentThread() == qApp->thread(), "ResultsetViewController",
               "-(void)resultsetReset; must be called on mainthread");
    buildColumns();
    quickFilterController_->loadFromController(resultsetController_);
    fitQuickFilter(false);
}

void ResultsetViewController::buildColumns()
{
    arranging_ = true;
    tableModel_->reset(resultsetController_);
    QHeaderView *header = tableView_->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    fitRowNumberColumn();
    // The sort indicators take room in the headers the widths are measured from.
    resetSortDescriptors();
    const QList<int> widths = fittedColumnWidths();
    for (int column = 1; column < widths.size(); ++column)
        header->resizeSection(column, widths[column]);
    loadDimensions();
    arranging_ = false;
    showRowLimitNotice();
    reportVisibleRange();
}

// Each data column as wide as its title and the values of the first page, so that neither is cut,
// within the minimum width and a width that leaves room for the other columns.
QList<int> ResultsetViewController::fittedColumnWidths() const
{
    const int columns = tableModel_->columnCount();
    const QHeaderView *header = tableView_->horizontalHeader();
    QList<int> widths(columns, 0);
    for (int column = 1; column < columns; ++column)
        widths[column] = header->sectionSizeHint(column);
    const int gridLine = tableView_->showGrid() ? 1 : 0;
    const int rows = std::min(tableModel_->rowCount(), int(firstPageRows));
    // Row by row: the model reads the cells of one row together.
    for (int row = 0; row < rows; ++row) {
        for (int column = 1; column < columns; ++column) {
            const int width = tableView_->sizeHintForIndex(tableModel_->index(row, column)).width();
            widths[column] = std::max(widths[column], width + gridLine);
        }
    }
    for (int column = 1; column < columns; ++column)
        widths[column] = std::clamp(widths[column], int(minimumColumnWidth), int(maximumFittedColumnWidth));
    return widths;
}

// Wide enough for every digit of the last row number; grows as more rows arrive.
void ResultsetViewController::fitRowNumberColumn()
{
    const int width = ResultsetRowNumberDelegate::columnWidth(QFontMetrics(tableView_->font()),
                                                              tableModel_->rowCount(), rowNumberColumnWidth);
    QHeaderView *header = tableView_->horizontalHeader();
    if (header->count() > 0 && header->sectionSize(0) != width)
        header->resizeSection(0, width);
}

void ResultsetViewController::resultsetUpdated()
{
    arranging_ = true;
    const int horizontal = tableView_->horizontalScrollBar()->value();
    const int vertical = tableView_->verticalScrollBar()->value();
    tableModel_->noteNumberOfRowsChanged();
    quickFilterController_->updateFromController(resultsetController_);
    fitQuickFilter(false);
    fitRowNumberColumn();
    resetSortDescriptors();
    loadDimensions();
    tableView_->horizontalScrollBar()->setValue(horizontal);
    tableView_->verticalScrollBar()->setValue(vertical);
    arranging_ = false;
    showRowLimitNotice();
    reportVisibleRange();
}

void ResultsetViewController::showRowLimitNotice()
{
    const bool stopped = resultsetController_ && resultsetController_->stoppedAtRowLimit();
    if (stopped)
        rowLimitNotice_->setText(
            QCoreApplication::translate(
                "resultset", "The result stops at the row limit: only its first %1 rows are shown.")
                .arg(QLocale().toString(tableModel_->rowCount())));
    rowLimitNotice_->setVisible(stopped);
}

void ResultsetViewController::resultsetQuickFilterOrSortUpdated()
{
    tableView_->scrollToTop();
    tableView_->horizontalScrollBar()->setValue(0);
}

// Qt views take each removal as it comes: there is no batch to begin.
void ResultsetViewController::resultsetWillUpdate() {}

void ResultsetViewController::resultsetCancelledUpdate()
{
    cancelTableViewUpdates();
}

void ResultsetViewController::cancelTableViewUpdates()
{
    tableModel_->noteNumberOfRowsChanged();
}

void ResultsetViewController::resultsetRemovedRowAt(qint64 row)
{
    tableModel_->rowRemoved(int(row - 1));
    selectRowAfterRemoval();
    reportVisibleRange();
}

void ResultsetViewController::resultsetWillBeOrderedOut()
{
    storeDimension();
}

QPixmap ResultsetViewController::sortImage(int direction, int sequence)
{
    const int height = 12;
    const int arrowWidth = 10;
    const int width = sequence > 0 ? 2 * arrowWidth : arrowWidth;
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap image(QSize(width, height) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QStyleOption option;
    option.rect = QRect(0, 0, arrowWidth, height);
    option.palette = QApplication::palette();
    QApplication::style()->drawPrimitive(
        direction == 1 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &option, &painter);
    if (sequence > 0) {
        QFont font = QApplication::font();
        font.setPointSize(7);
        painter.setFont(font);
        painter.setPen(Qt::darkGray);
        painter.drawText(QRect(arrowWidth, 0, arrowWidth, height), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(sequence));
    }
    return image;
}

void ResultsetViewController::resetSortDescriptors()
{
    QHash<QString, QPixmap> images;
    if (resultsetController_) {
        const QStringList sorted = resultsetController_->quickSortColumnCurrentSort();
        for (qsizetype i = 0; i < sorted.size(); ++i) {
            const int direction = resultsetController_->quickSortColumnSortDirection(sorted[i]);
            images.insert(sorted[i], sortImage(direction, sorted.size() == 1 ? 0 : int(i) + 1));
        }
    }
    tableModel_->setSortImages(images);
}

void ResultsetViewController::headerClicked(int column)
{
    storeDimension();
    if (!resultsetController_)
        return;
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    const QString name = tableModel_->identifier(column);
    if (column == 0) {
        resultsetController_->clearQuickSort();
        return;
    }
    const bool option = modifiers & Qt::AltModifier;
    const int direction = resultsetController_->quickSortColumnSortDirection(name);
    if (modifiers & Qt::ControlModifier)
        resultsetController_->addQuickSort(name, option || direction == 1 ? 2 : 1);
    else
        resultsetController_->setQuickSort(name, option || (direction != 0 && direction != 2) ? 2 : 1);
}

// The row-number column stays first: nothing moves it or moves before it.
void ResultsetViewController::columnMoved(int logical, int oldVisual, int newVisual)
{
    if (arranging_)
        return;
    if (logical == 0 || newVisual == 0 || oldVisual == 0) {
        arranging_ = true;
        tableView_->horizontalHeader()->moveSection(newVisual, oldVisual);
        arranging_ = false;
        return;
    }
    storeDimension();
}

void ResultsetViewController::columnResized(int logical, int, int newSize)
{
    if (arranging_)
        return;
    if (logical > 0 && newSize < minimumColumnWidth) {
        arranging_ = true;
        tableView_->horizontalHeader()->resizeSection(logical, minimumColumnWidth);
        arranging_ = false;
    }
    storeDimension();
}

void ResultsetViewController::storeDimension()
{
    const QString key = resultsetController_ ? resultsetController_->resultsetDescription() : QString();
    if (key.isNull())
        return;
    const QHeaderView *header = tableView_->horizontalHeader();
    ResultsetDimension dimension;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        dimension.columnNames.append(tableModel_->identifier(logical));
        dimension.columnWidths.append(float(header->sectionSize(logical)));
    }
    dimension.basedOnWidth = float(tableView_->width());
    dimension.scrollRect =
        QRect(QPoint(tableView_->horizontalScrollBar()->value(), tableView_->verticalScrollBar()->value()),
              tableView_->viewport()->size());
    resultsetDimensions_.insert(key, dimension);
}

void ResultsetViewController::loadDimensions()
{
    const QString key = resultsetController_ ? resultsetController_->resultsetDescription() : QString();
    const auto found = resultsetDimensions_.constFind(key);
    if (key.isNull() || found == resultsetDimensions_.constEnd())
        return;
    const bool wasArranging = arranging_;
    arranging_ = true;
    QHeaderView *header = tableView_->horizontalHeader();
    for (qsizetype i = 0; i < found->columnNames.size(); ++i) {
        const int logical = tableModel_->columnForIdentifier(found->columnNames[i]);
        if (logical < 0)
            continue;
        if (logical > 0)
            header->resizeSection(logical, int(found->columnWidths.value(i)));
        if (header->visualIndex(logical) != i && i < header->count())
            header->moveSection(header->visualIndex(logical), int(i));
    }
    arranging_ = wasArranging;
}

void ResultsetViewController::reportVisibleRange()
{
    if (!resultsetController_ || arranging_)
        return;
    const int rows = tableModel_->rowCount();
    const int first = rows > 0 ? std::max(0, tableView_->rowAt(0)) : 0;
    const int bottom = tableView_->rowAt(tableView_->viewport()->height() - 1);
    const int last = bottom >= 0 ? bottom : rows - 1;
    const qint64 length = rows > 0 ? std::max(0, last - first + 1) : 0;
    resultsetController_->willDisplayRange(qint64(first) + 1, length);
}

bool ResultsetViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tableView_->viewport() && event->type() == QEvent::Resize)
        reportVisibleRange();
    return PaneViewController::eventFilter(watched, event);
}

void ResultsetViewController::encodeInferfaceState(QVariantMap &archive) const
{
    const_cast<ResultsetViewController *>(this)->storeDimension();
    archive.insert("visibleRect", QRect(QPoint(tableView_->horizontalScrollBar()->value(),
                                               tableView_->verticalScrollBar()->value()),
                                        tableView_->viewport()->size()));
    QVariantList rows;
    for (const QModelIndex &index : tableView_->selectionModel()->selectedRows())
        rows.append(index.row());
    archive.insert("selectedRows", rows);
}

void ResultsetViewController::decodeInferfaceState(const QVariantMap &archive)
{
    const QRect visible = archive.value("visibleRect").toRect();
    QItemSelection selection;
    for (const QVariant &row : archive.value("selectedRows").toList()) {
        if (row.toInt() >= 0 && row.toInt() < tableModel_->rowCount())
            selection.select(tableModel_->index(row.toInt(), 0),
                             tableModel_->index(row.toInt(), tableModel_->columnCount() - 1));
    }
    tableView_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    arranging_ = true;
    loadDimensions();
    arranging_ = false;
    tableView_->horizontalScrollBar()->setValue(visible.x());
    tableView_->verticalScrollBar()->setValue(visible.y());
}

void ResultsetViewController::setDefaultInterfaceState()
{
    tableView_->scrollToTop();
    tableView_->horizontalScrollBar()->setValue(0);
}

void ResultsetViewController::selectResultset(QObject *)
{
    tableView_->setFocus();
    if (!tableView_->selectionModel()->hasSelection() && tableModel_->rowCount() > 0)
        tableView_->selectRow(0);
}

void ResultsetViewController::refresh(QObject *)
{
    if (resultsetController_)
        resultsetController_->refresh();
}

QList<VisualShortcut> ResultsetViewController::visualShortcuts()
{
    VisualShortcut shortcut = VisualShortcut::visualShortCutWithView(
        tableView_, QRect(50, 50, 50, 50), QStringLiteral("l"), Qt::ControlModifier | Qt::AltModifier, true);
    shortcut.subTitle = QCoreApplication::translate("infopanel", "Select the resultset");
    QList<VisualShortcut> shortcuts{shortcut};
    // The bar's own shortcut while it shows.
    QuickFilterView *bar = quickFilterController_->view();
    if (bar && !resultsetSplitView_->quickfilterDisabled() && resultsetSplitView_->topPane()->height() > 0)
        shortcuts += bar->visualShortcuts();
    return shortcuts;
}

bool ResultsetViewController::validateAction(const QString &action) const
{
    if (bool valid = false; validateSheetAction(action, &valid))
        return valid;
    if (action == QLatin1String("refresh:"))
        return resultsetController_ && resultsetController_->canRefresh();
    if (action == QLatin1String("selectResultset:"))
        return tableView_->window() != nullptr && tableView_->isVisible();
    if (action == QLatin1String("selectQuickFilter:"))
        return quickFilterController_->canSelectQuickFilter();
    const bool editable = resultsetController_ && resultsetController_->canEditResultSet();
    if (action == QLatin1String("addRow:"))
        return editable;
    if (action == QLatin1String("edit:"))
        return resultsetController_ && resultsetController_->canEditResultSet() &&
               tableView_->currentIndex().column() > 0;
    if (action == QLatin1String("editRecord:"))
        return resultsetController_ && tableView_->selectionModel()->hasSelection();
    if (action == QLatin1String("duplicate:") || action == QLatin1String("deleteRow:"))
        return editable && tableView_->selectionModel()->hasSelection();
    if (action == QLatin1String("cancel:"))
        return resultsetController_ && resultsetController_->canCancel();
    if (action == QLatin1String("insertDate:") || action == QLatin1String("insertTime:") ||
        action == QLatin1String("selectSequence:"))
        return qobject_cast<QLineEdit *>(QApplication::focusWidget()) &&
               tableView_->isAncestorOf(QApplication::focusWidget());
    return false;
}
