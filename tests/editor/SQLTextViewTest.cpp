#include "EditorTestSupport.h"
#include "WaitFor.h"
#include "platform/Preferences.h"

#include "editor/SQLEditorLayoutManager.h"
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "editor/SQLTextViewDelegate.h"
#include "platform/NotificationCenter.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace EditorTestSupport;

namespace
{
// Counts beeps instead of sounding them.
class TestTextView : public SQLTextView
{
public:
    int beeps = 0;

protected:
    void beep() override { ++beeps; }
};

class SelectionRecorder : public SQLTextViewDelegate
{
public:
    void textViewSelectionChanged(SQLTextView *, int location, int length) override
    {
        selections.push_back({location, length});
    }
    std::vector<std::pair<int, int>> selections;
};

class SQLTextViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeDefaultPreferences();
        view = std::make_unique<TestTextView>();
        view->resize(600, 400);
        view->show();
        processEvents();
    }

    void setText(const QString &text)
    {
        view->textStorage()->replaceContents(text);
        processEvents();
    }

    QString text() const { return view->textStorage()->string(); }

    std::unique_ptr<TestTextView> view;
};
} // namespace

TEST_F(SQLTextViewTest, ReturnTakesThePreviousLinesIndentation)
{
    setText("  select a");
    view->setSelectedRange(10, 0);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_EQ(text(), "  select a\n  ");
    QTest::keyClicks(view.get(), "from t");
    EXPECT_EQ(text(), "  select a\n  from t");
    // Return on a line of blanks empties it and indents nothing.
    QTest::keyClick(view.get(), Qt::Key_Return);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_EQ(text(), "  select a\n  from t\n\n");
    view->textStorage()->undo(); // indentation and line feed are one step
    EXPECT_EQ(text(), "  select a\n  from t\n  ");
}

TEST_F(SQLTextViewTest, ShiftReturnInsertsABlankLine)
{
    setText("select 1");
    view->setSelectedRange(8, 0);
    QTest::keyClick(view.get(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(text(), "select 1\n\n");
    EXPECT_FALSE(text().contains(QChar::LineSeparator));
}

TEST_F(SQLTextViewTest, PastedTextHasUnifiedLineBreaks)
{
    setText("");
    QApplication::clipboard()->setText("select 1\r\nfrom t\r\n\r\nselect 2\rfrom u");
    view->paste();
    EXPECT_EQ(text(), "select 1\nfrom t\n\nselect 2\nfrom u");
    auto *html = new QMimeData;
    html->setHtml("<b>x</b>");
    QApplication::clipboard()->setMimeData(html);
    view->paste(); // nothing to paste without a plain string
    EXPECT_EQ(view->beeps, 1);
    EXPECT_EQ(text(), "select 1\nfrom t\n\nselect 2\nfrom u");
}

TEST_F(SQLTextViewTest, CopyWritesPlainTextAndColouredHtml)
{
    view->textStorage()->setReservedWords({"select"});
    setText("select 1\nfrom t");
    view->setSelectedRange(0, 12);
    view->copy();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    EXPECT_EQ(data->text(), "select 1\nfro");
    EXPECT_TRUE(data->html().contains(view->textStorage()->syntaxReservedColor().name()));
    EXPECT_TRUE(data->html().contains("#ffffff"));
}

TEST_F(SQLTextViewTest, BlockIndentation)
{
    struct Case {
        QString text;
        int location, length;
        bool increase;
        QString result;
    };
    const Case cases[] = {
        {"\t      x", 3, 0, false, "  x"},    // a tab and then up to four spaces go
        {"a\n\nb", 0, 4, true, "\ta\n\n\tb"}, // empty lines stay empty
        {"a\nb\nc", 2, 2, true, "a\n\tb\nc"}, // a selection ending in a line feed stops before it
        {"a\nb", 1, 0, true, "\ta\nb"},       {"x\n\ty", 3, 0, false, "x\ny"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        setText(c.text);
        view->setSelectedRange(c.location, c.length);
        if (c.increase)
            view->increaseIdentation();
        else
            view->decreaseIdentation();
        EXPECT_EQ(text(), c.result);
    }
}

TEST_F(SQLTextViewTest, GoToLineSelectsTheWholeLine)
{
    setText("select 1\nfrom t\nwhere x");
    struct Case {
        QString entry;
        int location, length;
        bool beeps;
    };
    const Case cases[] = {
        {"2", 9, 7, false}, {"3", 16, 7, false}, // the last line runs to the end
        {"1", 0, 9, false}, {"4", 0, 0, true},   {"0", 0, 0, true}, {"two", 0, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry.toStdString());
        view->setSelectedRange(0, 0);
        view->beeps = 0;
        view->gotoLine();
        view->lineNumberPopoverField()->setText(c.entry);
        view->gotoLineExecute();
        EXPECT_EQ(view->beeps, c.beeps ? 1 : 0);
        EXPECT_EQ(view->selectedLocation(), c.location);
        EXPECT_EQ(view->selectedLength(), c.length);
    }
}

TEST_F(SQLTextViewTest, CaretBehindAClosingBraceFindsItsPartnerOrBeeps)
{
    SelectionRecorder recorder;
    view->setDelegate(&recorder);
    setText("select (b) from (a[1)");
    view->beeps = 0;
    view->setSelectedRange(10, 0);
    EXPECT_EQ(view->braceIndicator().selectionStart(), 7);
    EXPECT_EQ(view->beeps, 0);
    view->setSelectedRange(21, 0);
    EXPECT_TRUE(view->braceIndicator().isNull());
    EXPECT_EQ(view->beeps, 1);
    view->setSelectedRange(20, 1); // a selection matches nothing
    EXPECT_EQ(view->beeps, 1);
    ASSERT_FALSE(recorder.selections.empty());
    EXPECT_EQ(recorder.selections.back(), (std::pair<int, int>{20, 1}));
    view->setDelegate(nullptr);
}

TEST_F(SQLTextViewTest, TypingAClosingBraceShowsThePartner)
{
    setText("select (a");
    view->setSelectedRange(9, 0);
    QTest::keyClicks(view.get(), ")");
    EXPECT_EQ(view->braceIndicator().selectionStart(), 7);
}

TEST_F(SQLTextViewTest, OnlyTheShownTextIsColoured)
{
    QString script;
    for (int i = 0; i < 10000; ++i)
        script += QString("select %1 from t;\n").arg(i);
    view->textStorage()->setReservedWords({"select"});
    setText(script);
    SQLEditorTextStorage &storage = *view->textStorage();
    const int middle = int(script.indexOf("select 2500 "));
    EXPECT_FALSE(colorAt(storage, middle).isValid());
    view->setSelectedRange(middle, 0);
    view->centerCursor();
    view->repaint();
    EXPECT_EQ(colorAt(storage, middle), storage.syntaxReservedColor());
    EXPECT_FALSE(colorAt(storage, int(script.indexOf("select 9900 "))).isValid());
}

// A quote in the middle of a long script that was all coloured before: the lines painted next show
// the new colours at once (the lines are long, so the screen reaches past what the edit itself
// colours); the rest of the script follows in steps after the key.
TEST_F(SQLTextViewTest, AQuoteRecoloursTheShownTextFirst)
{
    QString script;
    for (int i = 0; i < 4000; ++i)
        script += QString("select %1 from t where c = '%2';\n").arg(i).arg(QString(1500, u'x'));
    SQLEditorTextStorage &storage = *view->textStorage();
    storage.setReservedWords({"select"});
    setText(script);
    for (qint64 at = 0; at < storage.length(); at += 50000)
        storage.redrawSyntaxInRange({at, std::min<qint64>(50000, storage.length() - at)});
    const int caret = int(script.indexOf("select 2000 "));
    view->setSelectedRange(caret, 0);
    view->centerCursor();
    view->repaint();

    QTest::keyClicks(view.get(), "\"");
    view->repaint();
    const auto blocks = view->visibleBlocks();
    ASSERT_FALSE(blocks.empty());
    const int lastShown = blocks.back().block.position();
    ASSERT_GT(lastShown, caret + 9000);
    EXPECT_EQ(colorAt(storage, lastShown), storage.syntaxLiteralColor());
    const int far = int(storage.string().lastIndexOf("select"));
    EXPECT_EQ(colorAt(storage, far), storage.syntaxReservedColor());
    EXPECT_TRUE(storage.recolouringPending());
    ASSERT_WAIT_FOR(!storage.recolouringPending());
    EXPECT_EQ(colorAt(storage, far), storage.syntaxLiteralColor());
}

// Counts the paints a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Colours changing far from what the view shows leave it unpainted; colours changing where it looks
// are painted.
TEST_F(SQLTextViewTest, BackgroundRecolouringRepaintsOnlyWhatIsShown)
{
    QString script;
    for (int i = 0; i < 4000; ++i)
        script += QString("select %1 from t where c = 'x';\n").arg(i);
    SQLEditorTextStorage &storage = *view->textStorage();
    storage.setReservedWords({"select"});
    setText(script);
    for (qint64 at = 0; at < storage.length(); at += 50000)
        storage.redrawSyntaxInRange({at, std::min<qint64>(50000, storage.length() - at)});
    view->repaint();
    processEvents();
    PaintCounter counter(view->viewport());

    storage.replaceCharactersInRange({script.indexOf("select 2000 "), 0}, "\"");
    processEvents();
    counter.paints = 0;
    ASSERT_TRUE(storage.recolouringPending());
    ASSERT_WAIT_FOR(!storage.recolouringPending());
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(colorAt(storage, int(storage.string().lastIndexOf("select"))), storage.syntaxLiteralColor());

    storage.setReservedWords({"select", "from"});
    ASSERT_WAIT_FOR(!storage.fullSyntaxReparsePending() && !storage.recolouringPending());
    WAIT_FOR(counter.paints > 0);
    EXPECT_EQ(colorAt(storage, int(script.indexOf("from"))), storage.syntaxReservedColor());
}

// The lines the view colours, marks and numbers are where Qt puts them, also far down a scrolled text.
TEST_F(SQLTextViewTest, VisibleLinesLieWhereQtShowsThem)
{
    QString script;
    for (int i = 0; i < 3000; ++i)
        script += QString("select %1 from t;\n").arg(i);
    setText(script);
    view->setSelectedRange(int(script.indexOf("select 2000 ")), 0);
    view->centerCursor();
    const auto blocks = view->visibleBlocks();
    ASSERT_GT(blocks.size(), 5u);
    for (const SQLTextView::VisibleBlock &visible : blocks) {
        QTextCursor start(visible.block);
        const QRect caret = view->cursorRect(start);
        EXPECT_GE(caret.center().y(), visible.rect.top()) << visible.block.blockNumber();
        EXPECT_LE(caret.center().y(), visible.rect.bottom()) << visible.block.blockNumber();
    }
    const QRect band(0, int(blocks[3].rect.top()) + 1, 10, 1);
    const auto within = view->visibleBlocks(band);
    ASSERT_EQ(within.size(), 1u);
    EXPECT_EQ(within.front().block, blocks[3].block);
}

TEST_F(SQLTextViewTest, ParameterBoxesAreAtMost300PointsWide)
{
    setText("select :a, :" + QString(200, u'p') + " from t");
    view->repaint();
    const auto boxes = view->layoutManager().parameterBoxes(*view);
    ASSERT_EQ(boxes.size(), 2u);
    const QFontMetricsF metrics(view->font());
    EXPECT_NEAR(boxes[0].width(), metrics.horizontalAdvance(":a"), 1.0);
    EXPECT_EQ(boxes[1].width(), 300.0);
    EXPECT_NEAR(boxes[1].left() - boxes[0].left(), metrics.horizontalAdvance(":a, "), 1.0);
}

TEST_F(SQLTextViewTest, SeparatorLinesCrossTheEmptyLinesOfAGap)
{
    setText("select 1;\n\n\nselect 2\n\nselect 3");
    view->repaint();
    EXPECT_TRUE(view->layoutManager().queryBreakLines(*view).empty()); // off until the editor pane asks
    view->setShowQueryBreaks(true);
    const auto lines = view->layoutManager().queryBreakLines(*view);
    ASSERT_EQ(lines.size(), 3u); // two for the gap of three line feeds, one for the gap of two
    EXPECT_EQ(lines[0].length(), view->viewport()->width() - 10.0);
    EXPECT_LT(lines[0].y1(), lines[1].y1());
}

TEST_F(SQLTextViewTest, ActiveStatementIsPaintedBehindTheText)
{
    setText("select 1\nfrom t\n\nselect 2");
    view->textStorage()->markActiveRange({0, 15});
    const auto rects = view->layoutManager().activeRangeRects(*view);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_GT(rects[0].width(), 0);
    view->textStorage()->clearActiveRange();
    EXPECT_TRUE(view->layoutManager().activeRangeRects(*view).empty());
}

TEST_F(SQLTextViewTest, RulerWidthFollowsTheDigitsOfTheLastLine)
{
    view->setVerticalRuler(std::make_unique<SQLEditorRulerView>(view.get()));
    SQLEditorRulerView *ruler = view->verticalRuler();
    const QFontMetricsF metrics(ruler->labelFont());
    auto expected = [&](int digits) {
        return std::ceil(std::max(metrics.horizontalAdvance(QString(digits, u'8')) + 10.0, 22.0));
    };
    for (const int lines : {1, 9, 10, 99, 100, 12345}) {
        SCOPED_TRACE(lines);
        setText(QString(lines - 1, u'\n'));
        ruler->sourceUpdated();
        const int digits = int(QString::number(lines).size());
        EXPECT_EQ(ruler->requiredThickness(), expected(digits));
        EXPECT_EQ(ruler->ruleThickness(), int(expected(digits)));
        EXPECT_GE(ruler->ruleThickness(), 22);
        EXPECT_EQ(view->viewport()->x(), ruler->ruleThickness() + view->contentsRect().left());
    }
}

TEST_F(SQLTextViewTest, RulerMeasuresAgainAfterAFontChange)
{
    view->setVerticalRuler(std::make_unique<SQLEditorRulerView>(view.get()));
    SQLEditorRulerView *ruler = view->verticalRuler();
    setText(QString(999, u'\n'));
    ruler->sourceUpdated();
    const int before = ruler->ruleThickness();
    UserDefaults::standard().setObject(30, "syntaxFontSize");
    NotificationCenter::defaultCenter().postNotification(Preferences::sqlPreferenceUpdateNotification);
    ruler->sourceUpdated(); // same line count, new font
    EXPECT_GT(ruler->ruleThickness(), before);
    UserDefaults::standard().setObject(11, "syntaxFontSize");
    NotificationCenter::defaultCenter().postNotification(Preferences::sqlPreferenceUpdateNotification);
}

TEST_F(SQLTextViewTest, ColouredEditorPicture)
{
    view->setVerticalRuler(std::make_unique<SQLEditorRulerView>(view.get()));
    view->setShowQueryBreaks(true);
    view->textStorage()->setReservedWords(
        {"select", "from", "where", "and", "order", "by", "insert", "into", "values"});
    view->textStorage()->setContextWords({"emp", "dept"});
    setText("-- employees of one department\nselect ename, \"sal\"\n  from emp\n where deptno = :dept\n"
            "   and job = 'CLERK'\n order by (sal + 1);\n\n\ninsert into dept values (50, 'X');");
    view->textStorage()->markActiveRange({31, 20});
    view->setSelectedRange(int(text().indexOf("1)")) + 2, 0);
    const QImage picture = view->grab().toImage();
    const QString path = qEnvironmentVariable("VORN_BUILD_DIR", ".") + "/tests/editor-coloured.png";
    EXPECT_TRUE(picture.save(path));
    // Something in the reserved-word blue is on the picture.
    bool blue = false;
    for (int y = 0; y < picture.height() && !blue; ++y)
        for (int x = 0; x < picture.width() && !blue; ++x)
            blue = picture.pixelColor(x, y).blue() > 200 && picture.pixelColor(x, y).red() < 60;
    EXPECT_TRUE(blue);
}

TEST_F(SQLTextViewTest, ABoundStorageThatGoesAwayLeavesAnEmptyText)
{
    auto storage = std::make_unique<SQLEditorTextStorage>();
    storage->replaceContents("select 1");
    view->setTextStorage(storage.get());
    EXPECT_EQ(view->toPlainText(), "select 1");
    storage.reset();
    view->repaint();
    QTest::keyClicks(view.get(), "x");
    EXPECT_EQ(text(), "x");
}
