#include "document/ExportRouting.h"
#include "document/VornDocument.h"

void VornDocument::exportData(QObject *)
{
    exportRouting_->startExport(nullptr);
}
