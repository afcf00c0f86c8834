#pragma once

#include "browser/BrowserElementSection.h"
#include "elements/BrowserElement.h"
#include "resultset/Filter.h"

#include <optional>

class DDLController;

// What the browser controller tells its document. Main thread, except
// browserDidReloadConnectionInfo, which comes from the reload's worker.
class BrowserControllerDelegate
{
public:
    virtual ~BrowserControllerDelegate() = default;

    // After a commit, when the backend says the shown rows must be drawn again.
    virtual void resultsetHasBeenUpdated() = 0;
    // The stores or the selection changed (without a recent-section animation).
    virtual void browserHasBeenUpdated() = 0;
    // The end of a load: the loaded element, or null after a failed load.
    virtual void browserControllerLoadedElement(const BrowserElementPtr &element) = 0;
    // After a rollback: the shown result set is read again.
    virtual void browserNeedsARefresh() = 0;
    // Around a change of the recent section after a load.
    virtual void browserWillUpdate() = 0;
    virtual void browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &update) = 0;
    virtual void browserWantsToConnect() = 0;
    virtual void browserWantsToDisconnect() = 0;
    // The end of a reload of the connection's metadata, successful or not. Worker thread.
    virtual void browserDidReloadConnectionInfo() = 0;
    // The element is to open in a new tab or window, with the dropped filter or none.
    virtual void browserRequestsNewDocumentFor(const BrowserElementPtr &element, const FilterPtr &filter,
                                               bool newWindow) = 0;
    virtual void browserWantsImportOfDataIntoElement(const BrowserElementPtr &element) = 0;
    virtual void browserWantsExportOfElement(const BrowserElementPtr &element) = 0;
    virtual void browserWantsInfoOfElement(const BrowserElementPtr &element) = 0;
    virtual void browserWantsToOpenRecyclebin() = 0;
    // The selected schema's metadata is not fully loaded and the background checker runs.
    virtual void browserNeedsBackgroundReloadConnectionInfo() = 0;
    virtual void commitOrRollbackCompleted() = 0;
    virtual void browserUpdatedManagementMode() = 0;
    // Null while the document has no definitions controller.
    virtual DDLController *browserWantsDDLController() = 0;
};
