#include "transfer/PrintView.h"

#include "client/BackgroundRunner.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/PrintColouredText.h"
#include "transfer/PrintText.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

#include <algorithm>

namespace
{

constexpr qint64 progressEvery = 1000;
constexpr double cellPadding = 6;

QString printingText(const char *text)
{
    return QCoreApplication::translate("printing", text);
}

// Sizes are in points; a pixel-sized font measures the same on every device the painter is scaled for.
QFont sizedFont(QFontDatabase::SystemFont kind, int points, bool bold)
{
    QFont font = QFontDatabase::systemFont(kind);
    font.setPixelSize(points);
    font.setBold(bold);
    return font;
}

QSizeF textSize(const QFont &font, const QString &text)
{
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    double width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return {width, metrics.lineSpacing() * double(lines.size())};
}

double lineHeight(const QFont &font, const QString &sample = QStringLiteral("Table"))
{
    return textSize(font, sample).height();
}

// Draws the text with its top left corner at (x, y), one line below the other.
void drawText(QPainter &painter, const QFont &font, const QColor &color, double x, double y,
              const QString &text)
{
    painter.setFont(font);
    painter.setPen(color);
    const QFontMetricsF metrics(font);
    double baseline = y + metrics.ascent();
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        painter.drawText(QPointF(x, baseline), line);
        baseline += metrics.lineSpacing();
    }
}

// A script line in its colours: each coloured run where its text falls, the rest black.
void drawColouredLine(QPainter &painter, const QFont &font, double x, double y, const QString &line,
                      const QList<PrintColourRun> &runs)
{
    const QFontMetricsF metrics(font);
    qsizetype done = 0;
    auto draw = [&](qsizetype from, qsizetype length, const QColor &color) {
        if (length > 0)
            drawText(painter, font, color, x + metrics.horizontalAdvance(line.left(from)), y,
                     line.mid(from, length));
    };
    for (const PrintColourRun &run : runs) {
        draw(done, run.start - done, Qt::black);
        draw(run.start, run.length, run.color);
        done = run.start + run.length;
    }
    draw(done, line.size() - done, Qt::black);
}

void drawRule(QPainter &painter, double x0, double x1, double y, const QColor &color, double width)
{
    painter.setPen(QPen(color, width));
    painter.drawLine(QPointF(x0, y), QPointF(x1, y));
}

// The print date's pattern is the user's timestamp pattern, whose fraction of a second is "S".
QString qtDatePattern(const QString &pattern)
{
    QString qt = pattern.isEmpty() ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : pattern;
    static const QRegularExpression fraction(QStringLiteral("S+"));
    qt.replace(fraction, QStringLiteral("zzz"));
    return qt;
}

} // namespace

struct PrintView::Fonts {
    QFont regular = sizedFont(QFontDatabase::GeneralFont, 9, false);
    QFont script = sizedFont(QFontDatabase::FixedFont, 7, false);
    QFont columnHeader = sizedFont(QFontDatabase::GeneralFont, 10, true);
    QFont footer = sizedFont(QFontDatabase::GeneralFont, 7, false);
    QFont head = sizedFont(QFontDatabase::GeneralFont, 11, true);
    QFont key = sizedFont(QFontDatabase::GeneralFont, 9, true);
    QFont value = sizedFont(QFontDatabase::GeneralFont, 9, false);
    QColor columnHeaderColor = QColor::fromRgbF(0.24313725f, 0.31764706f, 0.12156863f);
    QColor columnHeaderBackground = QColor::fromRgbF(0.78823529f, 0.96470588f, 0.55686275f);
    QColor alternateBackground = QColor::fromRgbF(0.78823529f, 0.96470588f, 0.55686275f, 0.2f);
    QColor rule = QColor::fromRgbF(0.4f, 0.4f, 0.4f);
};

PrintView::PrintView(PrintInfo info, QString connectionName, std::unique_ptr<PrintRowSource> rows)
    : info_(std::move(info)), connectionName_(std::move(connectionName)), rows_(std::move(rows)),
      fonts_(std::make_shared<const Fonts>())
{
}

std::unique_ptr<PrintView> PrintView::forText(const QString &text, PrintInfo info, QString connectionName)
{
    QList<PrintColouredLine> lines;
    for (const QString &line : PrintText::breakUpScript(text))
        lines.append({line, {}});
    return std::make_unique<PrintView>(std::move(info), std::move(connectionName),
                                       std::make_unique<ScriptRowSource>(std::move(lines)));
}

std::unique_ptr<PrintView> PrintView::forText(const QTextDocument &text, PrintInfo info,
                                              QString connectionName)
{
    return std::make_unique<PrintView>(std::move(info), std::move(connectionName),
                                       std::make_unique<ScriptRowSource>(PrintColouredText::lines(text)));
}

bool PrintView::needsPreparation() const
{
    return preparedKey_.isEmpty() || preparedKey_ != PrintOptions::fromPreferences().key();
}

void PrintView::prepare(const WorkerControl &control, const std::function<void(qint64 rows)> &progress)
{
    const qsizetype columns = rows_->columnNames().size();
    const bool script = rows_->isScript();
    rowHeights_.clear();
    columnWidthsOfCells_ = QList<double>(columns, 0.0);
    for (qint64 index = 0;; ++index) {
        if (control.isCanceled())
            break;
        const std::optional<PrintRowSource::Row> row = rows_->row(index);
        if (!row)
            break;
        double height = 0;
        for (qsizetype column = 0; column < columns && column < row->size(); ++column) {
            const std::optional<QString> &value = row->at(column);
            if (!value)
                continue;
            const QSizeF size = script ? textSize(fonts_->script, *value)
                                       : textSize(fonts_->regular, PrintText::breakUpMaxWidth(*value));
            columnWidthsOfCells_[column] = std::max(columnWidthsOfCells_[column], size.width());
            height = std::max(height, size.height());
        }
        rowHeights_ << height;
        if (progress && rowHeights_.size() % progressEvery == 0)
            progress(rowHeights_.size());
    }
    preparedKey_ = PrintOptions::fromPreferences().key();
}

QList<std::pair<QString, QString>> PrintView::headerEntries() const
{
    QList<std::pair<QString, QString>> entries;
    if (!info_.filter.isEmpty())
        entries.append({printingText("Filter :"), info_.filter});
    if (!info_.sort.isEmpty())
        entries.append({printingText("Sort :"), info_.sort});
    if (!info_.query.isEmpty())
        entries.append({printingText("SQL Statement :"), info_.query});
    else if (!info_.fileName.isEmpty())
        entries.append({printingText("File :"), info_.fileName});
    for (auto &entry : entries)
        entry.second = PrintText::breakUpMaxHeaderWidthAndHeight(entry.second, options_.truncateQuery);
    return entries;
}

void PrintView::measureDimensions()
{
    options_ = PrintOptions::fromPreferences();
    const Fonts &f = *fonts_;
    const QStringList names = rows_->columnNames();
    columnWidths_ = columnWidthsOfCells_;
    columnWidths_.resize(names.size(), 0.0);

    columnHeaderHeight_ = 0;
    if (options_.columnHeader) {
        double tallest = 0;
        for (qsizetype column = 0; column < names.size(); ++column) {
            const QSizeF size = textSize(f.columnHeader, PrintText::shortenedColumnName(names.at(column)));
            columnWidths_[column] = std::max(columnWidths_[column], size.width());
            tallest = std::max(tallest, size.height());
        }
        columnHeaderHeight_ = std::ceil(tallest) + 3;
    }

    footerHeight_ =
        options_.footer ? lineHeight(f.footer, QStringLiteral("Printed on 23:323:323:23 1/22")) + 2 : 0;

    documentHeaderHeight_ = 0;
    if (options_.header) {
        const double head = lineHeight(f.head);
        double left = head + textSize(f.key, printingText("Connection :")).height();
        if (!info_.type.isEmpty())
            left += textSize(f.key, printingText("Type :")).height();
        double right = head;
        for (const auto &[key, value] : headerEntries())
            right += std::max(textSize(f.key, key).height(), textSize(f.value, value).height());
        documentHeaderHeight_ = std::max(left, right) + 0.25 * head + 0.5 * lineHeight(f.value);
    }

    totalWidth_ = 0;
    for (double width : columnWidths_)
        totalWidth_ += width + 2 * cellPadding;
}

int PrintView::layOut(double printableWidth, double printableHeight)
{
    measureDimensions();
    scale_ = PrintPagination::fitWidth(totalWidth_, printableWidth, printableHeight);
    totalWidth_ = scale_.pageWidth;
    PrintPagination::Furniture furniture;
    furniture.documentHeaderHeight = documentHeaderHeight_;
    furniture.columnHeaderHeight = columnHeaderHeight_;
    furniture.footerHeight = footerHeight_;
    furniture.documentHeader = options_.header;
    furniture.columnHeader = options_.columnHeader && !rows_->isScript();
    layout_ = PrintPagination::paginate(rowHeights_, scale_.pageHeight, furniture);
    totalPages_ = PrintPagination::pageCount(layout_.viewHeight, scale_.scale, printableHeight);
    return totalPages_;
}

qint64 PrintView::rowAt(double y) const
{
    const QList<double> &tops = layout_.rowTops;
    if (tops.isEmpty())
        return -1;
    const auto after = std::upper_bound(tops.begin() + 1, tops.end(), y);
    return qint64(after - tops.begin()) - 1;
}

void PrintView::drawPage(QPainter &painter, int page)
{
    const double pageTop = double(page - 1) * scale_.pageHeight;
    const double pageBottom = pageTop + scale_.pageHeight;
    painter.save();
    painter.scale(scale_.scale, scale_.scale);
    painter.translate(0, -pageTop);
    painter.setClipRect(QRectF(0, pageTop, totalWidth_, scale_.pageHeight));
    double y = pageTop;
    if (options_.header && page == 1) {
        drawDocumentHeader(painter, 0, pageTop);
        y += documentHeaderHeight_;
    }
    const bool columnBand = options_.columnHeader && !rows_->isScript();
    if (columnBand)
        drawColumnBand(painter, 0, y);
    drawRows(painter, 0, pageTop, pageBottom);
    if (options_.footer)
        drawFooter(painter, 0, pageBottom, page);
    painter.restore();
}

void PrintView::drawDocumentHeader(QPainter &painter, double x0, double y0)
{
    const Fonts &f = *fonts_;
    const double head = lineHeight(f.head);
    double y = y0;
    drawText(painter, f.head, Qt::black, x0 + cellPadding, y, jobTitle());
    y += head + 0.125 * head;
    drawRule(painter, x0, x0 + totalWidth_, y, f.rule, 0.5);
    y += 0.125 * head;

    const QString connectionKey = printingText("Connection :");
    const QString connection = connectionName_.isEmpty() ? printingText("None") : connectionName_;
    const double keyWidth = textSize(f.key, connectionKey).width();
    const double valueX = x0 + cellPadding + keyWidth + cellPadding;
    drawText(painter, f.key, Qt::black, x0 + cellPadding, y, connectionKey);
    drawText(painter, f.value, Qt::black, valueX, y, connection);
    if (!info_.type.isEmpty()) {
        const QString typeKey = printingText("Type :");
        const double typeY = y + textSize(f.key, connectionKey).height();
        drawText(painter, f.key, Qt::black, x0 + cellPadding, typeY, typeKey);
        drawText(painter, f.value, Qt::black, valueX, typeY, info_.type);
    }

    const QList<std::pair<QString, QString>> entries = headerEntries();
    const double blockLeft = x0 + keyWidth + textSize(f.value, connection).width() + 24;
    double widestKey = 0;
    for (const auto &entry : entries)
        widestKey = std::max(widestKey, textSize(f.key, entry.first).width());
    double rowY = y0 + head + 0.25 * head;
    for (const auto &[key, value] : entries) {
        const QSizeF keySize = textSize(f.key, key);
        drawText(painter, f.key, Qt::black, blockLeft + widestKey - keySize.width(), rowY, key);
        drawText(painter, f.value, Qt::black, blockLeft + widestKey + cellPadding, rowY, value);
        rowY += std::max(keySize.height(), textSize(f.value, value).height());
    }
    if (!(options_.columnHeader && !rows_->isScript()))
        drawRule(painter, x0, x0 + totalWidth_, y0 + documentHeaderHeight_ - 0.25 * lineHeight(f.value),
                 f.rule, 0.5);
}

void PrintView::drawColumnBand(QPainter &painter, double x0, double y)
{
    const Fonts &f = *fonts_;
    if (options_.alternateRows)
        painter.fillRect(QRectF(x0, y + 1, totalWidth_, columnHeaderHeight_ - 1), f.columnHeaderBackground);
    drawRule(painter, x0, x0 + totalWidth_, y + 1.5, f.rule, 0.5);
    drawRule(painter, x0, x0 + totalWidth_, y + columnHeaderHeight_ - 0.5, f.rule, 0.5);
    const QStringList names = rows_->columnNames();
    const QColor color = options_.alternateRows ? f.columnHeaderColor : QColor(Qt::black);
    double x = x0;
    for (qsizetype column = 0; column < names.size(); ++column) {
        drawText(painter, f.columnHeader, color, x + cellPadding, y + 2,
                 PrintText::shortenedColumnName(names.at(column)));
        x += columnWidths_.at(column) + 2 * cellPadding;
    }
}

void PrintView::drawRows(QPainter &painter, double x0, double y0, double y1)
{
    const Fonts &f = *fonts_;
    const qint64 first = rowAt(y0);
    const qint64 last = rowAt(y1);
    if (first < 0)
        return;
    const bool script = rows_->isScript();
    const bool alternate = options_.alternateRows && !script;
    for (qint64 index = first; index <= last; ++index) {
        const double top = layout_.rowTops.at(index);
        const double height = layout_.rowHeights.at(index);
        if (top + height <= y0 || top >= y1)
            continue;
        if (alternate && index % 2 == 1)
            painter.fillRect(QRectF(x0, top, totalWidth_, height), f.alternateBackground);
        const std::optional<PrintRowSource::Row> row = rows_->row(index);
        if (!row)
            break;
        painter.save();
        // A row cut to its page shows no more than fits, and says it was cut.
        painter.setClipRect(QRectF(x0, top, totalWidth_, height), Qt::IntersectClip);
        double x = x0;
        for (qsizetype column = 0; column < columnWidths_.size() && column < row->size(); ++column) {
            x += cellPadding;
            if (const std::optional<QString> &value = row->at(column)) {
                if (script)
                    drawColouredLine(painter, f.script, x, top, *value, rows_->colours(index));
                else
                    drawText(painter, f.regular, Qt::black, x, top, PrintText::breakUpMaxWidth(*value));
            }
            x += columnWidths_.at(column) + cellPadding;
        }
        painter.restore();
        if (layout_.rowClipped.at(index)) {
            QPen dashed(Qt::black, 0.5, Qt::DashLine);
            painter.setPen(dashed);
            painter.drawLine(QPointF(x0, top + height - 0.5), QPointF(x0 + totalWidth_, top + height - 0.5));
        }
    }
}

void PrintView::drawFooter(QPainter &painter, double x0, double y1, int page)
{
    const Fonts &f = *fonts_;
    const double lineY = y1 - footerHeight_;
    drawRule(painter, x0, x0 + totalWidth_, lineY, Qt::black, 0.25);
    const QString pattern = UserDefaults::standard().stringForKey(PreferenceKey::cocoaTimestampDataFormat);
    const QString printed =
        printingText("Printed using Vorn on %1").arg(jobStart_.toString(qtDatePattern(pattern)));
    drawText(painter, f.footer, Qt::black, x0 + cellPadding, lineY + 1, printed);
    const QString pageText = printingText("Page %1 of %2").arg(page).arg(totalPages_);
    drawText(painter, f.footer, Qt::black,
             x0 + totalWidth_ - cellPadding - textSize(f.footer, pageText).width(), lineY + 1, pageText);
}

void PrintView::print(QPrinter &printer, const WorkerControl &control)
{
    if (needsPreparation())
        prepare(control, {});
    const QRectF paper = printer.pageLayout().paintRect(QPageLayout::Point);
    layOut(paper.width(), paper.height());
    int from = printer.fromPage();
    int to = printer.toPage();
    if (from <= 0) {
        from = 1;
        to = totalPages_;
    }
    to = std::min(to, totalPages_);
    QPainter painter(&printer);
    const double pointsToDevice = printer.resolution() / 72.0;
    painter.scale(pointsToDevice, pointsToDevice);
    for (int page = from; page <= to; ++page) {
        if (page > from)
            printer.newPage();
        drawPage(painter, page);
    }
}
