#include "ddl/ProcedureExecutionMessage.h"

#include <QCoreApplication>

namespace
{
QString procedureText(const char *text)
{
    return QCoreApplication::translate("procedure", text);
}
} // namespace

namespace ProcedureExecutionMessage
{

QString title(const ProcedureExecutionKind &kind)
{
    if (kind.isFunction)
        return procedureText("The function '%1' executed successfully").arg(kind.name);
    if (kind.isProcedure)
        return procedureText("The procedure '%1' executed successfully").arg(kind.name);
    if (kind.isPackageProcedure)
        return procedureText("The procedure '%1' of package '%2' executed successfully")
            .arg(kind.member, kind.name);
    if (kind.isPackageFunction)
        return procedureText("The function '%1' of package '%2' executed successfully")
            .arg(kind.member, kind.name);
    return QString();
}

QString text(const ProcedureExecutionKind &kind, const QList<ProcedureOutput> &outputs)
{
    QString listed;
    for (const ProcedureOutput &output : outputs) {
        if (output.name == resultKey)
            listed += procedureText("Function result: %1").arg(output.value);
        else
            listed += QStringLiteral("\n%1: %2").arg(output.name, output.value);
    }
    if (listed.isEmpty())
        return procedureText("The procedure doesn't have any return values.");
    if (kind.isProcedure)
        return procedureText("The procedure resulted in the following out and inout values:\n%1").arg(listed);
    return listed;
}

} // namespace ProcedureExecutionMessage
