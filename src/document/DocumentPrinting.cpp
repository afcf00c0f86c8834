#include "document/DocumentPrinting.h"

#include "browser/AnalyserController.h"
#include "browser/BrowserController.h"
#include "connection/ConnectionParameters.h"
#include "ddl/ProcedureEditorController.h"
#include "document/AnalyserRouting.h"
#include "document/BrowserRouting.h"
#include "document/ProcedureRouting.h"
#include "document/StatementRouting.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorController.h"
#include "elements/BrowserElement.h"
#include "kit/DocumentAlertSheet.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetViewController.h"
#include "status/StatusManager.h"
#include "transfer/PrintOptionsTab.h"
#include "transfer/PrintPreparation.h"
#include "transfer/PrintRowSource.h"
#include "transfer/PrintView.h"
#include "window/ContentSplitView.h"
#include "window/SimpleTextController.h"
#include "window/VornTabbedWindowController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace
{

QString printingText(const char *text)
{
    return QCoreApplication::translate("printing", text);
}

constexpr double marginPoints = 36;

} // namespace

DocumentPrinting::DocumentPrinting(VornDocument &document) : document_(document) {}

DocumentPrinting::~DocumentPrinting() = default;

QPrinter &DocumentPrinting::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageMargins(QMarginsF(marginPoints, marginPoints, marginPoints, marginPoints),
                                 QPageLayout::Point);
    }
    return *printer_;
}

void DocumentPrinting::setPrintRunner(std::function<bool(QPrinter &, PrintView &)> runner)
{
    runner_ = std::move(runner);
}

bool DocumentPrinting::canPrint() const
{
    const VornRootClientPtr root = document_.vornRoot();
    return !(root && root->reserved());
}

bool DocumentPrinting::scriptAvailable() const
{
    auto *window = dynamic_cast<VornTabbedWindowController *>(document_.windowController());
    const bool editorShown =
        window && window->contentSplitView() && window->contentSplitView()->viewAEnabled();
    return editorShown && !document_.sqlContents().trimmed().isEmpty();
}

bool DocumentPrinting::rowsAvailable() const
{
    const ResultsetController *resultset = document_.resultsetController();
    return document_.activeContent() == ContentPane::Resultset && resultset &&
           resultset->numberOfRowsInResultset() > 0;
}

const PrintableController *DocumentPrinting::printableContent() const
{
    switch (document_.activeContent()) {
    case ContentPane::Analyser:
        return document_.analyserRouting().analyserController();
    case ContentPane::Procedure:
        return document_.procedureRouting().procedureEditorController();
    case ContentPane::SimpleText: {
        // Only an object's text prints; a statement's message does not.
        const SimpleTextController *text = document_.simpleTextController();
        return text && text->canPrint() ? text : nullptr;
    }
    default:
        return nullptr;
    }
}

bool DocumentPrinting::contentAvailable() const
{
    return printableContent() != nullptr;
}

QString DocumentPrinting::contentType() const
{
    const PrintableController *content = printableContent();
    return content ? content->printViewNeedsContentTypeString() : QString();
}

void DocumentPrinting::printDocument()
{
    const bool script = scriptAvailable();
    const bool rows = rowsAvailable();
    const bool content = contentAvailable();
    if (!script && !rows && !content) {
        QApplication::beep();
        return;
    }
    document_.setShouldPrintScript(false);
    enum { PrintContent, Cancel, PrintScript };
    auto answered = [guard = QPointer<DocumentPrinting>(this)](int answer) {
        if (!guard || answer == Cancel)
            return;
        guard->document_.setShouldPrintScript(answer == PrintScript);
        guard->buildAndPrepare();
    };
    if (script && rows) {
        DocumentAlertSheet::begin(
            document_.windowForSheet(),
            printingText("Do you want to print the Resultset or the SQL Statements?"),
            printingText(
                "Both the Resultset and the SQL Statements can be printed, please select which one you "
                "wish to print."),
            {printingText("Resultset"), printingText("Cancel"), printingText("SQL Script")}, Cancel,
            answered);
        return;
    }
    if (script && content) {
        const QString type = contentType();
        DocumentAlertSheet::begin(
            document_.windowForSheet(),
            printingText("Do you want to print the %1 or the SQL Script?").arg(type),
            printingText(
                "Both the %1 and the SQL Script can be printed, please select which one you wish to print.")
                .arg(type),
            {type, printingText("Cancel"), printingText("SQL Script")}, Cancel, answered);
        return;
    }
    answered(script ? PrintScript : PrintContent);
}

std::shared_ptr<PrintView> DocumentPrinting::printableView(const PrintableController &source) const
{
    PrintInfo info;
    info.title = source.printViewNeedsTitle();
    info.type = source.printViewNeedsContentTypeString();
    info.query = source.printViewNeedsSourceQuery();
    info.fileName = source.printViewNeedsFileName();
    const std::unique_ptr<QTextDocument> content = source.printViewNeedsContentString();
    if (!content)
        return PrintView::forText(QString(), info, connectionName());
    return PrintView::forText(*content, info, connectionName());
}

std::shared_ptr<PrintView> DocumentPrinting::contentView() const
{
    return printableView(*printableContent());
}

QString DocumentPrinting::connectionName() const
{
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    return parameters ? parameters->connectionName() : QString();
}

std::shared_ptr<PrintView> DocumentPrinting::resultsetView() const
{
    const ResultsetController *resultset = document_.resultsetController();
    const ExtendedResultsetDescription description = resultset->extendedResultsetDescription();
    PrintInfo info;
    info.table = description.table;
    info.query = description.query;
    info.filter = description.filter;
    info.sort = description.sort;
    if (const BrowserElementPtr element = document_.browserRouting().selectedElement()) {
        if (element->type() == QLatin1String("TABLE"))
            info.type = printingText("Table");
        else if (element->type() == QLatin1String("VIEW"))
            info.type = printingText("View");
        else
            info.type = element->type();
    }
    return std::make_shared<PrintView>(info, connectionName(),
                                       std::make_unique<ResultsetRowSource>(resultset->vornResultset()));
}

void DocumentPrinting::buildAndPrepare()
{
    dropPrintView();
    if (document_.shouldPrintScript())
        view_ = printableView(*document_.sqlEditorController());
    else if (contentAvailable())
        view_ = contentView();
    else
        view_ = resultsetView();
    ResultsetController *controller = document_.resultsetController();
    preparation_ = std::make_unique<PrintPreparation>(*controller, view_, document_.windowForSheet());
    connect(preparation_.get(), &PrintPreparation::prepared, this, &DocumentPrinting::prepared);
    connect(preparation_.get(), &PrintPreparation::cancelled, this, [this] {
        refreshGrid();
        dropPrintView();
    });
    if (!preparation_->start()) {
        const std::shared_ptr<StatusManager> status = document_.statusManager();
        status->setConnectionStatus(printingText("Print error"));
        status->runErrorWithTitle(printingText("Print error"),
                                  printingText("Vorn was unable to prepare the printjob"));
        dropPrintView();
    }
}

void DocumentPrinting::prepared()
{
    ResultsetController *controller = document_.resultsetController();
    if (!view_ || !controller->requestRootReservation(printingText("Printing data"))) {
        dropPrintView();
        return;
    }
    const std::shared_ptr<StatusManager> status = document_.statusManager();
    status->setActiveConnectionStatus(printingText("Printing"));
    QPrinter &paper = printer();
    paper.setDocName(view_->jobTitle());
    bool printed = false;
    if (runner_) {
        printed = runner_(paper, *view_);
    } else {
        QPrintDialog dialog(&paper, document_.windowForSheet());
        dialog.setOptionTabs({new PrintOptionsTab});
        // The page range offered is that of the paper chosen so far.
        const QRectF paperRect = paper.pageLayout().paintRect(QPageLayout::Point);
        dialog.setMinMax(1, view_->layOut(paperRect.width(), paperRect.height()));
        if (dialog.exec() == QDialog::Accepted) {
            view_->print(paper, WorkerControl(nullptr));
            printed = true;
        }
    }
    Q_UNUSED(printed);
    controller->releaseRootReservation();
    status->setConnectionStatus(printingText("Printing completed"));
    refreshGrid();
    dropPrintView();
}

void DocumentPrinting::refreshGrid()
{
    if (ResultsetViewController *grid = document_.statementRouting().resultsetViewController())
        grid->resultsetUpdated();
}

void DocumentPrinting::runPageLayout()
{
    QPageSetupDialog dialog(&printer(), document_.windowForSheet());
    dialog.exec();
}

void DocumentPrinting::dropPrintView()
{
    preparation_.reset();
    view_.reset();
}
