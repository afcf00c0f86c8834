#include "transfer/ImportEmbeddedPreview.h"

#include "transfer/ImportPreviewViewController.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QWidget>

void ImportEmbeddedPreview::showImportedColumns(ImportPreviewViewController *preview, QWidget *page)
{
    preview->setDisplayTargetColumns(true);
    preview->setDisplayTargetFormatSupported(true);
    preview->setHideUnusedSourceColumns(true);
    preview->setSourceMessage(
        QCoreApplication::translate("importer", "Below are all the columns that will be imported by Vorn."));
    static_cast<QBoxLayout *>(page->layout())->addWidget(preview->view(), 1);
    preview->view()->show();
    // Column clicks are not followed here.
    preview->setDelegate(nullptr);
}
