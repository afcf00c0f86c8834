#include "transfer/ExportViewController.h"

#include "kit/AssistantWindowController.h"
#include "platform/Preferences.h"
#include "transfer/ExportColumnViewController.h"
#include "transfer/ExportController.h"
#include "transfer/ExportFormatViewController.h"
#include "transfer/ExportInitialViewController.h"
#include "transfer/ExportOverviewViewController.h"
#include "transfer/ExportStatusViewController.h"
#include "transfer/ExportViewControllerDelegate.h"
#include "transfer/TransferLog.h"

#include <QCoreApplication>

namespace
{
QString exportText(const char *text)
{
    return QCoreApplication::translate("export", text);
}

const QString Source = QStringLiteral("source");
const QString ColumnSelection = QStringLiteral("columnselection");
const QString ExportOptionsPage = QStringLiteral("exportoptions");
const QString Overview = QStringLiteral("overview");
const QString Export = QStringLiteral("export");
} // namespace

ExportViewController::ExportViewController() = default;

ExportViewController::~ExportViewController()
{
    closeWizard();
    for (ExportSubViewController *page :
         {page(Source), page(ColumnSelection), page(ExportOptionsPage), page(Overview), page(Export)}) {
        if (page)
            page->setDelegate(nullptr);
    }
}

void ExportViewController::startupImportOnWindow(QWidget *window)
{
    Q_ASSERT_X(exportController_, "startupImportOnWindow", "The assistant needs the export controller");
    initial_ = std::make_unique<ExportInitialViewController>();
    columns_ = std::make_unique<ExportColumnViewController>();
    format_ = std::make_unique<ExportFormatViewController>();
    overview_ = std::make_unique<ExportOverviewViewController>();
    status_ = std::make_unique<ExportStatusViewController>();
    for (ExportSubViewController *page :
         {page(Source), page(ColumnSelection), page(ExportOptionsPage), page(Overview), page(Export)}) {
        page->setDelegate(this);
        page->setExportController(exportController_);
    }
    runWizard(window, exportText("Export Assistant"));
}

void ExportViewController::update()
{
    if (!wizard_)
        return;
    if (TransferSubViewController *current = currentPage())
        current->updateInterface();
    // The page may have closed the wizard meanwhile (a declined destination).
    if (wizard_)
        wizard_->reevaluateInterface();
}

void ExportViewController::exportSubViewControllerUpdated(ExportSubViewController *)
{
    exportController_->settingsUpdate();
    wizard_->reevaluateInterface();
}

void ExportViewController::exportSubViewControllerRequestCancel(ExportSubViewController *)
{
    wizard_->cancel();
}

ExportSubViewController *ExportViewController::page(const QString &identifier) const
{
    if (identifier == Source)
        return initial_.get();
    if (identifier == ColumnSelection)
        return columns_.get();
    if (identifier == ExportOptionsPage)
        return format_.get();
    if (identifier == Overview)
        return overview_.get();
    if (identifier == Export)
        return status_.get();
    return nullptr;
}

TransferSubViewController *ExportViewController::firstPage() const
{
    return initial_.get();
}

TransferSubViewController *ExportViewController::statusPage() const
{
    return status_.get();
}

QString ExportViewController::titleForAssistantWindowController(AssistantWindowController *)
{
    return exportText("Export Assistant");
}

QStringList ExportViewController::pageIdentifiersForAssistantWindowController(AssistantWindowController *)
{
    return {Source, ColumnSelection, ExportOptionsPage, Overview, Export};
}

QString ExportViewController::nameForPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    if (identifier == Source)
        return exportText("Data source");
    if (identifier == ColumnSelection)
        return exportText("Select columns");
    if (identifier == ExportOptionsPage)
        return exportText("Format options");
    if (identifier == Overview)
        return exportText("Overview");
    if (identifier == Export)
        return exportText("Export");
    return QString();
}

AssistantWindowSubViewController *
ExportViewController::viewControllerForPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    ExportSubViewController *shown = page(identifier);
    if (!shown) {
        qCWarning(lcTransfer) << "viewControllerForPageIdentifier" << identifier << "not implemented";
        return nullptr;
    }
    shown->updateInterface();
    return shown;
}

bool ExportViewController::canNavigateToPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    if (statusShowing())
        return false;
    if (identifier == Source)
        return true;
    const bool source = initial_->canContinue();
    if (identifier == ColumnSelection)
        return source;
    if (identifier == ExportOptionsPage)
        return source && columns_->canContinue();
    if (identifier == Overview)
        return source && columns_->canContinue() && format_->canContinue();
    return false;
}

QString ExportViewController::titleForForwardButtonForAssistantWindowController(AssistantWindowController *)
{
    if (wizard_->currentViewController() == overview_.get())
        return exportText("Export");
    if (statusShowing())
        return exportText("Close");
    return exportText("Next");
}

void ExportViewController::cancelledAssistantWindowController(AssistantWindowController *)
{
    // A run still going when the assistant closes without its status page would have nobody to finish it.
    const qint64 state = exportController_->state();
    if (state != ExportStateIdle && state != ExportStateFinished && state != ExportStateError)
        exportController_->cancelExport();
    if (delegate_)
        delegate_->exportViewControllerFinishedSuccessful(this, true);
}

bool ExportViewController::supportAutoSkipForAssistantWindowController(AssistantWindowController *)
{
    return !statusShowing();
}

QString ExportViewController::autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *)
{
    return PreferenceKey::export_skip_autofill;
}

bool ExportViewController::supportAutoSkipForPageIdentifier(const QString &identifier,
                                                            AssistantWindowController *)
{
    return identifier != Overview;
}
