#pragma once

#include <QString>

class DDLSubViewController;

// What a page of a create assistant tells its assistant. Main thread.
class DDLSubViewControllerDelegate
{
public:
    virtual ~DDLSubViewControllerDelegate() = default;
    // The page's input changed: the wizard asks again which steps and buttons are usable.
    virtual void DDLSubViewControllerDelegateUpdated(DDLSubViewController *page) = 0;
    // The page is done with the assistant (its script was copied or inserted).
    virtual void DDLSubViewControllerWantsToClose(DDLSubViewController *page) = 0;
    virtual void DDLSubViewControllerWantsToInsertCodeIntoEditor(DDLSubViewController *page,
                                                                 const QString &code) = 0;
};
