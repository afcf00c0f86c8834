#pragma once

#include "transfer/ExportSubViewControllerDelegate.h"
#include "transfer/TransferAssistant.h"

#include <memory>

class ExportColumnViewController;
class ExportController;
class ExportFormatViewController;
class ExportInitialViewController;
class ExportOverviewViewController;
class ExportStatusViewController;
class ExportViewControllerDelegate;
class QWidget;

// The export assistant: five pages on the step wizard (source, columns, format, overview, status). It
// holds no export logic: the pages write every choice into the document's export controller, and each
// change is kept as the export defaults. Main thread only.
class ExportViewController : public TransferAssistant, public ExportSubViewControllerDelegate
{
    Q_OBJECT
public:
    ExportViewController();
    ~ExportViewController() override;

    ExportViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(ExportViewControllerDelegate *delegate) { delegate_ = delegate; }
    void setExportController(ExportController *controller) { exportController_ = controller; }

    // Shows the assistant as a sheet on the document window.
    void startupImportOnWindow(QWidget *window);
    // The export controller's state changed: the current page redraws, the buttons follow.
    void update();

    ExportInitialViewController *exportInitialViewController() const { return initial_.get(); }
    ExportColumnViewController *exportColumnViewController() const { return columns_.get(); }
    ExportFormatViewController *exportFormatViewController() const { return format_.get(); }
    ExportOverviewViewController *exportOverviewViewController() const { return overview_.get(); }
    ExportStatusViewController *exportStatusViewController() const { return status_.get(); }

    void exportSubViewControllerUpdated(ExportSubViewController *page) override;
    void exportSubViewControllerRequestCancel(ExportSubViewController *page) override;

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
    ExportSubViewController *page(const QString &identifier) const;

    ExportController *exportController_ = nullptr;
    ExportViewControllerDelegate *delegate_ = nullptr;
    std::unique_ptr<ExportInitialViewController> initial_;
    std::unique_ptr<ExportColumnViewController> columns_;
    std::unique_ptr<ExportFormatViewController> format_;
    std::unique_ptr<ExportOverviewViewController> overview_;
    std::unique_ptr<ExportStatusViewController> status_;
};
