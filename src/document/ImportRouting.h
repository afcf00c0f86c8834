#pragma once

#include "client/VornRootClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "elements/BrowserElement.h"
#include "transfer/ImportControllerDelegate.h"
#include "transfer/ImportViewControllerDelegate.h"

#include <memory>

class ImportController;
class StatusManager;
class ThreadController;
class VornDocument;

// The document's import: it owns the import controller, answers it as its delegate and runs the
// import assistant on the document window, into a browser table or a table chosen in the assistant.
class ImportRouting : public ConnectedControllerDelegate,
                      public ImportControllerDelegate,
                      public ImportViewControllerDelegate
{
public:
    ImportRouting(VornDocument &document, const VornRootClientPtr &root,
                  std::shared_ptr<ThreadController> threads, std::shared_ptr<StatusManager> status);
    ImportRouting(const ImportRouting &) = delete;
    ImportRouting &operator=(const ImportRouting &) = delete;
    ~ImportRouting() override;

    ImportController *importController() const { return importController_.get(); }
    // Starts the assistant with the table as target, or with none chosen yet.
    void startImport(const BrowserElementPtr &element);

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

    void importControllerHasUpdatedPreview(ImportController *) override;
    void importControllerStatusUpdated(ImportController *) override;
    QList<BrowserElementPtr> importControllerNeedsImportableBrowserElements(ImportController *) override;
    void importControllerInsertSqlIntoEditor(ImportController *, const QString &text) override;
    void importViewControllerFinishedSuccessful(ImportViewController *assistant, bool successful) override;

private:
    void updateAssistant();

    VornDocument &document_;
    std::unique_ptr<ImportController> importController_;
};
