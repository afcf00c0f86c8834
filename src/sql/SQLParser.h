#pragma once

#include "sql/SQLCharacterSet.h"
#include "sql/SQLParserComponent.h"
#include "sql/SQLParserComponentStore.h"
#include "sql/SQLParserParseProperties.h"
#include "sql/SQLParserSeekCache.h"
#include "sql/SQLTextBuffer.h"
#include "sql/TextRange.h"

#include <optional>
#include <vector>

class SQLScanner;

// Tokenizes SQL text into components and keeps the component list of one whole document current
// while it is edited. Lookups answer which statement, block or line lies at a position. All
// positions are UTF-16 code-unit indices. Lists that "give nothing" are empty. Main thread only.
// The document's components are kept compactly with the document's text; the component objects
// that lookups return are made for each answer.
class SQLParser
{
public:
    SQLParser();
    ~SQLParser();

    // The dialect; none means no quotes, comments, separators or parameters are recognised.
    const SQLParserParseProperties *parseProperties() const;
    void setParseProperties(std::optional<SQLParserParseProperties> properties);

    const SQLCharacterSet &whiteSpaceCharacterSet() const { return whiteSpaceCharacterSet_; }
    void setWhiteSpaceCharacterSet(const SQLCharacterSet &set) { whiteSpaceCharacterSet_ = set; }
    const SQLCharacterSet &identifierStartCharacterSet() const { return identifierStartCharacterSet_; }
    void setIdentifierStartCharacterSet(const SQLCharacterSet &set) { identifierStartCharacterSet_ = set; }
    const SQLCharacterSet &identifierRestCharacterSet() const { return identifierRestCharacterSet_; }
    void setIdentifierRestCharacterSet(const SQLCharacterSet &set) { identifierRestCharacterSet_ = set; }
    const SQLCharacterSet &numericStartCharacterSet() const { return numericStartCharacterSet_; }
    void setNumericStartCharacterSet(const SQLCharacterSet &set) { numericStartCharacterSet_ = set; }
    const SQLCharacterSet &numericRestCharacterSet() const { return numericRestCharacterSet_; }
    void setNumericRestCharacterSet(const SQLCharacterSet &set) { numericRestCharacterSet_ = set; }

    // The components of a whole text, without touching this parser's own list.
    SQLParserComponentList parsedComponentsForString2(const QString &string) const;

    // The components touching the range (both ends count), with the component before them when
    // that one ends in a line feed and pre-extension is allowed. startInString receives the range
    // start minus the first returned component's start, componentIndex that component's index.
    SQLParserComponentList parsedComponentsInRange(TextRange range, qint64 *startInString = nullptr,
                                                   qint64 *componentIndex = nullptr,
                                                   bool allowPreExtending = true);

    // Where a component lies and what it is, without its text: for walks over long stretches (colouring)
    // that read the text where they need it.
    struct ComponentSpan {
        qint64 location;
        qint64 length;
        quint64 type;
    };
    // The components parsedComponentsInRange gives, as spans.
    std::vector<ComponentSpan> componentSpansInRange(TextRange range);

    // Applies an edit: range of the old text replaced by newString, giving fullSource. Afterwards
    // the list equals a full tokenize of fullSource. reparsedRange/reparsedComponents receive the
    // stretch of the new text that was tokenized again and its components.
    void updateSourceRange(TextRange range, qint64 changeInLength, const QString &newString,
                           const QString &fullSource, TextRange *reparsedRange = nullptr,
                           SQLParserComponentList *reparsedComponents = nullptr);
    // The same edit made to the text this parser holds, in place: for an owner that keeps no copy
    // of its own. False, with nothing changed, when the range lies outside the text.
    bool replaceSourceRange(TextRange range, const QString &newString, TextRange *reparsedRange = nullptr,
                            SQLParserComponentList *reparsedComponents = nullptr);
    // The whole text the components were made from, as one string and as the buffer it is edited in.
    const QString &source() const { return text_.string(); }
    const SQLTextBuffer &text() const { return text_; }

    // The whole list, made on first use after a change; read it, do not change it.
    const SQLParserComponentList &allParsedComponents() const;
    SQLParserSeekCache &seekCache() { return seekCache_; }

    // The block between blank lines around the location, without a trailing newline.
    SQLParserComponentList parsedComponentsBetweenQueryBreaksAroundLocation(qint64 location,
                                                                            TextRange *foundRange = nullptr);
    // The statement around the location between separators or blank lines (a closing separator
    // included); a negative maximum means no limit on the number of components.
    SQLParserComponentList
    parsedComponentsBetweenQuerySeparatorsAroundLocation(qint64 location, TextRange *foundRange = nullptr);
    SQLParserComponentList
    parsedComponentsBetweenQuerySeparatorsAroundLocation(qint64 location, qint64 maximum,
                                                         TextRange *foundRange = nullptr);
    bool characterIsStartOfQueryBreak(qint64 index);
    qint64 lineNumberForCharacterAtIndex(qint64 index);
    qint64 characterIndexForLineNumber(qint64 lineNumber);

    static qint64 countNewlinesInString(const QString &string, TextRange range);
    static qint64 countIndexAtNewlinesNo(qint64 number, const QString &inString, TextRange range);

    void debug() const;
    QString debugFullQuery() const;

private:
    using Entry = SQLParserComponentStore::Entry;
    // The components touching a range: the first one's index, how many, and the range start's offset
    // into the first.
    struct Region {
        qint64 first = 0;
        qint64 count = 0;
        qint64 offset = 0;
    };

    SQLScanner scanner() const;
    void boundaryStart(qint64 location, qint64 *position, qint64 *index) const;
    bool locate(TextRange range, bool allowPreExtending, Region *region);
    void scanWhole(const QString &text, SQLParserComponentStore *into) const;
    void parseWhole(TextRange *reparsedRange, SQLParserComponentList *reparsedComponents);
    void reparse(TextRange range, qint64 insertedLength, const QString &removed, TextRange *reparsedRange,
                 SQLParserComponentList *reparsedComponents);
    void resetComponents();
    void markRoutineBodies(SQLParserComponentStore &store, const SQLTextBuffer &text, qint64 from,
                           qint64 through, qint64 position) const;
    static SQLParserComponentList components(const SQLParserComponentStore &store, const SQLTextBuffer &text,
                                             qint64 first, qint64 count, qint64 position);
    qint64 newlinesIn(quint64 type, qint64 position, qint64 length) const;

    std::optional<SQLParserParseProperties> parseProperties_;
    SQLCharacterSet whiteSpaceCharacterSet_;
    SQLCharacterSet identifierStartCharacterSet_;
    SQLCharacterSet identifierRestCharacterSet_;
    SQLCharacterSet numericStartCharacterSet_;
    SQLCharacterSet numericRestCharacterSet_;
    SQLTextBuffer text_;
    SQLParserComponentStore store_;
    SQLParserSeekCache seekCache_;
    qint64 directiveCount_ = 0; // DELIMITER lines in the list
    mutable SQLParserComponentList allComponents_;
    mutable bool allComponentsMade_ = false;
};
