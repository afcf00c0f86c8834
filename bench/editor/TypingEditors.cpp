#include "TypingEditors.h"

#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

namespace TypingBench
{

namespace
{
const QStringList reservedWords = {"select", "from",   "join",    "on",   "where",  "and",   "group",
                                   "by",     "order",  "having",  "desc", "create", "table", "if",
                                   "not",    "exists", "primary", "key",  "insert", "into",  "values",
                                   "update", "set",    "delete",  "as"};
const QStringList contextWords = {"customers", "orders", "sessions", "id", "name", "status"};

// What editors commonly do: keywords, strings and comments by regular expressions, block comments
// carried from line to line by the block state.
class RegexHighlighter : public QSyntaxHighlighter
{
public:
    explicit RegexHighlighter(QTextDocument *document) : QSyntaxHighlighter(document)
    {
        keyword_.setForeground(Qt::darkBlue);
        keyword_.setFontWeight(QFont::Bold);
        literal_.setForeground(Qt::darkRed);
        comment_.setForeground(Qt::darkGreen);
        keywords_.setPattern(QStringLiteral("\\b(%1)\\b").arg(reservedWords.join(u'|')));
        keywords_.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
    }

protected:
    void highlightBlock(const QString &text) override
    {
        for (auto match = keywords_.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), keyword_);
        }
        for (auto match = literals_.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), literal_);
        }
        const QRegularExpressionMatch line = lineComment_.match(text);
        if (line.hasMatch())
            setFormat(int(line.capturedStart()), int(line.capturedLength()), comment_);
        setCurrentBlockState(0);
        int start = previousBlockState() == 1 ? 0 : int(text.indexOf(QStringLiteral("/*")));
        while (start >= 0) {
            const int end = int(text.indexOf(QStringLiteral("*/"), start + 2));
            const int length = end < 0 ? int(text.length()) - start : end - start + 2;
            if (end < 0)
                setCurrentBlockState(1);
            setFormat(start, length, comment_);
            start = int(text.indexOf(QStringLiteral("/*"), start + length));
        }
    }

private:
    QRegularExpression keywords_;
    QRegularExpression literals_{QStringLiteral("'[^']*'")};
    QRegularExpression lineComment_{QStringLiteral("--[^\n]*")};
    QTextCharFormat keyword_, literal_, comment_;
};
} // namespace

TypingEditors::TypingEditors() : highlighter_(std::make_unique<RegexHighlighter>(highlighted_.document()))
{
    coloured_.setVerticalRuler(std::make_unique<SQLEditorRulerView>(&coloured_));
    coloured_.setShowQueryBreaks(true);
    SQLEditorTextStorage &storage = *coloured_.textStorage();
    storage.setReservedWords(reservedWords);
    storage.setContextWords(contextWords);
    for (QPlainTextEdit *edit : {static_cast<QPlainTextEdit *>(&coloured_), &plain_, &highlighted_}) {
        edit->resize(900, 700);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setFont(coloured_.font());
        edit->show();
    }
    settle();
    editors_ = {
        {"coloured SQL editor", &coloured_,
         [&storage](const QString &text) { storage.replaceContents(text); },
         [&storage] { return storage.recolouringPending(); }},
        {"plain QPlainTextEdit", &plain_, [this](const QString &text) { plain_.setPlainText(text); },
         [] { return false; }},
        {"regex QSyntaxHighlighter", &highlighted_,
         [this](const QString &text) { highlighted_.setPlainText(text); }, [] { return false; }},
    };
}

TypingEditors::~TypingEditors() = default;

namespace
{
// Each place: the first occurrence of a text after the middle of the script, and how far into it.
struct Anchor {
    const char *name;
    const char *text;
    qint64 offset;
};
const Anchor anchors[] = {
    {"in a word", "FROM customers", 7},
    {"at a line end", "\n", 0},
    {"inside a block comment", "at least", 3},
    {"inside a string", "'cancelled'", 4},
};
} // namespace

std::vector<Place> typingPlaces(const QString &script)
{
    std::vector<Place> places;
    for (const Anchor &anchor : anchors)
        places.push_back(
            {anchor.name, script.indexOf(QLatin1String(anchor.text), script.size() / 2) + anchor.offset});
    return places;
}

std::vector<const char *> typingPlaceNames()
{
    std::vector<const char *> names;
    for (const Anchor &anchor : anchors)
        names.push_back(anchor.name);
    return names;
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void placeCaret(QPlainTextEdit &edit, qint64 position)
{
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(int(position));
    edit.setTextCursor(cursor);
    edit.centerCursor();
    edit.viewport()->repaint();
    settle();
}

void typeKey(QPlainTextEdit &edit, Qt::Key key, Repaint repaint)
{
    QTest::keyClick(&edit, key);
    if (repaint == Repaint::Viewport)
        edit.viewport()->repaint();
    settleKey();
}

void settleKey()
{
    // Work a key posts (queued calls, zero-timers) may post more when it runs: it all belongs to the
    // key, so the loop turns until a turn finds nothing left to do. The bound only guards against an
    // editor that never stops posting; such an editor would show in the figures anyway.
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    for (int turn = 0; turn < 1000; ++turn) {
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
}

Qt::Key letter(int k)
{
    return Qt::Key(Qt::Key_A + k % 26);
}

} // namespace TypingBench
