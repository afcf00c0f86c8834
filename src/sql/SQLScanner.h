#pragma once

#include "sql/SQLCharacterSet.h"
#include "sql/SQLParserParseProperties.h"

#include <array>

// The tokenizer's rules over a UTF-16 buffer, one component at a time. The component at p
// depends on the characters from p on and, for a newline run, a colon or a dollar sign, on the
// character before p, so a scan may start at any component boundary of a full scan and give the same
// components from there on. Which component it is depends on at most the one character past its
// end, or two with prefixed quotes (the U of U&'). Where DELIMITER lines change the separator, the
// scan also needs the separator in force at p.
class SQLScanner
{
public:
    struct Token {
        qint64 end;
        quint64 type;
    };

    // properties may be null: no quotes, comments, separators or parameters then.
    SQLScanner(const SQLParserParseProperties *properties, const SQLCharacterSet &whitespace,
               const SQLCharacterSet &identifierStart, const SQLCharacterSet &identifierRest,
               const SQLCharacterSet &numericStart, const SQLCharacterSet &numericRest);

    // The component that starts at p (p < length). delimiter is the separator a DELIMITER line set,
    // empty while the dialect's own separator is in force.
    Token next(const char16_t *text, qint64 length, qint64 p, QStringView delimiter = {}) const;

    // Whether a component is a DELIMITER line, and the separator it sets (empty for the dialect's).
    bool isDelimiterDirective(QStringView component) const;
    QString delimiterSetBy(QStringView directive) const;

private:
    // Class bits of the ASCII characters, read from the character sets once per scanner: most SQL
    // is ASCII, and one small table stays in the cache where five bitmaps of 8 KB would not.
    enum Class : quint8 {
        IdentifierStart = 1,
        IdentifierRest = 2,
        Whitespace = 4,
        NumericStart = 8,
        NumericRest = 16,
    };
    bool isIn(char16_t c, Class cls, const SQLCharacterSet &set) const
    {
        return c < ascii_.size() ? (ascii_[c] & cls) != 0 : set.characterIsMember(c);
    }
    bool isIdentifierStart(char16_t c) const { return isIn(c, IdentifierStart, identifierStart_); }
    bool isIdentifierRest(char16_t c) const { return isIn(c, IdentifierRest, identifierRest_); }
    bool isWhitespace(char16_t c) const { return isIn(c, Whitespace, whitespace_); }
    bool isNumericStart(char16_t c) const { return isIn(c, NumericStart, numericStart_); }
    bool isNumericRest(char16_t c) const { return isIn(c, NumericRest, numericRest_); }

    qint64 quotedEnd(const char16_t *text, qint64 length, qint64 p, bool backslashEscapes) const;
    qint64 dollarTagEnd(const char16_t *text, qint64 length, qint64 p) const;
    static qint64 dollarQuotedEnd(const char16_t *text, qint64 length, qint64 p, qint64 tagEnd);
    bool continuesWord(const char16_t *text, qint64 p) const;
    qint64 blockCommentEnd(const char16_t *text, qint64 length, qint64 p) const;
    static qint64 lineEnd(const char16_t *text, qint64 length, qint64 p);
    bool opensLineComment1(const char16_t *text, qint64 length, qint64 p) const;
    bool opensLineComment2(const char16_t *text, qint64 length, qint64 p) const;
    qint64 directiveEnd(const char16_t *text, qint64 length, qint64 p) const;

    const SQLCharacterSet &whitespace_;
    const SQLCharacterSet &identifierStart_;
    const SQLCharacterSet &identifierRest_;
    const SQLCharacterSet &numericStart_;
    const SQLCharacterSet &numericRest_;
    std::array<quint8, 128> ascii_{};
    char16_t literalQuote_ = 0;
    char16_t literalQuote2_ = 0;
    char16_t identifierQuote_ = 0;
    char16_t querySeparator_ = 0;
    char16_t inputParameter_ = 0;
    char16_t blockStart1_ = 0, blockStart2_ = 0, blockEnd1_ = 0, blockEnd2_ = 0;
    char16_t line1Char1_ = 0, line1Char2_ = 0, line1Char3_ = 0;
    char16_t line2Char1_ = 0, line2Char2_ = 0;
    bool backslashEscapes_ = false;
    bool dollarQuotes_ = false;
    bool nestedBlockComments_ = false;
    bool prefixedQuotes_ = false;
    bool parameterNeedsSeparation_ = false;
    bool delimiterDirectives_ = false;
};
