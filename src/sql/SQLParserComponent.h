#pragma once

#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QSharedData>
#include <QString>
#include <QVariantMap>

class SQLParserComponent;
class SQLParserParseProperties;

// Components are shared: a parser's list and the arrays it hands out hold the same objects.
using SQLParserComponentPtr = QExplicitlySharedDataPointer<SQLParserComponent>;
using SQLParserComponentList = QList<SQLParserComponentPtr>;

// One token of SQL text. The texts of a parser's components, in order, are exactly the text.
class SQLParserComponent : public QSharedData
{
public:
    enum Type : quint64 {
        None = 0,
        Whitespace = 1,
        Literal = 2,
        Identifier = 3,
        QuotedIdentifier = 4,
        Comment = 5,
        Newline = 8,
        QueryBreak = 9,
        QuerySeparator = 10,
        InputParameter = 11,
        InjectionPoint = 12,
    };

    // newlines -1 means "not counted yet".
    SQLParserComponent(quint64 type, const QString &string, qint64 newlines = -1);

    static SQLParserComponentPtr componentWithType(quint64 type, const QString &string);

    quint64 parserComponentType() const { return type_; }
    void setParserComponentType(quint64 type) { type_ = type; }
    const QString &string() const { return string_; }
    // Does not update the length.
    void setString(const QString &string) { string_ = string; }
    qint64 length() const { return length_; }
    void setLength(qint64 length) { length_ = length; }
    // The number of "\n" in the text, counted on first use.
    qint64 newlines() const;
    void setNewlines(qint64 newlines) { newlines_ = newlines; }

    static QString typeName(quint64 type);
    QString description() const;

    // Keyed form: "string" and "type". initWithCoder answers null for anything malformed.
    void encodeWithCoder(QVariantMap &coder) const;
    static SQLParserComponentPtr initWithCoder(const QVariantMap &coder);

    // The components' texts in order. A comment is left out only when trimming without comments;
    // with a dialect every comment is turned into a block comment of that dialect.
    static QString stringForComponents(const SQLParserComponentList &components, bool trim,
                                       bool includeComments = false,
                                       const SQLParserParseProperties *convertToBlockComments = nullptr);
    static QString convertToBlockComment(const QString &comment,
                                         const SQLParserParseProperties &withProperties);

private:
    quint64 type_;
    QString string_;
    qint64 length_;
    mutable qint64 newlines_;
};
