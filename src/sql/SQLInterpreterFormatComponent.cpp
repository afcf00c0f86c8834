#include "sql/SQLInterpreterFormatComponent.h"

QString SQLInterpreterFormatComponent::description() const
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(string)
        .arg(int(newLineBefore))
        .arg(int(newLineAfter))
        .arg(depth);
}
