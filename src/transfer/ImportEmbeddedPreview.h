#pragma once

class ImportPreviewViewController;
class ImportPreviewViewControllerDelegate;
class QWidget;

// The pages that show the shared preview take it below their own controls and say what it shows.
namespace ImportEmbeddedPreview
{
// The file-format pages: every column as read from the file, without targets; column clicks go to the
// page.
void showSourceColumns(ImportPreviewViewController *preview, QWidget *page,
                       ImportPreviewViewControllerDelegate *delegate);
// The mapping page: every column with its target and the converted values; column clicks go to the
// page.
void showMappedColumns(ImportPreviewViewController *preview, QWidget *page,
                       ImportPreviewViewControllerDelegate *delegate);
// The options and overview pages: only the columns that will be imported, with their targets and the
// converted values; column clicks are not followed.
void showImportedColumns(ImportPreviewViewController *preview, QWidget *page);
} // namespace ImportEmbeddedPreview
