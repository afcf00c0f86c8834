// The quick-filter bar above the grid: every edit in it becomes the model's new quick filter, and its
// height sets the split between bar and grid.
#include "resultset/ResultsetViewController.h"

#include "resultset/QuickFilterController.h"
#include "resultset/QuickFilterView.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetSplitView.h"

#include <QEvent>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

namespace
{
// Lays the bar's rows out again when its pane changes width: they keep to its right edge.
class BarWidthFollower : public QObject
{
public:
    BarWidthFollower(QuickFilterController *controller, QObject *parent)
        : QObject(parent), controller_(controller)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && controller_)
            controller_->layoutItems(false);
        return QObject::eventFilter(watched, event);
    }

private:
    // The window may keep the view longer than the controllers live.
    QPointer<QuickFilterController> controller_;
};
} // namespace

QWidget *ResultsetViewController::setUpQuickFilter(QWidget *gridPane)
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *barPane = new QScrollArea;
    auto *bar = new QuickFilterView;
    barPane->setWidget(bar);
    barPane->setWidgetResizable(false);
    quickFilterController_ = new QuickFilterController(bar, barPane, this);
    quickFilterController_->setDelegate(this);
    barPane->viewport()->installEventFilter(new BarWidthFollower(quickFilterController_, barPane));
    resultsetSplitView_ = new ResultsetSplitView(barPane, gridPane, view);
    resultsetSplitView_->setRequiredHeight(
        [controller = QPointer<QuickFilterController>(quickFilterController_)] {
            return controller ? controller->requiredHeight() : 0;
        });
    layout->addWidget(resultsetSplitView_);
    // Without a result set there is nothing to filter.
    resultsetSplitView_->resetViewEnableQuickFilter(false, false);
    return view;
}

void ResultsetViewController::fitQuickFilter(bool animate)
{
    resultsetSplitView_->resetViewEnableQuickFilter(
        resultsetController_ && !resultsetController_->disableQuickFilter(), animate);
}

void ResultsetViewController::selectQuickFilter(QObject *)
{
    quickFilterController_->selectQuickFilter();
}

bool ResultsetViewController::quickFilter(QuickFilterController *, const QString &columnName,
                                          const QString &value, const QString &operatorCode,
                                          const QString &type)
{
    if (!resultsetController_)
        return true;
    if (columnName == QuickFilterItem::customFilterColumn)
        return resultsetController_->quickFilterValid();
    return resultsetController_->verifyFilterForColumn(columnName, value, operatorCode, type);
}

void ResultsetViewController::quickFilterWasUpdated(QuickFilterController *controller)
{
    if (resultsetController_)
        resultsetController_->updateQuickFilterWithColumns(controller->columns(), controller->operators(),
                                                           controller->values());
}

void ResultsetViewController::quickFilterRequestsRelayout(QuickFilterController *)
{
    fitQuickFilter(true);
}

QString ResultsetViewController::quickFilterNeedsCustomFilterForColumn(const QString &columnName,
                                                                       const QStringList &values,
                                                                       bool negative)
{
    return resultsetController_ ? resultsetController_->customFilterForColumn(columnName, values, negative)
                                : QString();
}

void ResultsetViewController::quickFilterWantsToClearFilterAndSort(QuickFilterController *)
{
    if (resultsetController_)
        resultsetController_->clearFilterAndSort();
}

ResultsetController *ResultsetViewController::quickFilterNeedsResultsetControllerForFilterStorage()
{
    return resultsetController_;
}
