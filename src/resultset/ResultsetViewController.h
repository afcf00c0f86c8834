#pragma once

#include "kit/VisualShortcut.h"
#include "resultset/ResultsetDimension.h"
#include "window/PaneViewController.h"

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QTableView>

class ResultsetController;
class ResultsetTableModel;

// The result pane: a grid of the rows of the document's result-set model. Its first column is the
// row-number column; the others are identified by the backend's unique column names and titled by their
// labels, so duplicate labels keep their own values and layouts. Column widths and order are remembered
// per result-set description for the life of the controller. Scrolling reports the visible rows to the
// model, which fetches more rows ahead. Main thread only.
class ResultsetViewController : public PaneViewController, public VisualShortcutAdopter
{
    Q_OBJECT
public:
    // The narrowest the row-number column gets; it widens for row numbers with more digits.
    static constexpr int rowNumberColumnWidth = 43;
    static constexpr int minimumColumnWidth = 80;
    // A column is made no wider than this for its title and values; the user may widen it further.
    static constexpr int maximumFittedColumnWidth = 400;
    // The rows whose values give the columns their widths: the backend's first portion.
    static constexpr int firstPageRows = 100;

    explicit ResultsetViewController(QObject *parent = nullptr);
    ~ResultsetViewController() override;

    QTableView *tableView() const { return tableView_; }
    ResultsetTableModel *tableModel() const { return tableModel_; }

    // Binds the document's model (not owned; bind null before it goes) and rebuilds the columns.
    void setResultsetController(ResultsetController *resultsetController);
    ResultsetController *resultsetController() const { return resultsetController_; }

    // The model's columns may have changed.
    void resultsetReset();
    // Rows were added or changed.
    void resultsetUpdated();
    // The filter or the sort changed: back to the first row.
    void resultsetQuickFilterOrSortUpdated();
    void resultsetWillUpdate();
    void resultsetCancelledUpdate();
    void cancelTableViewUpdates();
    // A row (1-based) was removed from the model.
    void resultsetRemovedRowAt(qint64 row);
    // The focus leaves the result: remember its layout.
    void resultsetWillBeOrderedOut();

    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;
    void detachModel() override;

    Q_INVOKABLE void selectResultset(QObject *sender);
    Q_INVOKABLE void refresh(QObject *sender);
    Q_INVOKABLE bool validateAction(const QString &action) const;
    // Ctrl-Alt-L selects the grid.
    QList<VisualShortcut> visualShortcuts() override;

    // The sort indicator of a direction (1 ascending, else descending), numbered when sequence > 0.
    static QPixmap sortImage(int direction, int sequence);

private:
    void buildColumns();
    // By logical column; the row-number column's entry is unused.
    QList<int> fittedColumnWidths() const;
    void fitRowNumberColumn();
    void resetSortDescriptors();
    void headerClicked(int column);
    void columnMoved(int logical, int oldVisual, int newVisual);
    void columnResized(int logical, int oldSize, int newSize);
    void storeDimension();
    void loadDimensions();
    void reportVisibleRange();
    bool eventFilter(QObject *watched, QEvent *event) override;

    ResultsetController *resultsetController_ = nullptr;
    QPointer<QTableView> tableView_;
    ResultsetTableModel *tableModel_ = nullptr;
    QHash<QString, ResultsetDimension> resultsetDimensions_;
    // Set while columns are built or restored, so those changes are not recorded as the user's.
    bool arranging_ = false;
};
