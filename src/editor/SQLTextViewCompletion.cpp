#include "editor/SQLTextViewCompletion.h"

#include "editor/AutoCompleteViewController.h"
#include "editor/EditorLog.h"
#include "editor/SQLCompletion.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTextCursor>

SQLTextViewCompletion::SQLTextViewCompletion(SQLTextView &view) : view_(view) {}

SQLTextViewCompletion::~SQLTextViewCompletion()
{
    if (popup_)
        popup_->setDelegate(nullptr);
}

bool SQLTextViewCompletion::isActive() const
{
    return popup_ && popup_->isActive();
}

void SQLTextViewCompletion::cancel()
{
    if (isActive())
        popup_->cancelOperation();
}

void SQLTextViewCompletion::keyTyped(const QKeyEvent &event)
{
    const QString typed = event.text();
    if ((event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) || typed.size() != 1 ||
        !typed.front().isPrint() || QStringLiteral(" \t;()").contains(typed.front()))
        return;
    if (!isActive() && !queued_ && UserDefaults::standard().boolForKey(PreferenceKey::syntaxAutoComplete))
        queueAutoComplete(false);
}

// Queued, so that it runs after the key that asked for it has gone into the text. Keys typed before it
// runs ask for no further run: it completes where the caret then is.
void SQLTextViewCompletion::queueAutoComplete(bool byUser)
{
    queued_ = true;
    QMetaObject::invokeMethod(
        &view_,
        [view = QPointer<SQLTextView>(&view_), byUser] {
            if (!view)
                return;
            view->completion().queued_ = false;
            view->runAutoCompleteAtCursor(byUser);
        },
        Qt::QueuedConnection);
}

void SQLTextViewCompletion::runAutoCompleteAtCursor(bool byUser)
{
    if (view_.isReadOnly())
        return;
    if (isActive()) {
        qCDebug(lcEditor) << "Secundary runAutoComplete";
        popup_->cancelOperation();
        return;
    }
    QTextCursor caret = view_.textCursor();
    if (caret.hasSelection()) {
        caret.setPosition(caret.selectionStart());
        view_.setTextCursor(caret);
    }
    const qint64 location = caret.position();
    SQLEditorTextStorage *storage = view_.textStorage();
    const std::shared_ptr<SQLCompletionSource> source = storage->autoCompleteSource();
    TextRange word;
    const QStringList words =
        SQLCompletion(*storage, source.get()).autoCompleteItemsAtLocation(location, &word);
    if (!popup_) {
        popup_ = std::make_unique<AutoCompleteViewController>();
        popup_->setDelegate(this);
    }
    if (words.isEmpty() && !byUser)
        return; // nothing to show and no one to tell: most letters typed inside a word end here
    view_.ensureCursorVisible();
    // A word that starts at the caret is not replaced; one the caret is inside is replaced whole.
    if (word.location == location && word.length > 0)
        word.length = 0;
    word.length = std::clamp<qint64>(word.length, 0, std::max<qint64>(0, storage->length() - word.location));
    QTextCursor start(storage);
    start.setPosition(int(word.location));
    const QRect rect = view_.cursorRect(start).translated(view_.viewport()->pos());
    // Read where it lies: the whole text as one string would move every character after the caret.
    const QString prefix = storage->text().mid(word.location, word.length);
    if (!popup_->runOverView(&view_, rect, words, prefix, word) && byUser)
        view_.beep();
}

void SQLTextViewCompletion::autoCompleteViewControllerUpdatedSuggestion(AutoCompleteViewController *,
                                                                        const QString &suggestion,
                                                                        TextRange sourceRange,
                                                                        TextRange committedRange)
{
    // The text holds the source range but for the grey rest shown after it.
    const qint64 inText = sourceRange.length - inlineRest_.size();
    Q_ASSERT_X(inText >= 0, "SQLTextViewCompletion", "The suggested rest is longer than its range");
    const QString committed = suggestion.left(committedRange.length);
    QTextCursor cursor(view_.document());
    cursor.setPosition(int(sourceRange.location));
    cursor.setPosition(int(sourceRange.location + inText), QTextCursor::KeepAnchor);
    if (cursor.selectedText() != committed)
        cursor.insertText(committed);
    inlineRest_ = suggestion.mid(committedRange.length);
    cursor.setPosition(int(committedRange.location + committed.size()));
    view_.setTextCursor(cursor);
    view_.viewport()->update();
}

void SQLTextViewCompletion::autoCompleteViewControllerClosed(AutoCompleteViewController *,
                                                             const QString &lastCharacter)
{
    inlineRest_.clear();
    view_.viewport()->update();
    // After a table name and a dot the columns follow.
    if (lastCharacter == u".")
        queueAutoComplete(false);
}

void SQLTextViewCompletion::paintInlineRest(QPainter &painter) const
{
    if (inlineRest_.isEmpty())
        return;
    const QRect caret = view_.cursorRect();
    const QFont font = view_.document()->defaultFont();
    const QFontMetrics metrics(font);
    const QRect area(caret.left(), caret.top(), metrics.horizontalAdvance(inlineRest_) + 1, caret.height());
    painter.fillRect(area, view_.palette().base());
    painter.setFont(font);
    painter.setPen(QColor(Qt::gray));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, inlineRest_);
}
