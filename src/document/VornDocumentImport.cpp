#include "document/ImportRouting.h"
#include "document/VornDocument.h"

void VornDocument::importData(QObject *)
{
    importRouting_->startImport(nullptr);
}
