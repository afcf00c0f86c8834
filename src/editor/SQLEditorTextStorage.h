#pragma once

#include "editor/SQLCompletionSource.h"
#include "editor/TextRangeSet.h"
#include "sql/SQLParser.h"
#include "sql/SQLParserComponent.h"
#include "sql/TextRange.h"

#include <QColor>
#include <QSet>
#include <QStringList>
#include <QTextDocument>
#include <QTextFormat>

#include <memory>
#include <optional>

class QTimer;

// The text model behind every SQL text view. Each character edit goes to the incremental parser, which
// re-tokenises the touched stretch; that stretch is coloured at once, the rest of the text when a view
// is about to show it. A reparse too long to colour at once (a quote that turns the rest of a long
// script into a literal) colours its start at once and the rest of what was coloured before in small
// steps while the editor is idle; a view colours what it shows before it paints. Colours and the two marks
// (statement parameters, blank-line gaps between statements) live in the blocks' layout formats and states,
// never in the text's own formats, so they are neither undone nor saved. It answers the editor's questions
// about the text in terms of parser components.
class SQLEditorTextStorage : public QTextDocument
{
    Q_OBJECT
public:
    // Set to true on the format of an `:name` parameter.
    static constexpr int InputParameterAttribute = QTextFormat::UserProperty + 1;
    // Bit of a block's user state: the line feed that ends the block lies in a blank-line gap.
    static constexpr int QueryBreakAttribute = 1;

    explicit SQLEditorTextStorage(QObject *parent = nullptr);
    ~SQLEditorTextStorage() override;

    // The characters, with "\n" between lines. As one string this costs a move of the characters after
    // the last edit; the text itself reads them where they are.
    const QString &string() const;
    const SQLTextBuffer &text() const { return parser_->text(); }
    qint64 length() const { return text().length(); }
    // Replaces a stretch as an undoable edit. Replacing a text of 101 characters or more by itself, or an
    // empty stretch by nothing, changes nothing.
    void replaceCharactersInRange(TextRange range, const QString &string);
    // Replaces the whole text (a loaded file, a restored document): line breaks unified; not undoable.
    void replaceContents(const QString &string);
    // Every CR LF pair and every LF CR pair becomes one LF, every other CR an LF.
    static QString generalizeLineBreaks(const QString &string);

    void setReservedWords(const QStringList &words);
    void setContextWords(const QStringList &words);
    const QStringList &contextWords() const { return contextWords_; }
    // The tokenizer dialect of the connection's database type ("MySQL", "PostgreSQL"); any other
    // type, or none, takes the default dialect.
    void setDialectForConnectionType(const QString &connectionType);
    void setPerformSyntaxColoring(bool perform) { performSyntaxColoring_ = perform; }
    bool performSyntaxColoring() const { return performSyntaxColoring_; }
    void setSyntaxNormalColor(const QColor &color) { syntaxNormalColor_ = color; }
    void setSyntaxReservedColor(const QColor &color) { syntaxReservedColor_ = color; }
    void setSyntaxContextColor(const QColor &color) { syntaxContextColor_ = color; }
    void setSyntaxLiteralColor(const QColor &color) { syntaxLiteralColor_ = color; }
    void setSyntaxCommentColor(const QColor &color) { syntaxCommentColor_ = color; }
    // Re-reads font, colouring switch and colours from the preferences, then reparses everything.
    void sqlEditorDefaultsUpdated();
    // Queues one reparse of the whole text; requests before it runs collapse, an edit overtakes it.
    void doFullSyntaxReparse();
    bool fullSyntaxReparsePending() const { return syntaxUpdatedRange_.location == TextRange::NotFound; }

    // Colours a range unless it is coloured as the text now stands.
    void redrawSyntaxInRange(TextRange range);
    // Colours a range from components in text order; startInFirst is the range start's offset into the
    // first component.
    void redrawSyntaxInRange(TextRange range, const SQLParserComponentList &components, qint64 startInFirst);
    // The coloured stretch that holds the last one coloured ({0, 0} when none is).
    TextRange syntaxColouredRange() const;
    // Whether stretches coloured before an edit are still to be coloured again in the background.
    bool recolouringPending() const { return !pendingRanges_.isEmpty(); }

    qint64 lineCount() const { return blockCount(); }
    qint64 lineNumberForCharacterAtIndex(qint64 index) const;
    qint64 characterIndexForLineNumber(qint64 line) const;

    const SQLParserComponentList &parsedComponents() const;
    // The dialect's comment and quote characters; null before a dialect is set.
    const SQLParserParseProperties *parseProperties() const { return parser_->parseProperties(); }
    // The components touching a range; startInFirst receives the range start's offset into the first. The
    // extended range, when asked, leaves out blank-line gaps and neighbours that only touch the range.
    SQLParserComponentList parsedComponentsInRange(TextRange range, TextRange *extendedRange = nullptr,
                                                   qint64 *startInFirst = nullptr) const;
    // The type of the component whose stretch holds the location past its first character (the
    // location is neither its start nor its end); nothing when the location lies between two. Reads
    // no text, so a caret inside a long comment costs no more than one in a short one.
    std::optional<quint64> componentTypeAround(qint64 location) const;
    SQLParserComponentList parsedComponentsBetweenQueryBreaksAtLocation(qint64 location,
                                                                        TextRange *extendedRange = nullptr,
                                                                        bool snapNewline = true) const;
    SQLParserComponentList
    parsedComponentsBetweenQuerySeparatorsAroundLocation(qint64 location, TextRange *extendedRange = nullptr,
                                                         qint64 maximum = -1) const;
    // For the closing brace at range.location: true, with *into the opening brace, or with *into left
    // alone when it has no partner; false when the character is no brace outside literals and comments.
    bool findRelatedBraceForRange(TextRange range, TextRange *into) const;

    // The statement being run is shown with a background; the next edit or mark removes it.
    void markActiveRange(TextRange range);
    void clearActiveRange();
    TextRange lastMarkedActiveRange() const { return lastMarkedActiveRange_; }
    const QColor &activeHintColor() const { return activeHintColor_; }

    const QColor &syntaxNormalColor() const { return syntaxNormalColor_; }
    const QColor &syntaxReservedColor() const { return syntaxReservedColor_; }
    const QColor &syntaxContextColor() const { return syntaxContextColor_; }
    const QColor &syntaxLiteralColor() const { return syntaxLiteralColor_; }
    const QColor &syntaxCommentColor() const { return syntaxCommentColor_; }

    static bool blockIsInQueryBreak(const QTextBlock &block);

    // Where completion gets names (the connection document); without one only keywords are offered.
    void setAutoCompleteSource(std::weak_ptr<SQLCompletionSource> source)
    {
        autoCompleteSource_ = std::move(source);
    }
    std::shared_ptr<SQLCompletionSource> autoCompleteSource() const { return autoCompleteSource_.lock(); }

signals:
    // Colours or the active-statement mark changed without an edit: views repaint that stretch.
    void needsDisplay(TextRange range);
    // Sent while the storage is still whole, so that views showing it can let go of it.
    void willBeDestroyed();

private:
    struct Span;
    void contentsWillChange();
    void contentsDidChange(int position, int charsRemoved, int charsAdded);
    QString editedText(int position, qint64 length) const;
    void storageHasUpdatedRange(TextRange range, qint64 changeInLength, const QString &newString);
    void performFullSyntaxReparse();
    void recolourReparsedLines(TextRange reparsed);
    void recolourNextStep();
    TextRange wholeLines(TextRange range) const;
    void colourRange(TextRange range);
    qint64 applyColours(TextRange range, const std::vector<SQLParser::ComponentSpan> &components);
    void markColoured(TextRange range);
    QColor colorForComponent(const SQLParser::ComponentSpan &component) const;
    void measureListedWords();
    void setQueryBreakMark(qint64 location, qint64 length, bool mark);
    void applySpans(const std::vector<Span> &spans, bool replace);

    std::unique_ptr<SQLParser> parser_;
    // The whole new text while replaceContents hands it to the document, so that it is not read back.
    const QString *replacingContents_ = nullptr;
    bool performSyntaxColoring_ = true;
    QSet<QString> reservedWords_;
    QStringList reservedWordList_;
    QStringList contextWords_;
    QSet<QString> lowercaseContextWords_;
    qint64 longestListedWord_ = 0;
    QColor syntaxNormalColor_;
    QColor syntaxReservedColor_;
    QColor syntaxContextColor_;
    QColor syntaxLiteralColor_;
    QColor syntaxCommentColor_;
    QColor activeHintColor_;
    TextRange syntaxUpdatedRange_;
    TextRangeSet colouredRanges_; // coloured as the text now stands
    TextRangeSet pendingRanges_;  // coloured before an edit changed their colours, not yet again
    qint64 lastColoured_ = -1;
    QTimer *recolourTimer_ = nullptr;
    TextRange lastMarkedActiveRange_;
    quint64 preferenceObserver_ = 0;
    std::weak_ptr<SQLCompletionSource> autoCompleteSource_;
};
