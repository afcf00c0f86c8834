#include "editor/SQLTextView.h"

#include "editor/SQLEditorFont.h"
#include "editor/SQLEditorLayoutManager.h"
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLFilterDrop.h"
#include "editor/SQLTextViewCompletion.h"
#include "editor/SQLTextViewDelegate.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

namespace
{
// How long the partner of a closing brace stays highlighted.
constexpr int braceIndicatorMilliseconds = 1000;

QString leadingBlanks(QStringView line)
{
    qsizetype n = 0;
    while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
        ++n;
    return line.left(n).toString();
}

// The selection as HTML in the colours shown, on white, for pasting into rich-text programs.
QString htmlForSelection(const QTextCursor &selection)
{
    QString html = QStringLiteral("<pre style=\"background-color:#ffffff\">");
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    const QTextDocument *document = selection.document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        const QString text = block.text();
        const int from = std::max(start - block.position(), 0);
        const int to = std::min<int>(end - block.position(), text.size());
        auto formats = block.layout()->formats();
        std::sort(formats.begin(), formats.end(), [](auto &a, auto &b) { return a.start < b.start; });
        int position = from;
        for (const QTextLayout::FormatRange &range : formats) {
            const int rangeFrom = std::max(range.start, position);
            const int rangeTo = std::min(range.start + range.length, to);
            if (rangeTo <= rangeFrom)
                continue;
            html += text.mid(position, rangeFrom - position).toHtmlEscaped();
            html += QStringLiteral("<span style=\"color:%1\">%2</span>")
                        .arg(range.format.foreground().color().name(),
                             text.mid(rangeFrom, rangeTo - rangeFrom).toHtmlEscaped());
            position = rangeTo;
        }
        html += text.mid(position, to - position).toHtmlEscaped();
        if (block.position() + block.length() <= end)
            html += u'\n';
    }
    return html + QStringLiteral("</pre>");
}
} // namespace

SQLTextView::SQLTextView(QWidget *parent)
    : QPlainTextEdit(parent), layoutManager_(std::make_unique<SQLEditorLayoutManager>()),
      completion_(std::make_unique<SQLTextViewCompletion>(*this))
{
    ownStorage_ = new SQLEditorTextStorage(this);
    setLineWrapMode(NoWrap);
    setFont(SQLEditorFont::editorFont());
    setTextStorage(nullptr);
    braceIndicatorTimer_ = new QTimer(this);
    braceIndicatorTimer_->setSingleShot(true);
    connect(braceIndicatorTimer_, &QTimer::timeout, this, &SQLTextView::hideBraceIndicator);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &SQLTextView::selectionDidChange);
    connect(this, &QPlainTextEdit::selectionChanged, this, &SQLTextView::selectionDidChange);
    connect(this, &QPlainTextEdit::textChanged, this, &SQLTextView::notifyRulers);
    // Line numbers move only when the text scrolls or is laid out anew (the whole viewport is
    // redrawn then); a changed line count redraws the ruler through sourceUpdated. Typing within
    // lines leaves the ruler alone.
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect &rect, int dy) {
        if (ruler_ && (dy != 0 || rect.contains(viewport()->rect())))
            ruler_->update();
    });
}

SQLTextView::~SQLTextView() = default;

void SQLTextView::setTextStorage(SQLEditorTextStorage *storage)
{
    SQLEditorTextStorage *target = storage ? storage : ownStorage_;
    if (storage_ == target)
        return;
    completion_->cancel();
    if (storage_)
        disconnect(storage_, nullptr, this, nullptr);
    storage_ = target;
    hideBraceIndicator();
    setDocument(target);
    connect(target, &SQLEditorTextStorage::needsDisplay, this, &SQLTextView::displayIfShown);
    if (target != ownStorage_)
        connect(target, &SQLEditorTextStorage::willBeDestroyed, this, [this] { setTextStorage(nullptr); });
}

// Background recolouring of lines far from the view leaves it alone.
void SQLTextView::displayIfShown(TextRange range)
{
    const std::vector<VisibleBlock> blocks = visibleBlocks();
    if (blocks.empty())
        return;
    const qint64 firstShown = blocks.front().block.position();
    const qint64 endShown = blocks.back().block.position() + blocks.back().block.length();
    if (range.location <= endShown && range.end() >= firstShown)
        viewport()->update();
}

SQLEditorTextStorage *SQLTextView::textStorage() const
{
    return storage_;
}

void SQLTextView::setShowQueryBreaks(bool show)
{
    layoutManager_->setShowQueryBreaks(show);
    viewport()->update();
}

void SQLTextView::setVerticalRuler(std::unique_ptr<SQLEditorRulerView> ruler)
{
    delete ruler_;
    ruler_ = ruler.release();
    if (!ruler_) {
        setRulerThickness(0);
        return;
    }
    ruler_->setParent(this);
    ruler_->show();
    setRulerThickness(ruler_->ruleThickness());
}

void SQLTextView::setRulerThickness(int thickness)
{
    rulerThickness_ = thickness;
    setViewportMargins(thickness, 0, 0, 0);
    layoutRuler();
}

void SQLTextView::layoutRuler()
{
    if (!ruler_)
        return;
    const QRect contents = contentsRect();
    ruler_->setGeometry(contents.left(), contents.top(), rulerThickness_, contents.height());
}

void SQLTextView::setSelectedRange(int location, int length)
{
    const int end = document()->characterCount() - 1;
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(location, 0, end));
    cursor.setPosition(std::clamp(location + length, 0, end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

int SQLTextView::selectedLocation() const
{
    return textCursor().selectionStart();
}

int SQLTextView::selectedLength() const
{
    return textCursor().selectionEnd() - textCursor().selectionStart();
}

void SQLTextView::keyPressEvent(QKeyEvent *event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier))) {
        if (event->modifiers() & Qt::ShiftModifier)
            insertLineBreak();
        else
            insertNewline();
        event->accept();
        return;
    }
    if (isReturn) {
        event->ignore(); // left to the window's commands
        return;
    }
    // Escape (the platform's cancel) and Ctrl+Space ask for completion.
    if (event->key() == Qt::Key_Escape ||
        (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier)) {
        event->accept();
        runAutoCompleteAtCursor(true);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    completion_->keyTyped(*event);
}

void SQLTextView::runAutoCompleteAtCursor(bool byUser)
{
    completion_->runAutoCompleteAtCursor(byUser);
}

void SQLTextView::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    QMenu *shown = menu.get();
    if (delegate_)
        shown = delegate_->textViewMenu(this, shown, event, cursorForPosition(event->pos()).position());
    if (shown)
        shown->exec(event->globalPos());
}

void SQLTextView::insertNewline()
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(QStringLiteral("\n"));
    setTextCursor(cursor);
    newLineInserted();
    cursor.endEditBlock();
    ensureCursorVisible();
}

void SQLTextView::insertLineBreak()
{
    textCursor().insertText(QStringLiteral("\n\n"));
    ensureCursorVisible();
}

void SQLTextView::insertParagraphSeparator()
{
    insertLineBreak();
}

// After Return the new line takes the indentation of the line before; a line left holding only blanks
// is emptied instead.
void SQLTextView::newLineInserted()
{
    const QTextCursor caret = textCursor();
    if (caret.position() <= 0 || !caret.block().previous().isValid())
        return;
    // The line the line feed ended: the block before the caret's.
    const QTextBlock previous = caret.block().previous();
    const QString line = previous.text();
    const QString blanks = leadingBlanks(line);
    if (!line.isEmpty() && blanks.size() == line.size()) {
        replaceRange(previous.position(), int(line.size()), QString());
        return;
    }
    if (!blanks.isEmpty())
        textCursor().insertText(blanks);
}

void SQLTextView::replaceRange(int location, int length, const QString &text)
{
    QTextCursor cursor(document());
    cursor.setPosition(location);
    cursor.setPosition(location + length, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void SQLTextView::identationRange(int *location, int *length) const
{
    const QString &text = storage_->string();
    const int start = selectedLocation();
    const int end = start + selectedLength();
    const int rangeStart = start > 0 ? int(text.lastIndexOf(u'\n', start - 1)) + 1 : 0;
    int rangeEnd;
    if (end > start && text.at(end - 1) == u'\n') {
        rangeEnd = end - 1;
    } else {
        rangeEnd = int(text.indexOf(u'\n', end));
        if (rangeEnd < 0)
            rangeEnd = int(text.size());
    }
    *location = rangeStart;
    *length = std::max(rangeEnd - rangeStart, 0);
}

void SQLTextView::reindentLines(const std::function<void(QString &)> &change)
{
    int location = 0;
    int length = 0;
    identationRange(&location, &length);
    if (length == 0)
        return;
    QStringList lines = storage_->string().mid(location, length).split(u'\n');
    for (QString &line : lines)
        change(line);
    const QString reindented = lines.join(u'\n');
    replaceRange(location, length, reindented);
    setSelectedRange(location, int(reindented.size()));
}

void SQLTextView::increaseIdentation(QObject *)
{
    reindentLines([](QString &line) {
        if (!line.isEmpty())
            line.prepend(u'\t');
    });
}

void SQLTextView::decreaseIdentation(QObject *)
{
    reindentLines([](QString &line) {
        if (line.startsWith(u'\t'))
            line.remove(0, 1);
        int spaces = 0;
        while (spaces < 4 && spaces < line.size() && line.at(spaces) == u' ')
            ++spaces;
        line.remove(0, spaces);
    });
}

void SQLTextView::makeLineNumberPopover()
{
    lineNumberPopover_ = new QFrame(this, Qt::Popup);
    lineNumberPopover_->setFrameShape(QFrame::StyledPanel);
    lineNumberPopoverField_ = new QLineEdit(lineNumberPopover_);
    QFont font = lineNumberPopoverField_->font();
    font.setPointSize(16);
    lineNumberPopoverField_->setFont(font);
    lineNumberPopoverField_->setPlaceholderText(tr("Line Number"));
    const int width = QFontMetrics(font).horizontalAdvance(tr("Line Number")) + 16;
    lineNumberPopoverField_->setGeometry(4, 4, width, lineNumberPopoverField_->sizeHint().height());
    lineNumberPopover_->resize(lineNumberPopoverField_->width() + 8, lineNumberPopoverField_->height() + 8);
    connect(lineNumberPopoverField_, &QLineEdit::returnPressed, this, &SQLTextView::gotoLineExecute);
}

void SQLTextView::gotoLine(QObject *)
{
    if (!lineNumberPopover_)
        makeLineNumberPopover();
    lineNumberPopover_->hide();
    lineNumberPopoverField_->clear();
    // Below the middle of the upper left quarter of the view.
    const QPoint anchor = mapToGlobal(QPoint(width() / 4, height() / 2));
    lineNumberPopover_->move(anchor.x() - lineNumberPopover_->width() / 2, anchor.y());
    lineNumberPopover_->show();
    lineNumberPopoverField_->setFocus();
}

void SQLTextView::gotoLineExecute()
{
    bool ok = false;
    const qint64 line =
        lineNumberPopoverField_ ? lineNumberPopoverField_->text().trimmed().toLongLong(&ok) : 0;
    if (!ok || line < 1 || line > storage_->lineCount()) {
        beep();
        return;
    }
    const qint64 start = storage_->characterIndexForLineNumber(line);
    const qint64 end =
        line < storage_->lineCount() ? storage_->characterIndexForLineNumber(line + 1) : storage_->length();
    setSelectedRange(int(start), int(end - start));
    lineNumberPopover_->hide();
}

void SQLTextView::selectionDidChange()
{
    const QTextCursor cursor = textCursor();
    const std::pair<int, int> selection{cursor.anchor(), cursor.position()};
    if (selection == lastSelection_)
        return; // the caret and the selection signals both report one change
    lastSelection_ = selection;
    hideBraceIndicator();
    if (delegate_)
        delegate_->textViewSelectionChanged(this, selectedLocation(), selectedLength());
    matchBraces();
}

void SQLTextView::matchBraces()
{
    const QTextCursor cursor = textCursor();
    if (QApplication::mouseButtons() != Qt::NoButton || cursor.hasSelection() || cursor.position() == 0)
        return;
    TextRange partner{0, 0};
    if (!storage_->findRelatedBraceForRange({cursor.position() - 1, 1}, &partner))
        return;
    if (partner.length > 0)
        showBraceIndicator(int(partner.location));
    else
        beep();
}

void SQLTextView::showBraceIndicator(int location)
{
    braceIndicator_ = QTextCursor(document());
    braceIndicator_.setPosition(location);
    braceIndicator_.setPosition(location + 1, QTextCursor::KeepAnchor);
    QTextEdit::ExtraSelection selection;
    selection.cursor = braceIndicator_;
    selection.format.setBackground(QColor(255, 230, 0));
    setExtraSelections({selection});
    braceIndicatorTimer_->start(braceIndicatorMilliseconds);
}

void SQLTextView::hideBraceIndicator()
{
    if (braceIndicator_.isNull())
        return;
    braceIndicator_ = QTextCursor();
    setExtraSelections({});
}

void SQLTextView::beep()
{
    QApplication::beep();
}

void SQLTextView::notifyRulers()
{
    if (ruler_)
        ruler_->sourceUpdated();
}

std::vector<SQLTextView::VisibleBlock> SQLTextView::visibleBlocks() const
{
    return visibleBlocks(viewport()->rect());
}

// As QPlainTextEdit paints: from the first visible block down, adding up heights.
// (blockBoundingGeometry itself walks from the top block to the one asked for, so calling it for each
// line would cost the square of the lines shown.)
std::vector<SQLTextView::VisibleBlock> SQLTextView::visibleBlocks(const QRect &within) const
{
    std::vector<VisibleBlock> blocks;
    QPointF offset = contentOffset();
    const qreal bottom = std::min(within.bottom(), viewport()->height());
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF rect = blockBoundingRect(block).translated(offset);
        if (rect.top() > bottom)
            break;
        if (block.isVisible() && rect.bottom() >= within.top())
            blocks.push_back({block, rect});
        offset.ry() += rect.height();
    }
    return blocks;
}

void SQLTextView::ensureSyntaxColouringInVisibleRect()
{
    colourBlocks(visibleBlocks());
}

void SQLTextView::colourBlocks(const std::vector<VisibleBlock> &blocks)
{
    if (blocks.empty() || !storage_)
        return;
    const qint64 start = blocks.front().block.position();
    const qint64 end = blocks.back().block.position() + blocks.back().block.length() - 1;
    storage_->redrawSyntaxInRange({start, end - start});
}

// Qt draws only the lines that meet the exposed part; they are coloured and marked first.
void SQLTextView::paintEvent(QPaintEvent *event)
{
    const std::vector<VisibleBlock> blocks = visibleBlocks(event->rect());
    colourBlocks(blocks);
    layoutManager_->drawBackground(*this, event->rect(), blocks);
    QPlainTextEdit::paintEvent(event);
    if (!completion_->inlineRest().isEmpty()) {
        QPainter painter(viewport());
        completion_->paintInlineRest(painter);
    }
}

void SQLTextView::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    layoutRuler();
}

void SQLTextView::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && ruler_)
        ruler_->windowKeyChanged();
}

bool SQLTextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() || source->hasFormat(SQLFilterDrop::sqlFilterItemType);
}

// Pasted and dropped text is inserted as plain text with unified line breaks; a dropped filter condition
// joins the statement at the drop point.
void SQLTextView::insertFromMimeData(const QMimeData *source)
{
    if (source->hasFormat(SQLFilterDrop::sqlFilterItemType)) {
        setFocus();
        const QString condition = QString::fromUtf8(source->data(SQLFilterDrop::sqlFilterItemType));
        textCursor().insertText(SQLFilterDrop::textForDrop(*storage_, textCursor().position(), condition));
        ensureCursorVisible();
        return;
    }
    if (!source->hasText()) {
        beep();
        return;
    }
    textCursor().insertText(SQLEditorTextStorage::generalizeLineBreaks(source->text()));
    ensureCursorVisible();
}

QMimeData *SQLTextView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return QPlainTextEdit::createMimeDataFromSelection();
    auto *data = new QMimeData;
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    data->setText(text);
    data->setHtml(htmlForSelection(cursor));
    return data;
}
