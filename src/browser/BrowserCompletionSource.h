#pragma once

#include "editor/SQLCompletionSource.h"

#include <QSet>
#include <QString>

#include <memory>

class BrowserController;

// The SQL editor's names, answered from the browser. Table, view and object names come from the loaded
// store; column names from the backend's catalog, which the first question of a schema reads on a
// background worker while the editor offers keywords only. No answer waits for the connection and none
// holds it: until the schema's objects and columns are known an empty list comes back. Main thread;
// the controller outlives the source.
class BrowserCompletionSource : public SQLCompletionSource
{
public:
    static inline const QString warmThreadName = QStringLiteral("BrowserController.autoCompleteColumns");

    explicit BrowserCompletionSource(BrowserController &controller);
    ~BrowserCompletionSource() override;

    QStringList autoCompleteNeedsObjectNamesForAutoCompleteOfType(const QString &kind) override;
    QStringList autoCompleteNeedsTableAndViewNamesForAutoComplete() override;
    QStringList autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(const QString &schema) override;
    QStringList autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
        const QStringList &tables, bool restrictedToTables,
        const std::optional<QList<SQLCompletionAlias>> &usedAliases) override;

    // Whether the columns of the schema have been read for completion.
    bool columnsKnownForSchema(const QString &schema) const { return columnsKnown_.contains(schema); }
    // The metadata was read again: the columns are read again on the next question.
    void forgetColumns() { columnsKnown_.clear(); }

private:
    // Whether the selected schema's objects are in the store.
    bool selectedSchemaLoaded() const;
    void readColumnsInBackground(const QString &schema);

    BrowserController &controller_;
    QSet<QString> columnsKnown_;
    QSet<QString> columnsReading_;
    // Lets a finished read tell whether this source still exists.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
};
