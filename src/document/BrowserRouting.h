#pragma once

#include "browser/BrowserControllerDelegate.h"
#include "client/VornRootClient.h"
#include "document/DocumentConnectionAnswers.h"
#include "status/StatusBarElement.h"

#include <QVariantMap>

#include <memory>

class BrowserCompletionSource;
class BrowserController;
class BrowserViewController;
class PaneSelection;
class StatementRouting;
class VornDocument;

// The document's schema browser: it owns the browser controller, answers it as its delegate, and
// shows in the content pane what the selected element loaded. What concerns the connection it passes
// to the document.
class BrowserRouting : public DocumentConnectionAnswers<ConnectedControllerDelegate>,
                       public BrowserControllerDelegate
{
public:
    BrowserRouting(VornDocument &document, PaneSelection &panes, StatementRouting &statements,
                   const VornRootClientPtr &root);
    BrowserRouting(const BrowserRouting &) = delete;
    BrowserRouting &operator=(const BrowserRouting &) = delete;
    ~BrowserRouting() override;

    BrowserController *browserController() const { return browserController_.get(); }
    // The window's browser pane while the document has a window.
    BrowserViewController *browserViewController() const;
    void bindWindowPane() const;
    void unbindWindowPane() const;
    // After a connect: the outline shows the connection's schema, its objects read when not known yet.
    // A document without a window reads them when they are asked for.
    void selectDefaultSchema();
    // The element selected in the browser, as the status bar shows it; null when none.
    const StatusBarElement *selectedStatusBarElement();
    // The schema the browser shows; null without a connection.
    QString selectedSchema() const;
    BrowserElementPtr selectedElement() const;

    // The connection is new (or gone): the browser starts from the root, then takes the browser state
    // and the element to show of the tab's initialisation info.
    void startFromRoot(const QVariantMap &initializationInfo);
    void resetFromRoot();
    // The browser's state and the element shown, for the document's restorable state and duplicates.
    QVariantMap restorableInfo() const;
    QVariantMap duplicationInfo() const;

    // BrowserControllerDelegate.
    void resultsetHasBeenUpdated() override;
    void browserHasBeenUpdated() override;
    void browserControllerLoadedElement(const BrowserElementPtr &element) override;
    void browserNeedsARefresh() override;
    void browserWillUpdate() override;
    void browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &update) override;
    void browserWantsToConnect() override;
    void browserWantsToDisconnect() override;
    void browserDidReloadConnectionInfo() override;
    void browserRequestsNewDocumentFor(const BrowserElementPtr &element, const FilterPtr &filter,
                                       bool newWindow) override;
    void browserWantsImportOfDataIntoElement(const BrowserElementPtr &element) override;
    void browserWantsExportOfElement(const BrowserElementPtr &element) override;
    void browserWantsInfoOfElement(const BrowserElementPtr &element) override;
    void browserWantsToOpenRecyclebin() override;
    void browserNeedsBackgroundReloadConnectionInfo() override;
    void commitOrRollbackCompleted() override;
    void browserUpdatedManagementMode() override;
    DDLController *browserWantsDDLController() override;

private:
    // The loaded object shown as its text in the read-only pane; false when the root has none.
    bool showContentDescription(const BrowserElementPtr &element);
    class ElementForStatusBar;

    // The window's browser pane while it shows this document's browser.
    BrowserViewController *paneShowingBrowser() const;
    // Loads the element the tab was opened or restored with, once its schema's objects are known.
    void loadPendingElement();
    void infoFollowsManagementMode();

    VornDocument &document_;
    PaneSelection &panes_;
    StatementRouting &statements_;
    std::unique_ptr<BrowserController> browserController_;
    // Names for the SQL editor's completion; the editor's text storage holds it weakly.
    std::shared_ptr<BrowserCompletionSource> completionSource_;
    std::unique_ptr<ElementForStatusBar> statusBarElement_;
    QVariantMap pendingElement_;
};
