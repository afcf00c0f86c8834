#include "editor/SQLCodeExport.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"

#include <QCoreApplication>

namespace
{

const QString multiPrefix = QStringLiteral("-MULTI-");
const QString singleHeader = QStringLiteral("--SingleLine");
const QString multiHeader = QStringLiteral("--MultiLine");

QString text(const char *key)
{
    return QCoreApplication::translate("sqleditorcontroller", key);
}

QString baseIdentifier(const QString &format)
{
    return SQLCodeExport::isMultiLine(format) ? format.mid(multiPrefix.size()) : format;
}

// The line inside a literal: the escape's own escape character (a backslash before the quote in most
// languages) is doubled first, so that a backslash of the statement does not swallow what follows it.
QString escapedLine(QString line, const QString &quote, const QString &escape)
{
    if (quote.isEmpty())
        return line;
    if (escape.endsWith(quote)) {
        const QString escapeCharacters = escape.chopped(quote.size());
        if (!escapeCharacters.isEmpty() && escapeCharacters != quote)
            line.replace(escapeCharacters, escapeCharacters + escapeCharacters);
    }
    return line.replace(quote, escape);
}

} // namespace

namespace SQLCodeExport
{

bool isMultiLine(const QString &format)
{
    return format.contains(multiPrefix);
}

QVariantMap readResource()
{
    const QString path =
        Bundle::mainBundle().pathForResource(QStringLiteral("resources/SQLExportFormats.plist"));
    return PropertyList::readFile(path).toMap();
}

QStringList sqlExportFormats()
{
    return sqlExportFormats(readResource());
}

QStringList sqlExportFormats(const QVariantMap &resource)
{
    const QStringList formats = resource.value(QStringLiteral("formats")).toStringList();
    if (formats.isEmpty())
        return {};
    QStringList identifiers{singleHeader};
    identifiers += formats;
    identifiers << QString() << multiHeader;
    for (const QString &format : formats)
        identifiers << (format.isEmpty() ? QString() : multiPrefix + format);
    return identifiers;
}

QVariantMap formatDescription(const QString &format)
{
    return readResource().value(baseIdentifier(format)).toMap();
}

QString displayNameForSqlExportFormat(const QString &format)
{
    return displayNameForSqlExportFormat(format, readResource());
}

QString displayNameForSqlExportFormat(const QString &format, const QVariantMap &resource)
{
    if (format == singleHeader)
        return text("Single query line");
    if (format == multiHeader)
        return text("Multiple query lines");
    const QVariantMap description = resource.value(baseIdentifier(format)).toMap();
    if (description.isEmpty())
        return QString();
    const QString name = description.value(QStringLiteral("name")).toString();
    if (description.value(QStringLiteral("full_name")).toBool())
        return name;
    const bool mutableArray = description.value(QStringLiteral("nsmutablearray")).toBool();
    const bool array = description.value(QStringLiteral("array")).toBool();
    const bool printable = description.value(QStringLiteral("printable")).toBool();
    const char *variant = nullptr;
    if (mutableArray && printable)
        variant = "NSMutableArray Printable";
    else if (mutableArray)
        variant = "NSMutableArray";
    else if (array && printable)
        variant = "Array Printable";
    else if (array)
        variant = "Array";
    else if (printable)
        variant = "Printable";
    if (!variant)
        return name;
    return QStringLiteral("%1 - %2").arg(name, text(variant));
}

QString exportStatements(const QStringList &statements, const QVariantMap &description, bool multiLine)
{
    const auto string = [&](const char *key) { return description.value(QLatin1String(key)).toString(); };
    const bool array = description.value(QStringLiteral("array")).toBool();
    const bool printable = description.value(QStringLiteral("printable")).toBool();
    const QString quote = string("literal_quote");
    const QString escape = string("literal_quote_escape");
    const QString secondPrefix = string("second_line_prefix");
    const QString newline = string("newline");
    const QString linePostfix = string("line_postfix");
    const QString lastPostfix = string("last_line_postfix");

    QString out;
    if (description.contains(QStringLiteral("first_query_prefix")))
        out += string("first_query_prefix").replace(QStringLiteral("%t"), QString::number(statements.size()));
    for (qsizetype i = 0; i < statements.size(); ++i) {
        QString number;
        if (array)
            number = QString::number(i);
        else if (statements.size() > 1)
            number = QString::number(i + 1);
        const QString prefix = string("first_line_prefix").replace(QStringLiteral("%d"), number);
        const QString prefixTail = prefix.mid(prefix.lastIndexOf(u'\n') + 1);
        const QStringList lines = statements.at(i).split(u'\n');
        for (qsizetype j = 0; j < lines.size(); ++j) {
            const bool last = j == lines.size() - 1;
            if (j == 0) {
                out += prefix + quote;
            } else if (multiLine) {
                if (prefixTail.size() > secondPrefix.size())
                    out += QString(prefixTail.size() - secondPrefix.size(), u' ');
                out += secondPrefix + quote;
            }
            const QString line = lines.at(j);
            if (!line.isEmpty())
                out += escapedLine(printable ? line : line.trimmed(), quote, escape);
            if (!last)
                out += printable ? newline : QStringLiteral(" ");
            if (last || multiLine)
                out += quote;
            if (!last && multiLine)
                out += linePostfix;
        }
        out += lastPostfix;
    }
    return out;
}

} // namespace SQLCodeExport
