#pragma once

#include <QString>
#include <QVariantMap>

// What the script builders ask of the connected database: names as its DDL writes them, what its
// indexes can do, and the clauses of its advanced options, auto numbers and comments. The backend
// answers (BackendDdlNaming); the builders themselves never branch on the database type.
class DdlNaming
{
public:
    virtual ~DdlNaming() = default;

    // The object's name as a statement writes it, schema-qualified and quoted where needed.
    virtual QString qualifiedName(const QString &type, const QString &schema, const QString &name) = 0;
    // A bare name, quoted where it is a reserved word, starts with a digit or needs its case kept.
    virtual QString quotedIdentifier(const QString &name) = 0;
    // The table after CREATE INDEX ... ON.
    virtual QString indexedTableName(const QString &schema, const QString &table) = 0;
    virtual bool indexesAreLocalOnTable() = 0;
    virtual bool indexesSupportDirection() = 0;
    // The text around a referenced column name; may be empty.
    virtual QString identifierQuoteString() = 0;
    // The clause that makes a column number itself; empty where the database has none.
    virtual QString autoNumberClause() = 0;
    // The clauses of the chosen advanced options; empty when none applies.
    virtual QString tableOptionsScript(const QVariantMap &options) = 0;
    virtual QString indexOptionsScript(const QVariantMap &options) = 0;
    virtual QString constraintOptionsScript(const QVariantMap &options) = 0;
    // The statement that sets a table's comment; null where tables have none.
    virtual QString commentSql(const QString &qualifiedTable, const QString &comment) = 0;
};
