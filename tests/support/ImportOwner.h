#pragma once

// The document's part for an import controller, for the import tests and benchmarks alike (so no
// GoogleTest here): it lends the root and counts what the controller reports.
#include "RootLendingDocument.h"
#include "transfer/ImportControllerDelegate.h"

class ImportOwner : public RootLendingDocument, public ImportControllerDelegate
{
public:
    ImportOwner(VornRootClientPtr root, QString identifier)
        : RootLendingDocument(std::move(identifier), std::move(root))
    {
    }
    void importControllerHasUpdatedPreview(ImportController *) override { ++previews; }
    void importControllerStatusUpdated(ImportController *) override { ++statusUpdates; }

    int previews = 0;
    int statusUpdates = 0;
};
