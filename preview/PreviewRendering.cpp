#include "PreviewRendering.h"

#include "sql/SQLParser.h"

#include <QSet>

namespace
{

const QString literalClass = QStringLiteral("literal");
const QString reservedClass = QStringLiteral("reserved");
const QString identifierClass = QStringLiteral("identifier");
const QString commentClass = QStringLiteral("comment");
const QString inputParameterClass = QStringLiteral("inputparameter");

// The components of one full parse of the text in the connection's dialect.
SQLParserComponentList componentsOf(const QString &sql, const ConnectionParameters *connectionParameters)
{
    SQLParser parser;
    parser.setParseProperties(
        previewParseProperties(connectionParameters ? connectionParameters->databaseType() : QString()));
    SQLParserComponentList components;
    parser.updateSourceRange(TextRange{0, 0}, sql.size(), sql, sql, nullptr, &components);
    return components;
}

// The display class of a component; null for none. Query breaks are drawn on their own.
QString displayClass(const SQLParserComponent &component, const QSet<QString> &words)
{
    switch (component.parserComponentType()) {
    case SQLParserComponent::Literal:
        return literalClass;
    case SQLParserComponent::Identifier:
        return words.contains(component.string().toUpper()) ? reservedClass : QString();
    case SQLParserComponent::QuotedIdentifier:
        return identifierClass;
    case SQLParserComponent::Comment:
        return commentClass;
    case SQLParserComponent::InputParameter:
        return inputParameterClass;
    default:
        return QString();
    }
}

QSet<QString> wordSet(const QStringList &words)
{
    return QSet<QString>(words.cbegin(), words.cend());
}

} // namespace

SQLParserParseProperties previewParseProperties(const QString &databaseType)
{
    if (databaseType == QLatin1String("MySQL"))
        return SQLParserParseProperties::mySQLParseProperties();
    if (databaseType == QLatin1String("PostgreSQL"))
        return SQLParserParseProperties::postgreSQLParseProperties();
    return SQLParserParseProperties::defaultParseProperties();
}

RichText sqlToRtf(const QString &sql, const QStringList &words,
                  const ConnectionParameters *connectionParameters)
{
    const QSet<QString> reserved = wordSet(words);
    RichText output;
    for (const SQLParserComponentPtr &component : componentsOf(sql, connectionParameters)) {
        if (component->parserComponentType() == SQLParserComponent::QueryBreak)
            output.append(queryBreakRtf());
        else
            output.append(safeRTF(component->string(), displayClass(*component, reserved)));
    }
    return output;
}

QString sqlToHTML(const QString &sql, const QStringList &words,
                  const ConnectionParameters *connectionParameters)
{
    const QSet<QString> reserved = wordSet(words);
    QString output;
    for (const SQLParserComponentPtr &component : componentsOf(sql, connectionParameters)) {
        if (component->parserComponentType() == SQLParserComponent::QueryBreak)
            output += queryBreak() + safeHTML(component->string(), QString());
        else
            output += safeHTML(component->string(), displayClass(*component, reserved));
    }
    return output;
}

RichTextRun safeRTF(const QString &text, const QString &cssClass)
{
    RichTextRun run{text, {}, {}, false};
    if (cssClass == commentClass) {
        run.foreground = RichTextColour{0, 128, 0};
    } else if (cssClass == literalClass) {
        run.foreground = RichTextColour{255, 0, 0};
    } else if (cssClass == reservedClass) {
        run.foreground = RichTextColour{0, 0, 255};
    } else if (cssClass == inputParameterClass) {
        run.foreground = RichTextColour{128, 0, 128};
        run.background = RichTextColour{255, 204, 255};
    }
    return run;
}

QString safeHTML(const QString &text, const QString &cssClass)
{
    QString escaped = text;
    escaped.replace('&', QLatin1String("&amp;"))
        .replace('>', QLatin1String("&gt;"))
        .replace('<', QLatin1String("&lt;"))
        .replace('\n', QLatin1String("<br/>"));
    if (cssClass.isNull())
        return escaped;
    return QStringLiteral("<span class=\"%1\">%2</span>").arg(cssClass, escaped);
}

RichTextRun queryBreakRtf()
{
    return RichTextRun{QStringLiteral("\n\n") + QString(84, '-') + QStringLiteral("\n\n"),
                       RichTextColour{170, 170, 170},
                       {},
                       false};
}

QString queryBreak()
{
    return QStringLiteral("<span class=\"querybreak\">&nbsp;</span>");
}
