#include "sql/SQLParser.h"

#include "sql/SQLRoutineBodyTracker.h"
#include "sql/SQLScanner.h"
#include "sql/SqlLog.h"

#include <algorithm>

namespace
{

constexpr qint64 EntrySpacing = 1001;

const char16_t *utf16(const QString &string)
{
    return reinterpret_cast<const char16_t *>(string.utf16());
}

// Components whose text cannot hold a line feed, or is nothing but line feeds, get their count
// now; quoted text and comments count theirs on first use.
SQLParserComponentPtr makeComponent(const QString &text, qint64 start, qint64 end, quint64 type)
{
    using C = SQLParserComponent;
    qint64 newlines = 0;
    if (type == C::Newline || type == C::QueryBreak)
        newlines = end - start;
    else if (type == C::Literal || type == C::QuotedIdentifier || type == C::Comment)
        newlines = -1;
    return SQLParserComponentPtr(new C(type, text.mid(start, end - start), newlines));
}

} // namespace

SQLParser::SQLParser()
    : whiteSpaceCharacterSet_(SQLCharacterSet::whitespaceCharacterSet()),
      identifierStartCharacterSet_(SQLCharacterSet::characterSetWithCharactersInString(
          QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"))),
      identifierRestCharacterSet_(SQLCharacterSet::characterSetWithCharactersInString(
          QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"))),
      numericStartCharacterSet_(
          SQLCharacterSet::characterSetWithCharactersInString(QStringLiteral("1234567890"))),
      numericRestCharacterSet_(
          SQLCharacterSet::characterSetWithCharactersInString(QStringLiteral("1234567890.")))
{
    resetComponents();
}

SQLParser::~SQLParser() = default;

const SQLParserParseProperties *SQLParser::parseProperties() const
{
    return parseProperties_ ? &*parseProperties_ : nullptr;
}

void SQLParser::setParseProperties(std::optional<SQLParserParseProperties> properties)
{
    parseProperties_ = std::move(properties);
}

SQLScanner SQLParser::scanner() const
{
    return SQLScanner(parseProperties(), whiteSpaceCharacterSet_, identifierStartCharacterSet_,
                      identifierRestCharacterSet_, numericStartCharacterSet_, numericRestCharacterSet_);
}

SQLParserComponentList SQLParser::parsedComponentsForString2(const QString &string) const
{
    SQLParserComponentList components;
    components.reserve(string.length() / 10);
    const SQLScanner scan = scanner();
    const char16_t *text = utf16(string);
    const qint64 length = string.length();
    QString delimiter;
    for (qint64 p = 0; p < length;) {
        const SQLScanner::Token token = scan.next(text, length, p, delimiter);
        components.append(makeComponent(string, p, token.end, token.type));
        followDelimiter(scan, *components.last(), &delimiter);
        p = token.end;
    }
    markRoutineBodies(components, 0, components.size() - 1);
    return components;
}

// A DELIMITER line sets the separator for what follows it.
void SQLParser::followDelimiter(const SQLScanner &scan, const SQLParserComponent &component,
                                QString *delimiter)
{
    if (component.parserComponentType() == SQLParserComponent::QuerySeparator &&
        scan.isDelimiterDirective(component.string()))
        *delimiter = scan.delimiterSetBy(component.string());
}

// The separator in force where the component at index starts: the one the last DELIMITER line
// before it set.
QString SQLParser::delimiterBefore(const SQLScanner &scan, qint64 index) const
{
    if (directiveCount_ == 0)
        return QString();
    for (qint64 k = index - 1; k >= 0; --k) {
        const SQLParserComponent &component = *parsedComponents_[k];
        if (component.parserComponentType() == SQLParserComponent::QuerySeparator &&
            scan.isDelimiterDirective(component.string()))
            return scan.delimiterSetBy(component.string());
    }
    return QString();
}

qint64 SQLParser::countDirectives(const SQLScanner &scan, const SQLParserComponentList &components,
                                  qint64 from, qint64 to) const
{
    if (!parseProperties() || !parseProperties()->delimiterDirectives())
        return 0;
    qint64 count = 0;
    for (qint64 k = from; k < to; ++k) {
        const SQLParserComponent &component = *components[k];
        count += component.parserComponentType() == SQLParserComponent::QuerySeparator &&
                 scan.isDelimiterDirective(component.string());
    }
    return count;
}

// Gives each separator character of the statements from the one holding index from on its type:
// a separator, or an ordinary character inside a routine body. Goes on past index through until a
// separator that was one already, for from there on nothing depends on the change.
void SQLParser::markRoutineBodies(SQLParserComponentList &components, qint64 from, qint64 through) const
{
    const SQLParserParseProperties *properties = parseProperties();
    if (!properties || !properties->routineBodies() || properties->querySeparator() == 0)
        return;
    using C = SQLParserComponent;
    const QString separator(QChar(properties->querySeparator()));
    qint64 k = std::min<qint64>(from, components.size());
    while (k > 0 && components[k - 1]->parserComponentType() != C::QuerySeparator)
        --k;
    SQLRoutineBodyTracker tracker;
    for (; k < components.size(); ++k) {
        const SQLParserComponent &component = *components[k];
        const quint64 type = component.parserComponentType();
        if ((type != C::QuerySeparator && type != C::None) || component.string() != separator) {
            tracker.take(component);
            continue;
        }
        const bool ends = tracker.separatorEndsStatement();
        const quint64 wanted = ends ? C::QuerySeparator : C::None;
        if (wanted != type)
            components[k] = SQLParserComponentPtr(new C(wanted, component.string(), 0));
        else if (ends && k > through)
            return;
        if (ends)
            tracker.reset();
    }
}

void SQLParser::resetComponents()
{
    parsedComponents_ = {SQLParserComponent::componentWithType(SQLParserComponent::None, QString())};
    seekCache_.reset();
    textLength_ = 0;
    directiveCount_ = 0;
}

// Where a walk towards the location may start: the nearest boundary entry strictly before it, so
// that the component ending exactly at the location is still walked over.
void SQLParser::boundaryStart(qint64 location, qint64 *position, qint64 *index) const
{
    *position = 0;
    *index = 0;
    if (location <= 0)
        return;
    qint64 separatorAt = 0, breakAt = 0;
    const qint64 separator = seekCache_.maximumComponentIndexBeforeStringIndex(
        location - 1, SQLParserComponent::QuerySeparator, &separatorAt);
    const qint64 queryBreak = seekCache_.maximumComponentIndexBeforeStringIndex(
        location - 1, SQLParserComponent::QueryBreak, &breakAt);
    if (separator >= 0) {
        *position = separatorAt;
        *index = separator;
    }
    if (queryBreak >= 0 && (separator < 0 || breakAt > separatorAt)) {
        *position = breakAt;
        *index = queryBreak;
    }
}

SQLParserComponentList SQLParser::parsedComponentsInRange(TextRange range, qint64 *startInString,
                                                          qint64 *componentIndex, bool allowPreExtending)
{
    qint64 position = 0, index = 0;
    boundaryStart(range.location, &position, &index);
    const qint64 count = parsedComponents_.size();
    if (componentIndex)
        *componentIndex = 0;
    if (index >= count)
        return {};

    SQLParserComponentList result;
    qint64 first = -1, offset = 0;
    qint64 sinceBreakEntry = 0, sinceSeparatorEntry = 0;
    for (; index < count; ++index) {
        const SQLParserComponent &component = *parsedComponents_[index];
        const qint64 length = component.length();
        if (position <= range.end() && position + length >= range.location) {
            if (first < 0) {
                first = index;
                offset = range.location - position;
            }
            result.append(parsedComponents_[index]);
        } else if (first >= 0) {
            break;
        } else {
            const quint64 type = component.parserComponentType();
            if (type == SQLParserComponent::QueryBreak && sinceBreakEntry >= EntrySpacing) {
                seekCache_.addCacheStringIndex(position, index, type);
                sinceBreakEntry = 0;
            } else if (type == SQLParserComponent::QuerySeparator && sinceSeparatorEntry >= EntrySpacing) {
                seekCache_.addCacheStringIndex(position, index, type);
                sinceSeparatorEntry = 0;
            }
            ++sinceBreakEntry;
            ++sinceSeparatorEntry;
        }
        position += length;
    }
    if (first < 0)
        return {};
    if (offset < 0) {
        qCDebug(lcSql) << "range" << range.location << range.length << "componentRange" << first
                       << result.size() << "parsed from" << range.location - offset;
    }
    if (allowPreExtending && first > 0 && parsedComponents_[first - 1]->string().endsWith(u'\n')) {
        --first;
        result.prepend(parsedComponents_[first]);
        offset += parsedComponents_[first]->length();
    }
    if (startInString)
        *startInString = offset;
    if (componentIndex)
        *componentIndex = first;
    return result;
}

bool SQLParser::runsOn(const SQLParserComponent &last, const QString &removed, const QString &inserted) const
{
    const auto occurs = [&](char16_t quote) {
        return quote != 0 && (removed.contains(QChar(quote)) || inserted.contains(QChar(quote)));
    };
    const SQLParserParseProperties *p = parseProperties();
    const char16_t first = last.string().isEmpty() ? 0 : last.string().at(0).unicode();
    switch (last.parserComponentType()) {
    case SQLParserComponent::Comment:
        return true;
    case SQLParserComponent::Literal:
        return p && ((first == p->literalQuote() && occurs(first)) ||
                     (first == p->literalQuote2() && occurs(first)));
    case SQLParserComponent::QuotedIdentifier:
        return p && first == p->identifierQuote() && occurs(first);
    default:
        return false;
    }
}

void SQLParser::replaceComponents(qint64 from, qint64 to, const SQLParserComponentList &replacement)
{
    const SQLScanner scan = scanner();
    directiveCount_ += countDirectives(scan, replacement, 0, replacement.size()) -
                       countDirectives(scan, parsedComponents_, from, to);
    const qint64 replaced = to - from;
    const qint64 common = std::min<qint64>(replaced, replacement.size());
    for (qint64 k = 0; k < common; ++k)
        parsedComponents_[from + k] = replacement[k];
    if (replaced > common)
        parsedComponents_.remove(from + common, replaced - common);
    else if (replacement.size() > common) {
        // One move of the tail, then the new components into the gap.
        parsedComponents_.insert(from + common, replacement.size() - common, SQLParserComponentPtr());
        for (qint64 k = common; k < replacement.size(); ++k)
            parsedComponents_[from + k] = replacement[k];
    }
}

void SQLParser::updateSourceRange(TextRange range, qint64 changeInLength, const QString &newString,
                                  const QString &fullSource, TextRange *reparsedRange,
                                  SQLParserComponentList *reparsedComponents)
{
    Q_UNUSED(changeInLength); // the range and the new text say everything
    QString inserted = newString;
    const bool fits = range.location >= 0 && range.length >= 0 && range.end() <= textLength_ &&
                      textLength_ - range.length + newString.length() == fullSource.length();
    if (!fits && newString != fullSource)
        qCWarning(lcSql) << "edit does not fit the parsed text; parsing the whole text again";
    if (!fits || newString == fullSource) {
        resetComponents();
        range = {0, 0};
        inserted = fullSource;
    }

    qint64 offset = 0, first = 0;
    SQLParserComponentList touched = parsedComponentsInRange(range, &offset, &first, true);
    if (offset < 0) {
        qCDebug(lcSql) << "replaceRange" << range.location << range.length << "parsedStringStart" << offset
                       << "parsedComponents.count" << parsedComponents_.size() << "arange" << first
                       << touched.size();
    }
    if (touched.isEmpty() || offset < 0) {
        // Nothing to anchor on (an empty list, or one that no longer fits): the whole list is
        // the region.
        touched = parsedComponents_;
        first = 0;
        offset = range.location;
    }
    const SQLParserParseProperties *properties = parseProperties();
    if (properties && properties->prefixedQuotes() && first > 0 && offset <= 1) {
        // The U of U&' depends on the character after next: the component ending right before
        // the edit is scanned again too.
        --first;
        touched.prepend(parsedComponents_[first]);
        offset += parsedComponents_[first]->length();
    }
    if (properties && properties->delimiterDirectives()) {
        // Whether a line is a DELIMITER line depends on all of it: its start is scanned again too.
        while (first > 0 && !parsedComponents_[first - 1]->string().endsWith(u'\n')) {
            --first;
            touched.prepend(parsedComponents_[first]);
            offset += parsedComponents_[first]->length();
        }
    }
    const qint64 start = range.location - offset;
    const QString regionOld = SQLParserComponent::stringForComponents(touched, false, true);
    const QString removed = regionOld.mid(offset, range.length);
    const qint64 delta = inserted.length() - range.length;
    const qint64 regionEnd = start + regionOld.length() + delta;

    const SQLScanner scan = scanner();
    const char16_t *text = utf16(fullSource);
    const qint64 length = fullSource.length();
    SQLParserComponentList fresh;
    qint64 p = start;
    QString delimiter = delimiterBefore(scan, first);
    const auto scanOne = [&] {
        const SQLScanner::Token token = scan.next(text, length, p, delimiter);
        fresh.append(makeComponent(fullSource, p, token.end, token.type));
        followDelimiter(scan, *fresh.last(), &delimiter);
        p = token.end;
    };
    const auto scanToTheEnd = [&] {
        fresh.reserve(fresh.size() + (length - p) / 10);
        while (p < length)
            scanOne();
    };
    while (p < regionEnd)
        scanOne();

    const qint64 count = parsedComponents_.size();
    qint64 next = first + touched.size(); // first old component not yet replaced
    if (!fresh.isEmpty() && runsOn(*fresh.last(), removed, inserted)) {
        scanToTheEnd();
        next = count;
    } else {
        // Go on until the new components end where an old one ends: from there on the old
        // components are what a scan would give, as a component depends only on the text from
        // its start and the one character before it, which lies past the edit (the region always
        // reaches beyond the edit's end, for the component starting there touches it too).
        qint64 oldPosition = start + regionOld.length();
        for (;;) {
            while (next < count && oldPosition < p - delta)
                oldPosition += parsedComponents_[next++]->length();
            if (p >= length) {
                next = count;
                break;
            }
            if (oldPosition == p - delta)
                break;
            scanOne();
        }
        // A DELIMITER line that came, went or changed changes the separator of all that follows.
        if (delimiter != delimiterBefore(scan, next) && p < length) {
            scanToTheEnd();
            next = count;
        }
    }

    replaceComponents(first, next, fresh);
    markRoutineBodies(parsedComponents_, first, first + fresh.size() - 1);
    seekCache_.resetAfterStringIndex(start);
    textLength_ = length;
    if (reparsedRange)
        *reparsedRange = {start, p - start};
    if (reparsedComponents)
        *reparsedComponents = parsedComponents_.mid(first, fresh.size());
}

SQLParserComponentList SQLParser::parsedComponentsBetweenQueryBreaksAroundLocation(qint64 location,
                                                                                   TextRange *foundRange)
{
    using C = SQLParserComponent;
    qint64 position = 0;
    qint64 index = std::max<qint64>(
        0, seekCache_.maximumComponentIndexBeforeStringIndex(location, C::QueryBreak, &position));
    const qint64 count = parsedComponents_.size();
    if (index >= count)
        return {};
    qint64 blockStart = position, blockEnd = position;
    bool entered = false;
    SQLParserComponentList result;
    for (; index < count; ++index) {
        const SQLParserComponentPtr &component = parsedComponents_[index];
        const qint64 length = component->length();
        const quint64 type = component->parserComponentType();
        const bool holdsLocation = position <= location && location < position + length;
        if (type == C::QueryBreak) {
            if (entered)
                break;
            result.clear();
            blockStart = position + length;
            if (holdsLocation) {
                if (foundRange)
                    *foundRange = {position, length};
                return {};
            }
        } else if (type == C::Newline && !entered && position == location) {
            return {};
        } else if (type == C::Newline && !entered && result.isEmpty()) {
            blockStart = position + length;
        } else {
            result.append(component);
            blockEnd = position + length;
            entered = entered || holdsLocation;
        }
        position += length;
    }
    if (!entered)
        return {};
    if (result.last()->parserComponentType() == C::Newline) {
        blockEnd -= result.last()->length();
        result.removeLast();
    }
    if (foundRange)
        *foundRange = {blockStart, blockEnd - blockStart};
    return result;
}

SQLParserComponentList SQLParser::parsedComponentsBetweenQuerySeparatorsAroundLocation(qint64 location,
                                                                                       TextRange *foundRange)
{
    return parsedComponentsBetweenQuerySeparatorsAroundLocation(location, -1, foundRange);
}

SQLParserComponentList SQLParser::parsedComponentsBetweenQuerySeparatorsAroundLocation(qint64 location,
                                                                                       qint64 maximum,
                                                                                       TextRange *foundRange)
{
    using C = SQLParserComponent;
    if (foundRange)
        *foundRange = {TextRange::NotFound, 0};
    qint64 position = 0, index = 0;
    boundaryStart(location, &position, &index);
    const qint64 count = parsedComponents_.size();
    if (index >= count)
        return {};
    qint64 statementStart = position;
    bool found = false;
    SQLParserComponentList result;
    for (; index < count; ++index) {
        const SQLParserComponentPtr &component = parsedComponents_[index];
        const qint64 length = component->length();
        const quint64 type = component->parserComponentType();
        if (type == C::QuerySeparator || type == C::QueryBreak) {
            if (found) {
                TextRange range{statementStart, position - statementStart};
                if (type == C::QuerySeparator) {
                    result.append(component);
                    range.length += length;
                }
                if (foundRange)
                    *foundRange = range;
                return result;
            }
            result.clear();
            statementStart = position + length;
        } else {
            result.append(component);
            found = found || (position <= location && location <= position + length);
            if (maximum >= 0 && found && result.size() > maximum) {
                if (foundRange)
                    *foundRange = {statementStart, position - statementStart};
                return result;
            }
        }
        position += length;
    }
    if (!found)
        return {};
    if (foundRange)
        *foundRange = {statementStart, position - statementStart};
    return result;
}

bool SQLParser::characterIsStartOfQueryBreak(qint64 index)
{
    qint64 offset = 0;
    const SQLParserComponentList touching = parsedComponentsInRange({index, 0}, &offset, nullptr, false);
    return !touching.isEmpty() && touching.first()->parserComponentType() == SQLParserComponent::QueryBreak &&
           offset == 1;
}

qint64 SQLParser::lineNumberForCharacterAtIndex(qint64 index)
{
    // Without an entry the walk starts at the first component, on line 1.
    qint64 position = 0, line = 1;
    qint64 component =
        std::max<qint64>(0, seekCache_.maximumComponentIndexBeforeStringIndex(index, &position, &line));
    const qint64 count = parsedComponents_.size();
    qint64 passed = 0;
    for (; component < count; ++component) {
        const SQLParserComponent &c = *parsedComponents_[component];
        if (position >= index)
            break;
        if (position + c.length() >= index) {
            if (c.newlines() > 0)
                line += countNewlinesInString(c.string(), {0, index - position});
            break;
        }
        line += c.newlines();
        position += c.length();
        if (++passed >= EntrySpacing && component + 1 < count) {
            seekCache_.addCacheLineForStringIndex(position, component + 1, line);
            passed = 0;
        }
    }
    return line;
}

qint64 SQLParser::characterIndexForLineNumber(qint64 lineNumber)
{
    qint64 position = 0, line = 1;
    qint64 component =
        std::max<qint64>(0, seekCache_.maximumComponentIndexBeforeLineIndex(lineNumber, &position, &line));
    const qint64 count = parsedComponents_.size();
    qint64 passes = 0;
    for (; component < count; ++component) {
        if (passes >= EntrySpacing - 1) {
            seekCache_.addCacheLineForStringIndex(position, component, line);
            passes = 0;
        }
        if (line >= lineNumber)
            return position;
        const SQLParserComponent &c = *parsedComponents_[component];
        const qint64 lineAtStart = line;
        const qint64 start = position;
        position += c.length();
        line += c.newlines();
        // The line begins after one of this component's line feeds, which need not be its last
        // character (a comment or literal over several lines).
        if (line >= lineNumber)
            return start + countIndexAtNewlinesNo(lineNumber - lineAtStart, c.string(), {0, c.length()}) + 1;
        ++passes;
    }
    return position;
}

qint64 SQLParser::countNewlinesInString(const QString &string, TextRange range)
{
    return QStringView(string).mid(range.location, range.length).count(u'\n');
}

qint64 SQLParser::countIndexAtNewlinesNo(qint64 number, const QString &inString, TextRange range)
{
    const QStringView view = QStringView(inString).mid(range.location, range.length);
    qint64 seen = 0;
    for (qint64 k = 0; k < view.length(); ++k) {
        if (view.at(k) == u'\n' && ++seen == number)
            return k;
    }
    return view.length();
}

void SQLParser::debug() const
{
    qint64 length = 0;
    QStringList dump;
    for (const auto &component : parsedComponents_) {
        length += component->length();
        dump << component->description();
    }
    qCDebug(lcSql).noquote() << QStringLiteral("current parser string length %1").arg(length);
    qCDebug(lcSql).noquote() << QStringLiteral("dump\n%1").arg(dump.join(u'\n'));
}

QString SQLParser::debugFullQuery() const
{
    return SQLParserComponent::stringForComponents(parsedComponents_, false, true);
}
