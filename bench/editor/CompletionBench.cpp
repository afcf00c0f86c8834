// Completion latency in a 10 MB SQL script whose schema has 2,000 tables: the suggestions at the caret
// (finding the statement, interpreting it, asking the names) and the popup opened over the SQL text view,
// at a table name after FROM, a column after an alias, a condition after WHERE and a statement keyword.
// Floors measured in the same run: the least any completion does, taking the statement at the caret and
// narrowing the schema's 2,000 names to the typed prefix, and, for the popup, filling a list widget with
// the words it shows.
// Prints medians and the ratios. Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "../support/EditorBenchApplication.h"
#include "../support/SqlScriptBench.h"
#include "editor/AutoCompleteViewController.h"
#include "editor/SQLCompletion.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "editor/SQLTextViewCompletion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <cstdio>

using namespace SqlScriptBench;

namespace
{
constexpr qint64 scriptBytes = 10 * 1000 * 1000;
constexpr int tableCount = 2000;
constexpr int repeats = 200;

// A schema's names as the browser's cache hands them out, sorted.
class SchemaSource : public SQLCompletionSource
{
public:
    SchemaSource()
    {
        for (int k = 0; k < tableCount; ++k)
            tables_ << QStringLiteral("order_items_%1").arg(k, 4, 10, QChar(u'0'));
        tables_ << "customers"
                << "orders"
                << "sessions";
        tables_.sort(Qt::CaseInsensitive);
        for (int k = 0; k < 400; ++k)
            columns_ << QStringLiteral("column_%1").arg(k, 3, 10, QChar(u'0'));
        tableColumns_ = {"city", "email", "id", "joined", "name"};
    }
    QStringList autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &) override
    {
        return tables_;
    }
    QStringList autoCompleteNeedsTableAndViewNamesForAutoComplete() override { return tables_; }
    QStringList autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &) override
    {
        return tables_;
    }
    QStringList autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
        const QStringList &tables, bool, const std::optional<QList<SQLCompletionAlias>> &) override
    {
        return tables.size() == 1 ? tableColumns_ : columns_;
    }
    const QStringList &tables() const { return tables_; }

private:
    QStringList tables_, columns_, tableColumns_;
};

QStringList startingWith(const QStringList &words, const QString &prefix)
{
    QStringList kept;
    for (const QString &word : words) {
        if (word.startsWith(prefix, Qt::CaseInsensitive))
            kept.append(word);
    }
    return kept;
}

template <typename Run> double medianMs(Run run)
{
    std::vector<double> samples;
    for (int k = 0; k < repeats; ++k) {
        QElapsedTimer timer;
        timer.start();
        run();
        samples.push_back(milliseconds(timer.nsecsElapsed()));
    }
    return stats(samples).median;
}

struct Place {
    const char *name;
    const char *marker; // the caret goes right after it, in the middle of the script
    const char *prefix; // typed at the caret
};

} // namespace

int main(int argc, char **argv)
{
    EditorBenchApplication application(argc, argv);
    std::printf("%s\n", qPrintable(machineLoad()));

    // In the middle: a blank before a condition, so that the caret can stand between two blanks, and a
    // statement begun by its first letters.
    QString script = realScript(scriptBytes);
    script.insert(script.indexOf(" WHERE o.placed", script.size() / 2) + 7, u' ');
    script.insert(script.indexOf("-- Order items", script.size() / 2), "sel\n\n");
    auto source = std::make_shared<SchemaSource>();
    SQLTextView view;
    view.resize(900, 700);
    view.show();
    view.textStorage()->setAutoCompleteSource(source);
    view.textStorage()->replaceContents(script);
    QCoreApplication::processEvents();
    SQLEditorTextStorage &storage = *view.textStorage();
    std::printf("script: %.2f MB of UTF-8, %lld characters; schema: %lld tables\n\n",
                script.toUtf8().size() / 1e6, storage.length(), qint64(source->tables().size()));

    const Place places[] = {
        {"table after FROM", "  FROM ", ""},
        {"column after an alias", "SELECT c.", ""},
        {"condition after WHERE", " WHERE ", ""},
        {"statement keyword", "\nsel", "sel"},
    };
    std::printf(
        "| place | words | suggestions ms | floor ms | x floor | popup ms | list floor ms | x list floor |\n"
        "|---|---|---|---|---|---|---|---|\n");
    for (const Place &place : places) {
        const qint64 found = script.indexOf(QString::fromUtf8(place.marker), script.size() / 2);
        if (found < 0) {
            std::printf("| %s | not found |\n", place.name);
            continue;
        }
        const qint64 caret = found + qint64(qstrlen(place.marker));
        const QString prefix = QString::fromUtf8(place.prefix);
        SQLCompletion completion(storage, source.get());
        const double suggestions = medianMs([&] {
            TextRange replaced;
            startingWith(completion.autoCompleteItemsAtLocation(caret, &replaced), prefix);
        });
        // The least: the statement at the caret and the schema's names narrowed to the prefix.
        const double floor = medianMs([&] {
            TextRange statement;
            storage.parsedComponentsBetweenQuerySeparatorsAroundLocation(caret, &statement, 10000);
            startingWith(source->autoCompleteNeedsTableAndViewNamesForAutoComplete(), prefix);
        });
        view.setSelectedRange(int(caret), 0);
        QCoreApplication::processEvents();
        view.runAutoCompleteAtCursor(true);
        AutoCompleteViewController *controller = view.completion().autoCompleteViewController();
        const QStringList shown = controller->activeWordSuggestions();
        controller->cancelOperation();
        const double popup = medianMs([&] {
            view.runAutoCompleteAtCursor(true);
            controller->cancelOperation();
        });
        // The least a popup does: a list of the same words, the first selected.
        QListWidget list;
        const double listFloor = medianMs([&] {
            list.clear();
            list.addItems(shown);
            list.setCurrentRow(0);
        });
        std::printf("| %s | %lld | %.3f | %.3f | %.2f | %.3f | %.3f | %.2f |\n", place.name,
                    qint64(shown.size()), suggestions, floor, suggestions / floor, popup, listFloor,
                    popup / std::max(listFloor, 1e-3));
    }
    std::printf("\n%s\n", qPrintable(machineLoad()));
    return 0;
}
