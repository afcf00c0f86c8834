// The File menu's saving commands, handed to the document's saving role.

#include "document/DocumentSaving.h"
#include "document/VornDocument.h"

void VornDocument::saveDocument(QObject *)
{
    saving_->save();
}

void VornDocument::saveDocumentAs(QObject *)
{
    saving_->saveAs();
}

void VornDocument::revertDocumentToSaved(QObject *)
{
    saving_->revertToSaved();
}

bool VornDocument::validateAction(const QString &action) const
{
    if (action == QLatin1String("revertDocumentToSaved:"))
        return saving_->canRevert();
    if (action == QLatin1String("exportData:"))
        return connected();
    return true;
}
