#pragma once

#include "sql/TextRange.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>

#include <functional>
#include <memory>
#include <vector>

class QFrame;
class QLineEdit;
class QTimer;
class SQLEditorLayoutManager;
class SQLEditorRulerView;
class SQLEditorTextStorage;
class SQLTextViewCompletion;
class SQLTextViewDelegate;

// The text view of every SQL pane: plain text with unified line breaks, lines that never wrap, automatic
// and block indentation, brace matching, go-to-line, and the separator and parameter marks painted behind
// the text. The view colours the text it is about to show through its storage, so colouring of a long
// script follows scrolling.
class SQLTextView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit SQLTextView(QWidget *parent = nullptr);
    ~SQLTextView() override;

    // The view starts with a storage of its own; a pane binds the storage of the shown document instead
    // (not owned). Null, or the bound storage going away, brings back the view's own empty storage.
    void setTextStorage(SQLEditorTextStorage *storage);
    SQLEditorTextStorage *textStorage() const;

    void setDelegate(SQLTextViewDelegate *delegate) { delegate_ = delegate; }
    SQLTextViewDelegate *delegate() const { return delegate_; }

    SQLEditorLayoutManager &layoutManager() const { return *layoutManager_; }
    void setShowQueryBreaks(bool show);

    // The line-number ruler beside the text (owned by the view, replaced by the next one).
    void setVerticalRuler(std::unique_ptr<SQLEditorRulerView> ruler);
    SQLEditorRulerView *verticalRuler() const { return ruler_; }
    void setRulerThickness(int thickness);

    // Selects a range and scrolls it into view.
    void setSelectedRange(int location, int length);
    int selectedLocation() const;
    int selectedLength() const;

    void insertNewline();
    void insertLineBreak();
    void insertParagraphSeparator();

    // Block indentation of the lines the selection touches (commands of the window's menus).
    Q_INVOKABLE void increaseIdentation(QObject *sender = nullptr);
    Q_INVOKABLE void decreaseIdentation(QObject *sender = nullptr);
    void identationRange(int *location, int *length) const;

    // Go to line: the popup asks for a number; execute selects that whole line.
    Q_INVOKABLE void gotoLine(QObject *sender = nullptr);
    void gotoLineExecute();
    QLineEdit *lineNumberPopoverField() const { return lineNumberPopoverField_; }

    // Colours the text shown in the viewport (the view does this itself before painting).
    void ensureSyntaxColouringInVisibleRect();

    // The blocks (lines) in the viewport with their rectangles in viewport coordinates.
    struct VisibleBlock {
        QTextBlock block;
        QRectF rect;
    };
    std::vector<VisibleBlock> visibleBlocks() const;
    // Those that meet a part of the viewport.
    std::vector<VisibleBlock> visibleBlocks(const QRect &within) const;

    // Opens the completion popup below the word at the caret; byUser beeps when nothing is offered.
    void runAutoCompleteAtCursor(bool byUser = true);
    SQLTextViewCompletion &completion() const { return *completion_; }

    // The range of the brace highlighted by the last brace match; length 0 when none is shown.
    QTextCursor braceIndicator() const { return braceIndicator_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    // The system beep; a seam for tests.
    virtual void beep();

private:
    friend class SQLTextViewCompletion; // beeps through the view
    void selectionDidChange();
    void matchBraces();
    void showBraceIndicator(int location);
    void hideBraceIndicator();
    void displayIfShown(TextRange range);
    void newLineInserted();
    void replaceRange(int location, int length, const QString &text);
    // Replaces the lines the selection touches by their changed forms and selects them.
    void reindentLines(const std::function<void(QString &)> &change);
    void notifyRulers();
    void colourBlocks(const std::vector<VisibleBlock> &blocks);
    void layoutRuler();
    void makeLineNumberPopover();

    SQLEditorTextStorage *ownStorage_ = nullptr; // child object of the view
    QPointer<SQLEditorTextStorage> storage_;
    std::unique_ptr<SQLEditorLayoutManager> layoutManager_;
    SQLTextViewDelegate *delegate_ = nullptr;
    SQLEditorRulerView *ruler_ = nullptr; // child widget
    int rulerThickness_ = 0;
    QFrame *lineNumberPopover_ = nullptr;
    QLineEdit *lineNumberPopoverField_ = nullptr;
    QTextCursor braceIndicator_;
    std::pair<int, int> lastSelection_{-1, -1}; // anchor, position
    QTimer *braceIndicatorTimer_ = nullptr;
    std::unique_ptr<SQLTextViewCompletion> completion_;
};
