#include "transfer/ImportEmbeddedPreview.h"

#include "transfer/ImportPreviewViewController.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QWidget>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("importer", key);
}

struct Shown {
    bool targetColumns = false;
    bool targetFormats = false;
    bool onlyImportedColumns = false;
};

void embed(ImportPreviewViewController *preview, QWidget *page, Shown shown, const QString &message,
           ImportPreviewViewControllerDelegate *delegate)
{
    preview->setDisplayTargetColumns(shown.targetColumns);
    preview->setDisplayTargetFormatSupported(shown.targetFormats);
    preview->setHideUnusedSourceColumns(shown.onlyImportedColumns);
    preview->setSourceMessage(message);
    static_cast<QBoxLayout *>(page->layout())->addWidget(preview->view(), 1);
    preview->view()->show();
    preview->setDelegate(delegate);
}
} // namespace

void ImportEmbeddedPreview::showSourceColumns(ImportPreviewViewController *preview, QWidget *page,
                                              ImportPreviewViewControllerDelegate *delegate)
{
    embed(preview, page, {},
          text("Below is the source data as read by Vorn. If this is incorrect then try to adjust options "
               "above."),
          delegate);
}

void ImportEmbeddedPreview::showMappedColumns(ImportPreviewViewController *preview, QWidget *page,
                                              ImportPreviewViewControllerDelegate *delegate)
{
    embed(preview, page, {.targetColumns = true, .targetFormats = true},
          text("Below is the data interpreted by Vorn. The first row contains the mapped table column, which "
               "can be changed above."),
          delegate);
}

void ImportEmbeddedPreview::showImportedColumns(ImportPreviewViewController *preview, QWidget *page)
{
    embed(preview, page, {.targetColumns = true, .targetFormats = true, .onlyImportedColumns = true},
          text("Below are all the columns that will be imported by Vorn."), nullptr);
}
