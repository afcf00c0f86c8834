#include "transfer/ImportOverviewController.h"

#include "transfer/ImportController.h"
#include "transfer/ImportEmbeddedPreview.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}
} // namespace

ImportOverviewController::ImportOverviewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    for (QLabel **label : {&sourceDestination_, &format_, &options_}) {
        *label = new QLabel;
        (*label)->setWordWrap(true);
        (*label)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(*label);
    }
    setView(view);
}

void ImportOverviewController::setImportPreviewViewController(ImportPreviewViewController *preview)
{
    ImportEmbeddedPreview::showImportedColumns(preview, view());
}

void ImportOverviewController::updateInterface()
{
    const ImportController &controller = *importController_;
    const ImportOptions &options = const_cast<ImportController &>(controller).importOptions();
    sourceDestination_->setText(
        text("The file '%1' will be imported into '%2'.")
            .arg(QFileInfo(controller.selectedFilePath()).fileName(), controller.targetTable()));
    format_->setText(controller.overviewFormatLine());
    if (options.importToSql) {
        options_->setText(text("SQL statements will be generated to be used in the SQL Editor."));
        return;
    }
    options_->setText(
        text("The data will be automatically imported.") + QLatin1Char(' ') +
        (options.stopOnError
             ? text("The importer will stop after the first error.")
             : text("The importer will continue after each error. All errors will be collected.")));
}
