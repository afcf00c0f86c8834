#include "sql/SQLInterpreterCompoundComponent.h"

#include <QHash>

#include <algorithm>

namespace
{

using C = SQLParserComponent;
using I = SQLInterpreterComponent;

bool isBlank(const I &component)
{
    const quint64 type = component.parserType();
    return !component.isCompound() && (type == C::Whitespace || type == C::Newline);
}

bool textIs(const I &component, const char *text)
{
    return component.text().compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
}

SQLInterpreterFormatComponent flatToken(const I &component, qint64 depth)
{
    SQLInterpreterFormatComponent token(component.text(), depth, &component);
    if (component.interpreterComponentType() == I::FunctionCall)
        token.hideSpaceAfter = true;
    else if (component.interpreterComponentType() == I::None && component.hasText(QStringLiteral(",")))
        token.hideSpaceBefore = true;
    else if (component.hasText(QStringLiteral("(")))
        token.hideSpaceAfter = true;
    else if (component.hasText(QStringLiteral(")")))
        token.hideSpaceBefore = true;
    else if (component.hasText(QStringLiteral("."))) {
        token.hideSpaceBefore = true;
        token.hideSpaceAfter = true;
    }
    return token;
}

void append(SQLInterpreterCompoundComponent::Tokens &tokens, SQLInterpreterCompoundComponent::Tokens more)
{
    tokens.insert(tokens.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

// Sets the token's flags and depth for a component in the line-broken layout. running is the
// depth for what follows, groupDepth the group's own depth.
void layOut(SQLInterpreterFormatComponent &token, const I &component, const I *previousComponent,
            SQLInterpreterFormatComponent *previousToken, qint64 groupDepth, qint64 &running)
{
    const bool afterParenthesis = previousComponent && previousComponent->hasText(QStringLiteral("("));
    switch (component.interpreterComponentType()) {
    case I::FunctionCall:
        token.hideSpaceAfter = true;
        return;
    case I::Junction:
    case I::Set:
    case I::Values:
    case I::Insert:
    case I::DDLVerb:
    case I::JoinPrefix:
    case I::Join:
        token.newLineBefore = true;
        return;
    case I::Select:
        token.newLineAfter = true;
        token.newLineBefore = !afterParenthesis;
        token.depth = afterParenthesis ? running++ : running - 1;
        return;
    case I::Update:
        token.newLineBefore = true;
        ++running;
        return;
    case I::From:
    case I::Where:
        token.newLineBefore = true;
        token.newLineAfter = true;
        token.depth = running - 1;
        return;
    case I::GroupOrOrder:
        token.newLineBefore = true;
        token.depth = running - 1;
        return;
    case I::By:
        token.newLineAfter = true;
        return;
    default:
        break;
    }
    if (textIs(component, "case")) {
        ++running;
    } else if (textIs(component, "end")) {
        --running;
    } else if (textIs(component, "when") || textIs(component, "else")) {
        token.newLineBefore = !(previousComponent && textIs(*previousComponent, "case"));
    } else if (component.hasText(QStringLiteral(","))) {
        token.hideSpaceBefore = true;
        token.newLineAfter = true;
    } else if (component.hasText(QStringLiteral("("))) {
        token.newLineAfter = true;
        ++running;
    } else if (component.hasText(QStringLiteral(")"))) {
        token.hideSpaceBefore = true;
        token.newLineBefore = true;
        token.depth = groupDepth;
        running -= 2;
    } else if (component.hasText(QStringLiteral("."))) {
        token.hideSpaceBefore = true;
        token.hideSpaceAfter = true;
    } else if (component.hasText(QStringLiteral(";"))) {
        token.hideSpaceBefore = true;
        token.newLineAfter = true;
        running = groupDepth;
    } else if (component.parserType() == C::Comment && previousToken && previousToken->newLineAfter) {
        // A comment stays on the line it followed.
        previousToken->newLineAfter = false;
        token.newLineAfter = true;
    }
}

void normaliseDepths(SQLInterpreterCompoundComponent::Tokens &tokens)
{
    qint64 smallest = 100;
    for (const auto &token : tokens)
        smallest = std::min(smallest, token.depth);
    for (auto &token : tokens)
        token.depth -= smallest;
    const qint64 first = tokens.front().depth;
    if (first < 1)
        return;
    for (auto &token : tokens) {
        if (token.depth == 0)
            break;
        token.depth = std::max<qint64>(0, token.depth - first);
    }
}

bool isOperator(const I &c)
{
    static const QStringList punctuation = {",", "(", ")", ";", "."};
    return c.parserType() == C::None && !c.text().isEmpty() && !punctuation.contains(c.text());
}

bool isDashRun(const I &c)
{
    return c.parserType() == C::None && c.text().length() >= 2 && c.text().count(u'-') == c.text().length();
}

bool isNumber(const I &c)
{
    const QString text = c.text();
    if (c.parserType() != C::Literal || text.isEmpty())
        return false;
    if (text.at(0).isDigit())
        return true;
    return text.length() > 1 && (text.at(0) == u'-' || text.at(0) == u'.') && text.at(1).isDigit();
}

// Words, quoted text, numbers and parameters that touch each other belong together: 'it''s',
// N'x', 1e5 or 1.5e-3 change their meaning when a blank comes between them.
bool isWordLike(const I &c)
{
    const quint64 type = c.parserType();
    return type == C::Identifier || type == C::QuotedIdentifier || type == C::Literal ||
           type == C::InputParameter;
}

void listLeaves(const SQLInterpreterCompoundComponent &group, std::vector<const I *> &leaves)
{
    for (const auto &component : group.subcomponents()) {
        if (component->isCompound())
            listLeaves(static_cast<const SQLInterpreterCompoundComponent &>(*component), leaves);
        else
            leaves.push_back(component.get());
    }
}

bool isNone(const I &c, const char *text)
{
    return c.parserType() == C::None && c.text() == QLatin1String(text);
}

// "@", "$" and "_" are parts of a word the tokenizer takes apart: @var, @@global, $1, a$b, _utf8'x'.
bool isSigil(const I &c)
{
    static const QString sigils = QStringLiteral("@$_");
    if (c.parserType() != C::None || c.text().isEmpty())
        return false;
    for (const QChar ch : c.text()) {
        if (!sigils.contains(ch))
            return false;
    }
    return true;
}

bool isName(const I &c)
{
    return c.parserType() == C::Identifier || c.parserType() == C::QuotedIdentifier;
}

bool isQuoted(const I &c)
{
    const QString text = c.text();
    return (c.parserType() == C::Literal || c.parserType() == C::QuotedIdentifier) && !text.isEmpty() &&
           !text.at(0).isDigit() && !text.at(0).isLetter();
}

// In MySQL a dash run followed by a blank or control character opens a comment up to the line
// end, even where the tokenizer sees an operator.
bool opensLineComment(const I &dashes, const I *next)
{
    return isDashRun(dashes) &&
           (!next || isBlank(*next) || next->text().isEmpty() || next->text().at(0) <= u' ');
}

// What the server reads as one unit, though the tokenizer splits it: 1.5e+3 is a number,
// U&'x' and U&"x" a string and a name with escapes.
bool joinsNumberExponent(const std::vector<const I *> &run)
{
    return run.size() == 4 && isNumber(*run[0]) && run[1]->parserType() == C::Identifier &&
           run[1]->text().compare(QLatin1String("e"), Qt::CaseInsensitive) == 0 &&
           (isNone(*run[2], "+") || isNone(*run[2], "-")) && isNumber(*run[3]);
}

bool joinsUnicodeEscape(const std::vector<const I *> &run)
{
    return run.size() >= 3 && run[0]->parserType() == C::Identifier &&
           run[0]->text().compare(QLatin1String("u"), Qt::CaseInsensitive) == 0 && isNone(*run[1], "&") &&
           isQuoted(*run[2]);
}

// Replaces the tokens from first on that a MySQL line comment covers by one token holding the
// input's text up to and including its line end, so nothing is joined to it or moved into it.
void keepLineCommentVerbatim(SQLInterpreterCompoundComponent::Tokens &tokens, size_t first,
                             const std::vector<const I *> &leaves, const QHash<const I *, qint64> &ordinals,
                             qint64 ordinal)
{
    QString text;
    qint64 last = ordinal;
    for (; last < qint64(leaves.size()); ++last) {
        text += leaves[last]->text();
        if (text.endsWith(u'\n'))
            break;
    }
    size_t end = first + 1;
    while (end < tokens.size() && ordinals.value(tokens[end].source) <= last)
        ++end;
    tokens[first].string = text;
    tokens[first].hideSpaceAfter = false;
    tokens[first].newLineAfter = true;
    tokens.erase(tokens.begin() + qint64(first) + 1, tokens.begin() + qint64(end));
}

// The layout puts a blank between any two tokens. Where that would change what the text says,
// keep what the input had: operators that touched stay together (<>, ||, ::, :=, ->), a name
// keeps touching its "(" (count (*) is no call in MySQL), sigils keep their word, a MySQL line
// comment is kept as it was, and a "." is not glued to a number that stood apart from it (1 . x
// must not become the number "1.").
void keepInputJunctions(const SQLInterpreterCompoundComponent &root,
                        SQLInterpreterCompoundComponent::Tokens &tokens)
{
    std::vector<const I *> leaves;
    listLeaves(root, leaves);
    QHash<const I *, qint64> ordinals;
    for (size_t k = 0; k < leaves.size(); ++k)
        ordinals.insert(leaves[k], qint64(k));
    const auto touching = [&](size_t k, size_t count) {
        std::vector<const I *> run;
        for (size_t j = k; j < tokens.size() && run.size() < count; ++j) {
            if (!run.empty() && ordinals.value(tokens[j].source) != ordinals.value(run.back()) + 1)
                break;
            run.push_back(tokens[j].source);
        }
        return run;
    };
    // A sigil touching the word after it, as in @a, $1 or 'u'@'h' (not the operator @>).
    const auto sigilWord = [&](size_t k) {
        const auto run = touching(k, 2);
        return run.size() == 2 && isSigil(*run[0]) && (isWordLike(*run[1]) || isSigil(*run[1]));
    };
    for (size_t k = 0; k < tokens.size(); ++k) {
        const I &a = *tokens[k].source;
        const qint64 ordinal = ordinals.value(&a);
        const I *next = ordinal + 1 < qint64(leaves.size()) ? leaves[ordinal + 1] : nullptr;
        if (opensLineComment(a, next)) {
            keepLineCommentVerbatim(tokens, k, leaves, ordinals, ordinal);
            continue;
        }
        if (k + 1 == tokens.size())
            break;
        auto &before = tokens[k];
        auto &after = tokens[k + 1];
        const I &b = *after.source;
        const bool touched = next == &b;
        if (touched && ((isOperator(a) && isOperator(b)) || (isWordLike(a) && isWordLike(b)) ||
                        (isName(a) && b.hasText(QStringLiteral("("))) || sigilWord(k) || sigilWord(k + 1)))
            before.hideSpaceAfter = true;
        if (joinsNumberExponent(touching(k, 4))) {
            before.hideSpaceAfter = true;
            after.hideSpaceAfter = true;
            tokens[k + 2].hideSpaceAfter = true;
        }
        if (joinsUnicodeEscape(touching(k, 3))) {
            before.hideSpaceAfter = true;
            after.hideSpaceAfter = true;
        }
        if (isDashRun(a))
            before.hideSpaceAfter = touched;
        if (!touched && ((a.hasText(QStringLiteral(".")) && isNumber(b)) ||
                         (isNumber(a) && b.hasText(QStringLiteral("."))))) {
            before.hideSpaceAfter = false;
            after.hideSpaceBefore = false;
        }
    }
}

QString joinTokens(const SQLInterpreterCompoundComponent::Tokens &tokens)
{
    QString text;
    const SQLInterpreterFormatComponent *previous = nullptr;
    for (const auto &token : tokens) {
        const bool glued = previous && previous->hideSpaceAfter;
        const bool lineEnded = text.isEmpty() || text.endsWith(u'\n');
        if ((token.newLineBefore || (previous && previous->newLineAfter)) && !glued && !lineEnded)
            text += u'\n';
        // A blank line (the break between statements) stays blank.
        const bool opensLine = token.string.startsWith(u'\n') || token.string.startsWith(u'\r');
        if ((text.isEmpty() || text.endsWith(u'\n')) && !opensLine)
            text += SQLInterpreterCompoundComponent::spacer(token.depth);
        if (!token.hideSpaceBefore && !glued && !text.isEmpty() && !text.endsWith(u'\t') &&
            !text.endsWith(u'\n') && !text.endsWith(QChar(0)))
            text += u' ';
        text += token.string;
        previous = &token;
    }
    return text;
}

} // namespace

SQLInterpreterCompoundComponent::SQLInterpreterCompoundComponent(const QString &compoundStart)
    : compoundStart_(compoundStart)
{
    setInterpreterComponentType(Group);
}

QString SQLInterpreterCompoundComponent::description() const
{
    QString text =
        QStringLiteral("SQLInterpreterCompoundComponent (%1)").arg(SQLInterpreterComponent::description());
    for (const auto &component : subcomponents_)
        text += QStringLiteral("\t%1\n").arg(component->description());
    return text;
}

QString SQLInterpreterCompoundComponent::descriptionCompact() const
{
    QString text;
    for (const auto &component : subcomponents_)
        text += component->isCompound() ? QStringLiteral("[COMP]") : component->text();
    return text;
}

qint64 SQLInterpreterCompoundComponent::componentCount() const
{
    qint64 count = 0;
    for (const auto &component : subcomponents_) {
        count += component->isCompound()
                     ? static_cast<const SQLInterpreterCompoundComponent &>(*component).componentCount()
                     : 1;
    }
    return count;
}

qint64 SQLInterpreterCompoundComponent::characterlength() const
{
    qint64 length = 0;
    for (const auto &component : subcomponents_) {
        if (component->isCompound())
            length += static_cast<const SQLInterpreterCompoundComponent &>(*component).characterlength();
        else if (!isBlank(*component))
            length += component->text().length();
    }
    return length;
}

bool SQLInterpreterCompoundComponent::shouldFormatFlat() const
{
    if (characterlength() > 50 || interpreterComponentType() == TableName)
        return false;
    for (const auto &component : subcomponents_) {
        if (component->isCompound() && component->interpreterComponentType() != ColumnName)
            return false;
        if (component->interpreterComponentType() == DDLVerb)
            return false;
    }
    return true;
}

SQLInterpreterCompoundComponent::Tokens SQLInterpreterCompoundComponent::formatFlat(qint64 depth) const
{
    Tokens tokens;
    for (const auto &component : subcomponents_) {
        if (component->isCompound())
            append(tokens,
                   static_cast<const SQLInterpreterCompoundComponent &>(*component).formatFlat(depth));
        else if (!isBlank(*component))
            tokens.push_back(flatToken(*component, depth));
    }
    return tokens;
}

SQLInterpreterCompoundComponent::Tokens SQLInterpreterCompoundComponent::formatWithDepth(qint64 depth) const
{
    Tokens tokens;
    qint64 running = depth;
    const I *previousComponent = nullptr;
    qint64 previousToken = -1;
    for (const auto &component : subcomponents_) {
        if (component->isCompound()) {
            const auto &group = static_cast<const SQLInterpreterCompoundComponent &>(*component);
            append(tokens,
                   group.shouldFormatFlat() ? group.formatFlat(running) : group.formatWithDepth(running));
            continue;
        }
        if (isBlank(*component))
            continue;
        SQLInterpreterFormatComponent token(component->text(), running, component.get());
        layOut(token, *component, previousComponent, previousToken >= 0 ? &tokens[previousToken] : nullptr,
               depth, running);
        tokens.push_back(std::move(token));
        previousToken = qint64(tokens.size()) - 1;
        previousComponent = component.get();
    }
    return tokens;
}

QString SQLInterpreterCompoundComponent::spacer(qint64 count)
{
    return count > 0 ? QString(count, u'\t') : QString();
}

QString SQLInterpreterCompoundComponent::format() const
{
    Tokens tokens = formatWithDepth(0);
    if (tokens.empty())
        return QString();
    normaliseDepths(tokens);
    keepInputJunctions(*this, tokens);
    return joinTokens(tokens);
}
