#pragma once

#include "browser/InfoControllerDelegate.h"
#include "client/VornRootClient.h"
#include "elements/BrowserElement.h"

#include <memory>

class InfoColumnViewController;
class InfoController;
class StatusManager;
class ThreadController;
class VornDocument;
class VornResultset;

// The document's info column: it owns the InfoController (whose connection questions the document
// answers), is its info delegate, and keeps the window's info column in step with it. The schema
// browser hands it the element it loaded with browserLoadedElement, and asks for an element's
// information in a floating panel with showInfoOfElementSeparately. Main thread.
class InfoColumnRouting : public InfoControllerDelegate
{
public:
    InfoColumnRouting(VornDocument &document, const VornRootClientPtr &root,
                      const std::shared_ptr<ThreadController> &threads,
                      const std::shared_ptr<StatusManager> &status);
    InfoColumnRouting(const InfoColumnRouting &) = delete;
    InfoColumnRouting &operator=(const InfoColumnRouting &) = delete;
    ~InfoColumnRouting() override;

    const std::shared_ptr<InfoController> &infoController() const { return infoController_; }
    // The window's info column while the document has a window.
    InfoColumnViewController *infoColumnViewController() const;
    void bindWindowPane() const;
    void unbindWindowPane() const;

    // Nothing to show: when the connection starts, before a statement runs, when results are cleared.
    void showNothing();
    void showStatementResult(const BrowserElementPtr &element,
                             const std::shared_ptr<VornResultset> &resultset);
    // The browser loaded an element: its skeleton now (the grid's columns from the result set), the
    // details a second later.
    void browserLoadedElement(const BrowserElementPtr &element,
                              const std::shared_ptr<VornResultset> &resultset);
    void showInfoOfElementSeparately(const BrowserElementPtr &element);
    // The column redraws what it shows (a new tab label, a cleared selection).
    void refreshColumn() const;
    // Metadata changed: cached pages are stale.
    void clearCaches();

    // InfoControllerDelegate.
    bool infoControllerShouldLoadExtendedInfo(InfoController *controller) override;
    void infoHasBeenUpdated(qint64 sectionType) override;
    void requestSeparatedViewOfInfoController(std::shared_ptr<InfoController> controller) override;
    qint64 infoControllerNeedsTabLabel(InfoController *controller) override;
    QString infoControllerNeedsActiveConnectionName(InfoController *controller) override;

private:
    VornDocument &document_;
    std::shared_ptr<InfoController> infoController_;
};
