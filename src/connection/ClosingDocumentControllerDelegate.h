#pragma once

#include "connection/ClosingConnectionControllerDelegate.h"

#include <functional>

// The closing checks of a tab: the connection's, then the unsaved document's. Main thread.
class ClosingDocumentControllerDelegate : public ClosingConnectionControllerDelegate
{
public:
    // Unsaved changes of the document itself (its text), not of the connection.
    virtual bool hasDirtyDocument() = 0;
    // Forgets the unsaved changes.
    virtual void discardDirtyDocument() = 0;
    // The standard save (a file chooser for an untitled document); didSave gets true when saved,
    // false when the user cancelled or saving failed.
    virtual void saveDocumentWithDelegate(std::function<void(bool saved)> didSave) = 0;
};
