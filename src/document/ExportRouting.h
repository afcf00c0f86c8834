#pragma once

#include "client/VornRootClient.h"
#include "document/AssistantRouting.h"
#include "elements/BrowserElement.h"
#include "transfer/ExportControllerDelegate.h"
#include "transfer/ExportViewControllerDelegate.h"

#include <memory>

class ExportController;
class StatusManager;
class ThreadController;

// The document's export: it owns the export controller, answers it as its delegate and runs the
// export assistant on the document window for a browser element or the current result set.
class ExportRouting : public AssistantRouting,
                      public ExportControllerDelegate,
                      public ExportViewControllerDelegate
{
public:
    ExportRouting(VornDocument &document, const VornRootClientPtr &root,
                  std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status);
    ~ExportRouting() override;

    ExportController *exportController() const { return exportController_.get(); }
    // Starts the assistant for the element, or, without one, for the current result set when it has rows.
    void startExport(const BrowserElementPtr &element);

    QList<BrowserElementPtr> exportControllerNeedsExportableBrowserElements(ExportController *) override;
    ExtendedResultsetDescription exportControllerNeedsResultsetDescription(ExportController *) override;
    void exportControllerStatusUpdated(ExportController *) override;
    void exportViewControllerFinishedSuccessful(ExportViewController *assistant, bool successful) override;

private:
    std::unique_ptr<ExportController> exportController_;
};
