#include "sql/SQLScanner.h"

#include "sql/SQLParserComponent.h"

#include <QRegularExpression>

#include <algorithm>

namespace
{

// A dialect character of 0 stands for "no such character" and matches nothing, not even a NUL
// in the text.
bool is(char16_t c, char16_t dialectCharacter)
{
    return dialectCharacter != 0 && c == dialectCharacter;
}

bool isTwoCharacterOperator(char16_t c, char16_t next)
{
    switch (c) {
    case u'=':
    case u'<':
    case u'>':
    case u'!':
        return next == u'=';
    case u'+':
        return next == u'+';
    default:
        return false;
    }
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool endsWord(char16_t c)
{
    return isBlank(c) || c == u'\r' || c == u'\n';
}

} // namespace

SQLScanner::SQLScanner(const SQLParserParseProperties *properties, const SQLCharacterSet &whitespace,
                       const SQLCharacterSet &identifierStart, const SQLCharacterSet &identifierRest,
                       const SQLCharacterSet &numericStart, const SQLCharacterSet &numericRest)
    : whitespace_(whitespace), identifierStart_(identifierStart), identifierRest_(identifierRest),
      numericStart_(numericStart), numericRest_(numericRest)
{
    for (char16_t c = 0; c < ascii_.size(); ++c) {
        ascii_[c] = (identifierStart.characterIsMember(c) ? IdentifierStart : 0) |
                    (identifierRest.characterIsMember(c) ? IdentifierRest : 0) |
                    (whitespace.characterIsMember(c) ? Whitespace : 0) |
                    (numericStart.characterIsMember(c) ? NumericStart : 0) |
                    (numericRest.characterIsMember(c) ? NumericRest : 0);
    }
    if (!properties)
        return;
    const SQLParserParseProperties &p = *properties;
    literalQuote_ = p.literalQuote();
    literalQuote2_ = p.literalQuote2();
    identifierQuote_ = p.identifierQuote();
    querySeparator_ = p.querySeparator();
    inputParameter_ = p.inputParameter();
    if (p.blockCommentStart().length() == 2 && p.blockCommentEnd().length() == 2) {
        blockStart1_ = p.blockCommentStart().at(0).unicode();
        blockStart2_ = p.blockCommentStart().at(1).unicode();
        blockEnd1_ = p.blockCommentEnd().at(0).unicode();
        blockEnd2_ = p.blockCommentEnd().at(1).unicode();
    }
    line1Char1_ = p.lineCommentStartChar1();
    line1Char2_ = p.lineCommentStartChar2();
    line1Char3_ = p.lineCommentStartChar3();
    line2Char1_ = p.lineCommentStart2Char1();
    line2Char2_ = p.lineCommentStart2Char2();
    backslashEscapes_ = p.backslashEscapesQuotes();
    dollarQuotes_ = p.dollarQuotes();
    nestedBlockComments_ = p.nestedBlockComments();
    prefixedQuotes_ = p.prefixedQuotes();
    parameterNeedsSeparation_ = p.parameterNeedsSeparation();
    delimiterDirectives_ = p.delimiterDirectives();
}

SQLScanner::Token SQLScanner::next(const char16_t *text, qint64 length, qint64 p, QStringView delimiter) const
{
    using C = SQLParserComponent;
    const char16_t ch = text[p];
    const bool hasNext = p + 1 < length;
    const char16_t next = hasNext ? text[p + 1] : 0;
    qint64 q = p + 1;

    if (delimiterDirectives_ && (p == 0 || text[p - 1] == u'\n')) {
        if (const qint64 end = directiveEnd(text, length, p); end > p)
            return {end, C::QuerySeparator};
    }
    if (!delimiter.isEmpty() && length - p >= delimiter.length() &&
        QStringView(text + p, delimiter.length()) == delimiter)
        return {p + delimiter.length(), C::QuerySeparator};

    if (prefixedQuotes_ && (ch == u'E' || ch == u'e') && is(next, literalQuote_))
        return {quotedEnd(text, length, p + 1, true), C::Literal};
    if (prefixedQuotes_ && (ch == u'U' || ch == u'u') && next == u'&' && p + 2 < length) {
        const char16_t quote = text[p + 2];
        if (is(quote, literalQuote_) || is(quote, identifierQuote_)) {
            return {quotedEnd(text, length, p + 2, false),
                    is(quote, identifierQuote_) ? C::QuotedIdentifier : C::Literal};
        }
    }
    if (isIdentifierStart(ch)) {
        while (q < length && isIdentifierRest(text[q]))
            ++q;
        return {q, C::Identifier};
    }
    if (isWhitespace(ch)) {
        while (q < length && isWhitespace(text[q]))
            ++q;
        return {q, C::Whitespace};
    }
    // A backslash escapes nothing in a quoted identifier: `C:\` is complete.
    if (is(ch, identifierQuote_))
        return {quotedEnd(text, length, p, false), C::QuotedIdentifier};
    if (is(ch, literalQuote_) || is(ch, literalQuote2_))
        return {quotedEnd(text, length, p, backslashEscapes_), C::Literal};
    if (dollarQuotes_ && ch == u'$' && !continuesWord(text, p)) {
        const qint64 tagEnd = dollarTagEnd(text, length, p);
        if (text[tagEnd - 1] == u'$' && tagEnd - p > 1)
            return {dollarQuotedEnd(text, length, p, tagEnd), C::Literal};
        // A would-be tag without its closing $ stays one piece, so that typing that $ right after
        // it reaches this component again.
        return {tagEnd, C::None};
    }
    if (is(ch, querySeparator_))
        return {q, delimiter.isEmpty() ? C::QuerySeparator : C::None};
    if (ch == u'\n') {
        while (q < length && text[q] == u'\n')
            ++q;
        // A single line feed right after a line comment (which keeps its own) is a blank line.
        const bool blankLine = q - p >= 2 || (p > 0 && text[p - 1] == u'\n');
        return {q, blankLine ? C::QueryBreak : C::Newline};
    }
    if (isNumericStart(ch) || ((ch == u'-' || ch == u'.') && hasNext && isNumericStart(next))) {
        while (q < length && isNumericRest(text[q]))
            ++q;
        return {q, C::Literal};
    }
    // A colon right after another colon is the second half of a cast (x::int), not a parameter.
    if (is(ch, inputParameter_) && hasNext && isIdentifierRest(next) && !(p > 0 && text[p - 1] == ch) &&
        !(parameterNeedsSeparation_ && continuesWord(text, p))) {
        while (q < length && isIdentifierRest(text[q]))
            ++q;
        return {q, C::InputParameter};
    }
    if (is(ch, blockStart1_) && hasNext && next == blockStart2_)
        return {blockCommentEnd(text, length, p), C::Comment};
    if (opensLineComment1(text, length, p) || opensLineComment2(text, length, p))
        return {lineEnd(text, length, p), C::Comment};
    if (hasNext && isTwoCharacterOperator(ch, next))
        return {p + 2, C::None};
    if (ch == u'-') {
        while (q < length && text[q] == u'-')
            ++q;
    }
    return {q, C::None};
}

// The end of a DELIMITER line starting at p (blanks, the word, blanks, the new separator and the
// rest of the line, without its line feed), or p when the line is no such directive. A separator
// holding a backslash is refused, as the MySQL client refuses it.
qint64 SQLScanner::directiveEnd(const char16_t *text, qint64 length, qint64 p) const
{
    static const QString word = QStringLiteral("delimiter");
    qint64 q = p;
    while (q < length && isBlank(text[q]))
        ++q;
    if (length - q <= word.length() ||
        QStringView(text + q, word.length()).compare(word, Qt::CaseInsensitive) != 0 ||
        !isBlank(text[q + word.length()]))
        return p;
    q += word.length();
    while (q < length && isBlank(text[q]))
        ++q;
    const qint64 separatorStart = q;
    while (q < length && !endsWord(text[q])) {
        if (text[q] == u'\\')
            return p;
        ++q;
    }
    if (q == separatorStart)
        return p;
    while (q < length && text[q] != u'\n')
        ++q;
    return q;
}

bool SQLScanner::isDelimiterDirective(QStringView component) const
{
    const char16_t *text = component.utf16();
    return delimiterDirectives_ && !component.isEmpty() &&
           directiveEnd(text, component.length(), 0) == component.length();
}

QString SQLScanner::delimiterSetBy(QStringView directive) const
{
    const QList<QStringView> words =
        directive.split(QRegularExpression(QStringLiteral("[ \t\r]+")), Qt::SkipEmptyParts);
    if (words.size() < 2 || (words.at(1).length() == 1 && is(words.at(1).at(0).unicode(), querySeparator_)))
        return QString();
    return words.at(1).toString();
}

qint64 SQLScanner::quotedEnd(const char16_t *text, qint64 length, qint64 p, bool backslashEscapes) const
{
    const char16_t quote = text[p];
    for (qint64 q = p + 1; q < length; ++q) {
        if (backslashEscapes && text[q] == u'\\')
            ++q; // the escaped character, a quote included, stays inside
        else if (text[q] == quote)
            return q + 1;
    }
    return length;
}

// Whether the character at p belongs to the word or number before it (v$session, a[1:2]).
bool SQLScanner::continuesWord(const char16_t *text, qint64 p) const
{
    if (p == 0)
        return false;
    const char16_t before = text[p - 1];
    return isIdentifierRest(before) || isNumericRest(before) || before == u'$';
}

// The end of the opening $tag$ at p or, when p opens none, of the $ and the word after it. The tag
// is a word that does not start with a digit, so $1 stays a positional parameter.
qint64 SQLScanner::dollarTagEnd(const char16_t *text, qint64 length, qint64 p) const
{
    qint64 q = p + 1;
    if (q < length && isNumericStart(text[q]))
        return q;
    while (q < length && text[q] != u'$' && isIdentifierRest(text[q]))
        ++q;
    return q < length && text[q] == u'$' ? q + 1 : q;
}

// The end of the closing copy of the opening tag text[p, tagEnd), or the end of the text.
qint64 SQLScanner::dollarQuotedEnd(const char16_t *text, qint64 length, qint64 p, qint64 tagEnd)
{
    const qint64 tagLength = tagEnd - p;
    for (qint64 q = tagEnd; q + tagLength <= length; ++q) {
        if (text[q] == u'$' && std::equal(text + p, text + tagEnd, text + q))
            return q + tagLength;
    }
    return length;
}

qint64 SQLScanner::blockCommentEnd(const char16_t *text, qint64 length, qint64 p) const
{
    if (nestedBlockComments_) {
        qint64 depth = 1;
        for (qint64 q = p + 2; q + 1 < length; ++q) {
            if (text[q] == blockStart1_ && text[q + 1] == blockStart2_) {
                ++depth;
                ++q;
            } else if (text[q] == blockEnd1_ && text[q + 1] == blockEnd2_) {
                ++q;
                if (--depth == 0)
                    return q + 1;
            }
        }
        return length;
    }
    // The closer may follow the opener directly ("/**/") but may not share its second character.
    for (qint64 q = p + 3; q < length; ++q) {
        if (text[q] == blockEnd2_ && text[q - 1] == blockEnd1_)
            return q + 1;
    }
    return length;
}

qint64 SQLScanner::lineEnd(const char16_t *text, qint64 length, qint64 p)
{
    for (qint64 q = p; q < length; ++q) {
        if (text[q] == u'\n')
            return q + 1;
    }
    return length;
}

bool SQLScanner::opensLineComment1(const char16_t *text, qint64 length, qint64 p) const
{
    if (!is(text[p], line1Char1_))
        return false;
    if (line1Char2_ == 0)
        return true;
    if (p + 1 >= length || text[p + 1] != line1Char2_)
        return false;
    return line1Char3_ == 0 || (p + 2 < length && text[p + 2] == line1Char3_);
}

bool SQLScanner::opensLineComment2(const char16_t *text, qint64 length, qint64 p) const
{
    if (!is(text[p], line2Char1_))
        return false;
    return line2Char2_ == 0 || (p + 1 < length && text[p + 1] == line2Char2_);
}
