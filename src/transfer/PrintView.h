#pragma once

#include "transfer/PrintOptions.h"
#include "transfer/PrintPagination.h"
#include "transfer/PrintRowSource.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class QTextDocument;
class WorkerControl;

// What the header names: the object or title, its kind, the statement and the filter and sort in force,
// or the file a script came from. Empty parts are left out.
struct PrintInfo {
    QString title;
    QString table;
    QString type;
    QString query;
    QString filter;
    QString sort;
    QString fileName;
};

// The printout of a result set or a text, laid out in points. It is prepared first (every row fetched
// and measured, off the main thread), then laid out for the paper and drawn page by page.
class PrintView
{
public:
    PrintView(PrintInfo info, QString connectionName, std::unique_ptr<PrintRowSource> rows);

    // A text printed in a small fixed-width font, cut into lines of at most 160 characters; a
    // document keeps its colours.
    static std::unique_ptr<PrintView> forText(const QString &text, PrintInfo info, QString connectionName);
    static std::unique_ptr<PrintView> forText(const QTextDocument &text, PrintInfo info,
                                              QString connectionName);

    const PrintInfo &info() const { return info_; }
    QString jobTitle() const { return info_.title.isEmpty() ? info_.table : info_.title; }
    void setJobStart(const QDateTime &start) { jobStart_ = start; }

    // Fetches and measures every row; progress is told every 1000 rows. Stops early when cancelled
    // or when the source has no further row; the rows measured so far are kept.
    void prepare(const WorkerControl &control, const std::function<void(qint64 rows)> &progress);
    qint64 rowCount() const { return qint64(rowHeights_.size()); }
    // Whether the options changed since the rows were measured.
    bool needsPreparation() const;

    // Lays the prepared rows out on pages of the printable size in points; answers the page count.
    int layOut(double printableWidth, double printableHeight);
    int totalPages() const { return totalPages_; }
    double scale() const { return scale_.scale; }
    double pageHeight() const { return scale_.pageHeight; }
    const PrintPagination::Layout &layout() const { return layout_; }

    // Draws page n (from 1) with the painter's unit at one point of the paper.
    void drawPage(QPainter &painter, int page);
    // Prepares when the options changed, lays out for the printer's paint rectangle and prints the
    // printer's page range (all pages when it has none) on the calling thread.
    void print(QPrinter &printer, const WorkerControl &control);

    // The row whose band holds y; the last row when y is past them all.
    qint64 rowAt(double y) const;

private:
    struct Fonts;
    void measureDimensions();
    void drawDocumentHeader(QPainter &painter, double x0, double y0);
    void drawColumnBand(QPainter &painter, double x0, double y);
    void drawRows(QPainter &painter, double x0, double y0, double y1);
    void drawFooter(QPainter &painter, double x0, double y1, int page);
    QList<std::pair<QString, QString>> headerEntries() const;

    PrintInfo info_;
    QString connectionName_;
    std::unique_ptr<PrintRowSource> rows_;
    std::shared_ptr<const Fonts> fonts_;
    PrintOptions options_;
    QString preparedKey_;
    QDateTime jobStart_ = QDateTime::currentDateTime();

    QList<double> rowHeights_;
    QList<double> columnWidthsOfCells_;
    QList<double> columnWidths_;
    double totalWidth_ = 0;
    double columnHeaderHeight_ = 0;
    double footerHeight_ = 0;
    double documentHeaderHeight_ = 0;
    PrintPagination::Layout layout_;
    PrintPagination::Scale scale_;
    int totalPages_ = 0;
};
