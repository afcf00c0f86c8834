#pragma once

#include "connection/ConnectedController.h"
#include "ddl/ProcedureMembers.h"
#include "editor/SQLEditorControllerDelegate.h"
#include "window/PrintableController.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <optional>

class ProcedureEditorControllerDelegate;
class SQLEditorTextStorage;
class VornProcedureClient;

// The model of the stored-code editor, one per document: the source of the function, procedure or
// package the backend holds as its procedure, in two colouring texts (the header or whole source, and a
// package's body); every edit goes back to the backend, which keeps it until it is built or reverted.
// Builds and runs go to workers under the root's reservation; everything else is main thread.
class ProcedureEditorController : public ConnectedController, public PrintableController
{
public:
    explicit ProcedureEditorController(VornRootClientPtr vornRoot);
    ~ProcedureEditorController() override;

    ProcedureEditorControllerDelegate *procedureDelegate() const { return procedureDelegate_; }
    void setProcedureDelegate(ProcedureEditorControllerDelegate *delegate) { procedureDelegate_ = delegate; }

    SQLEditorTextStorage *sqlEditorTextStorage() const { return header_.get(); }
    SQLEditorTextStorage *sqlEditorBodyTextStorage() const { return body_.get(); }
    const QVariantList &warnings() const { return warnings_; }
    const ProcedureMembers &selectableProcedures() const { return members_; }
    const ProcedureMembers &selectableProceduresBody() const { return bodyMembers_; }
    const QVariantMap &parameterCache() const { return parameterCache_; }
    const std::shared_ptr<VornProcedureClient> &procedure() const { return procedure_; }

    // Reloads from the root. After a build the texts stay as they are when the backend holds the same
    // text (caret and colouring kept); otherwise they are emptied and filled anew.
    void resetProcedureFromRoot(bool afterCompile = false, bool errorsDisplayed = false);
    void loadWarnings();
    // The pane calls this after every edit.
    void sourceUpdated();
    void reloadSelectableProcedures();

    bool isPackage() const;
    bool hasEditableSource() const;
    QStringList packageProcedures() const;
    QString selectedPackageProcedure() const;
    void setSelectedPackageProcedure(const QString &member);
    bool canChangeSelectedPackageProcedure() const;

    bool canCompile() const;
    void compileAndCommit();
    bool canRevert() const;
    void revert();
    bool canExecute() const;
    void execute();
    void executeAfterParameterInput(const std::optional<ParameterAnswer> &answer);
    bool canCancelExecution() const { return localRunning_->load(); }
    void cancelExecution();

    std::unique_ptr<QTextDocument> printViewNeedsContentString() const override;
    QString printViewNeedsContentTypeString() const override;
    QString printViewNeedsTitle() const override;
    QString printViewNeedsSourceQuery() const override { return QString(); }
    QString printViewNeedsFileName() const override { return QString(); }

private:
    bool rootFree() const;
    void fillTexts(const QString &source, const QString &bodySource);
    void didCompile(bool failed, bool stillAvailable);

    ProcedureEditorControllerDelegate *procedureDelegate_ = nullptr;
    std::unique_ptr<SQLEditorTextStorage> header_;
    std::unique_ptr<SQLEditorTextStorage> body_;
    QVariantList warnings_;
    ProcedureMembers members_;
    ProcedureMembers bodyMembers_;
    QVariantMap parameterCache_;
    std::shared_ptr<VornProcedureClient> procedure_;
    // Set while the texts are filled from the backend, which is no edit to send back.
    bool filling_ = false;
    // Lets a parameter form that answers late tell whether this controller still exists.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
    // Shared with the run's worker, which may outlive the controller.
    std::shared_ptr<std::atomic<bool>> localRunning_ = std::make_shared<std::atomic<bool>>(false);
};
