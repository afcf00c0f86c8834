#pragma once

class ImportPreviewViewController;
class QWidget;

// The options and overview pages show the shared preview alike: only the columns that will be
// imported, with their targets and the converted values.
namespace ImportEmbeddedPreview
{
void showImportedColumns(ImportPreviewViewController *preview, QWidget *page);
} // namespace ImportEmbeddedPreview
