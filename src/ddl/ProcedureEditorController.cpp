#include "ddl/ProcedureEditorController.h"

#include "client/VornProcedureClient.h"
#include "ddl/ProcedureEditorControllerDelegate.h"
#include "ddl/ProcedureExecutionMessage.h"
#include "ddl/ProcedureWarnings.h"
#include "editor/SQLEditorTextStorage.h"
#include "platform/Preferences.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace
{

QString text(const char *context, const char *source)
{
    return QCoreApplication::translate(context, source);
}

QString procedureText(const char *source)
{
    return text("procedure", source);
}

// Undo never reaches across a reload.
void dropUndo(SQLEditorTextStorage &storage)
{
    storage.setUndoRedoEnabled(false);
    storage.setUndoRedoEnabled(true);
}

// The storage's text with its syntax colours, appended at the cursor.
void appendColoured(QTextCursor &cursor, SQLEditorTextStorage &storage)
{
    storage.redrawSyntaxInRange({0, storage.length()});
    for (QTextBlock block = storage.begin(); block.isValid(); block = block.next()) {
        if (block != storage.begin())
            cursor.insertBlock();
        const int start = cursor.position();
        cursor.insertText(block.text());
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            QTextCursor span(cursor.document());
            span.setPosition(start + range.start);
            span.setPosition(start + range.start + range.length, QTextCursor::KeepAnchor);
            span.mergeCharFormat(range.format);
        }
    }
}

// "/**…**/" around a title, as the printed package shows its two parts.
QString banner(const QString &title)
{
    const QString stars(title.size(), QLatin1Char('*'));
    return QStringLiteral("/**%1**\n * %2 *\n **%1**/\n").arg(stars, title);
}

struct CompileResult {
    bool failed = false;
    bool stillAvailable = false;
};

} // namespace

ProcedureEditorController::ProcedureEditorController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot)), header_(std::make_unique<SQLEditorTextStorage>()),
      body_(std::make_unique<SQLEditorTextStorage>())
{
    const QStringList words = this->vornRoot()->defaultReservedWords();
    header_->setReservedWords(words);
    body_->setReservedWords(words);
}

ProcedureEditorController::~ProcedureEditorController() = default;

bool ProcedureEditorController::rootFree() const
{
    return vornRoot()->hasConnection() && !vornRoot()->reserved();
}

void ProcedureEditorController::resetProcedureFromRoot(bool afterCompile, bool errorsDisplayed)
{
    procedure_ = vornRoot()->procedure();
    filling_ = true;
    if (!afterCompile) {
        header_->replaceContents(QString());
        body_->replaceContents(QString());
    }
    if (procedure_) {
        if (procedure_->supportSourceEdit()) {
            const QString source = procedure_->getSource();
            const QString bodySource = procedure_->getBodySource();
            if (source != header_->string() || bodySource != body_->string())
                fillTexts(source, bodySource);
            reloadSelectableProcedures();
        } else {
            const char *kind = procedure_->isFunction()    ? "this function"
                               : procedure_->isProcedure() ? "this procedure"
                               : procedure_->isPackage()   ? "this package"
                                                           : nullptr;
            const QString line =
                kind ? procedureText("The source for %1 cannot be loaded and edited").arg(procedureText(kind))
                     : QStringLiteral("ERROR");
            header_->replaceContents(QStringLiteral("\n/*\n * %1\n */").arg(line));
        }
    }
    filling_ = false;
    dropUndo(*header_);
    dropUndo(*body_);
    if (!procedure_)
        return;
    loadWarnings();
    if (!warnings_.isEmpty() && afterCompile && !errorsDisplayed && statusManager())
        statusManager()->runInfoWithTitle(procedureText("Procedure has warnings after building"),
                                          ProcedureWarnings::summary(warnings_));
}

void ProcedureEditorController::fillTexts(const QString &source, const QString &bodySource)
{
    const VornRootClientPtr &root = vornRoot();
    const QString type = root->connectionType();
    const QStringList reserved = root->reservedWords();
    const QStringList context = root->contextWords();
    for (SQLEditorTextStorage *storage : {header_.get(), body_.get()}) {
        storage->replaceContents(QString());
        storage->setDialectForConnectionType(type);
        storage->setReservedWords(reserved);
        storage->setContextWords(context);
    }
    header_->replaceContents(source);
    body_->replaceContents(bodySource);
}

void ProcedureEditorController::loadWarnings()
{
    warnings_.clear();
    if (procedure_)
        warnings_ = procedure_->getWarnings();
}

void ProcedureEditorController::sourceUpdated()
{
    // The texts filled from the backend are no edits.
    if (filling_ || !procedure_ || !procedure_->supportSourceEdit())
        return;
    procedure_->updateSource(header_->string());
    procedure_->updateBodySource(body_->string());
}

void ProcedureEditorController::reloadSelectableProcedures()
{
    members_.clear();
    bodyMembers_.clear();
    if (!isPackage())
        return;
    members_ = selectableProceduresInParsedComponents(header_->parsedComponents());
    bodyMembers_ = selectableProceduresInParsedComponents(body_->parsedComponents());
}

bool ProcedureEditorController::isPackage() const
{
    return procedure_ && procedure_->isPackage();
}

bool ProcedureEditorController::hasEditableSource() const
{
    return procedure_ && procedure_->supportSourceEdit();
}

QStringList ProcedureEditorController::packageProcedures() const
{
    return procedure_ ? procedure_->getPackageProcedures() : QStringList();
}

QString ProcedureEditorController::selectedPackageProcedure() const
{
    return procedure_ ? procedure_->getSelectedPackageProcedure() : QString();
}

void ProcedureEditorController::setSelectedPackageProcedure(const QString &member)
{
    if (procedure_)
        procedure_->setSelectedPackageProcedure(member);
}

bool ProcedureEditorController::canChangeSelectedPackageProcedure() const
{
    return rootFree() && isPackage();
}

bool ProcedureEditorController::canCompile() const
{
    return rootFree() && canRevert();
}

bool ProcedureEditorController::canRevert() const
{
    return hasEditableSource() && procedure_->sourceIsDirty();
}

void ProcedureEditorController::compileAndCommit()
{
    if (!procedure_ || !requestRootReservation(text("activity", "Updating stored procedure")))
        return;
    auto result = std::make_shared<CompileResult>();
    BackgroundJob job;
    job.threadName = QStringLiteral("ProcedureEditorController.compileAndCommit");
    job.work = [root = vornRoot(), status = statusManager(), procedure = procedure_,
                result](const WorkerControl &) {
        status->setActiveConnectionStatus(procedureText("Updating procedure"));
        procedure->commitSource();
        const BackendOutcome outcome = root->lastOutcome();
        if (!outcome) {
            result->failed = true;
            status->runErrorWithTitle(
                text("browser", "Database error"),
                QStringLiteral("%1\n%2").arg(
                    procedureText("A database error occured while trying update the procedure."),
                    outcome.errorMessage));
            status->setConnectionStatus(procedureText("Error updating procedure"), outcome.errorMessage);
            return;
        }
        status->setConnectionStatus(procedureText("Procedure updated successfully"));
        const std::shared_ptr<VornProcedureClient> current = root->procedure();
        result->stillAvailable = current && current->supportSourceEdit();
    };
    job.failed = [status = statusManager(), result](const QString &reason) {
        result->failed = true;
        status->setConnectionStatus(procedureText("Error updating procedure"), reason);
    };
    job.done = [this, result] { didCompile(result->failed, result->stillAvailable); };
    runReserved(std::move(job));
}

void ProcedureEditorController::didCompile(bool failed, bool stillAvailable)
{
    if (failed)
        resetProcedureFromRoot(true, true);
    else if (stillAvailable)
        resetProcedureFromRoot(true, false);
    if (procedureDelegate_)
        procedureDelegate_->procedureEditorCompiledProcedure(this, failed || stillAvailable);
}

void ProcedureEditorController::revert()
{
    if (!canRevert())
        return;
    procedure_->revert();
    resetProcedureFromRoot();
    if (procedureDelegate_)
        procedureDelegate_->procedureEditorRevertedProcedure(this);
}

bool ProcedureEditorController::canExecute() const
{
    return rootFree() && procedure_ && warnings_.isEmpty() && !procedure_->sourceIsDirty();
}

void ProcedureEditorController::execute()
{
    if (!rootFree() || !procedure_)
        return;
    const QVariantList columns = procedure_->inputOutputColumns();
    QStringList names;
    for (int i = 0; i < columns.size(); ++i) {
        if (procedure_->isInputColumn(i))
            names << columns.at(i).toMap().value(QStringLiteral("name")).toString();
    }
    if (names.isEmpty()) {
        executeAfterParameterInput(ParameterAnswer{});
        return;
    }
    if (!procedureDelegate_)
        return;
    procedureDelegate_->procedureEditorControllerNeedsParameters(
        names,
        [this, alive = std::weak_ptr<const char>(alive_)](const std::optional<ParameterAnswer> &answer) {
            if (!alive.expired())
                executeAfterParameterInput(answer);
        },
        parameterCache_);
}

void ProcedureEditorController::executeAfterParameterInput(const std::optional<ParameterAnswer> &answer)
{
    if (!answer || !procedure_)
        return;
    for (const QString &name : answer->parameterNames)
        parameterCache_.insert(name, answer->parameterValues.value(name));
    if (!requestRootReservation(text("activity", "Executing stored procedure")))
        return;
    localRunning_->store(true);
    BackgroundJob job;
    job.threadName = QStringLiteral("ProcedureController._executeQueriesThread");
    job.work = [root = vornRoot(), status = statusManager(), procedure = procedure_, cache = parameterCache_,
                running = localRunning_](const WorkerControl &) {
        status->setActiveConnectionStatus(text("activity", "Executing stored procedure"));
        QVariantList columns = procedure->inputOutputColumns();
        for (int i = 0; i < columns.size(); ++i) {
            if (procedure->isInputColumn(i))
                procedure->setValueForColumn(i, cache.value(columns.at(i).toMap().value("name").toString()));
        }
        procedure->doExecute();
        running->store(false);
        const BackendOutcome outcome = root->lastOutcome();
        if (!outcome) {
            const QString message = outcome.errorMessage == QLatin1String("INVALID_INPUT")
                                        ? text("resultset", "You've entered an invalid value.")
                                        : outcome.errorMessage;
            status->setConnectionStatus(procedureText("Error executing procedure"), message);
            status->runErrorWithTitle(
                procedureText("Database error"),
                QStringLiteral("%1\n%2").arg(text("resultset", "There was an error executing the procedure."),
                                             message));
            return;
        }
        columns = procedure->inputOutputColumns();
        QList<ProcedureOutput> outputs;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant value = procedure->value(i);
            const QString shown = value.isNull() ? procedureText("null") : value.toString();
            if (procedure->isReturnColumn(i))
                outputs.append({ProcedureExecutionMessage::resultKey, shown});
            if (procedure->isOutputColumn(i))
                outputs.append({columns.at(i).toMap().value("name").toString(), shown});
        }
        const ProcedureExecutionKind kind{procedure->isFunction(),
                                          procedure->isProcedure(),
                                          procedure->isPackageFunction(),
                                          procedure->isPackageProcedure(),
                                          procedure->name(),
                                          procedure->getSelectedPackageProcedure()};
        status->runInfoWithTitle(ProcedureExecutionMessage::title(kind),
                                 ProcedureExecutionMessage::text(kind, outputs));
        status->setConnectionStatus(procedureText("Successfully executed procedure"));
    };
    job.failed = [status = statusManager()](const QString &reason) {
        status->setConnectionStatus(procedureText("Error executing procedure"), reason);
    };
    job.done = [this] {
        localRunning_->store(false);
        if (procedureDelegate_)
            procedureDelegate_->procedureUpdated();
    };
    runReserved(std::move(job));
}

void ProcedureEditorController::cancelExecution()
{
    const VornRootClientPtr &root = vornRoot();
    if (!root->hasConnection())
        return;
    const std::shared_ptr<VornProcedureClient> current = root->procedure();
    if (current && current->running() && !current->cancelling())
        current->cancelQuery();
}

std::unique_ptr<QTextDocument> ProcedureEditorController::printViewNeedsContentString() const
{
    auto copy = std::make_unique<QTextDocument>();
    copy->setDefaultFont(header_->defaultFont());
    QTextCursor cursor(copy.get());
    if (!isPackage()) {
        appendColoured(cursor, *header_);
        return copy;
    }
    const Preferences preferences;
    QFont font(QStringLiteral("Monaco"));
    font.setPointSize(int(preferences.integer(PreferenceKey::syntaxFontSize)));
    QTextCharFormat bannerFormat;
    bannerFormat.setFont(font);
    bannerFormat.setForeground(header_->syntaxCommentColor());
    cursor.insertText(banner(text("printing", "Package header")), bannerFormat);
    appendColoured(cursor, *header_);
    cursor.insertText(QStringLiteral("\n\n") + banner(text("printing", "Package body")), bannerFormat);
    appendColoured(cursor, *body_);
    return copy;
}

QString ProcedureEditorController::printViewNeedsContentTypeString() const
{
    if (!procedure_)
        return QStringLiteral("unknown");
    if (procedure_->isPackage())
        return text("printing", "Package");
    if (procedure_->isFunction())
        return text("printing", "Function");
    if (procedure_->isProcedure())
        return text("printing", "Procedure");
    return QStringLiteral("unknown");
}

QString ProcedureEditorController::printViewNeedsTitle() const
{
    return procedure_ ? procedure_->name() : QString();
}
