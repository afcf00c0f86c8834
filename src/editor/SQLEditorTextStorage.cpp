#include "editor/SQLEditorTextStorage.h"

#include "editor/EditorLog.h"
#include "editor/SQLEditorFont.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "sql/SQLParser.h"
#include "sql/SQLParserParseProperties.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

namespace
{
// Longer redraws are refused; the stretch shown later is coloured when it is shown.
constexpr qint64 maximumRedrawLength = 100000;
// One component is coloured over at most this many characters per pass.
constexpr qint64 maximumComponentDrawLength = 10000;
// Whole-text replacement colours only this much at once.
constexpr qint64 initialColouredLength = 4000;
// Up to this length a text replaced by itself is still reparsed.
constexpr qint64 identicalReplacementLimit = 100;

using FormatRanges = QList<QTextLayout::FormatRange>;

// The parts of `ranges` outside the sorted, disjoint intervals `cuts`.
FormatRanges subtractIntervals(const FormatRanges &ranges, const FormatRanges &cuts)
{
    FormatRanges out;
    for (const QTextLayout::FormatRange &range : ranges) {
        int start = range.start;
        const int end = range.start + range.length;
        for (const QTextLayout::FormatRange &cut : cuts) {
            const int cutEnd = cut.start + cut.length;
            if (cutEnd <= start || cut.start >= end)
                continue;
            if (cut.start > start)
                out.append({start, cut.start - start, range.format});
            start = std::max(start, cutEnd);
        }
        if (start < end)
            out.append({start, end - start, range.format});
    }
    return out;
}

// Sets the foreground over [from, to) and keeps every other property the text had there.
FormatRanges overlayForeground(const FormatRanges &ranges, int from, int to, const QColor &color)
{
    FormatRanges out;
    FormatRanges covered;
    for (const QTextLayout::FormatRange &range : ranges) {
        const int start = range.start;
        const int end = range.start + range.length;
        if (end <= from || start >= to) {
            out.append(range);
            continue;
        }
        if (start < from)
            out.append({start, from - start, range.format});
        QTextLayout::FormatRange middle{std::max(start, from), std::min(end, to) - std::max(start, from),
                                        range.format};
        middle.format.setForeground(color);
        out.append(middle);
        covered.append(middle);
        if (end > to)
            out.append({to, end - to, range.format});
    }
    std::sort(covered.begin(), covered.end(), [](auto &a, auto &b) { return a.start < b.start; });
    QTextCharFormat plain;
    plain.setForeground(color);
    out.append(subtractIntervals({{from, to - from, plain}}, covered));
    return out;
}

// Sorted, with touching ranges of one format joined: fewer ranges make the line cheaper to lay out
// and to draw.
FormatRanges coalesced(FormatRanges ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](auto &a, auto &b) { return a.start < b.start; });
    FormatRanges out;
    for (const QTextLayout::FormatRange &range : ranges) {
        if (!out.isEmpty() && out.back().start + out.back().length == range.start &&
            out.back().format == range.format)
            out.back().length += range.length;
        else
            out.append(range);
    }
    return out;
}

bool isClosingBrace(QChar c)
{
    return c == u')' || c == u']' || c == u'}';
}

QString openerOf(QChar closer)
{
    return closer == u')' ? QStringLiteral("(") : closer == u']' ? QStringLiteral("[") : QStringLiteral("{");
}
} // namespace

struct SQLEditorTextStorage::Span {
    qint64 location;
    qint64 length;
    QColor color;
    bool inputParameter;
};

SQLEditorTextStorage::SQLEditorTextStorage(QObject *parent)
    : QTextDocument(parent), parser_(std::make_unique<SQLParser>())
{
    setDocumentLayout(new QPlainTextDocumentLayout(this));
    parser_->setParseProperties(SQLParserParseProperties::defaultParseProperties());
    connect(this, &QTextDocument::contentsChange, this, &SQLEditorTextStorage::contentsDidChange);
    preferenceObserver_ = NotificationCenter::defaultCenter().addObserver(
        Preferences::sqlPreferenceUpdateNotification, nullptr,
        [this](const Notification &) { sqlEditorDefaultsUpdated(); });
    sqlEditorDefaultsUpdated();
}

SQLEditorTextStorage::~SQLEditorTextStorage()
{
    emit willBeDestroyed();
    NotificationCenter::defaultCenter().removeObserver(preferenceObserver_);
}

void SQLEditorTextStorage::replaceCharactersInRange(TextRange range, const QString &string)
{
    if (range.length == 0 && string.isEmpty())
        return;
    if (range.location == 0 && range.length > identicalReplacementLimit && string == text_)
        return;
    QTextCursor cursor(this);
    cursor.setPosition(int(range.location));
    cursor.setPosition(int(range.end()), QTextCursor::KeepAnchor);
    cursor.insertText(string);
}

void SQLEditorTextStorage::replaceContents(const QString &string)
{
    const QString text = generalizeLineBreaks(string);
    if (text.size() > identicalReplacementLimit && text == text_)
        return;
    setDefaultFont(SQLEditorFont::editorFont());
    setPlainText(text);
    redrawSyntaxInRange({0, std::min<qint64>(initialColouredLength, length())});
}

QString SQLEditorTextStorage::generalizeLineBreaks(const QString &string)
{
    if (!string.contains(u'\r'))
        return string;
    QString text = string;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void SQLEditorTextStorage::setReservedWords(const QStringList &words)
{
    if (words == reservedWordList_)
        return;
    reservedWordList_ = words;
    reservedWords_ = QSet<QString>(words.begin(), words.end());
    doFullSyntaxReparse();
}

void SQLEditorTextStorage::setContextWords(const QStringList &words)
{
    if (words == contextWords_)
        return;
    contextWords_ = words;
    lowercaseContextWords_.clear();
    for (const QString &word : words)
        lowercaseContextWords_.insert(word.toLower());
    doFullSyntaxReparse();
}

void SQLEditorTextStorage::setDialectForConnectionType(const QString &connectionType)
{
    if (connectionType == QLatin1String("MySQL"))
        parser_->setParseProperties(SQLParserParseProperties::mySQLParseProperties());
    else if (connectionType == QLatin1String("PostgreSQL"))
        parser_->setParseProperties(SQLParserParseProperties::postgreSQLParseProperties());
    else
        parser_->setParseProperties(SQLParserParseProperties::defaultParseProperties());
    doFullSyntaxReparse();
}

void SQLEditorTextStorage::sqlEditorDefaultsUpdated()
{
    const UserDefaults &defaults = UserDefaults::standard();
    setDefaultFont(SQLEditorFont::editorFont());
    performSyntaxColoring_ = defaults.boolForKey(PreferenceKey::performSyntaxColoring);
    syntaxNormalColor_ = QColor(defaults.stringForKey(PreferenceKey::syntaxNormalColor));
    syntaxReservedColor_ = QColor(defaults.stringForKey(PreferenceKey::syntaxReservedColor));
    syntaxContextColor_ = QColor(defaults.stringForKey(PreferenceKey::syntaxContextColor));
    syntaxLiteralColor_ = QColor(defaults.stringForKey(PreferenceKey::syntaxLiteralColor));
    syntaxCommentColor_ = QColor(defaults.stringForKey(PreferenceKey::syntaxCommentColor));
    doFullSyntaxReparse();
}

void SQLEditorTextStorage::doFullSyntaxReparse()
{
    const bool alreadyQueued = fullSyntaxReparsePending();
    syntaxUpdatedRange_ = {TextRange::NotFound, 0};
    if (!alreadyQueued)
        QMetaObject::invokeMethod(this, &SQLEditorTextStorage::performFullSyntaxReparse,
                                  Qt::QueuedConnection);
}

void SQLEditorTextStorage::performFullSyntaxReparse()
{
    if (!fullSyntaxReparsePending())
        return; // an edit came in between and was reparsed
    storageHasUpdatedRange({0, length()}, 0, text_);
    emit needsDisplay({0, length()});
}

// Mirrors every edit of the document (typing, undo, paste, whole loads) into the string the parser reads.
// QTextDocument may report a change one character longer than it is (the final paragraph separator), so
// the change in length comes from the lengths themselves.
void SQLEditorTextStorage::contentsDidChange(int position, int /*charsRemoved*/, int charsAdded)
{
    clearActiveRange();
    const qint64 oldLength = text_.size();
    const qint64 newLength = characterCount() - 1;
    const qint64 change = newLength - oldLength;
    qint64 inserted = std::min<qint64>(charsAdded, newLength - position);
    qint64 replaced = inserted - change;
    if (position < 0 || inserted < 0 || replaced < 0 || position + replaced > oldLength) {
        position = 0;
        replaced = oldLength;
        inserted = newLength;
    }
    QTextCursor cursor(this);
    cursor.setPosition(position);
    cursor.setPosition(int(position + inserted), QTextCursor::KeepAnchor);
    QString newText = cursor.selectedText();
    newText.replace(QChar::ParagraphSeparator, u'\n');
    if (replaced == inserted && QStringView(text_).mid(position, replaced) == newText)
        return; // only formats changed
    text_.replace(position, replaced, newText);
    storageHasUpdatedRange({position, replaced}, change, newText);
}

void SQLEditorTextStorage::storageHasUpdatedRange(TextRange range, qint64 changeInLength,
                                                  const QString &newString)
{
    syntaxColouredRange_ = {0, 0};
    syntaxUpdatedRange_ = range;
    TextRange reparsedRange;
    SQLParserComponentList reparsed;
    parser_->updateSourceRange(range, changeInLength, newString, text_, &reparsedRange, &reparsed);
    // Layout formats do not move with the text inside a block, so the whole lines of the reparsed
    // stretch are coloured again.
    const QTextBlock first = findBlock(int(reparsedRange.location));
    const QTextBlock last = findBlock(int(reparsedRange.end()));
    const qint64 start = first.position();
    const qint64 end = last.isValid() ? last.position() + last.length() - 1 : length();
    if (start == reparsedRange.location && end == reparsedRange.end()) {
        redrawSyntaxInRange(reparsedRange, reparsed, 0);
        return;
    }
    const TextRange lines{start, end - start};
    qint64 offset = 0;
    redrawSyntaxInRange(lines, parser_->parsedComponentsInRange(lines, &offset, nullptr), offset);
}

void SQLEditorTextStorage::unionColouredRange(TextRange range)
{
    TextRange &coloured = syntaxColouredRange_;
    if (range.end() >= coloured.location && coloured.end() >= range.location) {
        const qint64 start = std::min(coloured.location, range.location);
        coloured = {start, std::max(coloured.end(), range.end()) - start};
    } else {
        coloured = range;
    }
}

void SQLEditorTextStorage::redrawSyntaxInRange(TextRange range)
{
    const TextRange &coloured = syntaxColouredRange_;
    if (range.location >= coloured.location && range.end() <= coloured.end())
        return;
    unionColouredRange(range);
    qint64 offset = 0;
    const SQLParserComponentList components = parser_->parsedComponentsInRange(range, &offset, nullptr);
    redrawSyntaxInRange(range, components, offset);
}

void SQLEditorTextStorage::redrawSyntaxInRange(TextRange range, const SQLParserComponentList &components,
                                               qint64 startInFirst)
{
    if (range.length > maximumRedrawLength) {
        qCWarning(lcEditor) << "Canceling too long redraw";
        return;
    }
    unionColouredRange(range);
    if (!performSyntaxColoring_) {
        applySpans({{range.location, range.length, syntaxNormalColor_, false}}, false);
        return;
    }
    std::vector<Span> spans;
    qint64 position = range.location - startInFirst;
    for (const SQLParserComponentPtr &component : components) {
        const qint64 componentLength = component->length();
        const qint64 start = std::max(position, range.location);
        const qint64 drawLength =
            std::min(std::min(position + componentLength, range.end()) - start, maximumComponentDrawLength);
        const quint64 type = component->parserComponentType();
        if (drawLength >= 0) {
            if (type == SQLParserComponent::QueryBreak) {
                setQueryBreakMark(start, drawLength, true);
            } else if (type == SQLParserComponent::InputParameter) {
                spans.push_back({position, componentLength, colorForComponent(*component), true});
            } else if (componentLength > 0 && type != SQLParserComponent::Newline) {
                spans.push_back({start, drawLength, colorForComponent(*component), false});
                if (component->newlines() > 0)
                    setQueryBreakMark(start, drawLength, false);
            }
        }
        position += componentLength;
    }
    applySpans(spans, true);
}

QColor SQLEditorTextStorage::colorForComponent(const SQLParserComponent &component) const
{
    switch (component.parserComponentType()) {
    case SQLParserComponent::Literal:
        return syntaxLiteralColor_;
    case SQLParserComponent::Comment:
        return syntaxCommentColor_;
    case SQLParserComponent::QuotedIdentifier: {
        QString name = component.string().mid(1);
        if (!name.isEmpty() && name.back() == component.string().front())
            name.chop(1);
        if (!parser_->parseProperties()->quotedIdentifierMustMatchCase())
            name = name.toLower();
        return lowercaseContextWords_.contains(name) ? syntaxContextColor_ : syntaxLiteralColor_;
    }
    case SQLParserComponent::Identifier: {
        const QString word = component.string().toLower();
        if (reservedWords_.contains(word))
            return syntaxReservedColor_;
        return lowercaseContextWords_.contains(word) ? syntaxContextColor_ : syntaxNormalColor_;
    }
    default:
        return syntaxNormalColor_;
    }
}

void SQLEditorTextStorage::setQueryBreakMark(qint64 location, qint64 length, bool mark)
{
    QTextBlock block = findBlock(int(location));
    for (qint64 i = location; i < location + length && block.isValid(); ++i) {
        if (text_.at(i) != u'\n')
            continue;
        const int state = std::max(block.userState(), 0);
        block.setUserState(mark ? state | QueryBreakAttribute : state & ~QueryBreakAttribute);
        block = block.next();
    }
}

// Writes colour spans into the layout formats of the blocks they cover. Replacing spans take the place of
// whatever was there; otherwise only the foreground changes and the parameter marks stay.
void SQLEditorTextStorage::applySpans(const std::vector<Span> &spans, bool replace)
{
    std::map<int, FormatRanges> piecesByBlock; // block position -> pieces in block coordinates
    for (const Span &span : spans) {
        QTextCharFormat format;
        format.setForeground(span.color);
        if (span.inputParameter)
            format.setProperty(InputParameterAttribute, true);
        const qint64 end = span.location + span.length;
        for (QTextBlock block = findBlock(int(span.location)); block.isValid() && block.position() < end;
             block = block.next()) {
            const int blockStart = block.position();
            const int blockEnd = blockStart + block.length() - 1; // the line feed carries no format
            const int from = int(std::max<qint64>(span.location, blockStart));
            const int to = int(std::min<qint64>(end, blockEnd));
            if (to > from)
                piecesByBlock[blockStart].append({from - blockStart, to - from, format});
        }
    }
    int dirtyStart = std::numeric_limits<int>::max();
    int dirtyEnd = 0;
    for (const auto &[blockStart, pieces] : piecesByBlock) {
        const QTextBlock block = findBlock(blockStart);
        QTextLayout *layout = block.layout();
        FormatRanges formats = layout->formats();
        if (replace) {
            formats = subtractIntervals(formats, pieces) + pieces;
        } else {
            for (const QTextLayout::FormatRange &piece : pieces)
                formats = overlayForeground(formats, piece.start, piece.start + piece.length,
                                            piece.format.foreground().color());
        }
        formats = coalesced(std::move(formats));
        if (formats == layout->formats())
            continue; // setting them would throw the line's layout away for nothing
        layout->setFormats(formats);
        dirtyStart = std::min(dirtyStart, blockStart);
        dirtyEnd = blockStart + block.length();
    }
    if (dirtyEnd > dirtyStart)
        markContentsDirty(dirtyStart, dirtyEnd - dirtyStart);
}

qint64 SQLEditorTextStorage::lineNumberForCharacterAtIndex(qint64 index) const
{
    return parser_->lineNumberForCharacterAtIndex(index);
}

qint64 SQLEditorTextStorage::characterIndexForLineNumber(qint64 line) const
{
    return parser_->characterIndexForLineNumber(line);
}

const SQLParserComponentList &SQLEditorTextStorage::parsedComponents() const
{
    return parser_->allParsedComponents();
}

SQLParserComponentList SQLEditorTextStorage::parsedComponentsInRange(TextRange range,
                                                                     TextRange *extendedRange,
                                                                     qint64 *startInFirst) const
{
    qint64 offset = 0;
    SQLParserComponentList components = parser_->parsedComponentsInRange(range, &offset, nullptr);
    if (startInFirst)
        *startInFirst = offset;
    if (!extendedRange)
        return components;
    qint64 start = range.location - offset;
    qint64 end = start;
    for (const SQLParserComponentPtr &component : components)
        end += component->length();
    auto isBreak = [](const SQLParserComponentPtr &c) {
        return c->parserComponentType() == SQLParserComponent::QueryBreak;
    };
    if (!components.isEmpty() && isBreak(components.front())) {
        start += components.front()->length();
        components.removeFirst();
    }
    if (!components.isEmpty() && isBreak(components.back())) {
        end -= components.back()->length();
        components.removeLast();
    }
    if (!components.isEmpty() && start + components.front()->length() <= range.location) {
        start += components.front()->length();
        components.removeFirst();
    }
    if (!components.isEmpty() && end - components.back()->length() >= range.end()) {
        end -= components.back()->length();
        components.removeLast();
    }
    *extendedRange = {start, end - start};
    return components;
}

SQLParserComponentList
SQLEditorTextStorage::parsedComponentsBetweenQueryBreaksAtLocation(qint64 location, TextRange *extendedRange,
                                                                   bool snapNewline) const
{
    if (snapNewline && (location == length() || (location < length() && text_.at(location) == u'\n')))
        --location; // a caret at the end of a line belongs to the statement on its left
    if (location < 0)
        return {};
    return parser_->parsedComponentsBetweenQueryBreaksAroundLocation(location, extendedRange);
}

SQLParserComponentList SQLEditorTextStorage::parsedComponentsBetweenQuerySeparatorsAroundLocation(
    qint64 location, TextRange *extendedRange, qint64 maximum) const
{
    return parser_->parsedComponentsBetweenQuerySeparatorsAroundLocation(location, maximum, extendedRange);
}

bool SQLEditorTextStorage::findRelatedBraceForRange(TextRange range, TextRange *into) const
{
    if (range.location >= length() || !isClosingBrace(text_.at(range.location)))
        return false;
    TextRange ignored;
    const SQLParserComponentList own = parsedComponentsInRange(range, &ignored);
    if (own.isEmpty() || own.front()->parserComponentType() != SQLParserComponent::None)
        return false;
    TextRange statement;
    const SQLParserComponentList components =
        parsedComponentsBetweenQuerySeparatorsAroundLocation(range.location, &statement);
    struct Opener {
        QString brace;
        qint64 location;
    };
    std::vector<Opener> stack;
    qint64 index = statement.location;
    for (const SQLParserComponentPtr &component : components) {
        const QString &text = component->string();
        if (text == u"(" || text == u"[" || text == u"{") {
            stack.push_back({text, index});
        } else if (text.size() == 1 && isClosingBrace(text.front())) {
            if (stack.empty() || stack.back().brace != openerOf(text.front()))
                return true; // unbalanced before the tested brace: no partner
            stack.pop_back();
        }
        index += component->length();
        if (index >= range.location)
            break;
    }
    if (!stack.empty() && stack.back().brace == openerOf(text_.at(range.location)))
        *into = {stack.back().location, 1};
    return true;
}

void SQLEditorTextStorage::markActiveRange(TextRange range)
{
    if (range.length <= 0)
        return;
    clearActiveRange();
    if (range.end() > length()) {
        qCWarning(lcEditor) << "Warning active range beyond contents";
        range.length = std::max<qint64>(0, length() - range.location);
    }
    activeHintColor_ = QColor(UserDefaults::standard().stringForKey(PreferenceKey::syntaxActiveHintColor));
    lastMarkedActiveRange_ = range;
    emit needsDisplay(range);
}

void SQLEditorTextStorage::clearActiveRange()
{
    if (lastMarkedActiveRange_.length <= 0)
        return;
    if (length() <= lastMarkedActiveRange_.end())
        lastMarkedActiveRange_ = {0, length()};
    const TextRange cleared = lastMarkedActiveRange_;
    lastMarkedActiveRange_ = {0, 0};
    emit needsDisplay(cleared);
}

bool SQLEditorTextStorage::blockIsInQueryBreak(const QTextBlock &block)
{
    return block.userState() > 0 && (block.userState() & QueryBreakAttribute);
}
