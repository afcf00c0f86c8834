#pragma once

#include <QPointer>
#include <QWidget>

class QTableView;
class ScrollViewWithTableRowRuler;
class TableRowRulerView;

// Rows of the grid in view: the first one (0-based) and how many.
struct VisibleRowRange {
    int location = 0;
    int length = 0;
    bool operator==(const VisibleRowRange &) const = default;
};

class ScrollViewWithTableRowRulerDelegate
{
public:
    virtual ~ScrollViewWithTableRowRulerDelegate() = default;
    // After every scroll: the grid's model loads rows ahead from it.
    virtual void scrollViewWithTableRowRuler(ScrollViewWithTableRowRuler *scrollView,
                                             const VisibleRowRange &updatedVisibleRange) = 0;
};

// The result grid with its row-number ruler laid over its left edge.
class ScrollViewWithTableRowRuler : public QWidget
{
    Q_OBJECT
public:
    static constexpr int rulerWidth = 52;

    explicit ScrollViewWithTableRowRuler(QTableView *tableView, QWidget *parent = nullptr);

    QTableView *tableView() const;
    TableRowRulerView *rulerView() const { return rulerView_; }
    ScrollViewWithTableRowRulerDelegate *delegate() const { return delegate_; }
    void setDelegate(ScrollViewWithTableRowRulerDelegate *delegate) { delegate_ = delegate; }
    void setSelected(qint64 row, bool isEdited);
    void tableviewWasUpdated();
    VisibleRowRange visibleRange() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void reflectScrolledClipView();

    QPointer<QTableView> tableView_;
    TableRowRulerView *rulerView_;
    ScrollViewWithTableRowRulerDelegate *delegate_ = nullptr;
};
