#pragma once

#include "bridge/QoJavaObject.h"
#include "client/BackendOutcome.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class VornRootClient;

// One primary key column of a schema, as the constraint choices offer it.
struct PrimaryKeyColumn {
    QString schema;
    QString table;
    QString column;
};

// How a create script ended: the outcome of the first statement that failed (or success), and how many
// statements' effects remain (on a database whose DDL is transactional, all or none).
struct ScriptOutcome {
    BackendOutcome outcome;
    int standing = 0;
};

// The root's assistant ("nl/dalmerik/vorn/VornAssistant"): what the create assistants ask of the connected
// database (types, index and constraint abilities, advanced options and their clauses, names as its DDL
// writes them) and the running of a finished create script. Virtual for fakes.
class VornAssistantClient
{
public:
    // The root's assistant; null for a root without a backend object (a fake) or without a VM.
    static std::shared_ptr<VornAssistantClient> ofRoot(const VornRootClient &root);
    explicit VornAssistantClient(QoJavaObjectPtr assistant);
    VornAssistantClient(const VornAssistantClient &) = delete;
    VornAssistantClient &operator=(const VornAssistantClient &) = delete;
    virtual ~VornAssistantClient();

    // Column types.
    virtual QStringList types() const;
    virtual QString defaultColumnType() const;
    virtual bool supportsAutoNumber() const;
    // The clause that makes a column number itself; null where the database has none.
    virtual QString autoNumberClause() const;
    virtual bool showSize(const QString &type) const;
    virtual bool showPrecision(const QString &type) const;
    virtual bool requireSize(const QString &type) const;

    // Constraints and indexes.
    virtual bool constraintsSupportConditions() const;
    virtual bool constraintsSupportForeignKeys() const;
    virtual bool indexesSupportBitmap() const;
    // The index's own name is written bare: it lives in its table's schema.
    virtual bool indexesAreLocalOnTable() const;
    virtual bool indexesSupportDirection() const;
    virtual QString identifierQuoteString() const;

    // Advanced options: their names, each option's choices (the database's default first), and the clause
    // of the chosen values (empty when every value is at its default).
    virtual QStringList advancedOptions() const;
    virtual QStringList advancedIndexOptions() const;
    virtual QStringList advancedConstraintOptions() const;
    virtual QStringList choicesForAdvancedOption(const QString &option) const;
    virtual QString scriptForOptions(const QVariantMap &options) const;
    virtual QString scriptForIndexOptions(const QVariantMap &options) const;
    virtual QString scriptForConstraintOptions(const QVariantMap &options) const;

    // Names and statements as the database's DDL writes them.
    // The statement that sets a table's comment; null where tables have none.
    virtual QString commentSql(const QString &qualifiedTable, const QString &comment) const;
    virtual QString quotedIdentifier(const QString &name) const;
    // The table after CREATE INDEX ... ON.
    virtual QString indexedTableName(const QString &schema, const QString &table) const;

    // Catalogue lookups; a null table is every table of the schema.
    virtual QList<PrimaryKeyColumn> primaryKeysForSchemaTable(const QString &schema, const QString &table);
    virtual QStringList searchableColumnNamesForSchemaAndTable(const QString &schema, const QString &table);

    // Runs the statements in order and stops at the first that fails.
    virtual ScriptOutcome executeScript(const QStringList &statements);

protected:
    VornAssistantClient();

private:
    QVariant send(const char *selector, const QVariantList &args = {}) const;

    QoJavaObjectPtr assistant_;
};

using VornAssistantClientPtr = std::shared_ptr<VornAssistantClient>;
