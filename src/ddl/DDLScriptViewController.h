#pragma once

#include "ddl/DDLSubViewController.h"
#include "ddl/DdlScript.h"

#include <functional>

class QLabel;
class SQLTextView;

// The script page of a create assistant: the script built from the run's shared data each time the page
// shows, read-only and coloured as SQL, with Copy and Insert into the editor (both close the assistant).
// The create step runs the same statements.
class DDLScriptViewController : public DDLSubViewController
{
public:
    // The builder gets the shared data and the controller of the run.
    using Builder = std::function<DdlScript(const QVariantMap &shared, DDLController &controller)>;
    DDLScriptViewController(Builder builder, const QString &description);

    void updateInterface() override;
    const DdlScript &script() const { return script_; }
    void copy();
    void insert();
    SQLTextView *textView() const { return textView_; }

private:
    Builder builder_;
    DdlScript script_;
    QLabel *description_;
    SQLTextView *textView_;
};
