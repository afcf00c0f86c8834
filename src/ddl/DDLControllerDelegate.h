#pragma once

#include <QString>

class DDLController;

// What the DDL controller tells its document. Main thread.
class DDLControllerDelegate
{
public:
    virtual ~DDLControllerDelegate() = default;

    // Before a confirmed truncate or drop and before a create: nothing of the object stays on screen.
    virtual void DDLControllerNeedsClearResults() = 0;
    // After a successful truncate or drop, with the sentence to show.
    virtual void DDLControllerDidPerformAction(const QString &text) = 0;
    // The schema changed: its metadata is to be read again in the background.
    virtual void DDLControllerNeedsBackgroundReloadConnectionInfo() = 0;
    // A script to append to the SQL editor; null code is ignored.
    virtual void DDLControllerWantsToInsertCodeIntoEditor(DDLController *controller, const QString &code) = 0;
    // Whether a new object shows in the browser only after a commit.
    virtual bool DDLControllerNeedsCommitBeforeObjectIsVisible(DDLController *controller) = 0;
};
