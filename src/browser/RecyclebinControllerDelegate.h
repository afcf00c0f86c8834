#pragma once

// What the recycle bin tells its document. Both arrive on the main thread.
class RecyclebinControllerDelegate
{
public:
    virtual ~RecyclebinControllerDelegate() = default;

    // The bin's contents or its busy state changed.
    virtual void recyclebinUpdated() = 0;
    // An object was restored (the bin has been listed again): the schema's objects changed.
    virtual void recycledidPerformRestore() = 0;
};
