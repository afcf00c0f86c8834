#pragma once

class ImportController;

// What the import controller tells its owner (the connection document); on the main thread.
class ImportControllerDelegate
{
public:
    virtual ~ImportControllerDelegate() = default;
    // The preview was cleared or a new one arrived.
    virtual void importControllerHasUpdatedPreview(ImportController *controller) = 0;
    // The run state or its counters changed.
    virtual void importControllerStatusUpdated(ImportController *controller) = 0;
};
