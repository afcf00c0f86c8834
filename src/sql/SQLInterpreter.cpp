#include "sql/SQLInterpreter.h"

#include <QHash>

namespace
{

using C = SQLParserComponent;
using I = SQLInterpreterComponent;

const QString AutoCompleteMarker = QStringLiteral(
    "28392381_39039_3290032930SQL_AUTO_COMPLETE_INJECTION_IDENTIFIER28392381_39039_3290032930");

bool isSignificant(const I &component)
{
    if (component.isCompound())
        return true;
    const quint64 type = component.parserType();
    return type != C::Whitespace && type != C::Comment && type != C::Newline;
}

SQLInterpreterComponentList significant(const SQLInterpreterComponentList &components)
{
    SQLInterpreterComponentList result;
    result.reserve(components.size());
    for (const auto &component : components) {
        if (isSignificant(*component))
            result.append(component);
    }
    return result;
}

bool isBlankLeaf(const I &component)
{
    const quint64 type = component.parserType();
    return !component.isCompound() && (type == C::Whitespace || type == C::Newline);
}

bool isName(const I &component)
{
    const quint64 type = component.parserType();
    return !component.isCompound() && (type == C::Identifier || type == C::QuotedIdentifier);
}

bool isIdentifier(const I &component)
{
    return !component.isCompound() && component.parserType() == C::Identifier;
}

bool isNone(const I &component, const char *text)
{
    return !component.isCompound() && component.parserType() == C::None &&
           component.text() == QLatin1String(text);
}

QString lower(const I &component)
{
    return component.text().toLower();
}

const QHash<QString, quint64> &keywords()
{
    static const QHash<QString, quint64> table = {
        {"select", I::Select},
        {"where", I::Where},
        {"from", I::From},
        {"insert", I::Insert},
        {"update", I::Update},
        {"into", I::Into},
        {"group", I::GroupOrOrder},
        {"order", I::GroupOrOrder},
        {"by", I::By},
        {"inner", I::JoinPrefix},
        {"outer", I::JoinPrefix},
        {"left", I::JoinPrefix},
        {"right", I::JoinPrefix},
        {"full", I::JoinPrefix},
        {"cross", I::JoinPrefix},
        {"join", I::Join},
        {"on", I::On},
        {"using", I::On},
        {"values", I::Values},
        {"create", I::DDLVerb},
        {"drop", I::DDLVerb},
        {"alter", I::DDLVerb},
        {"truncate", I::DDLVerb},
        {"analyze", I::DDLVerb},
        {"and", I::Junction},
        {"or", I::Junction},
        {"not", I::Qualifier},
        {"is", I::Qualifier},
        {"distinct", I::Qualifier},
        {"count", I::Qualifier},
        {"null", I::Null},
        {"in", I::In},
        {"asc", I::SortOrder},
        {"desc", I::SortOrder},
    };
    return table;
}

// The keyword role of a name, any letter case; None for other names. Keywords are short ASCII words,
// so a longer name or one with other characters is none of them, and the lookup needs no copy.
quint64 keywordRole(const QString &name)
{
    constexpr qsizetype longestKeyword = 8;
    if (name.size() > longestKeyword)
        return I::None;
    char16_t lowered[longestKeyword];
    for (qsizetype k = 0; k < name.size(); ++k) {
        const char16_t c = name.at(k).unicode();
        if (c >= 0x80)
            return I::None;
        lowered[k] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    }
    const QString key = QString::fromRawData(reinterpret_cast<const QChar *>(lowered), name.size());
    return keywords().value(key, I::None);
}

quint64 roleOf(const SQLInterpreterComponentPtr &component)
{
    return component ? component->interpreterComponentType() : quint64(I::None);
}

// Builds one group from the elements at index onwards: it takes the first element whatever it
// is, nests at "(" and ends after ")".
SQLInterpreterCompoundComponentPtr buildGroup(const SQLInterpreterComponentList &elements, qsizetype &index,
                                              const QString &start)
{
    auto group = std::make_shared<SQLInterpreterCompoundComponent>(start);
    group->subcomponents().append(elements.at(index++));
    while (index < elements.size()) {
        const SQLInterpreterComponentPtr &element = elements.at(index);
        if (element->hasText(QStringLiteral(")"))) {
            group->subcomponents().append(element);
            ++index;
            group->setCompoundEnd(QStringLiteral(")"));
            return group;
        }
        if (element->hasText(QStringLiteral("("))) {
            group->subcomponents().append(buildGroup(elements, index, QStringLiteral("(")));
            continue;
        }
        group->subcomponents().append(element);
        ++index;
    }
    return group;
}

} // namespace

const QString SQLInterpreter::AutoCompleteInjectionIdentifier = AutoCompleteMarker;

SQLInterpreterComponentList
SQLInterpreter::interpreteComponents(const SQLParserComponentList &components,
                                     SQLInterpreterCompoundComponentList *tableCompounds) const
{
    SQLInterpreterComponentList flat;
    flat.reserve(components.size());
    for (const auto &component : components)
        flat.append(std::make_shared<I>(component));
    const auto root = interpreteCompoundComponents(flat);
    interpreteCompound(root);
    if (tableCompounds)
        *tableCompounds = findTableCompounds(root);
    return flat;
}

SQLInterpreterCompoundComponentPtr
SQLInterpreter::interpreteCompoundComponents(const SQLInterpreterComponentList &components) const
{
    auto root = std::make_shared<SQLInterpreterCompoundComponent>();
    SQLInterpreterComponentList segment;
    segment.reserve(components.size());
    const auto closeSegment = [&] {
        if (segment.isEmpty())
            return;
        // Leading blanks stay outside, so that a statement's tree does not depend on them.
        qsizetype index = 0;
        while (index + 1 < segment.size() && isBlankLeaf(*segment.at(index)))
            root->subcomponents().append(segment.at(index++));
        auto group = buildGroup(segment, index, QString());
        // What an unmatched ")" left over stays in the statement as it is.
        while (index < segment.size())
            group->subcomponents().append(segment.at(index++));
        root->subcomponents().append(group);
        segment.clear();
    };
    for (const auto &component : components) {
        segment.append(component);
        if (!component->isCompound() && component->parserType() == C::QueryBreak)
            closeSegment();
    }
    closeSegment();
    return root;
}

void SQLInterpreter::interpreteCompound(const SQLInterpreterCompoundComponentPtr &compound) const
{
    interpreteCompound(compound, {});
}

void SQLInterpreter::interpreteCompound(const SQLInterpreterCompoundComponentPtr &compound,
                                        const SQLInterpreterComponentList &outer) const
{
    const SQLInterpreterComponentList &components = compound->subcomponents();
    const SQLInterpreterComponentList words = significant(components);
    _combineIdentifiers(words);
    _basicKeywordRun(components);
    _basicKeywordDependencyRun(words);
    _tableSearchRun(components);
    _markSchemaRun(components);
    _markFunctionCallRun(words);
    _markTableAliasRun(components, outer);
    _markColumnRun(components);
    _markColumnAliasRun(components);
    for (const auto &component : components) {
        if (component->isCompound())
            interpreteCompound(std::static_pointer_cast<SQLInterpreterCompoundComponent>(component),
                               components);
    }
}

SQLInterpreterCompoundComponentList
SQLInterpreter::findTableCompounds(const SQLInterpreterCompoundComponentPtr &compound) const
{
    SQLInterpreterCompoundComponentList found;
    for (const auto &component : compound->subcomponents()) {
        if (!component->isCompound())
            continue;
        const auto group = std::static_pointer_cast<SQLInterpreterCompoundComponent>(component);
        if (group->interpreterComponentType() == I::TableName)
            found.append(group);
        found.append(findTableCompounds(group));
    }
    return found;
}

SQLInterpreterComponentPtr SQLInterpreter::tableAliasWithName(const QString &name,
                                                              const SQLInterpreterComponentList &from) const
{
    for (const auto &component : from) {
        if (component->interpreterComponentType() != I::TableAlias || component->isCompound())
            continue;
        const Qt::CaseSensitivity sensitivity =
            component->parserType() == C::QuotedIdentifier ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (component->text().compare(name, sensitivity) == 0)
            return component;
    }
    return nullptr;
}

void SQLInterpreter::_combineIdentifiers(const SQLInterpreterComponentList &words) const
{
    for (qsizetype k = 0; k + 2 < words.size(); ++k) {
        const auto &first = words.at(k);
        const auto &last = words.at(k + 2);
        if (isName(*first) && isNone(*words.at(k + 1), ".") && (isName(*last) || isNone(*last, "*"))) {
            first->setInterpreterComponentType(I::Prefix);
            last->setRefers(first);
        }
    }
}

void SQLInterpreter::_basicKeywordRun(const SQLInterpreterComponentList &components) const
{
    static const QStringList comparisons = {"=", "!=", ">", "<", ">=", "<="};
    for (const auto &component : components) {
        if (isIdentifier(*component)) {
            if (const quint64 role = keywordRole(component->text()); role != I::None)
                component->setInterpreterComponentType(role);
        } else if (!component->isCompound() && component->parserType() == C::None &&
                   comparisons.contains(component->text())) {
            component->setInterpreterComponentType(I::Comparison);
        }
    }
}

void SQLInterpreter::_basicKeywordDependencyRun(const SQLInterpreterComponentList &words) const
{
    // The three words before, as places in the list: copies would count references word by word.
    static const SQLInterpreterComponentPtr none;
    const SQLInterpreterComponentPtr *p1 = &none, *p2 = &none, *p3 = &none;
    for (const auto &component : words) {
        if (isIdentifier(*component) && component->interpreterComponentType() == I::None) {
            const quint64 r1 = roleOf(*p1), r2 = roleOf(*p2), r3 = roleOf(*p3);
            if (r1 == I::Insert) {
                component->setInterpreterComponentType(I::Into);
            } else if (r1 == I::Update) {
                component->setInterpreterComponentType(I::TableName);
            } else if (r1 == I::TableName && r2 == I::Update) {
                component->setInterpreterComponentType(lower(*component) == "set" ? I::Set : I::UpdateAlias);
            } else if (r1 == I::UpdateAlias && r2 == I::TableName && r3 == I::Update) {
                component->setInterpreterComponentType(I::Set);
                (*p1)->setInterpreterComponentType(I::TableAlias);
                (*p1)->setRefers(*p2);
            } else if (r1 == I::Set) {
            } else if (r1 == I::DDLVerb) {
                component->setInterpreterComponentType(I::ObjectKind);
            } else if (r1 == I::JoinPrefix) {
                component->setInterpreterComponentType(I::Join);
                component->setRefers(*p1);
            } else if (r1 == I::ObjectKind && r2 == I::DDLVerb) {
                const QString kind = lower(**p1);
                component->setInterpreterComponentType(kind == "table" || kind == "view" ? I::TableName
                                                                                         : I::ObjectName);
                component->setRefers(*p1);
            } else if (r1 == I::Into && r2 == I::Insert) {
                component->setInterpreterComponentType(I::TableName);
            } else if (r1 == I::TableName && r2 == I::ObjectKind && r3 == I::DDLVerb) {
                component->setInterpreterComponentType(I::TableDefinition);
            } else if (r1 == I::TableName && r2 == I::Into) {
                component->setInterpreterComponentType(I::InsertColumn);
            } else if (r1 == I::ObjectName && r2 == I::ObjectKind && lower(**p2) == "index") {
                component->setInterpreterComponentType(I::IndexTable);
            }
        }
        p3 = p2;
        p2 = p1;
        p1 = &component;
    }
}

void SQLInterpreter::_tableSearchRun(const SQLInterpreterComponentList &components) const
{
    bool expectTable = true, intoClause = false, inClause = false, afterOn = false;
    SQLInterpreterComponentPtr lastTable;
    for (const auto &component : components) {
        const quint64 role = component->interpreterComponentType();
        if (role == I::From || role == I::Into) {
            lastTable.reset();
            expectTable = true;
            intoClause = role == I::Into;
            inClause = true;
        } else if (role == I::Join) {
            expectTable = true;
            afterOn = false;
        } else if (role == I::JoinPrefix) {
            expectTable = false;
            afterOn = false;
        } else if (role == I::On) {
            afterOn = true;
        } else if (role == I::Where || role == I::Select || role == I::GroupOrOrder) {
            // GROUP BY and ORDER BY end a FROM list as WHERE does: their names are columns.
            inClause = false;
        } else if (isNone(*component, ".") || role == I::Prefix) {
        } else if (isNone(*component, ",")) {
            expectTable = true;
        } else if (afterOn || !inClause || (role != I::None && role != I::Group)) {
        } else if (isName(*component)) {
            if (expectTable) {
                component->setInterpreterComponentType(I::TableName);
                lastTable = component;
            } else {
                component->setInterpreterComponentType(I::TableAlias);
                component->setRefers(lastTable);
            }
            expectTable = false;
            if (intoClause)
                inClause = false;
        } else if (component->isCompound() && expectTable && !intoClause) {
            // A sub-select in a FROM or JOIN list is a table; its alias follows it. After INTO a
            // group is the column list.
            component->setInterpreterComponentType(I::TableName);
            lastTable = component;
            expectTable = false;
        }
    }
}

void SQLInterpreter::_markSchemaRun(const SQLInterpreterComponentList &components) const
{
    for (const auto &component : components) {
        if (component->interpreterComponentType() == I::TableName && roleOf(component->refers()) == I::Prefix)
            component->refers()->setInterpreterComponentType(I::SchemaName);
    }
}

void SQLInterpreter::_markFunctionCallRun(const SQLInterpreterComponentList &words) const
{
    for (qsizetype k = 0; k + 1 < words.size(); ++k) {
        const auto &name = words.at(k);
        const auto &next = words.at(k + 1);
        if (isIdentifier(*name) && name->interpreterComponentType() == I::None && next->isCompound()) {
            name->setInterpreterComponentType(I::FunctionCall);
            next->setRefers(name);
        }
    }
}

void SQLInterpreter::_markTableAliasRun(const SQLInterpreterComponentList &components,
                                        const SQLInterpreterComponentList &outer) const
{
    for (const auto &component : components) {
        if (component->interpreterComponentType() != I::Prefix)
            continue;
        auto alias = tableAliasWithName(component->text(), components);
        if (!alias)
            alias = tableAliasWithName(component->text(), outer);
        if (alias) {
            component->setInterpreterComponentType(I::TableAlias);
            component->setRefers(alias->refers());
        }
    }
}

void SQLInterpreter::_markColumnRun(const SQLInterpreterComponentList &components) const
{
    bool inSelect = false, inFrom = false, inWhere = false, inOrderBy = false, inGroupBy = false;
    qint64 term = 0;
    for (const auto &component : components) {
        const quint64 role = component->interpreterComponentType();
        const quint64 type = component->parserType();
        if (role == I::Select) {
            inSelect = true;
        } else if (role == I::From) {
            inFrom = true;
            inSelect = false;
        } else if (role == I::On) {
            inFrom = false;
            inSelect = false;
        } else if (role == I::Where) {
            inWhere = true;
            inFrom = false;
            term = 0;
        } else if (role == I::GroupOrOrder) {
            inOrderBy = lower(*component) == "order";
            inGroupBy = lower(*component) == "group";
            inWhere = false;
            inFrom = false;
            term = 0;
        } else if (role >= I::Junction && role <= 59) {
            term = 0;
        } else if (role == I::None && isNone(*component, "*") && inSelect) {
            component->setInterpreterComponentType(I::ColumnName);
            component->setInSelectClause(true);
        } else if (role == I::None && !component->isCompound() &&
                   (type == C::Identifier || type == C::QuotedIdentifier || type == C::InputParameter)) {
            component->setInterpreterComponentType(I::ColumnName);
            component->setInSelectClause(inSelect);
            component->setInFromClause(inFrom);
            component->setInWhereClause(inWhere);
            component->setInOrderBy(inOrderBy);
            component->setInGroupBy(inGroupBy);
            component->setTermPosition(term++);
        } else if (component->isCompound() && role == I::Group && inSelect) {
            component->setInterpreterComponentType(I::ColumnName);
            component->setTermPosition(term++);
            component->setInSelectClause(true);
        } else {
            component->setInWhereClause(inWhere);
            component->setInFromClause(inFrom);
            component->setInGroupBy(inGroupBy);
            component->setInOrderBy(inOrderBy);
        }
    }
}

void SQLInterpreter::_markColumnAliasRun(const SQLInterpreterComponentList &components) const
{
    bool inSelect = false;
    SQLInterpreterComponentPtr term;
    for (const auto &component : components) {
        const quint64 role = component->interpreterComponentType();
        if (role == I::Select) {
            inSelect = true;
        } else if (role == I::From) {
            inSelect = false;
        } else if (isNone(*component, ",")) {
            term.reset();
        } else if (inSelect && !term && (role == I::ColumnName || role == I::Group)) {
            term = component;
        } else if (inSelect && term && role == I::ColumnName) {
            component->setInterpreterComponentType(I::ColumnNameAlias);
            component->setRefers(term->isCompound() && term->refers() ? term->refers() : term);
        }
    }
}

QString SQLInterpreter::formatComponents(const SQLParserComponentList &components) const
{
    if (components.isEmpty())
        return QString();
    SQLInterpreterComponentList flat;
    flat.reserve(components.size());
    for (const auto &component : components)
        flat.append(std::make_shared<I>(component));
    const auto root = interpreteCompoundComponents(flat);
    interpreteCompound(root);
    return root->format();
}
