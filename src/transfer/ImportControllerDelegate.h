#pragma once

#include "elements/BrowserElement.h"

#include <QList>
#include <QString>

class ImportController;

// What the import controller tells its owner (the connection document); on the main thread.
class ImportControllerDelegate
{
public:
    virtual ~ImportControllerDelegate() = default;
    // The preview was cleared or a new one arrived.
    virtual void importControllerHasUpdatedPreview(ImportController *controller) = 0;
    // The run state or its counters changed.
    virtual void importControllerStatusUpdated(ImportController *controller) = 0;
    // The tables of the selected schema that can take the rows.
    virtual QList<BrowserElementPtr> importControllerNeedsImportableBrowserElements(ImportController *)
    {
        return {};
    }
    // The user wants the generated or refused statements in the SQL editor.
    virtual void importControllerInsertSqlIntoEditor(ImportController *, const QString &) {}
};
