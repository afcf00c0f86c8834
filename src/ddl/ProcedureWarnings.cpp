#include "ddl/ProcedureWarnings.h"

#include <QCoreApplication>
#include <QStringList>

namespace
{

QString procedureText(const char *text)
{
    return QCoreApplication::translate("procedure", text);
}

QStringList positionParts(const QVariantMap &warning)
{
    return warning.value(QStringLiteral("position")).toString().split(QLatin1Char(':'));
}

constexpr int summaryLimit = 5;
constexpr int longMessage = 61;
constexpr int shortenedLength = 57;

} // namespace

namespace ProcedureWarnings
{

qint64 line(const QVariantMap &warning)
{
    return positionParts(warning).value(0).trimmed().toLongLong();
}

QString positionText(const QVariantMap &warning)
{
    const QStringList parts = positionParts(warning);
    const QString lineText = parts.value(0).trimmed();
    if (line(warning) <= 0)
        return procedureText("Error");
    const QString column = parts.value(1).trimmed();
    if (column.isEmpty() || column == QLatin1String("0"))
        return procedureText("Line %1").arg(lineText);
    return procedureText("Line %1, column %2").arg(lineText, column);
}

QString summary(const QVariantList &warnings)
{
    QStringList lines;
    for (int i = 0; i < warnings.size() && i < summaryLimit; ++i) {
        const QVariantMap warning = warnings.at(i).toMap();
        QString message = warning.value(QStringLiteral("message")).toString();
        if (message.size() >= longMessage)
            message = message.left(shortenedLength) + QStringLiteral("...");
        lines << warning.value(QStringLiteral("position")).toString() + QLatin1Char('\t') + message;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace ProcedureWarnings
