#pragma once

#include "client/VornRootClient.h"
#include "document/AssistantRouting.h"
#include "elements/BrowserElement.h"
#include "transfer/ImportControllerDelegate.h"
#include "transfer/ImportViewControllerDelegate.h"

#include <memory>

class ImportController;
class StatusManager;
class ThreadController;

// The document's import: it owns the import controller, answers it as its delegate and runs the
// import assistant on the document window, into a browser table or a table chosen in the assistant.
class ImportRouting : public AssistantRouting,
                      public ImportControllerDelegate,
                      public ImportViewControllerDelegate
{
public:
    ImportRouting(VornDocument &document, const VornRootClientPtr &root,
                  std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status);
    ~ImportRouting() override;

    ImportController *importController() const { return importController_.get(); }
    // Starts the assistant with the table as target, or with none chosen yet.
    void startImport(const BrowserElementPtr &element);

    void importControllerHasUpdatedPreview(ImportController *) override;
    void importControllerStatusUpdated(ImportController *) override;
    QList<BrowserElementPtr> importControllerNeedsImportableBrowserElements(ImportController *) override;
    void importControllerInsertSqlIntoEditor(ImportController *, const QString &text) override;
    void importViewControllerFinishedSuccessful(ImportViewController *assistant, bool successful) override;

private:
    void updateAssistant();

    std::unique_ptr<ImportController> importController_;
};
