#pragma once

#include "elements/BrowserElement.h"
#include "resultset/ExtendedResultsetDescription.h"

#include <QList>

class ExportController;

// What the export controller asks of its document, and how it tells it that a run moved on.
class ExportControllerDelegate
{
public:
    virtual ~ExportControllerDelegate() = default;

    // The tables, then the views, of the schema selected in the browser.
    virtual QList<BrowserElementPtr> exportControllerNeedsExportableBrowserElements(ExportController *) = 0;
    virtual ExtendedResultsetDescription exportControllerNeedsResultsetDescription(ExportController *) = 0;
    // The state or the count changed (main thread).
    virtual void exportControllerStatusUpdated(ExportController *) = 0;
};
