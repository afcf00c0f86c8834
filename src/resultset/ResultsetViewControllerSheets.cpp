#include "resultset/EditedStoredFilters.h"
#include "resultset/FilterWindowController.h"
#include "resultset/FilterWindowControllerDelegate.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "resultset/SortWindowController.h"
#include "resultset/SortWindowControllerDelegate.h"
#include "resultset/StoreQuickFilter.h"

#include <QPointer>

// The grid's filter and sort sheets and the sheets of the stored quick filters. The sheets are made on
// first use and kept; each opening loads them from the model again.

namespace
{
const QString customFilter = QStringLiteral("__CUSTOM_FILTER__");
} // namespace

class ResultsetViewController::SheetDelegate : public QObject,
                                               public FilterWindowControllerDelegate,
                                               public SortWindowControllerDelegate
{
public:
    explicit SheetDelegate(ResultsetViewController &grid) : QObject(&grid), grid_(grid) {}

    void filterWindowEndedWithStatus(FilterWindowController *sheet, int status) override
    {
        ResultsetController *model = grid_.resultsetController();
        if (status != 1 || !model)
            return;
        model->updateQuickFilterWithColumns({customFilter}, {customFilter}, {sheet->filter()});
        grid_.quickFilterController_->loadFromController(model);
        grid_.fitQuickFilter(true);
    }

    QString filterWindowNeedsQueryForColumn(FilterWindowController *, const QString &columnName,
                                            const QString &value, const QString &operatorCode) override
    {
        ResultsetController *model = grid_.resultsetController();
        return model ? model->queryPartForColumn(columnName, value, operatorCode) : QString();
    }

    void sortWindowEndedWithStatus(SortWindowController *sheet, int status) override
    {
        ResultsetController *model = grid_.resultsetController();
        if (status == 1 && model)
            model->setQuickSort(sheet->currentSort());
    }

private:
    ResultsetViewController &grid_;
};

bool ResultsetViewController::validateSheetAction(const QString &action, bool *valid) const
{
    if (action != QLatin1String("filter:") && action != QLatin1String("sort:"))
        return false;
    // A statement's result has no filter or sort of its own to change.
    *valid = resultsetController_ && resultsetController_->canRefresh() &&
             !resultsetController_->disableQuickFilter();
    return true;
}

void ResultsetViewController::filter(QObject *)
{
    if (!resultsetController_)
        return;
    if (!sheetDelegate_)
        sheetDelegate_ = new SheetDelegate(*this);
    if (!filterWindowController_) {
        filterWindowController_ = new FilterWindowController(this);
        filterWindowController_->setDelegate(sheetDelegate_);
    }
    filterWindowController_->setFilter(resultsetController_->filterAsQuery(),
                                       resultsetController_->quickFilterColumnInfo());
    filterWindowController_->showOnWindow(view()->window());
}

void ResultsetViewController::sort(QObject *)
{
    if (!resultsetController_)
        return;
    if (!sheetDelegate_)
        sheetDelegate_ = new SheetDelegate(*this);
    if (!sortWindowController_) {
        sortWindowController_ = new SortWindowController(this);
        sortWindowController_->setDelegate(sheetDelegate_);
    }
    sortWindowController_->setSort(resultsetController_->quickSortColumns(),
                                   resultsetController_->quickSortColumnInfo());
    sortWindowController_->showOnWindow(view()->window());
}

void ResultsetViewController::storeCurrentQuickFilter()
{
    if (!resultsetController_)
        return;
    auto *sheet = new StoreQuickFilter(view()->window());
    // The model is asked when the sheet ends: it may have gone by then.
    sheet->beginSheetOnWindow(view()->window(), [grid = QPointer(this), sheet](int code) {
        if (code == 1 && grid && grid->resultsetController())
            grid->resultsetController()->storeFilter(sheet->name());
    });
}

void ResultsetViewController::editStoredQuickFilters()
{
    if (!resultsetController_)
        return;
    auto *sheet = new EditedStoredFilters(view()->window());
    sheet->runModalOnWindow(view()->window(), [grid = QPointer(this)]() -> ResultsetController * {
        return grid ? grid->resultsetController() : nullptr;
    });
}
