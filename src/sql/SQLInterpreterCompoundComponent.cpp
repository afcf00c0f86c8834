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

void numberLeaves(const SQLInterpreterCompoundComponent &group, QHash<const I *, qint64> &ordinals)
{
    for (const auto &component : group.subcomponents()) {
        if (component->isCompound())
            numberLeaves(static_cast<const SQLInterpreterCompoundComponent &>(*component), ordinals);
        else
            ordinals.insert(component.get(), ordinals.size());
    }
}

// The layout puts a blank between any two tokens. Where that would change what the text says,
// keep what the input had: operators that touched stay together (<>, ||, ::, :=, ->), a dash
// run never gets a blank after it (in MySQL "-- " opens a comment), and a "." is not glued to a
// number that stood apart from it (1 . x must not become the number "1.").
void keepInputJunctions(const SQLInterpreterCompoundComponent &root,
                        SQLInterpreterCompoundComponent::Tokens &tokens)
{
    QHash<const I *, qint64> ordinals;
    numberLeaves(root, ordinals);
    for (size_t k = 0; k + 1 < tokens.size(); ++k) {
        auto &before = tokens[k];
        auto &after = tokens[k + 1];
        const I &a = *before.source;
        const I &b = *after.source;
        const bool touched = ordinals.value(&b) == ordinals.value(&a) + 1;
        if (touched && ((isOperator(a) && isOperator(b)) || (isWordLike(a) && isWordLike(b))))
            before.hideSpaceAfter = true;
        if (isDashRun(a)) {
            before.hideSpaceAfter = touched;
            after.newLineBefore = after.newLineBefore || !touched;
        }
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
        if (text.isEmpty() || text.endsWith(u'\n'))
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
