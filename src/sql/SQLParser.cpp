#include "sql/SQLParser.h"

#include "sql/SQLRoutineBodyTracker.h"
#include "sql/SQLScanner.h"
#include "sql/SqlLog.h"

#include <algorithm>
#include <array>

namespace
{

using Entry = SQLParserComponentStore::Entry;

constexpr qint64 EntrySpacing = 1001;
// Statement boundaries are looked up several times per keystroke (the reparse, the colouring, the
// completion), each walk from the nearest entry before the caret: closer entries keep those walks short.
constexpr qint64 BoundaryEntrySpacing = 128;

// Most components of real SQL are one character long (blanks, commas, dots, brackets, one-letter
// aliases): those share one string per character instead of each allocating its own.
QString componentText(const SQLTextBuffer &text, qint64 position, qint64 length)
{
    if (length == 1) {
        static const std::array<QString, 128> ascii = [] {
            std::array<QString, 128> strings;
            for (char16_t c = 0; c < 128; ++c)
                strings[c] = QString(QChar(c));
            return strings;
        }();
        if (const char16_t c = text.at(position).unicode(); c < 128)
            return ascii[c];
    }
    return text.mid(position, length);
}

const char16_t *utf16(const QString &string)
{
    return reinterpret_cast<const char16_t *>(string.utf16());
}

// The text as it was before an edit, read from the text after it and the removed characters, so
// that components of the old list can still be read while they are replaced.
class EditedText
{
public:
    EditedText(const SQLTextBuffer &now, TextRange range, qint64 insertedLength, const QString &removed)
        : now_(now), range_(range), delta_(insertedLength - range.length), removed_(removed)
    {
    }

    QString mid(qint64 position, qint64 length) const
    {
        if (position + length <= range_.location)
            return now_.mid(position, length);
        if (position >= range_.end())
            return now_.mid(position + delta_, length);
        QString text;
        text.reserve(length);
        for (qint64 k = position; k < position + length; ++k) {
            if (k < range_.location)
                text += now_.at(k);
            else if (k < range_.end())
                text += removed_.at(k - range_.location);
            else
                text += now_.at(k + delta_);
        }
        return text;
    }

private:
    const SQLTextBuffer &now_;
    TextRange range_;
    qint64 delta_;
    const QString &removed_;
};

// A DELIMITER line sets the separator for what follows it.
void followDelimiter(const SQLScanner &scan, quint64 type, QStringView text, QString *delimiter)
{
    if (type == SQLParserComponent::QuerySeparator && scan.isDelimiterDirective(text))
        *delimiter = scan.delimiterSetBy(text);
}

// The DELIMITER lines among count components that start at position; entryAt(k) gives the k-th,
// textAt(position, length) its text.
template <typename EntryAt, typename TextAt>
qint64 countDirectives(const SQLParserParseProperties *properties, const SQLScanner &scan, qint64 count,
                       qint64 position, const EntryAt &entryAt, const TextAt &textAt)
{
    if (!properties || !properties->delimiterDirectives())
        return 0;
    qint64 directives = 0;
    for (qint64 k = 0; k < count; ++k) {
        const Entry entry = entryAt(k);
        if (entry.type == SQLParserComponent::QuerySeparator)
            directives += scan.isDelimiterDirective(textAt(position, entry.length));
        position += entry.length;
    }
    return directives;
}

// The separator in force where component index starts (at position of the old text): the one the
// last DELIMITER line before it set.
QString delimiterBefore(const SQLScanner &scan, const SQLParserComponentStore &store, qint64 index,
                        qint64 position, const EditedText &old)
{
    for (qint64 k = index - 1; k >= 0; --k) {
        const Entry entry = store.at(k);
        position -= entry.length;
        if (entry.type != SQLParserComponent::QuerySeparator)
            continue;
        const QString text = old.mid(position, entry.length);
        if (scan.isDelimiterDirective(text))
            return scan.delimiterSetBy(text);
    }
    return QString();
}

bool countsNewlines(quint64 type)
{
    using C = SQLParserComponent;
    return type == C::Newline || type == C::QueryBreak || type == C::Literal || type == C::QuotedIdentifier ||
           type == C::Comment;
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

// Components whose text cannot hold a line feed, or is nothing but line feeds, get their count at
// once; quoted text and comments count theirs on first use.
SQLParserComponentList SQLParser::components(const SQLParserComponentStore &store, const SQLTextBuffer &text,
                                             qint64 first, qint64 count, qint64 position)
{
    using C = SQLParserComponent;
    SQLParserComponentList list;
    list.reserve(count);
    for (qint64 k = first; k < first + count; ++k) {
        const Entry entry = store.at(k);
        const quint64 type = entry.type;
        const qint64 newlines = type == C::Newline || type == C::QueryBreak ? qint64(entry.length)
                                : countsNewlines(type)                      ? -1
                                                                            : 0;
        list.append(
            SQLParserComponentPtr(new C(type, componentText(text, position, entry.length), newlines)));
        position += entry.length;
    }
    return list;
}

// The line feeds a component counts: all of them in quoted text and comments, its length in a run of
// line feeds, none in anything else.
qint64 SQLParser::newlinesIn(quint64 type, qint64 position, qint64 length) const
{
    if (type == SQLParserComponent::Newline || type == SQLParserComponent::QueryBreak)
        return length;
    return countsNewlines(type) ? text_.countNewlines({position, length}) : 0;
}

void SQLParser::scanWhole(const QString &string, SQLParserComponentStore *into) const
{
    // Real SQL averages two to five characters a component.
    into->clear(string.length() / 2 + 16);
    const SQLScanner scan = scanner();
    const char16_t *text = utf16(string);
    const qint64 length = string.length();
    QString delimiter;
    for (qint64 p = 0; p < length;) {
        const SQLScanner::Token token = scan.next(text, length, p, delimiter);
        into->append(token.end - p, token.type);
        if (token.type == SQLParserComponent::QuerySeparator)
            followDelimiter(scan, token.type, QStringView(text + p, token.end - p), &delimiter);
        p = token.end;
    }
}

SQLParserComponentList SQLParser::parsedComponentsForString2(const QString &string) const
{
    SQLParserComponentStore store;
    scanWhole(string, &store);
    SQLTextBuffer text;
    text.assign(string);
    markRoutineBodies(store, text, 0, store.size() - 1, 0);
    return components(store, text, 0, store.size(), 0);
}

const SQLParserComponentList &SQLParser::allParsedComponents() const
{
    if (!allComponentsMade_) {
        allComponents_ = components(store_, text_, 0, store_.size(), 0);
        allComponentsMade_ = true;
    }
    return allComponents_;
}

// Gives each separator character of the statements from the one holding component `from` (which
// starts at position) on its type: a separator, or an ordinary character inside a routine body. Goes
// on past index through until a separator that was one already, for from there on nothing depends
// on the change.
void SQLParser::markRoutineBodies(SQLParserComponentStore &store, const SQLTextBuffer &buffer, qint64 from,
                                  qint64 through, qint64 position) const
{
    const SQLParserParseProperties *properties = parseProperties();
    if (!properties || !properties->routineBodies() || properties->querySeparator() == 0)
        return;
    using C = SQLParserComponent;
    const char16_t separator = properties->querySeparator();
    qint64 k = std::min<qint64>(from, store.size());
    while (k > 0 && store.at(k - 1).type != C::QuerySeparator) {
        --k;
        position -= store.at(k).length;
    }
    const char16_t *text = buffer.contiguousFrom(position);
    SQLRoutineBodyTracker tracker;
    for (; k < store.size(); position += store.at(k).length, ++k) {
        const Entry entry = store.at(k);
        const quint64 type = entry.type;
        if ((type != C::QuerySeparator && type != C::None) || entry.length != 1 ||
            text[position] != separator) {
            tracker.take(type, QStringView(text + position, entry.length));
            continue;
        }
        const bool ends = tracker.separatorEndsStatement();
        const quint64 wanted = ends ? C::QuerySeparator : C::None;
        if (wanted != type)
            store.setType(k, wanted);
        else if (ends && k > through)
            return;
        if (ends)
            tracker.reset();
    }
}

void SQLParser::resetComponents()
{
    store_.clear(1);
    store_.append(0, SQLParserComponent::None);
    text_.assign(QString());
    seekCache_.reset();
    directiveCount_ = 0;
    allComponents_.clear();
    allComponentsMade_ = false;
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

// The walk of the range lookup, without making component objects. While it passes components
// before the range it leaves seek-cache entries behind. Called during a reparse too, when the text
// already holds the edit but the list does not yet: the walk reads only lengths, and the character
// before the first touching component lies before the edit.
bool SQLParser::locate(TextRange range, bool allowPreExtending, Region *region)
{
    qint64 position = 0, index = 0;
    boundaryStart(range.location, &position, &index);
    const qint64 count = store_.size();
    if (index >= count)
        return false;
    qint64 first = -1, offset = 0, touching = 0;
    qint64 sinceBreakEntry = 0, sinceSeparatorEntry = 0;
    for (; index < count; ++index) {
        const Entry entry = store_.at(index);
        const qint64 length = entry.length;
        if (position <= range.end() && position + length >= range.location) {
            if (first < 0) {
                first = index;
                offset = range.location - position;
            }
            ++touching;
        } else if (first >= 0) {
            break;
        } else {
            const quint64 type = entry.type;
            if (type == SQLParserComponent::QueryBreak && sinceBreakEntry >= BoundaryEntrySpacing) {
                seekCache_.addCacheStringIndex(position, index, type);
                sinceBreakEntry = 0;
            } else if (type == SQLParserComponent::QuerySeparator &&
                       sinceSeparatorEntry >= BoundaryEntrySpacing) {
                seekCache_.addCacheStringIndex(position, index, type);
                sinceSeparatorEntry = 0;
            }
            ++sinceBreakEntry;
            ++sinceSeparatorEntry;
        }
        position += length;
    }
    if (first < 0)
        return false;
    if (offset < 0) {
        qCDebug(lcSql) << "range" << range.location << range.length << "componentRange" << first << touching
                       << "parsed from" << range.location - offset;
    }
    const qint64 firstStart = range.location - offset;
    if (allowPreExtending && first > 0 && store_.at(first - 1).length > 0 && firstStart > 0 &&
        firstStart <= text_.length() && text_.at(firstStart - 1) == u'\n') {
        --first;
        ++touching;
        offset += store_.at(first).length;
    }
    *region = {first, touching, offset};
    return true;
}

SQLParserComponentList SQLParser::parsedComponentsInRange(TextRange range, qint64 *startInString,
                                                          qint64 *componentIndex, bool allowPreExtending)
{
    if (componentIndex)
        *componentIndex = 0;
    Region region;
    if (!locate(range, allowPreExtending, &region))
        return {};
    if (startInString)
        *startInString = region.offset;
    if (componentIndex)
        *componentIndex = region.first;
    return components(store_, text_, region.first, region.count, range.location - region.offset);
}

std::vector<SQLParser::ComponentSpan> SQLParser::componentSpansInRange(TextRange range)
{
    std::vector<ComponentSpan> spans;
    Region region;
    if (!locate(range, true, &region))
        return spans;
    spans.reserve(size_t(region.count));
    qint64 position = range.location - region.offset;
    for (qint64 k = region.first; k < region.first + region.count; ++k) {
        const Entry entry = store_.at(k);
        spans.push_back({position, entry.length, entry.type});
        position += entry.length;
    }
    return spans;
}

void SQLParser::updateSourceRange(TextRange range, qint64 changeInLength, const QString &newString,
                                  const QString &fullSource, TextRange *reparsedRange,
                                  SQLParserComponentList *reparsedComponents)
{
    Q_UNUSED(changeInLength); // the range and the new text say everything
    // Either may be this parser's own text, which the reset below empties.
    const QString text = fullSource;
    const QString inserted = newString;
    const qint64 oldLength = text_.length();
    const bool fits = range.location >= 0 && range.length >= 0 && range.end() <= oldLength &&
                      oldLength - range.length + inserted.length() == text.length();
    if (!fits && inserted != text)
        qCWarning(lcSql) << "edit does not fit the parsed text; parsing the whole text again";
    if (!fits || inserted == text) {
        resetComponents();
        text_.assign(text);
        parseWhole(reparsedRange, reparsedComponents);
        return;
    }
    const QString removed = text_.mid(range.location, range.length);
    text_.assign(text);
    reparse(range, inserted.length(), removed, reparsedRange, reparsedComponents);
}

bool SQLParser::replaceSourceRange(TextRange range, const QString &newString, TextRange *reparsedRange,
                                   SQLParserComponentList *reparsedComponents)
{
    if (range.location < 0 || range.length < 0 || range.end() > text_.length()) {
        qCWarning(lcSql) << "edit" << range.location << range.length << "outside the parsed text of"
                         << text_.length() << "characters";
        return false;
    }
    if (range.location == 0 && range.length == text_.length()) {
        const QString text = newString;
        resetComponents();
        text_.assign(text);
        parseWhole(reparsedRange, reparsedComponents);
        return true;
    }
    // The new text may be this parser's own, which the edit moves: it holds a reference of its own.
    const QString inserted = newString;
    const QString removed = text_.mid(range.location, range.length);
    text_.replace(range, inserted);
    reparse(range, inserted.length(), removed, reparsedRange, reparsedComponents);
    return true;
}

void SQLParser::parseWhole(TextRange *reparsedRange, SQLParserComponentList *reparsedComponents)
{
    scanWhole(text_.string(), &store_);
    markRoutineBodies(store_, text_, 0, store_.size() - 1, 0);
    const SQLScanner scan = scanner();
    directiveCount_ = countDirectives(
        parseProperties(), scan, store_.size(), 0, [&](qint64 k) -> Entry { return store_.at(k); },
        [&](qint64 position, qint64 length) { return text_.mid(position, length); });
    seekCache_.reset();
    allComponents_.clear();
    allComponentsMade_ = false;
    if (reparsedRange)
        *reparsedRange = {0, text_.length()};
    if (reparsedComponents)
        *reparsedComponents = components(store_, text_, 0, store_.size(), 0);
}

// The text already holds the edit (range of the old text replaced by insertedLength characters; the
// removed ones given); the list does not yet.
void SQLParser::reparse(TextRange range, qint64 insertedLength, const QString &removed,
                        TextRange *reparsedRange, SQLParserComponentList *reparsedComponents)
{
    const EditedText old(text_, range, insertedLength, removed);
    Region region;
    const bool found = locate(range, true, &region);
    if (found && region.offset < 0) {
        qCDebug(lcSql) << "replaceRange" << range.location << range.length << "parsedStringStart"
                       << region.offset << "parsedComponents.count" << store_.size() << "arange"
                       << region.first << region.count;
    }
    if (!found || region.offset < 0) {
        // Nothing to anchor on (an empty list, or one that no longer fits): the whole list is
        // the region.
        region = {0, store_.size(), range.location};
    }
    const SQLParserParseProperties *properties = parseProperties();
    const auto takePrevious = [&] {
        --region.first;
        ++region.count;
        region.offset += store_.at(region.first).length;
    };
    if (properties && properties->prefixedQuotes() && region.first > 0 && region.offset <= 1) {
        // The U of U&' depends on the character after next: the component ending right before
        // the edit is scanned again too.
        takePrevious();
    }
    if (properties && properties->delimiterDirectives()) {
        // Whether a line is a DELIMITER line depends on all of it: its start is scanned again too.
        while (region.first > 0 && !(store_.at(region.first - 1).length > 0 &&
                                     text_.at(range.location - region.offset - 1) == u'\n'))
            takePrevious();
    }
    const qint64 start = range.location - region.offset;
    qint64 regionOldLength = 0;
    for (qint64 k = region.first; k < region.first + region.count; ++k)
        regionOldLength += store_.at(k).length;
    const qint64 delta = insertedLength - range.length;
    const qint64 regionEnd = start + regionOldLength + delta;

    const SQLScanner scan = scanner();
    const char16_t *text = text_.contiguousFrom(start);
    const qint64 length = text_.length();
    const bool directives = properties && properties->delimiterDirectives();
    qint64 p = start;
    QString delimiter =
        directiveCount_ > 0 ? delimiterBefore(scan, store_, region.first, start, old) : QString();

    // The new components go into the store in place of the old ones, which are dropped as the scan
    // passes them; the DELIMITER lines among both are counted on the way.
    store_.beginReplace(region.first);
    qint64 freshCount = 0;
    qint64 oldPosition = start; // where the next old component starts in the old text
    QString oldDelimiter = delimiter;
    const auto dropOld = [&] {
        const Entry entry = store_.nextOld();
        if (directives && entry.type == SQLParserComponent::QuerySeparator) {
            const QString directive = old.mid(oldPosition, entry.length);
            if (scan.isDelimiterDirective(directive)) {
                --directiveCount_;
                oldDelimiter = scan.delimiterSetBy(directive);
            }
        }
        oldPosition += entry.length;
        store_.dropOld();
    };
    const auto scanOne = [&] {
        const SQLScanner::Token token = scan.next(text, length, p, delimiter);
        store_.insert(token.end - p, token.type);
        ++freshCount;
        if (token.type == SQLParserComponent::QuerySeparator) {
            const QStringView component(text + p, token.end - p);
            if (directives && scan.isDelimiterDirective(component)) {
                ++directiveCount_;
                delimiter = scan.delimiterSetBy(component);
            }
        }
        p = token.end;
    };
    for (qint64 k = 0; k < region.count; ++k)
        dropOld();
    while (p < regionEnd)
        scanOne();

    // Go on until the new components end where an old one ends: from there on the old components
    // are what a scan would give, as a component depends only on the text from its start and the
    // one character before it, which lies past the edit (the region always reaches beyond the
    // edit's end, for the component starting there touches it too). Quotes and comment openers
    // that change the rest of the text make the scan run on until the old ends meet it again.
    for (;;) {
        while (store_.hasOld() && oldPosition < p - delta)
            dropOld();
        if (p >= length) {
            while (store_.hasOld())
                dropOld();
            break;
        }
        if (oldPosition == p - delta)
            break;
        scanOne();
    }
    // A DELIMITER line that came, went or changed changes the separator of all that follows.
    if (p < length && delimiter != oldDelimiter) {
        while (p < length)
            scanOne();
        while (store_.hasOld())
            dropOld();
    }

    markRoutineBodies(store_, text_, region.first, region.first + freshCount - 1, start);
    seekCache_.resetAfterStringIndex(start);
    allComponents_.clear();
    allComponentsMade_ = false;
    if (reparsedRange)
        *reparsedRange = {start, p - start};
    if (reparsedComponents)
        *reparsedComponents = components(store_, text_, region.first, freshCount, start);
}

SQLParserComponentList SQLParser::parsedComponentsBetweenQueryBreaksAroundLocation(qint64 location,
                                                                                   TextRange *foundRange)
{
    using C = SQLParserComponent;
    qint64 position = 0;
    qint64 index = std::max<qint64>(
        0, seekCache_.maximumComponentIndexBeforeStringIndex(location, C::QueryBreak, &position));
    const qint64 count = store_.size();
    if (index >= count)
        return {};
    qint64 blockStart = position, blockEnd = position;
    bool entered = false;
    // The block's components are the ones from resultFirst (at resultStart) on.
    qint64 resultFirst = 0, resultCount = 0, resultStart = 0;
    for (; index < count; ++index) {
        const Entry entry = store_.at(index);
        const qint64 length = entry.length;
        const quint64 type = entry.type;
        const bool holdsLocation = position <= location && location < position + length;
        if (type == C::QueryBreak) {
            if (entered)
                break;
            resultCount = 0;
            blockStart = position + length;
            if (holdsLocation) {
                if (foundRange)
                    *foundRange = {position, length};
                return {};
            }
        } else if (type == C::Newline && !entered && position == location) {
            return {};
        } else if (type == C::Newline && !entered && resultCount == 0) {
            blockStart = position + length;
        } else {
            if (resultCount++ == 0) {
                resultFirst = index;
                resultStart = position;
            }
            blockEnd = position + length;
            entered = entered || holdsLocation;
        }
        position += length;
    }
    if (!entered)
        return {};
    const Entry last = store_.at(resultFirst + resultCount - 1);
    if (last.type == C::Newline) {
        blockEnd -= last.length;
        --resultCount;
    }
    if (foundRange)
        *foundRange = {blockStart, blockEnd - blockStart};
    return components(store_, text_, resultFirst, resultCount, resultStart);
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
    const qint64 count = store_.size();
    if (index >= count)
        return {};
    qint64 statementStart = position;
    bool found = false;
    // The statement's components are the ones from resultFirst (at statementStart) on.
    qint64 resultFirst = index, resultCount = 0;
    const auto result = [&] { return components(store_, text_, resultFirst, resultCount, statementStart); };
    for (; index < count; ++index) {
        const Entry entry = store_.at(index);
        const qint64 length = entry.length;
        const quint64 type = entry.type;
        if (type == C::QuerySeparator || type == C::QueryBreak) {
            if (found) {
                TextRange range{statementStart, position - statementStart};
                if (type == C::QuerySeparator) {
                    ++resultCount;
                    range.length += length;
                }
                if (foundRange)
                    *foundRange = range;
                return result();
            }
            resultFirst = index + 1;
            resultCount = 0;
            statementStart = position + length;
        } else {
            ++resultCount;
            found = found || (position <= location && location <= position + length);
            if (maximum >= 0 && found && resultCount > maximum) {
                if (foundRange)
                    *foundRange = {statementStart, position - statementStart};
                return result();
            }
        }
        position += length;
    }
    if (!found)
        return {};
    if (foundRange)
        *foundRange = {statementStart, position - statementStart};
    return result();
}

bool SQLParser::characterIsStartOfQueryBreak(qint64 index)
{
    Region region;
    return locate({index, 0}, false, &region) &&
           store_.at(region.first).type == SQLParserComponent::QueryBreak && region.offset == 1;
}

qint64 SQLParser::lineNumberForCharacterAtIndex(qint64 index)
{
    // Without an entry the walk starts at the first component, on line 1.
    qint64 position = 0, line = 1;
    qint64 component =
        std::max<qint64>(0, seekCache_.maximumComponentIndexBeforeStringIndex(index, &position, &line));
    const qint64 count = store_.size();
    qint64 passed = 0;
    for (; component < count; ++component) {
        const Entry c = store_.at(component);
        if (position >= index)
            break;
        if (position + c.length >= index) {
            if (countsNewlines(c.type))
                line += text_.countNewlines({position, index - position});
            break;
        }
        line += newlinesIn(c.type, position, c.length);
        position += c.length;
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
    const qint64 count = store_.size();
    qint64 passes = 0;
    for (; component < count; ++component) {
        if (passes >= EntrySpacing - 1) {
            seekCache_.addCacheLineForStringIndex(position, component, line);
            passes = 0;
        }
        if (line >= lineNumber)
            return position;
        const Entry c = store_.at(component);
        const qint64 lineAtStart = line;
        const qint64 start = position;
        position += c.length;
        line += newlinesIn(c.type, start, c.length);
        // The line begins after one of this component's line feeds, which need not be its last
        // character (a comment or literal over several lines).
        if (line >= lineNumber)
            return start +
                   countIndexAtNewlinesNo(lineNumber - lineAtStart, text_.mid(start, c.length),
                                          {0, c.length}) +
                   1;
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
    for (const auto &component : components(store_, text_, 0, store_.size(), 0)) {
        length += component->length();
        dump << component->description();
    }
    qCDebug(lcSql).noquote() << QStringLiteral("current parser string length %1").arg(length);
    qCDebug(lcSql).noquote() << QStringLiteral("dump\n%1").arg(dump.join(u'\n'));
}

QString SQLParser::debugFullQuery() const
{
    return SQLParserComponent::stringForComponents(components(store_, text_, 0, store_.size(), 0), false,
                                                   true);
}
