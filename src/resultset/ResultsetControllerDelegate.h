#pragma once

#include "connection/ConnectedControllerDelegate.h"
#include "elements/BrowserElement.h"
#include "resultset/ExtendedFilter.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// What the result-set model tells its document (which forwards the row changes to the grid). Every
// method is called on the main thread.
class ResultsetControllerDelegate : public ConnectedControllerDelegate
{
public:
    // Before rows are removed.
    virtual void resultsetWillUpdate() = 0;
    // A removal failed at a row: the batched update ends.
    virtual void resultsetCancelledUpdate() = 0;
    // A row (1-based) was removed.
    virtual void resultSetRemovedRowAt(qint64 row) = 0;
    // Rows were added or changed: after a preload, a filter, a sort or a refresh.
    virtual void resultsetHasBeenUpdated() = 0;
    // Right after resultsetHasBeenUpdated, except after a preload.
    virtual void resultsetQuickFilterOrSortHasBeenUpdated() = 0;
    virtual void resultSetRequestsNewDocumentForUpdatedFilter(const ExtendedFilterPtr &filter,
                                                              const BrowserElementPtr &element,
                                                              bool newWindow) = 0;
    // The columns may have changed.
    virtual void resultsetHasBeenReset() = 0;
    // The browser's selected element, or null.
    virtual BrowserElementPtr resultsetNeedsSelectedElement() = 0;
    // A management row that provides sessions was chosen.
    virtual void resultsetSelectedSession(const QVariantMap &row, const QStringList &order,
                                          const QVariantList &sessionId) = 0;
};
