#include "status/LoggerController.h"
#include "WaitFor.h"
#include "status/LoggerControllerDelegate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace
{

QString markerOf(const QString &entry)
{
    return entry.section(' ', 1, 1);
}

QString textOf(const QString &entry)
{
    return entry.mid(15);
}

QByteArray fileContents(const QUrl &url)
{
    QFile file(url.toLocalFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QUrl writeLogFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(LoggerController::logsFolder()).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return QUrl::fromLocalFile(path);
}

QByteArray entryLine(int i, const char *marker = ".", int padding = 0)
{
    return QByteArray("10:00:00.000 ") + marker + " entry " + QByteArray::number(i) +
           QByteArray(padding, '_') + '\n';
}

struct CountingDelegate : LoggerControllerDelegate {
    int notices = 0;
    void loggerControllerWasUpdated(LoggerController *) override { ++notices; }
};

} // namespace

TEST(LoggerController, NewLogStartsWithTheBannerInAPrivateFileOfTheLogsFolder)
{
    LoggerController logger;
    const auto latest = logger.latestEntries();
    ASSERT_EQ(latest.logged, 3);
    EXPECT_EQ(latest.entries.at(0).mid(12), " + " + QString(48, '-'));
    EXPECT_TRUE(textOf(latest.entries.at(1)).startsWith("Starting session - "));
    EXPECT_EQ(markerOf(latest.entries.at(1)), ".");
    EXPECT_EQ(markerOf(latest.entries.at(2)), "-");
    EXPECT_EQ(latest.entries.at(0).indexOf(' '), 12);

    const QFileInfo file(logger.logFileUrl().toLocalFile());
    EXPECT_EQ(file.absolutePath(), LoggerController::logsFolder());
    EXPECT_TRUE(file.fileName().startsWith("document-"));
    EXPECT_EQ(file.permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    ASSERT_WAIT_FOR_EQ(fileContents(logger.logFileUrl()).count('\n'), 3);
}

TEST(LoggerController, MarkersFollowTheOpenStatus)
{
    using Step = std::function<void(LoggerController &)>;
    const Step start = [](LoggerController &l) { l.logStatusStart("busy"); };
    const Step update = [](LoggerController &l) { l.logStatusUpdate("step"); };
    const Step end = [](LoggerController &l) { l.logStatusEnd("done"); };
    const Step fail = [](LoggerController &l) { l.logStatusErrorEnd("failed", "ORA-1"); };
    const struct {
        const char *name;
        std::vector<Step> steps;
        QStringList markers;
    } cases[] = {
        {"busy twice then end", {start, start, end}, {"+", ".", "-"}},
        {"end without busy", {end}, {"+"}},
        {"error end without busy", {fail}, {"~", "-"}},
        {"busy, step, error", {start, update, fail}, {"+", ".", "~", "-"}},
        {"end closes the status", {start, end, end}, {"+", "-", "+"}},
        {"error closes the status", {fail, start}, {"~", "-", "+"}},
    };
    for (const auto &c : cases) {
        LoggerController logger;
        for (const Step &step : c.steps)
            step(logger);
        QStringList markers;
        for (const QString &entry : logger.latestEntries().entries.mid(3))
            markers << markerOf(entry);
        EXPECT_EQ(markers, c.markers) << c.name;
    }
}

TEST(LoggerController, KeepsTheLatestThreeHundredEntriesAndAnswersWhatIsNew)
{
    LoggerController logger;
    for (int i = 4; i <= 305; ++i)
        logger.logLine(QStringLiteral(". entry %1").arg(i));
    const auto latest = logger.latestEntries();
    EXPECT_EQ(latest.logged, 305);
    ASSERT_EQ(latest.entries.size(), 300);
    EXPECT_EQ(textOf(latest.entries.first()), "entry 6");
    EXPECT_EQ(textOf(latest.entries.last()), "entry 305");

    const auto lastFive = logger.entriesSince(300);
    ASSERT_TRUE(lastFive.has_value());
    ASSERT_EQ(lastFive->size(), 5);
    EXPECT_EQ(textOf(lastFive->first()), "entry 301");
    EXPECT_FALSE(logger.entriesSince(4).has_value());
    ASSERT_TRUE(logger.entriesSince(5).has_value());
    EXPECT_EQ(logger.entriesSince(5)->size(), 300);
    EXPECT_TRUE(logger.entriesSince(305)->isEmpty());
}

TEST(LoggerController, FlushesOncePerSecondAndTellsTheDelegate)
{
    LoggerController logger;
    CountingDelegate delegate;
    logger.setDelegate(&delegate);
    ASSERT_WAIT_FOR_EQ(delegate.notices, 1); // the banner
    for (int i = 0; i < 50; ++i)
        logger.logStatusUpdate(QStringLiteral("line %1\nsecond line").arg(i));
    ASSERT_WAIT_FOR_EQ(fileContents(logger.logFileUrl()).count('\n'), 3 + 100);
    EXPECT_EQ(delegate.notices, 2);
    EXPECT_TRUE(fileContents(logger.logFileUrl()).endsWith(" . line 49\nsecond line\n"));
}

TEST(LoggerController, EntriesFromManyThreadsAreAllKeptAndWritten)
{
    LoggerController logger;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&logger, t] {
            for (int i = 0; i < 200; ++i)
                logger.logStatusUpdate(QStringLiteral("thread %1 line %2").arg(t).arg(i));
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(logger.logged(), 803);
    ASSERT_WAIT_FOR_EQ(fileContents(logger.logFileUrl()).count('\n'), 803);
}

TEST(LoggerController, TwoLogsStartedTogetherHaveTheirOwnFiles)
{
    LoggerController first;
    LoggerController second;
    ASSERT_NE(first.logFileUrl(), second.logFileUrl());
    first.destroy();
    EXPECT_FALSE(QFileInfo::exists(first.logFileUrl().toLocalFile()));
    EXPECT_TRUE(QFileInfo::exists(second.logFileUrl().toLocalFile()));
}

TEST(LoggerController, ReadsBackTheEndOfALargeFile)
{
    QByteArray bytes;
    int i = 0;
    // Entries of 200 bytes, so that fewer than 300 lines fit in the part read back.
    while (bytes.size() < 30000)
        bytes += entryLine(i++, ".", 180);
    bytes += "10:00:00.000 ~ ERROR: relation \"x\" does not exist\n  Position: 15\n";
    bytes += "10:00:00.000 - failed\n";
    bytes += "10:00:00.000 . broken \xff\xfe bytes\n";
    bytes += "10:00:00.000 . " + QByteArray(20000, 'x') + '\n';
    while (bytes.size() < 70000)
        bytes += entryLine(i++, ".", 180);
    bytes += "10:00:00.000 . unterminated";
    const QUrl url = writeLogFile("readback.log", bytes);

    LoggerController logger;
    logger.readHotLinesFromLogFile(url);
    const auto latest = logger.latestEntries();

    const QByteArray tail = bytes.right(50000);
    const QByteArray afterCut = tail.mid(tail.indexOf('\n') + 1);
    const QByteArray firstComplete = afterCut.left(afterCut.indexOf('\n'));
    ASSERT_FALSE(latest.entries.isEmpty());
    EXPECT_EQ(latest.entries.first(), QString::fromUtf8(firstComplete));
    EXPECT_EQ(latest.logged, latest.entries.size());
    EXPECT_TRUE(
        latest.entries.contains("10:00:00.000 ~ ERROR: relation \"x\" does not exist\n  Position: 15"));
    EXPECT_EQ(latest.entries.filter("broken").size(), 1);
    const QStringList longEntry = latest.entries.filter("xxxx");
    ASSERT_EQ(longEntry.size(), 1);
    // An over-long line comes back in 8192-byte pieces, re-joined as continuation lines.
    EXPECT_EQ(longEntry.first().split('\n').first().size(), 8192);
    EXPECT_EQ(longEntry.first().count('x'), 20000);
    EXPECT_FALSE(latest.entries.last().contains("unterminated"));
    EXPECT_TRUE(textOf(latest.entries.last()).startsWith(QStringLiteral("entry %1_").arg(i - 1)));
}

TEST(LoggerController, ContinuesARestoredFile)
{
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += entryLine(i, i % 2 ? "-" : "+");
    ASSERT_LT(bytes.size(), 50000);
    const QUrl url = writeLogFile("document-restored.log", bytes);

    LoggerController logger;
    const QUrl ownFile = logger.logFileUrl();
    logger.continueLogFile(url);
    EXPECT_FALSE(QFileInfo::exists(ownFile.toLocalFile()));
    EXPECT_EQ(logger.logFileUrl(), url);
    const auto latest = logger.latestEntries();
    EXPECT_EQ(latest.logged, 303);
    ASSERT_EQ(latest.entries.size(), 300);
    EXPECT_EQ(textOf(latest.entries.first()), "entry 703");
    EXPECT_TRUE(textOf(latest.entries.at(298)).startsWith("Continuing interrupted session - "));

    logger.flushToDisk();
    const QByteArray after = fileContents(url);
    EXPECT_TRUE(after.startsWith(bytes));
    EXPECT_EQ(after.count('\n'), 1003);
    EXPECT_TRUE(after.contains("Continuing interrupted session - "));
}

TEST(LoggerController, AMissingRestoredFileStartsEmptyAndIsCreated)
{
    const QUrl url = QUrl::fromLocalFile(LoggerController::logsFolder() + "/document-gone.log");
    LoggerController logger;
    logger.continueLogFile(url);
    EXPECT_EQ(logger.latestEntries().entries.size(), 3);
    logger.flushToDisk();
    EXPECT_EQ(fileContents(url).count('\n'), 3);
}

TEST(LoggerController, NeverTouchesFilesOutsideTheLogsFolder)
{
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath("precious.txt");
    {
        QFile file(outside);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("10:00:00.000 + keep me\n");
    }
    const QString link = LoggerController::logsFolder() + "/document-link.log";
    ASSERT_TRUE(QFile::link(outside, link));
    const QString sneaky = LoggerController::logsFolder() + "/../Logs/../precious.log";

    for (const QString &target : {outside, link, sneaky}) {
        LoggerController logger;
        const QUrl ownFile = logger.logFileUrl();
        logger.continueLogFile(QUrl::fromLocalFile(target));
        EXPECT_EQ(logger.logFileUrl(), ownFile) << target.toStdString();
        logger.destroy();
        EXPECT_FALSE(QFileInfo::exists(ownFile.toLocalFile()));
    }
    EXPECT_EQ(fileContents(QUrl::fromLocalFile(outside)), "10:00:00.000 + keep me\n");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}
