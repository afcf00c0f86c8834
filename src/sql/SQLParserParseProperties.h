#pragma once

#include <QString>

// The dialect the tokenizer reads: which characters open comments, literals, quoted identifiers
// and parameters and which one separates statements. A character field of 0 means the dialect
// has no such character.
class SQLParserParseProperties
{
public:
    static SQLParserParseProperties defaultParseProperties();
    static SQLParserParseProperties mySQLParseProperties();
    static SQLParserParseProperties postgreSQLParseProperties();

    qint64 id() const { return id_; }
    void setId(qint64 id) { id_ = id; }
    char16_t lineCommentStartChar1() const { return lineCommentStartChar1_; }
    void setLineCommentStartChar1(char16_t c) { lineCommentStartChar1_ = c; }
    char16_t lineCommentStartChar2() const { return lineCommentStartChar2_; }
    void setLineCommentStartChar2(char16_t c) { lineCommentStartChar2_ = c; }
    char16_t lineCommentStartChar3() const { return lineCommentStartChar3_; }
    void setLineCommentStartChar3(char16_t c) { lineCommentStartChar3_ = c; }
    qint64 lineCommentStartLength() const { return lineCommentStartLength_; }
    void setLineCommentStartLength(qint64 length) { lineCommentStartLength_ = length; }
    char16_t lineCommentStart2Char1() const { return lineCommentStart2Char1_; }
    void setLineCommentStart2Char1(char16_t c) { lineCommentStart2Char1_ = c; }
    char16_t lineCommentStart2Char2() const { return lineCommentStart2Char2_; }
    void setLineCommentStart2Char2(char16_t c) { lineCommentStart2Char2_ = c; }
    qint64 lineCommentStart2Length() const { return lineCommentStart2Length_; }
    void setLineCommentStart2Length(qint64 length) { lineCommentStart2Length_ = length; }
    const QString &blockCommentStart() const { return blockCommentStart_; }
    void setBlockCommentStart(const QString &opener) { blockCommentStart_ = opener; }
    const QString &blockCommentEnd() const { return blockCommentEnd_; }
    void setBlockCommentEnd(const QString &closer) { blockCommentEnd_ = closer; }
    char16_t literalQuote() const { return literalQuote_; }
    void setLiteralQuote(char16_t c) { literalQuote_ = c; }
    char16_t literalQuote2() const { return literalQuote2_; }
    void setLiteralQuote2(char16_t c) { literalQuote2_ = c; }
    char16_t identifierQuote() const { return identifierQuote_; }
    void setIdentifierQuote(char16_t c) { identifierQuote_ = c; }
    char16_t querySeparator() const { return querySeparator_; }
    void setQuerySeparator(char16_t c) { querySeparator_ = c; }
    char16_t inputParameter() const { return inputParameter_; }
    void setInputParameter(char16_t c) { inputParameter_ = c; }
    bool quotedIdentifierMustMatchCase() const { return quotedIdentifierMustMatchCase_; }
    void setQuotedIdentifierMustMatchCase(bool must) { quotedIdentifierMustMatchCase_ = must; }
    // Whether an odd run of backslashes before a quote keeps the quote inside the literal (MySQL).
    // Elsewhere a backslash is an ordinary character: 'C:\' is a complete literal.
    bool backslashEscapesQuotes() const { return backslashEscapesQuotes_; }
    void setBackslashEscapesQuotes(bool escapes) { backslashEscapesQuotes_ = escapes; }
    // Whether $$…$$ and $tag$…$tag$ are one literal, as in function bodies (PostgreSQL).
    bool dollarQuotes() const { return dollarQuotes_; }
    void setDollarQuotes(bool quotes) { dollarQuotes_ = quotes; }
    // Whether a block comment opener inside a block comment needs its own closer.
    bool nestedBlockComments() const { return nestedBlockComments_; }
    void setNestedBlockComments(bool nested) { nestedBlockComments_ = nested; }
    // Whether E'…' is one literal in which a backslash escapes the next character, and U&'…' and
    // U&"…" one literal and one quoted identifier.
    bool prefixedQuotes() const { return prefixedQuotes_; }
    void setPrefixedQuotes(bool prefixed) { prefixedQuotes_ = prefixed; }
    // Whether a parameter character right after a word or number character is an ordinary
    // character, as the colon of an array slice a[1:2] is.
    bool parameterNeedsSeparation() const { return parameterNeedsSeparation_; }
    void setParameterNeedsSeparation(bool needs) { parameterNeedsSeparation_ = needs; }
    // Whether a line "DELIMITER xx" sets the statement separator to xx until the next such line, as
    // the MySQL clients do. The line itself separates statements and is never sent.
    bool delimiterDirectives() const { return delimiterDirectives_; }
    void setDelimiterDirectives(bool directives) { delimiterDirectives_ = directives; }
    // Whether a BEGIN … END body of CREATE [OR REPLACE] FUNCTION or PROCEDURE keeps its separators,
    // as psql decides it (BEGIN ATOMIC bodies).
    bool routineBodies() const { return routineBodies_; }
    void setRoutineBodies(bool bodies) { routineBodies_ = bodies; }

private:
    qint64 id_ = 0;
    char16_t lineCommentStartChar1_ = 0;
    char16_t lineCommentStartChar2_ = 0;
    char16_t lineCommentStartChar3_ = 0;
    qint64 lineCommentStartLength_ = 0;
    char16_t lineCommentStart2Char1_ = 0;
    char16_t lineCommentStart2Char2_ = 0;
    qint64 lineCommentStart2Length_ = 0;
    QString blockCommentStart_;
    QString blockCommentEnd_;
    char16_t literalQuote_ = 0;
    char16_t literalQuote2_ = 0;
    char16_t identifierQuote_ = 0;
    char16_t querySeparator_ = 0;
    char16_t inputParameter_ = 0;
    bool quotedIdentifierMustMatchCase_ = false;
    bool backslashEscapesQuotes_ = false;
    bool dollarQuotes_ = false;
    bool nestedBlockComments_ = false;
    bool prefixedQuotes_ = false;
    bool parameterNeedsSeparation_ = false;
    bool delimiterDirectives_ = false;
    bool routineBodies_ = false;
};
