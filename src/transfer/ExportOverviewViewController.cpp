#include "transfer/ExportOverviewViewController.h"

#include "transfer/ExportController.h"
#include "transfer/XLSXExporter.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}

constexpr int TextWidth = 380;
} // namespace

ExportOverviewViewController::ExportOverviewViewController()
{
    auto *view = new QWidget;
    auto *layout = new QFormLayout(view);
    const auto field = [&](const char *caption) {
        auto *label = new QLabel;
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(TextWidth);
        layout->addRow(tr(caption), label);
        return label;
    };
    format_ = field("Format:");
    destination_ = field("Destination:");
    source_ = field("Source:");
    columns_ = field("Columns:");
    records_ = field("Records:");
    additional_ = field("Additional:");
    setView(view);
}

void ExportOverviewViewController::updateInterface()
{
    const ExportController &controller = *exportController_;
    const ExportOptions &options = controller.exportOptions();
    format_->setText(ExportController::nameForFormat(controller.selectedFormat()));

    QString destination = options.exportToClipboard ? tr("Clipboard") : tr("File");
    if (controller.supportDestinationOptions())
        destination += QStringLiteral(", %1: %2")
                           .arg(tr("encoding"), ExportOptions::nameForEncoding(options.stringEncoding));
    destination_->setText(destination);
    source_->setText(sourceText());

    QStringList names;
    for (const ExportColumn &column : options.enabledColumns())
        names.append(column.name);
    columns_->setText(stripToFewLines(names.join(QStringLiteral(", ")), TextWidth, 50));

    QString records = options.recordSourceCount < 1 ? tr("All records")
                                                    : tr("First %1 records").arg(options.recordSourceCount);
    if (controller.supportHeaders() && options.includeHeaders)
        records += u' ' + tr("and a column header");
    records_->setText(records);
    additional_->setText(additionalText());
}

QString ExportOverviewViewController::sourceText() const
{
    if (const BrowserElementPtr element = exportController_->selectedBrowserElement())
        return element->name();
    if (!exportController_->selectCurrentResultset())
        return QString();
    const ExtendedResultsetDescription description = exportController_->resultsetDescription();
    QString text;
    if (!description.table.isEmpty()) {
        text = tr("Table: ") + description.table;
        if (!description.filter.isEmpty())
            text += u'\n' + tr("Filter: ") + description.filter;
        if (!description.sort.isEmpty())
            text += u'\n' + tr("Sort: ") + description.sort;
    } else {
        text = description.query;
    }
    return text.isEmpty() ? tr("Current resultset") : stripToFewLines(text, TextWidth, 100);
}

QString ExportOverviewViewController::additionalText() const
{
    const ExportController &controller = *exportController_;
    const ExportOptions &options = controller.exportOptions();
    if (controller.supportCustomOptions()) {
        QString text;
        if (options.delimiter == u'\t')
            text = tr("Tab delimiter");
        else if (options.delimiter == u',')
            text = tr("Comma delimiter");
        else if (options.delimiter == u';')
            text = tr("Semi-colon delimiter");
        else
            text = tr("'%1' delimiter").arg(options.delimiter);
        if (options.doubleQuoteResults)
            text += u'\n' + tr("Double quote every value");
        return text;
    }
    if (controller.supportSheetDestinationOptions())
        return tr("Results will be stored in sheet '%1'")
            .arg(XLSXExporter::sanitisedSheetName(options.sheetName));
    return QStringLiteral("-");
}

QString ExportOverviewViewController::stripToFewLines(const QString &text, int width, int height) const
{
    const QFontMetrics metrics(columns_->font());
    const auto needed = [&](const QString &candidate) {
        return metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, candidate).height();
    };
    QString shortened = text;
    bool stripped = false;
    while (height <= needed(stripped ? shortened + QStringLiteral("...") : shortened)) {
        const qsizetype blank = shortened.lastIndexOf(u' ');
        if (blank <= 0)
            break;
        // The blank and the character before it (the comma of a list) go, with all after them.
        shortened.truncate(blank - 1);
        stripped = true;
    }
    return stripped ? shortened + QStringLiteral("...") : shortened;
}
