#pragma once

#include "connection/ConnectedController.h"
#include "window/PrintableController.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

// One coloured piece of a plan step's line.
struct AnalyserLinePiece {
    QString text;
    QColor color;
    bool operator==(const AnalyserLinePiece &other) const = default;
};
using AnalyserLine = QList<AnalyserLinePiece>;

// The execution plan of the statement last analysed, per document: the tree as the backend gave it
// (per step {"info": fields, "children": steps}), each step's coloured line, the whole plan as text for
// printing, and the creation of a missing plan table. Steps are addressed by their path of child
// indexes from the root; the root's path is empty. Main thread, but the plan-table worker.
class AnalyserController : public ConnectedController, public PrintableController
{
public:
    explicit AnalyserController(VornRootClientPtr vornRoot);
    ~AnalyserController() override;

    void resetWithAnalysisInfo(const QVariantMap &analysisInfo);
    const std::optional<QVariantMap> &analysisInfo() const { return analysisInfo_; }
    // Reads the five colours from the editor's preferences again.
    void sqlEditorDefaultsUpdated();

    // The step at a path; null when there is none.
    std::optional<QVariantMap> stepAt(const QList<int> &path) const;
    int numberOfChildren(const QList<int> &path) const;
    AnalyserLine displayValueForStep(const QVariantMap &step, bool isRoot) const;
    static QString plainText(const AnalyserLine &line);
    // Each step on a line of its own, after a line feed and one tab per level.
    std::unique_ptr<QTextDocument> attributedString() const;

    // "server:port/database" of the document's connection.
    QString serverStringForCreateTablePlan() const;
    // Creates the plan table on a worker as the given administrator; nothing when the root is busy.
    void createTablePlanUsername(const QString &userName, const QString &password);

    std::unique_ptr<QTextDocument> printViewNeedsContentString() const override { return attributedString(); }
    QString printViewNeedsContentTypeString() const override;
    QString printViewNeedsTitle() const override;
    QString printViewNeedsSourceQuery() const override;
    QString printViewNeedsFileName() const override { return QString(); }

    QColor syntaxNormalColor, syntaxReservedColor, syntaxContextColor, syntaxLiteralColor, syntaxCommentColor;

private:
    void appendStep(QTextDocument &document, const QVariantMap &step, int depth, bool isRoot) const;

    std::optional<QVariantMap> analysisInfo_;
    quint64 preferencesObserver_ = 0;
};
