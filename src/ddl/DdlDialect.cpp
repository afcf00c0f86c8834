#include "ddl/DdlDialect.h"

namespace
{
const QString function = QStringLiteral("FUNCTION");
const QString procedure = QStringLiteral("PROCEDURE");
} // namespace

DdlDialect::DdlDialect(QString databaseType)
{
    if (databaseType == QLatin1String("Oracle"))
        kind_ = Kind::Oracle;
    else if (databaseType == QLatin1String("PostgreSQL"))
        kind_ = Kind::PostgreSQL;
    else if (databaseType == QLatin1String("MySQL"))
        kind_ = Kind::MySQL;
    else if (databaseType == QLatin1String("SQL Server"))
        kind_ = Kind::SqlServer;
    else
        kind_ = Kind::Other;
}

bool DdlDialect::supportCreateNew(const QString &type) const
{
    // SQLite has no stored code, no sequences and no ALTER TABLE ... ADD CONSTRAINT: it is offered only
    // what it has.
    if (kind_ == Kind::Other)
        return type == QLatin1String("TABLE") || type == QLatin1String("INDEX");
    if (type == QLatin1String("TABLE") || type == QLatin1String("INDEX") ||
        type == QLatin1String("CONSTRAINT") || type == function)
        return true;
    if (type == procedure)
        return kind_ != Kind::PostgreSQL;
    if (type == QLatin1String("PACKAGE"))
        return kind_ == Kind::Oracle;
    if (type == QLatin1String("SEQUENCE"))
        return kind_ == Kind::Oracle || kind_ == Kind::PostgreSQL;
    return false;
}

bool DdlDialect::requiresBodyForNewProcedure() const
{
    return kind_ == Kind::Oracle;
}

bool DdlDialect::requiresReturnForNewFunction() const
{
    return true;
}

bool DdlDialect::requiresSizeForProcedureParameters() const
{
    return kind_ == Kind::MySQL;
}

bool DdlDialect::requiresUsageBeforeTypeForProcedure() const
{
    return kind_ == Kind::Oracle;
}

bool DdlDialect::supportsUsageBeforeTypeForProcedure() const
{
    return kind_ != Kind::SqlServer;
}

QString DdlDialect::requiresAsOrIsForType(const QString &) const
{
    if (kind_ == Kind::MySQL || kind_ == Kind::Other)
        return {};
    return QStringLiteral("AS");
}

QString DdlDialect::cycleString(const QString &cycle) const
{
    if (kind_ == Kind::PostgreSQL && cycle == QLatin1String("NOCYCLE"))
        return QStringLiteral("NO CYCLE");
    return cycle;
}

QString DdlDialect::procedureParameterFormat(const QString &name) const
{
    return kind_ == Kind::SqlServer ? QStringLiteral("@%1").arg(name) : name;
}

QString DdlDialect::procedureParameterUsageSuffix(const QString &usage) const
{
    // Without OUTPUT a SQL Server parameter is input only, and the caller never sees its value.
    if (kind_ == Kind::SqlServer && usage.contains(QLatin1String("OUT"), Qt::CaseInsensitive))
        return QStringLiteral(" OUTPUT");
    return {};
}

QString DdlDialect::procedureReturnString(const QString &objectType, const QString &returnType) const
{
    if (objectType == function)
        return (kind_ == Kind::Oracle ? QStringLiteral("RETURN %1") : QStringLiteral("RETURNS %1"))
            .arg(returnType);
    if (objectType == procedure && kind_ == Kind::PostgreSQL)
        return QStringLiteral("RETURNS void ");
    return {};
}

QString DdlDialect::beginForProcedureBody(const QString &objectType) const
{
    if (kind_ == Kind::PostgreSQL)
        return QStringLiteral("$$\nBEGIN");
    if (kind_ == Kind::SqlServer && objectType == procedure)
        return QStringLiteral("BEGIN\n\tDECLARE @any_variable int;");
    return QStringLiteral("BEGIN");
}

QString DdlDialect::endForProcedureBody(const QString &) const
{
    return kind_ == Kind::PostgreSQL ? QStringLiteral("END;\n$$LANGUAGE plpgsql;") : QStringLiteral("END;");
}

QString DdlDialect::createProcedureStatement(const QString &objectType, const QString &name) const
{
    if (kind_ == Kind::PostgreSQL)
        return QStringLiteral("CREATE FUNCTION %1").arg(name);
    return QStringLiteral("CREATE %1 %2").arg(objectType, name);
}

bool DdlDialect::requiresBracesForEmptyParameterList(const QString &objectType) const
{
    if (kind_ == Kind::Oracle)
        return false;
    if (kind_ == Kind::SqlServer)
        return objectType == function;
    return true;
}
