#pragma once

class ImportSubViewController;

// How a page of the import assistant reports to its assistant.
class ImportSubViewControllerDelegate
{
public:
    virtual ~ImportSubViewControllerDelegate() = default;
    // The page changed a setting of the import controller.
    virtual void importSubViewControllerUpdated(ImportSubViewController *page) = 0;
    // The status page handed its text on: the assistant closes.
    virtual void importStatusViewControllerWantsToClose(ImportSubViewController *page) = 0;
};
