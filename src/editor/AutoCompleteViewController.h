#pragma once

#include "sql/TextRange.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <memory>

class AutoCompleteViewControllerDelegate;
class QFrame;
class QKeyEvent;
class QListWidget;
class QWidget;

// The completion popup: a small borderless list below the word at the caret with the suggestions that
// start with the typed prefix, the selected one shown inline through the delegate. The text view keeps
// the keyboard focus; while a run is active an event filter on it takes the keys that steer the popup
// (typing narrows, Delete widens, arrows move, Return or Tab accept, Escape cancels) and closes the
// popup on a click elsewhere, a shortcut or another application coming to the front. Main thread.
class AutoCompleteViewController : public QObject
{
    Q_OBJECT
public:
    static constexpr int maximumVisibleRows = 10;

    AutoCompleteViewController();
    ~AutoCompleteViewController() override;

    void setDelegate(AutoCompleteViewControllerDelegate *delegate) { delegate_ = delegate; }

    // Shows the words that start with the prefix below the rectangle (in the view's coordinates); the
    // range is where the prefix stands in the text. False, without showing anything, when no word matches.
    bool runOverView(QWidget *view, const QRect &belowRect, const QStringList &wordSuggestions,
                     const QString &prefix, TextRange range);
    bool isActive() const { return active_; }
    // Closes the popup; the text keeps only what was typed.
    void cancelOperation();

    QStringList wordSuggestions() const { return wordSuggestions_; }
    QStringList activeWordSuggestions() const { return activeWordSuggestions_; }
    QString prefix() const { return prefix_; }
    TextRange range() const { return range_; }
    TextRange lastSuggestionRange() const { return lastSuggestionRange_; }
    QString selectedWord() const;
    // The popup window and its list (for tests and the look).
    QFrame *window() const { return window_.get(); }
    QListWidget *tableView() const { return tableView_; }
    // Rows the window has room for.
    int visibleRowCount() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyDown(QKeyEvent *event);
    bool updateActiveWords(bool narrow);
    void resizeWindow(qsizetype longest);
    int rowHeight() const;
    void prefixUpdate(const QString &prefix);
    void selectionChanged();
    void processSelection(const QString &key);
    void close(const QString &lastCharacter);

    AutoCompleteViewControllerDelegate *delegate_ = nullptr;
    std::unique_ptr<QFrame> window_; // a top-level window of its own
    QListWidget *tableView_ = nullptr;
    QPointer<QWidget> runningOnView_;
    QStringList wordSuggestions_;
    QStringList activeWordSuggestions_;
    QString prefix_;
    TextRange range_;
    TextRange lastSuggestionRange_;
    bool active_ = false;
    // Off while the list is filled, so that filling it shows nothing inline.
    bool followSelection_ = true;
};
