#include "browser/AnalyserController.h"

#include "client/VornAnalyserClient.h"
#include "connection/ConnectedControllerDelegate.h"
#include "connection/ConnectionParameters.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QTextCursor>

namespace
{

const QString infoKey = QStringLiteral("info");
const QString childrenKey = QStringLiteral("children");

QString text(const char *key)
{
    return QCoreApplication::translate("sqleditorcontroller", key);
}

QString joined(const QString &first, const QString &second)
{
    return QStringLiteral("%1\n\n%2").arg(first, second);
}

QVariantList children(const QVariantMap &step)
{
    return step.value(childrenKey).toList();
}

void createPlanTable(const VornRootClientPtr &root, const std::shared_ptr<StatusManager> &status,
                     const QStringList &arguments)
{
    status->setActiveConnectionStatus(text("Creating plan table"));
    if (const std::shared_ptr<VornAnalyserClient> analyser = root->analyse())
        analyser->createPlanTable(arguments.at(0), arguments.at(1), arguments.at(2), arguments.at(3),
                                  arguments.at(4));
    const BackendOutcome outcome = root->lastOutcome();
    if (outcome) {
        status->runErrorWithTitle(text("Successfully created plan table"),
                                  joined(text("Successfully created plan table."),
                                         text("Please try your request to Analyse again.")));
        status->setConnectionStatus(text("Successfully created plan table"));
        return;
    }
    const QString title = text("Error creating plan table");
    status->runErrorWithTitle(
        title, joined(text("An error occured while creating the plan table."), outcome.errorMessage));
    status->setConnectionStatus(title, outcome.errorMessage, StatusManager::SqlEditor);
}

} // namespace

AnalyserController::AnalyserController(VornRootClientPtr vornRoot) : ConnectedController(std::move(vornRoot))
{
    sqlEditorDefaultsUpdated();
    preferencesObserver_ =
        NotificationCenter::defaultCenter().addObserver(Preferences::sqlPreferenceUpdateNotification, nullptr,
                                                        [this](const auto &) { sqlEditorDefaultsUpdated(); });
}

AnalyserController::~AnalyserController()
{
    NotificationCenter::defaultCenter().removeObserver(preferencesObserver_);
}

void AnalyserController::sqlEditorDefaultsUpdated()
{
    const UserDefaults &defaults = UserDefaults::standard();
    syntaxNormalColor = QColor(defaults.stringForKey(PreferenceKey::syntaxNormalColor));
    syntaxReservedColor = QColor(defaults.stringForKey(PreferenceKey::syntaxReservedColor));
    syntaxContextColor = QColor(defaults.stringForKey(PreferenceKey::syntaxContextColor));
    syntaxLiteralColor = QColor(defaults.stringForKey(PreferenceKey::syntaxLiteralColor));
    syntaxCommentColor = QColor(defaults.stringForKey(PreferenceKey::syntaxCommentColor));
}

void AnalyserController::resetWithAnalysisInfo(const QVariantMap &analysisInfo)
{
    analysisInfo_ = analysisInfo;
}

std::optional<QVariantMap> AnalyserController::stepAt(const QList<int> &path) const
{
    if (!analysisInfo_)
        return std::nullopt;
    QVariantMap step = *analysisInfo_;
    for (int index : path) {
        const QVariantList list = children(step);
        if (index < 0 || index >= list.size())
            return std::nullopt;
        step = list.at(index).toMap();
    }
    return step;
}

int AnalyserController::numberOfChildren(const QList<int> &path) const
{
    const std::optional<QVariantMap> step = stepAt(path);
    return step ? int(children(*step).size()) : 0;
}

AnalyserLine AnalyserController::displayValueForStep(const QVariantMap &step, bool isRoot) const
{
    AnalyserLine line;
    if (!step.contains(infoKey))
        return line;
    const QVariantMap info = step.value(infoKey).toMap();
    const auto field = [&](const char *key) { return info.value(QLatin1String(key)).toString(); };
    const auto has = [&](const char *key) { return info.contains(QLatin1String(key)); };
    const auto add = [&](const QString &piece, const QColor &color) { line.append({piece, color}); };
    add(field("OPERATION"), syntaxReservedColor);
    if (isRoot) {
        if (has("OPTIMIZER"))
            add(QStringLiteral(" Optimizer=") + field("OPTIMIZER"), syntaxNormalColor);
    } else {
        if (has("OPTIONS")) {
            static const QStringList wide{"FULL", "ALL", "FULL SCAN", "OUTER"};
            const QString options = field("OPTIONS");
            add(QStringLiteral(" ("), syntaxNormalColor);
            add(options, wide.contains(options) ? syntaxLiteralColor : syntaxCommentColor);
            add(QStringLiteral(")"), syntaxNormalColor);
        }
        if (has("OBJECT_NAME")) {
            add(QStringLiteral(" OF "), syntaxNormalColor);
            add(field("OBJECT_NAME"), syntaxContextColor);
            if (has("OBJECT_TYPE"))
                add(QStringLiteral(" (%1)").arg(field("OBJECT_TYPE")), syntaxReservedColor);
        }
    }
    if (has("COST_COLLECTION") || has("COST") || has("CARDINALITY") || has("BYTES")) {
        QString costs = field("COST_COLLECTION");
        if (has("COST"))
            costs += QStringLiteral("Cost=") + field("COST");
        if (has("CARDINALITY"))
            costs += (costs.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("Card=") +
                     field("CARDINALITY");
        if (has("BYTES"))
            costs += (costs.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("Bytes=") +
                     field("BYTES");
        add(QStringLiteral(" (%1)").arg(costs), syntaxNormalColor);
    }
    return line;
}

QString AnalyserController::plainText(const AnalyserLine &line)
{
    QString text;
    for (const AnalyserLinePiece &piece : line)
        text += piece.text;
    return text;
}

std::unique_ptr<QTextDocument> AnalyserController::attributedString() const
{
    auto document = std::make_unique<QTextDocument>();
    if (analysisInfo_)
        appendStep(*document, *analysisInfo_, 0, true);
    return document;
}

void AnalyserController::appendStep(QTextDocument &document, const QVariantMap &step, int depth,
                                    bool isRoot) const
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n") + QString(depth, u'\t'), QTextCharFormat());
    for (const AnalyserLinePiece &piece : displayValueForStep(step, isRoot)) {
        QTextCharFormat format;
        format.setForeground(piece.color);
        cursor.insertText(piece.text, format);
    }
    for (const QVariant &child : children(step))
        appendStep(document, child.toMap(), depth + 1, false);
}

QString AnalyserController::serverStringForCreateTablePlan() const
{
    const ConnectionParametersPtr parameters =
        delegate()
            ? delegate()->connectedControllerWantsConnectionParameters(const_cast<AnalyserController *>(this))
            : nullptr;
    if (!parameters)
        return QString();
    return QStringLiteral("%1:%2/%3").arg(parameters->server(), parameters->port(), parameters->database());
}

void AnalyserController::createTablePlanUsername(const QString &userName, const QString &password)
{
    if (!requestRootReservation(QCoreApplication::translate("activity", "Analysing SQL statement")))
        return;
    const ConnectionParametersPtr parameters =
        delegate() ? delegate()->connectedControllerWantsConnectionParameters(this) : nullptr;
    const QStringList arguments{userName, password, parameters ? parameters->server() : QString(),
                                parameters ? parameters->port() : QString(),
                                parameters ? parameters->database() : QString()};
    BackgroundJob job;
    job.threadName = QStringLiteral("SQLEditorController._analyseQueryInThread");
    job.work = [root = vornRoot(), status = statusManager(), arguments](const WorkerControl &) {
        createPlanTable(root, status, arguments);
    };
    job.failed = [status = statusManager()](const QString &reason) {
        status->setConnectionStatus(text("Error creating plan table"), reason, StatusManager::SqlEditor);
    };
    runReserved(std::move(job));
}

QString AnalyserController::printViewNeedsContentTypeString() const
{
    return text("Analysis");
}

QString AnalyserController::printViewNeedsTitle() const
{
    return text("Analysis");
}

QString AnalyserController::printViewNeedsSourceQuery() const
{
    const std::shared_ptr<VornAnalyserClient> analyser = vornRoot()->analyse();
    return analyser ? analyser->query() : QString();
}
