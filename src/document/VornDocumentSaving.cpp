// The File menu's saving commands, handed to the document's saving role.

#include "document/DocumentPrinting.h"
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

void VornDocument::printDocument(QObject *)
{
    printing_->printDocument();
}

void VornDocument::runPageLayout(QObject *)
{
    printing_->runPageLayout();
}

bool VornDocument::validateAction(const QString &action) const
{
    if (action == QLatin1String("revertDocumentToSaved:"))
        return saving_->canRevert();
    if (action == QLatin1String("exportData:") || action == QLatin1String("importData:"))
        return connected();
    if (action == QLatin1String("printDocument:"))
        return printing_->canPrint();
    return true;
}
