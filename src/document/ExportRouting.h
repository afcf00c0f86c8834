#pragma once

#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "elements/BrowserElement.h"
#include "transfer/ExportControllerDelegate.h"
#include "transfer/ExportViewControllerDelegate.h"

#include <memory>

class ExportController;
class StatusManager;
class ThreadController;
class VornDocument;

// The document's export: it owns the export controller, answers it as its delegate and runs the
// export assistant on the document window for a browser element or the current result set.
class ExportRouting : public ConnectedControllerDelegate,
                      public ExportControllerDelegate,
                      public ExportViewControllerDelegate
{
public:
    ExportRouting(VornDocument &document, const VornRootClientPtr &root,
                  std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status);
    ExportRouting(const ExportRouting &) = delete;
    ExportRouting &operator=(const ExportRouting &) = delete;
    ~ExportRouting() override;

    ExportController *exportController() const { return exportController_.get(); }
    // Starts the assistant for the element, or, without one, for the current result set when it has rows.
    void startExport(const BrowserElementPtr &element);

    // ConnectedControllerDelegate: the document answers.
    bool connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                    const QString &description) override;
    void connectedControllerWantsEndRootReservation(ConnectedController *controller) override;
    bool connectedControllerWantsToChangeFocus(ConnectedController *controller,
                                               bool requiresEditing) override;
    bool connectedControllerWantsClearRootSelection(ConnectedController *controller) override;
    ConnectionParametersPtr
    connectedControllerWantsConnectionParameters(ConnectedController *controller) override;
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller) override;

    QList<BrowserElementPtr> exportControllerNeedsExportableBrowserElements(ExportController *) override;
    ExtendedResultsetDescription exportControllerNeedsResultsetDescription(ExportController *) override;
    void exportControllerStatusUpdated(ExportController *) override;
    void exportViewControllerFinishedSuccessful(ExportViewController *assistant, bool successful) override;

private:
    VornDocument &document_;
    std::unique_ptr<ExportController> exportController_;
};
