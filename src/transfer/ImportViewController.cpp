#include "transfer/ImportViewController.h"

#include "transfer/ImportColumnMappingViewController.h"
#include "transfer/ImportController.h"
#include "transfer/ImportDetectWait.h"
#include "transfer/ImportInitialViewController.h"
#include "transfer/ImportOptionsViewController.h"
#include "transfer/ImportOverviewController.h"
#include "transfer/ImportPlainTextSourceInterpretationViewController.h"
#include "transfer/ImportPreviewViewController.h"
#include "transfer/ImportStatusViewController.h"
#include "transfer/ImportViewControllerDelegate.h"
#include "transfer/ImportXLSXSourceInterpretationViewController.h"
#include "transfer/TransferLog.h"

#include <QCoreApplication>

namespace
{
QString importText(const char *text)
{
    return QCoreApplication::translate("import", text);
}

const QString SourceAndDestination = QStringLiteral("sourceanddestination");
const QString SourceInterpretation = QStringLiteral("sourceinterpretation");
const QString ColumnSelection = QStringLiteral("columnselection");
const QString ImportOptionsPage = QStringLiteral("importoptions");
const QString Overview = QStringLiteral("overview");
const QString Import = QStringLiteral("import");

// Whether the view and every ancestor are shown.
bool onScreen(const QWidget *view)
{
    for (const QWidget *widget = view; widget; widget = widget->parentWidget()) {
        if (widget->isHidden())
            return false;
    }
    return view != nullptr;
}
} // namespace

ImportViewController::ImportViewController() = default;

ImportViewController::~ImportViewController()
{
    closeWizard();
    for (ImportSubViewController *page : pages())
        page->setDelegate(nullptr);
    if (preview_)
        preview_->setDelegate(nullptr);
}

QList<ImportSubViewController *> ImportViewController::pages() const
{
    QList<ImportSubViewController *> all;
    for (ImportSubViewController *page : std::initializer_list<ImportSubViewController *>{
             initial_.get(), plainText_.get(), xlsx_.get(), mapping_.get(), options_.get(), overview_.get(),
             status_.get(), wait_.get()}) {
        if (page)
            all.append(page);
    }
    return all;
}

void ImportViewController::startupImportOnWindow(QWidget *window)
{
    Q_ASSERT_X(importController_, "startupImportOnWindow", "The assistant needs the import controller");
    initial_ = std::make_unique<ImportInitialViewController>();
    plainText_ = std::make_unique<ImportPlainTextSourceInterpretationViewController>();
    xlsx_ = std::make_unique<ImportXLSXSourceInterpretationViewController>();
    mapping_ = std::make_unique<ImportColumnMappingViewController>();
    options_ = std::make_unique<ImportOptionsViewController>();
    overview_ = std::make_unique<ImportOverviewController>();
    status_ = std::make_unique<ImportStatusViewController>();
    wait_ = std::make_unique<ImportDetectWait>();
    for (ImportSubViewController *page : pages()) {
        if (page == wait_.get())
            continue;
        page->setDelegate(this);
        page->setImportController(importController_);
    }
    preview_ = std::make_unique<ImportPreviewViewController>();
    preview_->setImportController(importController_);
    runWizard(window, importText("Import Assistant"));
}

void ImportViewController::update()
{
    if (!wizard_ || !wizard_->delegate())
        return;
    if (TransferSubViewController *current = currentPage())
        current->updateInterface();
    wizard_->reevaluateInterface();
    if (wizard_->currentViewController() == wait_.get() && importController_->hadInitialPreview())
        wizard_->reloadViewController();
    if (preview_ && onScreen(preview_->view()))
        preview_->update();
}

void ImportViewController::importSubViewControllerUpdated(ImportSubViewController *)
{
    // Pages redraw while they are wired, before the wizard runs.
    if (wizard_ && wizard_->delegate())
        wizard_->reevaluateInterface();
}

void ImportViewController::importStatusViewControllerWantsToClose(ImportSubViewController *)
{
    if (wizard_)
        wizard_->cancelOperation();
}

TransferSubViewController *ImportViewController::firstPage() const
{
    return initial_.get();
}

TransferSubViewController *ImportViewController::statusPage() const
{
    return status_.get();
}

QString ImportViewController::titleForAssistantWindowController(AssistantWindowController *)
{
    return importText("Import Assistant");
}

QStringList ImportViewController::pageIdentifiersForAssistantWindowController(AssistantWindowController *)
{
    return {SourceAndDestination, SourceInterpretation, ColumnSelection, ImportOptionsPage, Overview, Import};
}

QString ImportViewController::nameForPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    if (identifier == SourceAndDestination)
        return importText("Source and destination");
    if (identifier == SourceInterpretation)
        return importText("File format");
    if (identifier == ColumnSelection)
        return importText("Column mapping");
    if (identifier == ImportOptionsPage)
        return importText("Import options");
    if (identifier == Overview)
        return importText("Overview");
    if (identifier == Import)
        return importText("Import");
    return QString();
}

ImportSubViewController *ImportViewController::withPreview(ImportSubViewController *page)
{
    page->setImportPreviewViewController(preview_.get());
    preview_->update();
    return page;
}

ImportSubViewController *ImportViewController::sourceInterpretationPage()
{
    if (!importController_->hadInitialPreview())
        return wait_.get();
    const QString format = importController_->selectedFormat();
    ImportSubViewController *page = nullptr;
    if (format == QLatin1String("public.plain-text"))
        page = plainText_.get();
    else if (format == QLatin1String("xlsx"))
        page = xlsx_.get();
    if (!page) {
        qCWarning(lcTransfer).noquote()
            << QStringLiteral("SourceInterpretationViewController for format %1 not found ").arg(format);
        return nullptr;
    }
    sourceInterpretation_ = withPreview(page);
    return page;
}

AssistantWindowSubViewController *
ImportViewController::viewControllerForPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    ImportSubViewController *shown = nullptr;
    if (identifier == SourceAndDestination)
        shown = initial_.get();
    else if (identifier == SourceInterpretation)
        shown = sourceInterpretationPage();
    else if (identifier == ColumnSelection)
        shown = withPreview(mapping_.get());
    else if (identifier == ImportOptionsPage)
        shown = withPreview(options_.get());
    else if (identifier == Overview)
        shown = withPreview(overview_.get());
    else if (identifier == Import) {
        qCDebug(lcTransfer).noquote()
            << QStringLiteral("Returning import status for %1").arg(importController_->state());
        shown = status_.get();
    } else {
        qCWarning(lcTransfer) << "viewControllerForPageIdentifier" << identifier << "not implemented";
    }
    if (!shown)
        return nullptr;
    shown->updateInterface();
    // Once more when the wizard has placed the page and its controls have their sizes.
    QMetaObject::invokeMethod(
        this,
        [this, shown] {
            if (wizard_ && wizard_->currentViewController() == shown)
                shown->updateInterface();
        },
        Qt::QueuedConnection);
    return shown;
}

bool ImportViewController::canNavigateToPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    if (statusShowing())
        return false;
    if (identifier == SourceAndDestination)
        return true;
    bool reachable = initial_->canContinue();
    if (identifier == SourceInterpretation)
        return reachable;
    reachable = reachable && sourceInterpretation_ && sourceInterpretation_->canContinue();
    if (identifier == ColumnSelection)
        return reachable;
    reachable = reachable && mapping_->canContinue();
    if (identifier == ImportOptionsPage)
        return reachable;
    reachable = reachable && options_->canContinue();
    if (identifier == Overview)
        return reachable;
    return false;
}

QString ImportViewController::titleForForwardButtonForAssistantWindowController(AssistantWindowController *)
{
    if (statusShowing())
        return QCoreApplication::translate("importer", "Close");
    if (wizard_->currentViewController() == overview_.get())
        return QCoreApplication::translate("importer", "Import");
    return importText("Next");
}

void ImportViewController::cancelledAssistantWindowController(AssistantWindowController *)
{
    // An import that failed is not reported as a success, whichever way the assistant closed.
    const bool successful = importController_->state() != ImportController::Failed;
    importController_->endImportController();
    if (delegate_)
        delegate_->importViewControllerFinishedSuccessful(this, successful);
}

bool ImportViewController::supportAutoSkipForAssistantWindowController(AssistantWindowController *)
{
    return false;
}

QString ImportViewController::autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *)
{
    return QString();
}

bool ImportViewController::supportAutoSkipForPageIdentifier(const QString &, AssistantWindowController *)
{
    return false;
}
