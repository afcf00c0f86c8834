#pragma once

class ImportViewController;

// Told when the import assistant has closed; the document then drops it.
class ImportViewControllerDelegate
{
public:
    virtual ~ImportViewControllerDelegate() = default;
    virtual void importViewControllerFinishedSuccessful(ImportViewController *assistant, bool successful) = 0;
};
