#pragma once

#include "sql/SQLParser.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

// Components as (type, text) pairs, so that tables compare and print readably.
using Tokens = std::vector<std::pair<quint64, QString>>;

enum class Dialect { Default, MySQL, NoDialect };

inline std::optional<SQLParserParseProperties> propertiesFor(Dialect dialect)
{
    switch (dialect) {
    case Dialect::Default:
        return SQLParserParseProperties::defaultParseProperties();
    case Dialect::MySQL:
        return SQLParserParseProperties::mySQLParseProperties();
    case Dialect::NoDialect:
        break;
    }
    return std::nullopt;
}

inline const char *dialectName(Dialect dialect)
{
    return dialect == Dialect::Default ? "default" : dialect == Dialect::MySQL ? "MySQL" : "none";
}

inline Tokens tokensOf(const SQLParserComponentList &components)
{
    Tokens tokens;
    for (const auto &c : components)
        tokens.emplace_back(c->parserComponentType(), c->string());
    return tokens;
}

inline QString visible(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\t', QStringLiteral("\\t"));
}

inline std::string describe(const Tokens &tokens)
{
    QString out;
    for (const auto &[type, text] : tokens)
        out +=
            SQLParserComponent::typeName(type) + QStringLiteral("«") + visible(text) + QStringLiteral("» ");
    return out.toStdString();
}

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << "«" << visible(text).toStdString() << "»";
}

inline void PrintTo(const TextRange &range, std::ostream *os)
{
    *os << "(" << range.location << ", " << range.length << ")";
}

// A parser of the dialect holding the whole text.
inline void load(SQLParser &parser, const QString &text)
{
    parser.updateSourceRange({0, 0}, text.length(), text, text);
}

// The statements the editor runs: the text between separator components that holds more than
// whitespace and comments.
inline QStringList statementsOf(const SQLParserComponentList &components)
{
    QStringList statements;
    SQLParserComponentList group;
    const auto close = [&] {
        const bool content = std::any_of(group.cbegin(), group.cend(), [](const SQLParserComponentPtr &c) {
            const quint64 type = c->parserComponentType();
            return type != SQLParserComponent::Whitespace && type != SQLParserComponent::Newline &&
                   type != SQLParserComponent::QueryBreak && type != SQLParserComponent::Comment;
        });
        if (content)
            statements.append(SQLParserComponent::stringForComponents(group, false, true).trimmed());
        group.clear();
    };
    for (const SQLParserComponentPtr &component : components) {
        if (component->parserComponentType() == SQLParserComponent::QuerySeparator)
            close();
        else
            group.append(component);
    }
    close();
    return statements;
}
