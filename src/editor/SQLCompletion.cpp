#include "editor/SQLCompletion.h"

#include "editor/SQLEditorTextStorage.h"
#include "sql/SQLInterpreter.h"
#include "sql/SQLInterpreterCompoundComponent.h"

namespace
{

using C = SQLParserComponent;
using I = SQLInterpreterComponent;

constexpr qint64 suggestionComponentLimit = 10000;
constexpr qint64 combinerComponentLimit = 1000;

bool isBlank(quint64 type)
{
    return type == C::Whitespace || type == C::Newline;
}

SQLParserComponentPtr makeMarker()
{
    return C::componentWithType(C::Identifier, SQLInterpreter::AutoCompleteInjectionIdentifier);
}

bool isMarker(const SQLInterpreterComponentPtr &component)
{
    return component && component->parserComponent() &&
           component->parserComponent()->string() == SQLInterpreter::AutoCompleteInjectionIdentifier;
}

qint64 componentLength(const SQLInterpreterComponentPtr &component)
{
    return component && component->parserComponent() ? component->parserComponent()->length() : 0;
}

// Whether a component before the location is more than blanks and comments.
bool hasLeadingContent(const SQLParserComponentList &components, qint64 start, qint64 location)
{
    qint64 position = start;
    for (const SQLParserComponentPtr &component : components) {
        const qint64 end = position + component->length();
        if (end >= location)
            return false;
        const quint64 type = component->parserComponentType();
        if (type != C::Comment && !isBlank(type))
            return true;
        position = end;
    }
    return false;
}

// The index of the component whose stretch holds the location (start inclusive, end exclusive), with
// its start; -1 when none does.
template <typename List, typename Length>
qsizetype componentAt(const List &components, qint64 start, qint64 location, Length lengthOf, qint64 *found)
{
    qint64 position = start;
    for (qsizetype i = 0; i < components.size(); ++i) {
        const qint64 end = position + lengthOf(components.at(i));
        if (position <= location && end > location) {
            *found = position;
            return i;
        }
        position = end;
    }
    return -1;
}

// Each word goes in at the front in list order, so the list ends up in front reversed.
void putInFront(QStringList &list, const QStringList &words)
{
    for (const QString &word : words)
        list.prepend(word);
}

bool textIsOneOf(const SQLInterpreterComponentPtr &component, std::initializer_list<const char16_t *> texts,
                 bool ignoringCase = false)
{
    const QString text = component->text();
    for (const char16_t *candidate : texts) {
        if (text.compare(QStringView(candidate), ignoringCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

const QStringList SQLCompletion::statementKeywords = {
    QStringLiteral("select"), QStringLiteral("update"),  QStringLiteral("insert"), QStringLiteral("alter"),
    QStringLiteral("create"), QStringLiteral("analyze"), QStringLiteral("drop")};
const QStringList SQLCompletion::joinWords = {QStringLiteral("join"),
                                              QStringLiteral("inner join"),
                                              QStringLiteral("outer join"),
                                              QStringLiteral("left outer join"),
                                              QStringLiteral("right outer join"),
                                              QStringLiteral("full outer join"),
                                              QStringLiteral("left join"),
                                              QStringLiteral("right join"),
                                              QStringLiteral("full join"),
                                              QStringLiteral("cross join")};
const QStringList SQLCompletion::aliasFollowers =
    QStringList{QStringLiteral("using"), QStringLiteral("on")} + SQLCompletion::joinWords;
const QStringList SQLCompletion::objectKinds = {QStringLiteral("table"),    QStringLiteral("index"),
                                                QStringLiteral("view"),     QStringLiteral("sequence"),
                                                QStringLiteral("trigger"),  QStringLiteral("function"),
                                                QStringLiteral("procedure")};
const QStringList SQLCompletion::conditionWords = {QStringLiteral("not"),  QStringLiteral("is null"),
                                                   QStringLiteral("like"), QStringLiteral("and"),
                                                   QStringLiteral("or"),   QStringLiteral("between")};
const QStringList SQLCompletion::aggregateWords = {QStringLiteral("count"), QStringLiteral("distinct")};

SQLCompletion::SQLCompletion(const SQLEditorTextStorage &storage, SQLCompletionSource *source)
    : storage_(storage), source_(source)
{
}

QStringList SQLCompletion::autoCompleteItemsAtLocation(qint64 location, TextRange *extendedRange) const
{
    SQLInterpreterComponentPtr component;
    qint64 offset = 0;
    const QStringList words = wordSuggestionsAtLocation(location, &component, &offset);
    if (extendedRange) {
        if (!component)
            *extendedRange = {location, 0};
        else
            *extendedRange = {location - offset, isMarker(component) ? 0 : componentLength(component)};
    }
    return words;
}

QStringList SQLCompletion::wordSuggestionsAtLocation(qint64 location,
                                                     SQLInterpreterComponentPtr *foundComponent,
                                                     qint64 *inComponentLocation) const
{
    SQLInterpreterComponentPtr ignoredComponent;
    qint64 ignoredOffset = 0;
    SQLInterpreterComponentPtr &found = foundComponent ? *foundComponent : ignoredComponent;
    qint64 &offset = inComponentLocation ? *inComponentLocation : ignoredOffset;
    found.reset();
    offset = 0;

    // Inside a comment or a literal nothing is offered: a comment is no place for a word, and no
    // suggestion starts with a literal's quote or digit. One component tells, where the statement
    // would have to be read and typed.
    if (const std::optional<quint64> around = storage_.componentTypeAround(location);
        around && (*around == C::Comment || *around == C::Literal))
        return {};

    TextRange statement;
    SQLParserComponentList components = storage_.parsedComponentsBetweenQuerySeparatorsAroundLocation(
        location, &statement, suggestionComponentLimit);
    if (components.isEmpty())
        return statementKeywords;
    const qsizetype count = components.size();
    const bool leadingContent = hasLeadingContent(components, statement.location, location);
    if (location == statement.end())
        components.append(makeMarker());

    const auto parserLength = [](const SQLParserComponentPtr &c) { return c->length(); };
    qint64 start = 0;
    qsizetype under = componentAt(components, statement.location, location, parserLength, &start);
    if (under >= 0 && start < location && components.at(under)->parserComponentType() == C::Whitespace) {
        // A caret inside blanks stands between two blanks, like one right after a single blank.
        const QString &blanks = components.at(under)->string();
        const qint64 split = location - start;
        components[under] = C::componentWithType(C::Whitespace, blanks.left(split));
        components.insert(under + 1, C::componentWithType(C::Whitespace, blanks.mid(split)));
        ++under;
        start = location;
    }
    if (under >= 0 && start == location && isBlank(components.at(under)->parserComponentType()) &&
        (under == 0 || components.at(under - 1)->parserComponentType() != C::Identifier))
        components.insert(under, makeMarker());

    SQLInterpreterCompoundComponentList tableCompounds;
    const SQLInterpreterComponentList interpreted =
        SQLInterpreter().interpreteComponents(components, &tableCompounds);
    const qsizetype index = componentAt(interpreted, statement.location, location, componentLength, &start);
    if (index >= 0) {
        const SQLInterpreterComponentPtr &atLocation = interpreted.at(index);
        const SQLInterpreterComponentPtr predecessor = index > 0 ? interpreted.at(index - 1) : nullptr;
        offset = location - start;
        const bool atBlankOrClose =
            isBlank(atLocation->parserType()) || atLocation->hasText(QStringLiteral(")"));
        const bool endsWord = isMarker(atLocation) && predecessor &&
                              predecessor->parserType() != C::Whitespace &&
                              !textIsOneOf(predecessor, {u".", u"(", u")"});
        // A line comment keeps its line feed: the caret after it is on the next line, not in it.
        const bool afterLineComment =
            predecessor && predecessor->parserType() == C::Comment && predecessor->text().endsWith(u'\n');
        if (offset == 0 && (atBlankOrClose || endsWord) && !afterLineComment) {
            found = predecessor;
            offset = componentLength(predecessor);
        } else {
            found = atLocation;
        }
    }

    const quint64 type = found ? found->interpreterComponentType() : I::None;
    if (leadingContent && found && type != I::Select && type != I::Update && type != I::Insert &&
        count != 1 && type != I::DDLVerb)
        return suggestionsForComponent(interpreted, found);
    if (found && found->parserType() == C::Comment)
        return {};
    if (found && isBlank(found->parserType()))
        offset = 0;
    return statementKeywords;
}

QStringList SQLCompletion::suggestionsForComponent(const SQLInterpreterComponentList &statement,
                                                   const SQLInterpreterComponentPtr &component) const
{
    const quint64 type = component->interpreterComponentType();
    const SQLInterpreterComponentPtr &refers = component->refers();
    const quint64 refersType = refers ? refers->interpreterComponentType() : I::None;
    if (type == I::ColumnNameAlias || type == I::From)
        return {QStringLiteral("from")};
    if (type == I::Join && component->inFromClause()) {
        const bool outer =
            refersType == I::JoinPrefix && textIsOneOf(refers, {u"left", u"right", u"full"}, true);
        return {outer ? QStringLiteral("outer join") : QStringLiteral("join")};
    }
    if (type == I::TableAlias && component->inFromClause())
        return aliasFollowers;
    if (type == I::TableName) {
        if (!source_)
            return {};
        if (refersType == I::ObjectKind)
            return source_->autoCompleteNeedsObjectNamesForAutoCompleteOfType(refers->text().toUpper());
        if (refersType == I::SchemaName)
            return source_->autoCompleteNeedsTableAndViewNamesForAutoCompleteInSchema(refers->text());
        return source_->autoCompleteNeedsTableAndViewNamesForAutoComplete();
    }
    if (type == I::ObjectName) {
        if (refersType != I::ObjectKind || !source_)
            return {};
        return source_->autoCompleteNeedsObjectNamesForAutoCompleteOfType(refers->text().toUpper());
    }
    switch (type) {
    case I::Into:
        return {QStringLiteral("into")};
    case I::ObjectKind:
        return objectKinds;
    case I::InsertColumn:
        return {QStringLiteral("( "), QStringLiteral("select")};
    case I::TableDefinition:
        return {QStringLiteral("( "), QStringLiteral("as")};
    case I::IndexTable:
        return {QStringLiteral("on"), QStringLiteral("using")};
    case I::UpdateAlias:
    case I::Set:
        return {QStringLiteral("set")};
    case I::ColumnName:
        return columnSuggestions(statement, component);
    default:
        return {};
    }
}

QStringList SQLCompletion::columnSuggestions(const SQLInterpreterComponentList &statement,
                                             const SQLInterpreterComponentPtr &component) const
{
    SQLInterpreterComponentPtr previous;
    QList<SQLCompletionAlias> aliases;
    QStringList aliasNames;
    for (const SQLInterpreterComponentPtr &candidate : statement) {
        if (candidate == component)
            break;
        if (candidate->parserType() != C::Whitespace)
            previous = candidate;
    }
    for (const SQLInterpreterComponentPtr &candidate : statement) {
        const SQLInterpreterComponentPtr &table = candidate->refers();
        if (candidate->interpreterComponentType() != I::TableAlias || !table ||
            table->interpreterComponentType() != I::TableName || table->isCompound())
            continue;
        const SQLCompletionAlias alias{candidate->text(), table->text()};
        if (!aliases.contains(alias))
            aliases.append(alias);
        if (!aliasNames.contains(alias.alias))
            aliasNames.append(alias.alias);
    }

    const SQLInterpreterComponentPtr &refers = component->refers();
    if (refers) {
        const SQLInterpreterComponentPtr table = component->referingTable();
        if (table && table->isCompound()) {
            // A sub-select offers the columns it lists, under their aliases where they have one.
            QStringList names;
            const auto &group = static_cast<const SQLInterpreterCompoundComponent &>(*table);
            for (const SQLInterpreterComponentPtr &sub : group.subcomponents()) {
                if (sub->interpreterComponentType() == I::ColumnName)
                    names.append(sub->text());
            }
            for (const SQLInterpreterComponentPtr &sub : group.subcomponents()) {
                if (sub->interpreterComponentType() != I::ColumnNameAlias)
                    continue;
                if (sub->refers())
                    names.removeOne(sub->refers()->text());
                names.append(sub->text());
            }
            return names;
        }
        if (!source_)
            return {};
        if (table) {
            const bool joins =
                aliases.size() >= 2 && component->inWhereClause() && component->termPosition() == 0;
            return source_->autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
                {table->text()}, true, joins ? std::optional(aliases) : std::nullopt);
        }
        return source_->autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables({refers->text()}, true,
                                                                                  std::nullopt);
    }

    if (component->inOrderBy() && previous && previous->interpreterComponentType() == I::ColumnName)
        return {QStringLiteral("asc"), QStringLiteral("desc")};
    QStringList tables;
    for (const SQLInterpreterComponentPtr &candidate : statement) {
        if (candidate->interpreterComponentType() == I::TableName)
            tables.append(candidate->text());
    }
    QStringList words = source_ ? source_->autoCompleteEditorNeedsColumnNamesForAutoCompleteInTables(
                                      tables, !component->inSelectClause(), std::nullopt)
                                : QStringList();
    if (component->inWhereClause())
        putInFront(words, conditionWords);
    else if (component->inSelectClause() || (previous && previous->hasText(QStringLiteral("("))))
        putInFront(words, aggregateWords);
    words += aliasNames;
    if (component->inFromClause())
        words += joinWords;
    return words;
}

QString SQLCompletion::combinerForInsertedTermAt(qint64 location) const
{
    TextRange statement;
    SQLParserComponentList components = storage_.parsedComponentsBetweenQuerySeparatorsAroundLocation(
        location, &statement, combinerComponentLimit);
    if (components.isEmpty() && location > 0) {
        // A drop just after a statement, on its last line or the next one, joins that statement.
        const SQLTextBuffer &text = storage_.text();
        qint64 index = std::min<qint64>(location, text.length()) - 1;
        int lineFeeds = 0;
        for (; index >= 0; --index) {
            const QChar character = text.at(index);
            if (character == u'\n')
                ++lineFeeds;
            else if (!character.isSpace())
                break;
        }
        if (index >= 1 && lineFeeds < 2)
            components = storage_.parsedComponentsBetweenQuerySeparatorsAroundLocation(
                index, &statement, combinerComponentLimit);
    }
    if (components.isEmpty())
        return QString();
    const SQLInterpreterComponentList interpreted = SQLInterpreter().interpreteComponents(components);
    qint64 position = statement.location;
    qsizetype before = 0;
    for (const SQLInterpreterComponentPtr &component : interpreted) {
        if (position >= location)
            break;
        ++before;
        position += componentLength(component);
    }
    for (qsizetype i = before - 1; i >= 0; --i) {
        const SQLInterpreterComponentPtr &component = interpreted.at(i);
        const quint64 parserType = component->parserType();
        if (parserType == C::Comment || isBlank(parserType) || parserType == C::QueryBreak)
            continue;
        if (component->inSelectClause())
            return QString();
        switch (component->interpreterComponentType()) {
        case I::TableAlias:
        case I::TableName:
            return QStringLiteral("WHERE");
        case I::ColumnName:
        case I::None:
            return QStringLiteral("AND");
        default:
            return QString();
        }
    }
    return QString();
}
