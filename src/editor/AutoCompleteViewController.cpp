#include "editor/AutoCompleteViewController.h"

#include "editor/AutoCompleteViewControllerDelegate.h"
#include "editor/SQLEditorFont.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QVBoxLayout>

namespace
{

constexpr Qt::KeyboardModifiers shortcutModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

AutoCompleteViewController::AutoCompleteViewController() : window_(std::make_unique<QFrame>())
{
    // A tool tip never takes the focus from the text view, which keeps receiving the keys.
    window_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->setObjectName(QStringLiteral("AutoComplete"));
    window_->setFrameShape(QFrame::Box);
    auto *layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new QListWidget(window_.get());
    tableView_->setObjectName(QStringLiteral("word"));
    tableView_->setFocusPolicy(Qt::NoFocus);
    tableView_->setFrameShape(QFrame::NoFrame);
    tableView_->setUniformItemSizes(true);
    tableView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The window is as high as its rows, one row at the least.
    tableView_->setMinimumSize(1, 1);
    layout->addWidget(tableView_);
    connect(tableView_, &QListWidget::currentRowChanged, this, [this] { selectionChanged(); });
    connect(tableView_, &QListWidget::itemDoubleClicked, this, [this] { processSelection(QString()); });
}

AutoCompleteViewController::~AutoCompleteViewController()
{
    if (active_)
        qApp->removeEventFilter(this);
}

bool AutoCompleteViewController::runOverView(QWidget *view, const QRect &belowRect,
                                             const QStringList &wordSuggestions, const QString &prefix,
                                             TextRange range)
{
    Q_ASSERT_X(range.length == prefix.size(), "AutoCompleteViewController::runOverView",
               "Expecting a prefix with the same length as the range");
    if (active_)
        cancelOperation();
    active_ = true;
    wordSuggestions_ = wordSuggestions;
    activeWordSuggestions_.clear();
    prefix_ = prefix;
    range_ = range;
    lastSuggestionRange_ = range;
    runningOnView_ = view;
    window_->move(view->mapToGlobal(belowRect.bottomLeft()) - QPoint(3, 0));
    if (!updateActiveWords(false)) {
        active_ = false;
        return false;
    }
    qApp->installEventFilter(this);
    window_->show();
    window_->raise();
    return true;
}

void AutoCompleteViewController::cancelOperation()
{
    close(QString());
}

QString AutoCompleteViewController::selectedWord() const
{
    const int row = tableView_->currentRow();
    return row >= 0 && row < activeWordSuggestions_.size() ? activeWordSuggestions_.at(row) : QString();
}

int AutoCompleteViewController::visibleRowCount() const
{
    return tableView_->viewport()->height() / rowHeight();
}

int AutoCompleteViewController::rowHeight() const
{
    return tableView_->fontMetrics().height() + 3;
}

bool AutoCompleteViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (!active_)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // The popup's keys reach it before the window's shortcuts do.
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == runningOnView_ && !(key->modifiers() & shortcutModifiers))
            event->accept();
        return false;
    }
    case QEvent::KeyPress:
        return watched == runningOnView_ && keyDown(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != window_.get())
            cancelOperation();
        return false;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
        if (watched == runningOnView_)
            cancelOperation();
        return false;
    case QEvent::ApplicationDeactivate:
        cancelOperation();
        return false;
    default:
        return false;
    }
}

// Answers whether the popup used the key; keys it does not use go on to the text view.
bool AutoCompleteViewController::keyDown(QKeyEvent *event)
{
    if (event->modifiers() & shortcutModifiers) {
        cancelOperation();
        return false;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        cancelOperation();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_BracketRight:
        processSelection(event->text());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QCoreApplication::sendEvent(tableView_, event);
        return true;
    case Qt::Key_Backspace:
        if (prefix_.isEmpty()) {
            cancelOperation();
        } else {
            prefixUpdate(prefix_.chopped(1));
            updateActiveWords(false);
        }
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        cancelOperation();
        return false;
    default:
        break;
    }
    // Other keys (Delete forward, Home, End, ...) close the popup and do their own work in the text.
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.front().isPrint()) {
        cancelOperation();
        return false;
    }
    prefixUpdate(prefix_ + typed);
    if (!updateActiveWords(true))
        close(typed);
    return true;
}

bool AutoCompleteViewController::updateActiveWords(bool narrow)
{
    tableView_->setFont(SQLEditorFont::editorFont());
    const QString lowered = prefix_.toLower();
    QStringList kept;
    qsizetype longest = -1;
    for (const QString &word : narrow ? activeWordSuggestions_ : wordSuggestions_) {
        if (word.size() < lowered.size() || word.left(lowered.size()).toLower() != lowered)
            continue;
        kept.append(word);
        if (longest < 0 || word.size() > kept.at(longest).size())
            longest = kept.size() - 1;
    }
    activeWordSuggestions_ = kept;
    followSelection_ = false;
    tableView_->clear();
    tableView_->addItems(kept);
    for (int row = 0; row < tableView_->count(); ++row)
        tableView_->item(row)->setSizeHint(QSize(0, rowHeight()));
    followSelection_ = true;
    if (!kept.isEmpty())
        tableView_->setCurrentRow(0);
    resizeWindow(longest);
    return !kept.isEmpty();
}

// Room for up to ten rows and the longest kept word; the top-left corner stays.
void AutoCompleteViewController::resizeWindow(qsizetype longest)
{
    const qsizetype count = activeWordSuggestions_.size();
    const int frame = 2 * window_->frameWidth();
    const int rows = int(std::min<qsizetype>(count, maximumVisibleRows));
    int width = window_->width();
    if (longest >= 0) {
        width = tableView_->fontMetrics().horizontalAdvance(activeWordSuggestions_.at(longest)) + frame + 12;
        if (count > maximumVisibleRows)
            width += tableView_->verticalScrollBar()->sizeHint().width();
    }
    window_->setGeometry(QRect(window_->pos(), QSize(width, rows * rowHeight() + frame)));
}

void AutoCompleteViewController::prefixUpdate(const QString &prefix)
{
    prefix_ = prefix;
    range_ = {range_.location, prefix.size()};
    if (delegate_)
        delegate_->autoCompleteViewControllerUpdatedSuggestion(this, prefix_, lastSuggestionRange_, range_);
    lastSuggestionRange_ = range_;
}

void AutoCompleteViewController::selectionChanged()
{
    const QString word = selectedWord();
    if (!followSelection_ || !active_ || word.isNull())
        return;
    if (delegate_)
        delegate_->autoCompleteViewControllerUpdatedSuggestion(this, word, lastSuggestionRange_, range_);
    lastSuggestionRange_ = {range_.location, word.size()};
}

// The selected word replaces the typed prefix whole, in its own letter case.
void AutoCompleteViewController::processSelection(const QString &key)
{
    const QString word = selectedWord();
    if (!word.isNull()) {
        const TextRange committed{range_.location, word.size()};
        if (delegate_)
            delegate_->autoCompleteViewControllerUpdatedSuggestion(this, word, lastSuggestionRange_,
                                                                   committed);
        lastSuggestionRange_ = committed;
        prefix_ = word;
        range_ = committed;
    }
    close(key);
}

void AutoCompleteViewController::close(const QString &lastCharacter)
{
    if (!active_)
        return;
    active_ = false;
    qApp->removeEventFilter(this);
    window_->hide();
    if (!(range_ == lastSuggestionRange_) && delegate_)
        delegate_->autoCompleteViewControllerUpdatedSuggestion(this, prefix_, lastSuggestionRange_, range_);
    lastSuggestionRange_ = range_;
    if (delegate_)
        delegate_->autoCompleteViewControllerClosed(this, lastCharacter);
}
