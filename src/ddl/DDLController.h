#pragma once

#include "connection/ConnectedController.h"
#include "ddl/DdlDialect.h"
#include "ddl/DdlWaitWindow.h"
#include "elements/BrowserElement.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class DDLAssistantViewController;
class DDLControllerDelegate;
class DdlNaming;
class VornAssistantClient;
class QWidget;

// The document's controller of data definition: it truncates and drops the browser's elements after a
// confirmation, with a wait sheet while the work runs off the main thread; it says which kinds of
// object the database can create; it runs the statements a create assistant built; and it answers the
// dialect questions the assistants' scripts ask. Main thread, except executeCreateSql.
class DDLController : public ConnectedController
{
public:
    static inline const QString truncateThreadName = QStringLiteral("DDLController._truncateItem");
    static inline const QString dropThreadName = QStringLiteral("DDLController._dropItem");

    explicit DDLController(VornRootClientPtr vornRoot);
    ~DDLController() override;

    DDLControllerDelegate *ddlDelegate() const { return ddlDelegate_; }
    void setDdlDelegate(DDLControllerDelegate *delegate) { ddlDelegate_ = delegate; }

    // Menu validation: no side effects.
    bool canTruncate(const BrowserElementPtr &element) const;
    bool canDrop(const BrowserElementPtr &element) const;
    bool supportCreateNew(const QString &type) const;
    bool canCreateNew(const QString &type) const;

    // Confirm on the window, then run; the outcome reaches the status bar, the log and the delegate.
    void truncate(const BrowserElementPtr &element, QWidget *window);
    void drop(const BrowserElementPtr &element, QWidget *window);
    // The wait sheet of the running truncate or drop; null otherwise.
    DdlWaitWindow *waitWindow() const { return waitWindow_; }

    // Opens the create assistant of the kind ("TABLE", "INDEX", "CONSTRAINT", "SEQUENCE", "PROCEDURE",
    // "FUNCTION", "PACKAGE") as a sheet on the window; each kind's assistant is made once and reused.
    void createNew(const QString &type, QWidget *window);
    // The assistant of a kind once it was opened; null before.
    DDLAssistantViewController *assistantFor(const QString &type) const;

    // Runs a create script on the calling assistant's worker thread, inside its root reservation, and
    // stops at the first statement that fails; error then holds the message. typeLabel names the kind
    // ("Table") in the status line.
    bool executeCreateSql(const QStringList &statements, const QString &typeLabel, QString *error);
    bool needsCommitBeforeObjectIsVisible() const;
    // An assistant's script for the SQL editor.
    void assistantWantsToInsertCodeIntoEditor(const QString &code);

    // The connection's database type ("PostgreSQL", ...).
    QString databaseType() const;
    // The root's assistant of the connected database; null without one.
    std::shared_ptr<VornAssistantClient> assistantClient() const;
    // The connected database's rules, asked each time (the connection may change type).
    DdlDialect dialect() const;
    // The backend's naming of the connected database for the script builders; null without a connection.
    std::unique_ptr<DdlNaming> naming() const;

private:
    struct Action;
    static const Action &truncateAction();
    static const Action &dropAction();
    void confirmAndRun(const BrowserElementPtr &element, QWidget *window, const Action &action);
    void run(const BrowserElementPtr &element, QWidget *window, const Action &action);
    void endWait();

    DDLControllerDelegate *ddlDelegate_ = nullptr;
    // By kind: "TABLE", "INDEX", "CONSTRAINT", "SEQUENCE", and "PROCEDURE" for the stored-code kinds.
    std::map<QString, std::unique_ptr<DDLAssistantViewController>> assistants_;
    QPointer<DdlWaitWindow> waitWindow_;
    QPointer<QWidget> mainWindow_;
    // Lets a sheet's answer tell whether this controller still exists.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
};
