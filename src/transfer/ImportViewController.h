#pragma once

#include "transfer/ImportSubViewControllerDelegate.h"
#include "transfer/TransferAssistant.h"

#include <memory>

class ImportColumnMappingViewController;
class ImportController;
class ImportDetectWait;
class ImportInitialViewController;
class ImportOptionsViewController;
class ImportOverviewController;
class ImportPlainTextSourceInterpretationViewController;
class ImportPreviewViewController;
class ImportStatusViewController;
class ImportSubViewController;
class ImportViewControllerDelegate;
class ImportXLSXSourceInterpretationViewController;
class QWidget;

// The import assistant: six steps on the step wizard (source and destination, file format, column
// mapping, options, overview, import). It holds no import logic: the pages write every choice into
// the document's import controller. While the first preview of a new file is read, a waiting page
// stands at the file-format step. Main thread only.
class ImportViewController : public TransferAssistant, public ImportSubViewControllerDelegate
{
    Q_OBJECT
public:
    ImportViewController();
    ~ImportViewController() override;

    ImportViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(ImportViewControllerDelegate *delegate) { delegate_ = delegate; }
    void setImportController(ImportController *controller) { importController_ = controller; }

    // Shows the assistant as a sheet on the document window.
    void startupImportOnWindow(QWidget *window);
    // The import controller's status or preview changed: the current page redraws, the buttons follow.
    void update();

    ImportInitialViewController *importInitialViewController() const { return initial_.get(); }
    ImportPlainTextSourceInterpretationViewController *plainTextPage() const { return plainText_.get(); }
    ImportXLSXSourceInterpretationViewController *xlsxPage() const { return xlsx_.get(); }
    ImportColumnMappingViewController *importColumnMappingViewController() const { return mapping_.get(); }
    ImportOptionsViewController *importOptionsViewController() const { return options_.get(); }
    ImportOverviewController *importOverviewController() const { return overview_.get(); }
    ImportStatusViewController *importStatusViewController() const { return status_.get(); }
    ImportDetectWait *importDetectWait() const { return wait_.get(); }
    ImportPreviewViewController *importPreviewViewController() const { return preview_.get(); }

    void importSubViewControllerUpdated(ImportSubViewController *page) override;
    void importStatusViewControllerWantsToClose(ImportSubViewController *page) override;

    QString titleForAssistantWindowController(AssistantWindowController *) override;
    QStringList pageIdentifiersForAssistantWindowController(AssistantWindowController *) override;
    QString nameForPageIdentifier(const QString &identifier, AssistantWindowController *) override;
    AssistantWindowSubViewController *viewControllerForPageIdentifier(const QString &identifier,
                                                                      AssistantWindowController *) override;
    bool canNavigateToPageIdentifier(const QString &identifier, AssistantWindowController *) override;
    QString titleForForwardButtonForAssistantWindowController(AssistantWindowController *) override;
    void cancelledAssistantWindowController(AssistantWindowController *) override;
    bool supportAutoSkipForAssistantWindowController(AssistantWindowController *) override;
    QString autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *) override;
    bool supportAutoSkipForPageIdentifier(const QString &identifier, AssistantWindowController *) override;

protected:
    TransferSubViewController *firstPage() const override;
    TransferSubViewController *statusPage() const override;

private:
    ImportSubViewController *sourceInterpretationPage();
    ImportSubViewController *withPreview(ImportSubViewController *page);
    QList<ImportSubViewController *> pages() const;

    ImportController *importController_ = nullptr;
    ImportViewControllerDelegate *delegate_ = nullptr;
    std::unique_ptr<ImportPreviewViewController> preview_;
    std::unique_ptr<ImportInitialViewController> initial_;
    std::unique_ptr<ImportPlainTextSourceInterpretationViewController> plainText_;
    std::unique_ptr<ImportXLSXSourceInterpretationViewController> xlsx_;
    std::unique_ptr<ImportColumnMappingViewController> mapping_;
    std::unique_ptr<ImportOptionsViewController> options_;
    std::unique_ptr<ImportOverviewController> overview_;
    std::unique_ptr<ImportStatusViewController> status_;
    std::unique_ptr<ImportDetectWait> wait_;
    // The file-format page last handed out; none before the step was first shown.
    ImportSubViewController *sourceInterpretation_ = nullptr;
};
