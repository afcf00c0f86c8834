#pragma once

#include "editor/SQLCompletionSource.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

class BrowserController;

// The SQL editor's names, answered from the browser. Table, view and object names come from the loaded
// store; the tables and views of a schema the store has not loaded, and column names, come from the
// backend's catalog, which the first question of a schema reads on a background worker while the editor
// offers keywords only. No answer waits for the connection and none holds it: until the names are known
// an empty list comes back. Main thread; the controller outlives the source.
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

    // Whether the columns, or the table and view names, of the schema have been read for completion.
    bool columnsKnownForSchema(const QString &schema) const { return columnsKnown_.contains(schema); }
    bool tableNamesKnownForSchema(const QString &schema) const { return tableNames_.contains(schema); }
    // The metadata was read again: names are read again on the next question.
    void forgetNames();

private:
    struct TableName {
        QString type;
        QString name;
    };

    // Whether the schema's objects are in the store.
    bool schemaLoaded(const QString &schema) const;
    // The names read for a schema the store has not loaded, qualified against the qualifier schema;
    // empty while they are being read.
    QStringList tableNamesReadFor(const QString &schema, const QString &qualifier);
    void readTableNamesInBackground(const QString &schema);
    void readColumnsInBackground(const QString &schema);

    BrowserController &controller_;
    QSet<QString> columnsKnown_;
    QSet<QString> columnsReading_;
    QHash<QString, QList<TableName>> tableNames_;
    QSet<QString> tableNamesReading_;
    // Lets a finished read tell whether this source still exists.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>('\0');
};
