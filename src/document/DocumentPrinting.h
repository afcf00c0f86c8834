#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class PrintPreparation;
class PrintableController;
class PrintView;
class QPrinter;
class VornDocument;

// File > Print and Page Setup for one document: chooses between the script, the rows and the pane's
// content, prepares the print view behind its sheet, then shows the print dialog with the print
// options and prints under the "Printing data" reservation.
class DocumentPrinting : public QObject
{
    Q_OBJECT
public:
    explicit DocumentPrinting(VornDocument &document);
    ~DocumentPrinting() override;

    void printDocument();
    void runPageLayout();
    // Print is off while a database action holds the root.
    bool canPrint() const;

    bool scriptAvailable() const;
    bool rowsAvailable() const;
    bool contentAvailable() const;
    PrintView *activePrintView() const { return view_.get(); }
    QPrinter &printer();

    // What the print dialog does; tests print to a file instead.
    void setPrintRunner(std::function<bool(QPrinter &printer, PrintView &view)> runner);

private:
    void buildAndPrepare();
    void prepared();
    void dropPrintView();
    void refreshGrid();
    // The pane whose model prints its own text (the plan analysis); null for the others.
    const PrintableController *printableContent() const;
    QString contentType() const;
    QString connectionName() const;
    std::shared_ptr<PrintView> printableView(const PrintableController &source) const;
    std::shared_ptr<PrintView> contentView() const;
    std::shared_ptr<PrintView> resultsetView() const;

    VornDocument &document_;
    std::unique_ptr<QPrinter> printer_;
    std::shared_ptr<PrintView> view_;
    std::unique_ptr<PrintPreparation> preparation_;
    std::function<bool(QPrinter &, PrintView &)> runner_;
};
