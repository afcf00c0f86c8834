#include "editor/SQLEditorTextStorage.h"

#include "editor/EditorLog.h"
#include "editor/SQLEditorFont.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "sql/SQLParser.h"
#include "sql/SQLParserParseProperties.h"

#include <QPlainTextDocumentLayout>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

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
// An edit colours this much of its reparsed lines at once; the view colours what it shows of the rest,
// and the rest of what was coloured before follows in steps of this length (a millisecond or two each,
// short enough not to hold up typing).
constexpr qint64 immediateColouringLength = 8000;
constexpr qint64 recolouringStepLength = 8000;
// Coloured stretches remembered apart; a view adds one per place it has shown.
constexpr size_t maximumColouredRanges = 64;

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
    recolourTimer_ = new QTimer(this);
    recolourTimer_->setSingleShot(true);
    recolourTimer_->setInterval(0);
    connect(recolourTimer_, &QTimer::timeout, this, &SQLEditorTextStorage::recolourNextStep);
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
    if (range.location == 0 && range.length > identicalReplacementLimit && string == this->string())
        return;
    QTextCursor cursor(this);
    cursor.setPosition(int(range.location));
    cursor.setPosition(int(range.end()), QTextCursor::KeepAnchor);
    cursor.insertText(string);
}

void SQLEditorTextStorage::replaceContents(const QString &string)
{
    QString text = generalizeLineBreaks(string);
    if (text.size() > identicalReplacementLimit && text == this->string())
        return;
    // The parser keeps this text and edits it in place: a copy of its own with room to grow now, while
    // the text is loaded, rather than at the first keystroke.
    text.reserve(text.size() + text.size() / 16 + 4096);
    setDefaultFont(SQLEditorFont::editorFont());
    replacingContents_ = &text;
    setPlainText(text);
    replacingContents_ = nullptr;
    redrawSyntaxInRange({0, std::min<qint64>(initialColouredLength, length())});
}

const QString &SQLEditorTextStorage::string() const
{
    return parser_->source();
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
    measureListedWords();
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
    measureListedWords();
    doFullSyntaxReparse();
}

void SQLEditorTextStorage::measureListedWords()
{
    longestListedWord_ = 0;
    for (const QSet<QString> *words : {&reservedWords_, &lowercaseContextWords_}) {
        for (const QString &word : *words)
            longestListedWord_ = std::max<qint64>(longestListedWord_, word.size());
    }
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
    // Every colour may change: what was coloured is coloured again, the shown part first.
    const TextRangeSet coloured = colouredRanges_;
    const QString text = string();
    storageHasUpdatedRange({0, text.length()}, 0, text);
    for (const TextRange &range : coloured.ranges())
        pendingRanges_.add(range);
    for (const TextRange &range : colouredRanges_.ranges())
        pendingRanges_.remove(range);
    if (!pendingRanges_.isEmpty())
        recolourTimer_->start();
    emit needsDisplay({0, length()});
}

// Mirrors every edit of the document (typing, undo, paste, whole loads) into the string the parser reads.
// QTextDocument may report a change one character longer than it is (the final paragraph separator), so
// the change in length comes from the lengths themselves.
void SQLEditorTextStorage::contentsDidChange(int position, int /*charsRemoved*/, int charsAdded)
{
    clearActiveRange();
    const qint64 oldLength = length();
    const qint64 newLength = characterCount() - 1;
    const qint64 change = newLength - oldLength;
    qint64 inserted = std::min<qint64>(charsAdded, newLength - position);
    qint64 replaced = inserted - change;
    if (position < 0 || inserted < 0 || replaced < 0 || position + replaced > oldLength) {
        position = 0;
        replaced = oldLength;
        inserted = newLength;
    }
    const QString newText = editedText(position, inserted);
    if (replaced == inserted && text().mid(position, replaced) == newText)
        return; // only formats changed
    storageHasUpdatedRange({position, replaced}, change, newText);
}

// The characters an edit put into the document, line breaks as line feeds. A whole text being loaded
// is taken as it was given, unless the document turned some of its characters into line breaks.
QString SQLEditorTextStorage::editedText(int position, qint64 length) const
{
    if (replacingContents_ && position == 0 && length == replacingContents_->size()) {
        const auto breaksLines = [](QChar c) {
            return c == QChar::ParagraphSeparator || c == QChar(0xfdd0) || c == QChar(0xfdd1) || c == u'\r';
        };
        if (std::none_of(replacingContents_->cbegin(), replacingContents_->cend(), breaksLines))
            return *replacingContents_;
    }
    QTextCursor cursor(const_cast<SQLEditorTextStorage *>(this));
    cursor.setPosition(position);
    cursor.setPosition(int(position + length), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void SQLEditorTextStorage::storageHasUpdatedRange(TextRange range, qint64 changeInLength,
                                                  const QString &newString)
{
    Q_UNUSED(changeInLength); // the range and the new text say everything
    syntaxUpdatedRange_ = range;
    TextRange reparsed;
    if (parser_->replaceSourceRange(range, newString, &reparsed)) {
        colouredRanges_.applyEdit(range, newString.length());
        pendingRanges_.applyEdit(range, newString.length());
    } else {
        // The parser's text no longer matches the document: it takes the document's whole text.
        const QString whole = editedText(0, characterCount() - 1);
        parser_->updateSourceRange({0, 0}, whole.length(), whole, whole, &reparsed);
        colouredRanges_.clear();
        pendingRanges_.clear();
    }
    recolourReparsedLines(reparsed);
}

// Layout formats do not move with the text inside a block, so the whole lines of the reparsed stretch
// are coloured again: at once up to a limit, the rest when shown or, where it was coloured before, in
// steps.
void SQLEditorTextStorage::recolourReparsedLines(TextRange reparsed)
{
    const TextRange lines = wholeLines(reparsed);
    const TextRangeSet stale = colouredRanges_.intersected(lines);
    for (const TextRange &range : stale.ranges())
        pendingRanges_.add(range);
    colouredRanges_.remove(lines);
    lastColoured_ = lines.location;
    colourRange({lines.location, std::min(lines.length, immediateColouringLength)});
    if (!pendingRanges_.isEmpty())
        recolourTimer_->start();
}

void SQLEditorTextStorage::recolourNextStep()
{
    if (pendingRanges_.isEmpty())
        return;
    const TextRange first = pendingRanges_.ranges().front();
    const TextRange step{first.location, std::min(first.length, recolouringStepLength)};
    pendingRanges_.remove(step);
    colourRange(step);
    if (!pendingRanges_.isEmpty())
        recolourTimer_->start();
}

TextRange SQLEditorTextStorage::wholeLines(TextRange range) const
{
    const QTextBlock first = findBlock(int(range.location));
    const QTextBlock last = findBlock(int(range.end()));
    const qint64 start = first.isValid() ? first.position() : range.location;
    const qint64 end = last.isValid() ? last.position() + last.length() - 1 : length();
    return {start, std::max<qint64>(end, range.end()) - start};
}

void SQLEditorTextStorage::markColoured(TextRange range)
{
    colouredRanges_.add(range);
    colouredRanges_.keepLongest(maximumColouredRanges);
    pendingRanges_.remove(range);
    lastColoured_ = range.location;
}

TextRange SQLEditorTextStorage::syntaxColouredRange() const
{
    for (const TextRange &range : colouredRanges_.ranges()) {
        if (range.location <= lastColoured_ && lastColoured_ <= range.end())
            return range;
    }
    return {0, 0};
}

void SQLEditorTextStorage::redrawSyntaxInRange(TextRange range)
{
    if (range.length <= 0 || colouredRanges_.contains(range))
        return;
    colourRange(range);
}

void SQLEditorTextStorage::redrawSyntaxInRange(TextRange range, const SQLParserComponentList &components,
                                               qint64 startInFirst)
{
    if (range.length > maximumRedrawLength) {
        qCWarning(lcEditor) << "Canceling too long redraw";
        return;
    }
    std::vector<SQLParser::ComponentSpan> spans;
    spans.reserve(size_t(components.size()));
    qint64 position = range.location - startInFirst;
    for (const SQLParserComponentPtr &component : components) {
        spans.push_back({position, component->length(), component->parserComponentType()});
        position += component->length();
    }
    markColoured({range.location, applyColours(range, spans) - range.location});
}

// Colours what is not yet coloured of a range of the text as it stands, reading the components where
// they lie in the text. A pass colours a long component only so far, so passes follow one another
// until the range is covered.
void SQLEditorTextStorage::colourRange(TextRange range)
{
    if (range.length > maximumRedrawLength) {
        qCWarning(lcEditor) << "Canceling too long redraw";
        return;
    }
    for (TextRange gap = colouredRanges_.firstGap(range); gap.length > 0;
         gap = colouredRanges_.firstGap(range)) {
        const qint64 end = applyColours(gap, parser_->componentSpansInRange(gap));
        if (end <= gap.location)
            return; // nothing to colour there
        markColoured({gap.location, end - gap.location});
    }
}

// Colours the range and answers how far it is wholly coloured: a component is coloured over at most
// maximumComponentDrawLength characters per pass, so a longer one ends the coloured stretch there.
qint64 SQLEditorTextStorage::applyColours(TextRange range,
                                          const std::vector<SQLParser::ComponentSpan> &components)
{
    if (!performSyntaxColoring_) {
        applySpans({{range.location, range.length, syntaxNormalColor_, false}}, false);
        return range.end();
    }
    using C = SQLParserComponent;
    std::vector<Span> spans;
    qint64 colouredEnd = range.end();
    for (const SQLParser::ComponentSpan &component : components) {
        const qint64 start = std::max(component.location, range.location);
        const qint64 reach = std::min(component.location + component.length, range.end()) - start;
        const qint64 drawLength = std::min(reach, maximumComponentDrawLength);
        if (drawLength < reach)
            colouredEnd = std::min(colouredEnd, start + drawLength);
        const quint64 type = component.type;
        if (drawLength < 0)
            continue;
        if (type == C::QueryBreak) {
            setQueryBreakMark(start, drawLength, true);
        } else if (type == C::InputParameter) {
            spans.push_back({component.location, component.length, colorForComponent(component), true});
        } else if (type == C::Whitespace && !spans.empty() && !spans.back().inputParameter &&
                   spans.back().location + spans.back().length == start) {
            // Blanks show no colour: they take the one before them, which leaves the line fewer
            // format ranges to lay out and draw.
            spans.back().length += drawLength;
        } else if (component.length > 0 && type != C::Newline) {
            spans.push_back({start, drawLength, colorForComponent(component), false});
            if (type == C::Literal || type == C::QuotedIdentifier || type == C::Comment)
                setQueryBreakMark(start, drawLength, false);
        }
    }
    applySpans(spans, true);
    return colouredEnd;
}

// Words are looked up only when they are no longer than the longest listed word: a longer one cannot
// be listed, and an unclosed quoted name may run over millions of characters.
QColor SQLEditorTextStorage::colorForComponent(const SQLParser::ComponentSpan &component) const
{
    switch (component.type) {
    case SQLParserComponent::Literal:
        return syntaxLiteralColor_;
    case SQLParserComponent::Comment:
        return syntaxCommentColor_;
    case SQLParserComponent::QuotedIdentifier: {
        if (component.length - 2 > longestListedWord_) // the name without its quotes
            return syntaxLiteralColor_;
        const QString quoted = text().mid(component.location, component.length);
        QStringView name = QStringView(quoted).mid(1);
        if (!name.isEmpty() && name.back() == quoted.front())
            name.chop(1);
        const QString key = parser_->parseProperties()->quotedIdentifierMustMatchCase()
                                ? name.toString()
                                : name.toString().toLower();
        return lowercaseContextWords_.contains(key) ? syntaxContextColor_ : syntaxLiteralColor_;
    }
    case SQLParserComponent::Identifier: {
        if (component.length > longestListedWord_)
            return syntaxNormalColor_;
        // Every word of a line is looked up again at each keystroke in it: a short ASCII word is
        // lowered in place, only others take QString's full case mapping.
        constexpr qint64 inPlaceLength = 64;
        char16_t lowered[inPlaceLength];
        bool ascii = component.length <= inPlaceLength;
        for (qint64 k = 0; ascii && k < component.length; ++k) {
            const char16_t c = text().at(component.location + k).unicode();
            ascii = c < 0x80;
            lowered[k] = c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
        }
        const QString word =
            ascii ? QString::fromRawData(reinterpret_cast<const QChar *>(lowered), component.length)
                  : text().mid(component.location, component.length).toLower();
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
    const SQLTextBuffer &text = this->text();
    QTextBlock block = findBlock(int(location));
    for (qint64 i = location; i < location + length && block.isValid(); ++i) {
        if (text.at(i) != u'\n')
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
    if (dirtyEnd <= dirtyStart)
        return;
    if (findBlock(dirtyStart) == findBlock(dirtyEnd - 1)) {
        markContentsDirty(dirtyStart, dirtyEnd - dirtyStart); // repaints that line where it is shown
        return;
    }
    // Over several lines the layout would announce a change of the whole document, which repaints
    // every view in full, ruler included, even for lines far from what it shows; colours leave the
    // lines' heights and the line count as they were, so views are told the stretch instead.
    {
        const QSignalBlocker quiet(documentLayout());
        markContentsDirty(dirtyStart, dirtyEnd - dirtyStart);
    }
    emit needsDisplay({dirtyStart, dirtyEnd - dirtyStart});
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

std::optional<quint64> SQLEditorTextStorage::componentTypeAround(qint64 location) const
{
    for (const SQLParser::ComponentSpan &span : parser_->componentSpansInRange({location, 0})) {
        if (span.location < location && location < span.location + span.length)
            return span.type;
    }
    return std::nullopt;
}

SQLParserComponentList
SQLEditorTextStorage::parsedComponentsBetweenQueryBreaksAtLocation(qint64 location, TextRange *extendedRange,
                                                                   bool snapNewline) const
{
    if (snapNewline && (location == length() || (location < length() && text().at(location) == u'\n')))
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
    if (range.location >= length() || !isClosingBrace(text().at(range.location)))
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
    if (!stack.empty() && stack.back().brace == openerOf(text().at(range.location)))
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
