#include "document/LoggerViewController.h"
#include "WaitFor.h"
#include "status/LoggerController.h"
#include "status/LoggerControllerDelegate.h"

#include "platform/NotificationCenter.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

// The document's part: passes each logger notice on to the pane.
struct Forwarder : LoggerControllerDelegate {
    LoggerViewController *pane = nullptr;
    void loggerControllerWasUpdated(LoggerController *) override { pane->loggingWasUpdated(); }
};

class LogPaneTest : public ::testing::Test
{
protected:
    LogPaneTest()
    {
        window.resize(700, 300);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(pane.view());
        window.show();
        forwarder.pane = &pane;
        logger.setDelegate(&forwarder);
    }

    QString shownText() const { return pane.textView()->toPlainText(); }

    // Positions of the "more..." badges in the text.
    QList<int> badges() const
    {
        QList<int> positions;
        const QString text = pane.textView()->document()->toRawText();
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i) == QChar::ObjectReplacementCharacter)
                positions << i;
        }
        return positions;
    }

    QColor colourAt(int position) const
    {
        QTextCursor cursor(pane.textView()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    }

    void clickBadge(int position)
    {
        QTextCursor cursor(pane.textView()->document());
        cursor.setPosition(position);
        const QRect caret = pane.textView()->cursorRect(cursor);
        QTest::mouseClick(pane.textView()->viewport(), Qt::LeftButton, {}, caret.center() + QPoint(6, 0));
    }

    QWidget window;
    LoggerController logger;
    LoggerViewController pane;
    Forwarder forwarder;
    const QColor darkRed = QColor::fromRgbF(0.5f, 0.0f, 0.0f);
};

} // namespace

TEST_F(LogPaneTest, ShowsTimesAndTextsWithAnEmptyLineBeforeEachGroup)
{
    logger.logStatusStart("Connecting");
    logger.logStatusEnd("Connected");
    logger.logStatusErrorEnd("Query failed", "syntax error");
    logger.logLine("just text"); // a continuation read back from an old file
    logger.logLine("+");         // shorter than a full entry
    pane.setLoggerController(&logger);

    const QStringList lines = shownText().split('\n');
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines.at(0), "");
    EXPECT_EQ(lines.at(1).mid(12), " " + QString(48, '-'));
    EXPECT_TRUE(lines.at(2).mid(13).startsWith("Starting session - "));
    EXPECT_EQ(lines.at(4), "");
    EXPECT_EQ(lines.at(5).mid(12), " Connecting");
    EXPECT_EQ(lines.at(6).mid(12), " Connected");
    EXPECT_EQ(lines.at(7).mid(12), " syntax error");
    EXPECT_EQ(lines.at(8).mid(12), " Query failed");
    EXPECT_EQ(lines.at(9).mid(12), " just text");
    EXPECT_EQ(lines.at(10).mid(12), " ");
    EXPECT_EQ(colourAt(shownText().indexOf("syntax error")), darkRed);
    EXPECT_NE(colourAt(shownText().indexOf("Query failed")), darkRed);
    EXPECT_EQ(pane.logged(), logger.logged());
}

TEST_F(LogPaneTest, FoldsLongAndMultiLineEntriesBehindABadge)
{
    const QString longText = QString("select ") + QString(300, 'x');
    logger.logStatusStart(longText);
    logger.logStatusErrorEnd("Failed", "ERROR: relation does not exist\nLINE 1: select * from nope");
    pane.setLoggerController(&logger);

    QList<int> found = badges();
    ASSERT_EQ(found.size(), 2);
    const int visible = int((pane.textView()->width() - 80.0) / pane.characterWidth());
    const QString firstLine = shownText().section('\n', 5, 5);
    EXPECT_EQ(firstLine.size(), visible + 1); // the characters that fit and the badge
    EXPECT_EQ(colourAt(found.at(1) - 1), darkRed);

    clickBadge(found.at(0));
    EXPECT_EQ(badges().size(), 1);
    EXPECT_TRUE(shownText().contains(longText));

    found = badges();
    clickBadge(found.at(0));
    EXPECT_TRUE(badges().isEmpty());
    const int rest = shownText().indexOf("LINE 1: select * from nope");
    ASSERT_GT(rest, 0);
    EXPECT_EQ(colourAt(rest), darkRed);
    EXPECT_TRUE(shownText().contains(" ERROR: relation does not exist\nLINE 1"));
}

TEST_F(LogPaneTest, NarrowPanesAndOddEntriesDoNotFail)
{
    pane.textView()->setFixedWidth(60);
    ASSERT_WAIT_FOR_EQ(pane.textView()->width(), 60);
    logger.logStatusStart(QString(100, 'y'));
    logger.logLine("~");
    logger.logLine("");
    pane.setLoggerController(&logger);
    EXPECT_FALSE(badges().isEmpty());
    EXPECT_TRUE(pane.unfoldMoreAttachmentAt(badges().first()));
    EXPECT_FALSE(pane.unfoldMoreAttachmentAt(0));
    EXPECT_FALSE(pane.unfoldMoreAttachmentAt(100000));
}

TEST_F(LogPaneTest, AppendsNewEntriesOnTheLoggersNotice)
{
    pane.setLoggerController(&logger);
    const int blocks = pane.textView()->document()->blockCount();
    logger.logStatusStart("Executing SQL Statement");
    logger.logStatusEnd("Statement executed");
    ASSERT_WAIT_FOR_EQ(pane.logged(), logger.logged());
    EXPECT_EQ(pane.textView()->document()->blockCount(), blocks + 3); // empty line and two entries
    EXPECT_TRUE(shownText().endsWith(" Statement executed\n"));
    const QScrollBar *bar = pane.textView()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(LogPaneTest, AHiddenPaneCatchesUpWhenShown)
{
    pane.setLoggerController(&logger);
    pane.view()->hide();
    for (int i = 0; i < 400; ++i)
        logger.logStatusUpdate(QStringLiteral("entry %1").arg(i));
    pane.loggingWasUpdated();
    EXPECT_EQ(pane.logged(), 3);

    pane.view()->show();
    NotificationCenter::defaultCenter().postNotification("ContentSplitViewBBecameVisible");
    EXPECT_EQ(pane.logged(), 403);
    const QStringList lines = shownText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 300);
    EXPECT_TRUE(lines.first().endsWith(" entry 100"));
    EXPECT_TRUE(lines.last().endsWith(" entry 399"));
}

TEST_F(LogPaneTest, StoresACopyOfTheLogReplacingAnExistingFile)
{
    pane.setLoggerController(&logger);
    logger.logStatusStart("Connecting");
    QTemporaryDir folder;
    const QString path = folder.filePath("Vorn.log");
    {
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("older contents that must go\n");
    }
    QString error;
    ASSERT_TRUE(pane.storeLogFile(path, &error)) << error.toStdString();
    QFile copy(path);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray bytes = copy.readAll();
    EXPECT_FALSE(bytes.contains("older contents"));
    EXPECT_TRUE(bytes.endsWith(" + Connecting\n")); // also what was not flushed yet

    EXPECT_FALSE(pane.storeLogFile(folder.filePath("missing/folder/Vorn.log"), &error));
    EXPECT_TRUE(error.startsWith("The log file could not be stored: "));
}

TEST_F(LogPaneTest, InterfaceState)
{
    for (int i = 0; i < 100; ++i)
        logger.logStatusUpdate(QStringLiteral("entry %1").arg(i));
    pane.setLoggerController(&logger);
    QVariantMap archive;
    pane.encodeInferfaceState(archive);
    EXPECT_EQ(archive.size(), 1);
    EXPECT_GT(archive.first().toRect().top(), 0);
    pane.setDefaultInterfaceState();
    EXPECT_EQ(pane.textView()->verticalScrollBar()->value(), 0);
}

TEST_F(LogPaneTest, LooksRight)
{
    logger.logStatusStart("Connecting to Sales");
    logger.logStatusEnd("Connected");
    logger.logStatusStart("Executing SQL Statement");
    logger.logStatusUpdate(
        "select * from customers where name like '%son' and created > now() - interval '1 day' "
        "order by created desc");
    logger.logStatusErrorEnd("Statement failed", "ERROR: column \"created\" does not exist\n  Position: 58");
    pane.setLoggerController(&logger);
    const QString path =
        QDir(qEnvironmentVariable("VORN_BUILD_DIR", QDir::tempPath())).filePath("log-pane.png");
    ASSERT_TRUE(window.grab().save(path));
}
