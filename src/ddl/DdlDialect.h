#pragma once

#include <QString>

// The DDL rules that differ between database types and are decided here rather than by the backend:
// which object kinds can be created, and how a procedure, function or sequence is written. Known types
// are "Oracle", "PostgreSQL", "MySQL" and "SQL Server"; any other type (SQLite) takes the generic answer.
// Object types are the upper-case kinds "PROCEDURE", "FUNCTION", "PACKAGE", ...
class DdlDialect
{
public:
    explicit DdlDialect(QString databaseType);

    // Whether the database can create objects of the kind ("TABLE", "INDEX", ...).
    bool supportCreateNew(const QString &type) const;

    bool requiresBodyForNewProcedure() const;
    bool requiresReturnForNewFunction() const;
    // Parameters and return types carry a size ("VARCHAR(20)") only where the database needs one.
    bool requiresSizeForProcedureParameters() const;
    bool requiresUsageBeforeTypeForProcedure() const;
    bool supportsUsageBeforeTypeForProcedure() const;
    // "AS" (or null: nothing) between a procedure's head and its body.
    QString requiresAsOrIsForType(const QString &objectType) const;
    QString cycleString(const QString &cycle) const;
    QString procedureParameterFormat(const QString &name) const;
    // What follows a parameter's type for its usage where the usage is not written before the name
    // (SQL Server's OUTPUT); empty otherwise.
    QString procedureParameterUsageSuffix(const QString &usage) const;
    QString procedureReturnString(const QString &objectType, const QString &returnType) const;
    QString beginForProcedureBody(const QString &objectType) const;
    QString endForProcedureBody(const QString &objectType) const;
    QString createProcedureStatement(const QString &objectType, const QString &name) const;
    bool requiresBracesForEmptyParameterList(const QString &objectType) const;

private:
    enum class Kind { Oracle, PostgreSQL, MySQL, SqlServer, Other };
    Kind kind_;
};
