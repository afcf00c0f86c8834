#pragma once

#include "kit/MouseDownActionButton.h"
#include "resultset/QuickFilterItem.h"
#include "resultset/QuickFilterRadioItem.h"
#include "resultset/QuickFilterRequest.h"
#include "resultset/QuickFilterSearchItem.h"
#include "resultset/QuickFilterView.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class QAction;
class QMenu;
class QParallelAnimationGroup;
class QScrollArea;
class QuickFilterController;
class ResultsetController;

// What the quick-filter bar asks of the grid's controller.
class QuickFilterControllerDelegate
{
public:
    virtual ~QuickFilterControllerDelegate() = default;
    // Whether a row's condition is acceptable.
    virtual bool quickFilter(QuickFilterController *controller, const QString &columnName,
                             const QString &value, const QString &operatorCode, const QString &type) = 0;
    // The bar's columns, operators and values are the new quick filter.
    virtual void quickFilterWasUpdated(QuickFilterController *controller) = 0;
    // The bar's height changed: fit the split view, animated.
    virtual void quickFilterRequestsRelayout(QuickFilterController *controller) = 0;
    // The condition that selects (or, negated, excludes) the values of the column; null without result.
    virtual QString quickFilterNeedsCustomFilterForColumn(const QString &columnName,
                                                          const QStringList &values, bool negative) = 0;
    virtual void quickFilterWantsToClearFilterAndSort(QuickFilterController *controller) = 0;
    // The sheets that store the current filter under a name, and rename or delete stored filters.
    virtual void quickFilterWantsToStoreCurrentFilter(QuickFilterController *controller) = 0;
    virtual void quickFilterWantsToEditStoredFilters(QuickFilterController *controller) = 0;
    // The model whose stored filters the options menu works on.
    virtual ResultsetController *quickFilterNeedsResultsetControllerForFilterStorage() = 0;
};

// Runs the quick-filter bar above the result grid: rows of column, operator and value for an ordinary
// result set; radio and search entries from the management configuration for a management view. Every
// edit becomes a new quick-filter request (three parallel lists) that the delegate hands to the model.
// It lays the entries out, tells how high the bar must be, takes filter items dropped on the bar and
// builds the options menu. Main thread only.
class QuickFilterController : public QObject,
                              public QuickFilterItemDelegate,
                              public QuickFilterRadioItemDelegate,
                              public QuickFilterSearchItemDelegate,
                              public QuickFilterViewDelegate,
                              public MouseDownActionContextButton
{
    Q_OBJECT
public:
    static constexpr int animationMs = 350;
    static constexpr int emptyHeight = 30;

    // The bar lives in the scroll area (the split view's top pane), which the controller sizes it by.
    QuickFilterController(QuickFilterView *view, QScrollArea *scrollArea, QObject *parent = nullptr);
    ~QuickFilterController() override;

    QuickFilterView *view() const { return view_; }
    QuickFilterControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(QuickFilterControllerDelegate *delegate) { delegate_ = delegate; }
    // The entries in bar order: QuickFilterItem rows, or radio and search entries in management mode.
    const QList<QObject *> &quickFilterItems() const { return items_; }
    QList<QuickFilterItem *> rows() const;
    QVariantList columnInfo() const { return columnInfo_; }
    bool managementMode() const { return managementMode_; }
    QVariantMap managementConfig() const { return managementConfig_; }
    MouseDownActionButton *optionsButton() const { return optionsButton_; }

    void loadFromController(ResultsetController *resultsetController);
    // Rebuilds the bar from the column information and the quick filter now applied.
    void load(const QVariantList &columnInfo, const QuickFilterRequest &current, bool management,
              const QVariantMap &managementConfig);
    void updateFromController(ResultsetController *resultsetController);
    void resultsetReset();
    void layoutItems(bool animate);
    int requiredHeight() const;

    // The quick-filter request; rows without a column contribute nothing.
    QVariantList columns() const;
    QVariantList operators() const;
    QVariantList values() const;
    QuickFilterRequest request() const;

    void verifyInput();
    void handleUpdate();
    bool canSelectQuickFilter() const { return !items_.isEmpty(); }
    void selectQuickFilter();

    QMenu *generateContextMenu() override;

    void quickFilterItemWasUpdated(QuickFilterItem *item) override;
    void quickFilterItemWantsToBeRemoved(QuickFilterItem *item) override;
    void quickFilterItemWantsToAddANewItem(QuickFilterItem *item) override;
    void quickFilterRadioItemUpdatedSelectionFrom(const QString &from, const QString &to) override;
    void quickFilterSearchItemUpdatedSelectionFrom(const QString &from, const QString &to) override;
    bool canReceiveFilterItem(const Filter &filter) override;
    void quickFilterReceivedFilterItem(const Filter &filter) override;

private:
    QuickFilterItem *newRow();
    void addEntry(QObject *item, QWidget *itemView);
    void loadManagementEntries(const QVariantList &currentColumns, const QVariantList &currentValues);
    void addOptionsButton();
    // Lays out, validates, fades the new row in and asks for the split view's re-fit, together.
    void settleAfterChange(QWidget *fadingView, bool animate);
    void fadeIn(QWidget *itemView);
    ResultsetController *storage() const;
    void loadStoredFilter(QAction *item);
    void updateCurrentFilter();
    void clearFilterAndSort();

    QPointer<QuickFilterView> view_;
    QPointer<QScrollArea> scrollArea_;
    QuickFilterControllerDelegate *delegate_ = nullptr;
    QList<QObject *> items_;
    QVariantList columnInfo_;
    bool managementMode_ = false;
    QVariantMap managementConfig_;
    QPointer<MouseDownActionButton> optionsButton_;
    QPointer<QParallelAnimationGroup> layoutAnimation_;
};
