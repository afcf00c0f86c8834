#include "sql/SQLParserComponent.h"

#include "sql/SQLParserParseProperties.h"

SQLParserComponent::SQLParserComponent(quint64 type, const QString &string, qint64 newlines)
    : type_(type), string_(string), length_(string.length()), newlines_(newlines)
{
}

SQLParserComponentPtr SQLParserComponent::componentWithType(quint64 type, const QString &string)
{
    return SQLParserComponentPtr(new SQLParserComponent(type, string));
}

qint64 SQLParserComponent::newlines() const
{
    if (newlines_ < 0)
        newlines_ = string_.count(u'\n');
    return newlines_;
}

QString SQLParserComponent::typeName(quint64 type)
{
    switch (type) {
    case Whitespace:
        return QStringLiteral("Whitespace");
    case Literal:
        return QStringLiteral("Literal");
    case Identifier:
        return QStringLiteral("Identifier");
    case QuotedIdentifier:
        return QStringLiteral("QuotedIdentifier");
    case Comment:
        return QStringLiteral("Comment");
    case Newline:
        return QStringLiteral("Newline");
    case QueryBreak:
        return QStringLiteral("QueryBreak");
    case QuerySeparator:
        return QStringLiteral("QuerySeparator");
    case InputParameter:
        return QStringLiteral("InputParameter");
    case InjectionPoint:
        return QStringLiteral("InjectionPoint");
    default:
        return QStringLiteral("None");
    }
}

QString SQLParserComponent::description() const
{
    if (type_ == Whitespace || type_ == Newline || type_ == QueryBreak)
        return QStringLiteral("%1: %2").arg(typeName(type_)).arg(length_);
    return QStringLiteral("%1: %2").arg(typeName(type_), string_);
}

void SQLParserComponent::encodeWithCoder(QVariantMap &coder) const
{
    coder.insert(QStringLiteral("string"), string_);
    coder.insert(QStringLiteral("type"), type_);
}

SQLParserComponentPtr SQLParserComponent::initWithCoder(const QVariantMap &coder)
{
    const QVariant string = coder.value(QStringLiteral("string"));
    const QVariant type = coder.value(QStringLiteral("type"));
    if (string.typeId() != QMetaType::QString || !type.canConvert<quint64>())
        return {};
    bool ok = false;
    const quint64 code = type.toULongLong(&ok);
    if (!ok || code > InjectionPoint)
        return {};
    auto component = componentWithType(code, string.toString());
    component->newlines();
    return component;
}

QString SQLParserComponent::stringForComponents(const SQLParserComponentList &components, bool trim,
                                                bool includeComments,
                                                const SQLParserParseProperties *convertToBlockComments)
{
    QString text;
    for (const auto &component : components) {
        if (component->parserComponentType() != Comment) {
            text += component->string();
        } else if (!trim || includeComments) {
            text += convertToBlockComments
                        ? convertToBlockComment(component->string(), *convertToBlockComments)
                        : component->string();
        }
    }
    return trim ? text.trimmed() : text;
}

namespace
{

qsizetype lineCommentOpenerLength(const QString &comment, const SQLParserParseProperties &p)
{
    const auto at = [&](qsizetype i) { return i < comment.length() ? comment.at(i).unicode() : char16_t(0); };
    const qsizetype n = comment.length();
    if (n >= 1 && at(0) == p.lineCommentStartChar1() && p.lineCommentStartChar2() == 0)
        return 1;
    if (n >= 2 && at(0) == p.lineCommentStartChar1() && at(1) == p.lineCommentStartChar2() &&
        p.lineCommentStartChar3() == 0)
        return 2;
    if (n >= 3 && at(0) == p.lineCommentStartChar1() && at(1) == p.lineCommentStartChar2() &&
        at(2) == p.lineCommentStartChar3())
        return 3;
    if (n >= 1 && at(0) == p.lineCommentStart2Char1() && p.lineCommentStart2Char2() == 0)
        return 1;
    if (n >= 2 && at(0) == p.lineCommentStart2Char1() && at(1) == p.lineCommentStart2Char2())
        return 2;
    return 0;
}

// Breaks every occurrence of a two-character marker with a blank, so that text taken from a
// line comment can neither close the block comment early nor open a nested one.
QString neutralised(QString text, const QString &marker)
{
    if (marker.length() != 2)
        return text;
    const QString broken = QString(marker.at(0)) + u' ' + marker.at(1);
    return text.replace(marker, broken);
}

} // namespace

QString SQLParserComponent::convertToBlockComment(const QString &comment,
                                                  const SQLParserParseProperties &withProperties)
{
    const QString &opener = withProperties.blockCommentStart();
    const QString &closer = withProperties.blockCommentEnd();
    if (!opener.isEmpty() && comment.startsWith(opener))
        return comment;
    QString rest = comment.mid(lineCommentOpenerLength(comment, withProperties));
    rest = neutralised(neutralised(rest, closer), opener);
    // Nor may the joints with the opener and the closer form a marker.
    if (closer.length() == 2 && opener.length() == 2) {
        if (rest.startsWith(closer.at(1)) && opener.endsWith(closer.at(0)))
            rest.prepend(u' ');
        if (rest.endsWith(opener.at(0)) && closer.startsWith(opener.at(1)))
            rest.append(u' ');
    }
    return opener + rest + closer;
}
