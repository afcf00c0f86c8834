#pragma once

class ExportSubViewController;

// How a page of the export assistant reports to its assistant.
class ExportSubViewControllerDelegate
{
public:
    virtual ~ExportSubViewControllerDelegate() = default;
    // The page changed a setting of the export controller.
    virtual void exportSubViewControllerUpdated(ExportSubViewController *page) = 0;
    virtual void exportSubViewControllerRequestCancel(ExportSubViewController *page) = 0;
};
