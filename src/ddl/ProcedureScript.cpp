#include "ddl/ProcedureScript.h"

#include "ddl/DdlDialect.h"
#include "ddl/DdlNaming.h"

namespace
{

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

// A parameter's name: the dialect's prefix where it has one (which keeps any name valid), otherwise the
// name as the database must write it.
QString parameterName(const QString &name, const DdlDialect &dialect, DdlNaming &naming)
{
    const QString formatted = dialect.procedureParameterFormat(name);
    return formatted == name ? naming.quotedIdentifier(name) : formatted;
}

QString parameterLine(const QVariantMap &parameter, const QString &type, const DdlDialect &dialect,
                      DdlNaming &naming)
{
    const QString name = parameterName(parameter.value(key("name")).toString(), dialect, naming);
    const QString usage = parameter.value(key("usage")).toString();
    const QString dataType = parameter.value(key("type")).toString();
    QString line;
    if (type == QLatin1String("PROCEDURE") && dialect.supportsUsageBeforeTypeForProcedure()) {
        line = dialect.requiresUsageBeforeTypeForProcedure()
                   ? QStringLiteral("\t%1 %2 %3").arg(name, usage, dataType)
                   : QStringLiteral("\t%1 %2 %3").arg(usage, name, dataType);
    } else {
        line = QStringLiteral("\t%1 %2").arg(name, dataType);
    }
    // A size where the database has none for parameters (Oracle) would not compile.
    const QString size = parameter.value(key("size")).toString().trimmed();
    if (!size.isEmpty() && dialect.requiresSizeForProcedureParameters())
        line += QStringLiteral("(%1)").arg(size);
    if (type == QLatin1String("PROCEDURE"))
        line += dialect.procedureParameterUsageSuffix(usage);
    return line;
}

} // namespace

DdlScript ProcedureScript::build(const QVariantMap &shared, const DdlDialect &dialect, DdlNaming &naming)
{
    const QString type = shared.value(key("TYPE")).toString();
    const QString name =
        naming.qualifiedName(QStringLiteral("PROCEDURE"), shared.value(key("schema")).toString(),
                             shared.value(key("name")).toString());
    if (type == QLatin1String("PACKAGE")) {
        const QString header = QStringLiteral("CREATE PACKAGE %1 AS\nEND;\n").arg(name);
        const QString body = QStringLiteral("CREATE PACKAGE BODY %1 AS\n\nEND;\n").arg(name);
        return {{header, body}, header + QStringLiteral(";\n") + body};
    }

    QString script = dialect.createProcedureStatement(type, name);
    const bool function = type == QLatin1String("FUNCTION");
    if (function || type == QLatin1String("PROCEDURE")) {
        const QVariantList parameters = shared.value(key("parameters")).toList();
        const bool braces = !parameters.isEmpty() || dialect.requiresBracesForEmptyParameterList(type);
        if (braces)
            script += QStringLiteral("(\n");
        for (qsizetype i = 0; i < parameters.size(); ++i)
            script += parameterLine(parameters.at(i).toMap(), type, dialect, naming) +
                      (i + 1 < parameters.size() ? QStringLiteral(",\n") : QStringLiteral("\n"));
        if (braces)
            script += QStringLiteral(")\n");
    }
    const QString returnString =
        dialect.procedureReturnString(type, shared.value(key("returnType")).toString());
    if (!returnString.isEmpty()) {
        if (!script.endsWith('\n') && !script.endsWith(' '))
            script += ' ';
        script += returnString;
    }
    if (function) {
        const QString returnSize = shared.value(key("returnSize")).toString().trimmed();
        if (!returnSize.isEmpty() && dialect.requiresSizeForProcedureParameters())
            script += QStringLiteral("(%1)").arg(returnSize);
        script += '\n';
    }
    const QString asOrIs = dialect.requiresAsOrIsForType(type);
    if (!asOrIs.isNull())
        script += (script.endsWith('\n') ? QStringLiteral("%1\n") : QStringLiteral(" %1\n")).arg(asOrIs);
    script += dialect.beginForProcedureBody(type) + '\n';
    if (function) {
        if (dialect.requiresReturnForNewFunction())
            script += QStringLiteral("\tRETURN NULL;\n");
    } else if (dialect.requiresBodyForNewProcedure()) {
        script += QStringLiteral("\tNULL;\n");
    }
    script += dialect.endForProcedureBody(type) + '\n';
    return {{script}, script + ';'};
}
