#pragma once

#include "browser/BrowserDefinitionActions.h"
#include "client/VornRootClient.h"
#include "ddl/DDLControllerDelegate.h"
#include "document/DocumentConnectionAnswers.h"

#include <memory>

class DDLController;
class PaneSelection;
class VornDocument;

// The document's data definition: it owns the DDL controller, which the browser reaches through the
// document to truncate, drop and create objects, and answers it as its delegate: results are cleared
// before the object changes, the outcome shows in the text pane, changed metadata is read again, and
// scripts go to the SQL editor. What concerns the connection it passes to the document.
class DdlRouting : public DocumentConnectionAnswers<ConnectedControllerDelegate>,
                   public DDLControllerDelegate,
                   public BrowserDefinitionActions
{
public:
    DdlRouting(VornDocument &document, PaneSelection &panes, const VornRootClientPtr &root);
    DdlRouting(const DdlRouting &) = delete;
    DdlRouting &operator=(const DdlRouting &) = delete;
    ~DdlRouting() override;

    DDLController *ddlController() const { return ddlController_.get(); }

    // DDLControllerDelegate.
    void DDLControllerNeedsClearResults() override;
    void DDLControllerDidPerformAction(const QString &text) override;
    void DDLControllerNeedsBackgroundReloadConnectionInfo() override;
    void DDLControllerWantsToInsertCodeIntoEditor(DDLController *controller, const QString &code) override;
    bool DDLControllerNeedsCommitBeforeObjectIsVisible(DDLController *controller) override;

    // BrowserDefinitionActions: the browser pane's menus, through the controller.
    bool canTruncate(const BrowserElementPtr &element) const override;
    bool canDrop(const BrowserElementPtr &element) const override;
    void truncate(const BrowserElementPtr &element, QWidget *window) override;
    void drop(const BrowserElementPtr &element, QWidget *window) override;
    bool supportCreateNew(const QString &type) const override;
    bool canCreateNew(const QString &type) const override;
    void createNew(const QString &type, QWidget *window) override;

private:
    VornDocument &document_;
    PaneSelection &panes_;
    std::unique_ptr<DDLController> ddlController_;
};
