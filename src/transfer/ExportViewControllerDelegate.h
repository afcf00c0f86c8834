#pragma once

class ExportViewController;

// Told when the export assistant has closed; the document then drops it.
class ExportViewControllerDelegate
{
public:
    virtual ~ExportViewControllerDelegate() = default;
    virtual void exportViewControllerFinishedSuccessful(ExportViewController *assistant, bool successful) = 0;
};
