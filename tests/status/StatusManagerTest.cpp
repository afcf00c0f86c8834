#include "FakeVornRootClient.h"
#include "StatusManagerFakes.h"
#include "WaitFor.h"

#include "platform/MainThread.h"
#include "status/LoggerController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

namespace
{

class StatusManagerTest : public ::testing::Test
{
protected:
    StatusManagerTest()
    {
        manager.setDelegate(&document);
        manager.setClock(clock.function());
    }

    QStringList loggedMarkers()
    {
        QStringList markers;
        for (const QString &entry : manager.loggerController()->latestEntries().entries.mid(3))
            markers << entry.section(' ', 1, 1);
        return markers;
    }

    QStringList loggedTexts()
    {
        QStringList texts;
        for (const QString &entry : manager.loggerController()->latestEntries().entries.mid(3))
            texts << entry.mid(15);
        return texts;
    }

    FakeClock clock;
    FakeNotifier notifier{clock};
    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    FakeDocument document;
    StatusManager manager{root, notifier.notifier};
};

QMessageBox *shownSheet(QWidget *window)
{
    for (QMessageBox *box : window->findChildren<QMessageBox *>()) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

QAbstractButton *buttonTitled(QMessageBox *box, const QString &title)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

// Runs work on a worker while the main thread waits for it without running its event loop, as a
// document does that joins its worker. Answers whether the worker returned in time; a worker that did
// not gets the event loop afterwards, so that the test fails instead of hanging.
bool returnsWhileTheMainThreadWaits(const std::function<void()> &work)
{
    std::promise<void> returned;
    std::future<void> finished = returned.get_future();
    std::thread worker([&] {
        work();
        returned.set_value();
    });
    const bool inTime = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    VORN_WAIT_UNTIL(finished.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 30000);
    worker.join();
    return inTime;
}

// Runs the event loop until what was posted to the main thread so far has run, and what that posted.
void runPostedWork()
{
    for (int round = 0; round < 2; ++round) {
        auto reached = std::make_shared<bool>(false);
        MainThread::post([reached] { *reached = true; });
        ASSERT_WAIT_FOR(*reached);
    }
}

// The document log after its banner, each entry as its marker and text.
QStringList loggedLines(const StatusManager &manager)
{
    QStringList lines;
    for (const QString &entry : manager.loggerController()->latestEntries().entries.mid(3))
        lines << entry.mid(13);
    return lines;
}

// The status as the status bar sees it at each refresh: "busy since <start>: text" or "final: text".
class StatusBarDocument : public FakeDocument
{
public:
    void statusManagerHasStatusUpdate(StatusManager *manager) override
    {
        FakeDocument::statusManagerHasStatusUpdate(manager);
        const QString state = manager->activeStatus()
                                  ? QStringLiteral("busy since %1").arg(manager->activeStatusStart())
                                  : QStringLiteral("final");
        seen << state + ": " + manager->connectionStatusText();
    }
    QStringList seen;
};

// A document that lets go of its status manager when it goes, as the application's document does,
// and notes whether it was ever asked a question off the main thread.
class ClosingDocument : public FakeDocument
{
public:
    explicit ClosingDocument(StatusManager &manager) : manager_(manager) { manager_.setDelegate(this); }
    ~ClosingDocument() override { manager_.setDelegate(nullptr); }

    bool statusManagerCurrentElementSupportsNotifications(StatusManager *manager) override
    {
        noteAskingThread();
        return FakeDocument::statusManagerCurrentElementSupportsNotifications(manager);
    }
    bool statusManagerDocumentIsActive(StatusManager *manager) override
    {
        noteAskingThread();
        return FakeDocument::statusManagerDocumentIsActive(manager);
    }

    std::atomic<bool> askedOnMainThread{true};

private:
    void noteAskingThread()
    {
        if (!MainThread::isMainThread())
            askedOnMainThread = false;
    }

    StatusManager &manager_;
};

// Collects the warnings Qt prints while it exists, from any thread.
class QtWarnings
{
public:
    QtWarnings() : previous_(qInstallMessageHandler(&QtWarnings::collect)) {}
    ~QtWarnings() { qInstallMessageHandler(previous_); }

    static QStringList collected()
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg || type == QtInfoMsg)
            return;
        std::lock_guard lock(mutex_);
        messages_ << message;
    }

    QtMessageHandler previous_;
    static inline std::mutex mutex_;
    static inline QStringList messages_;
};

} // namespace

TEST_F(StatusManagerTest, BusyTwiceThenEndLogsOneStatusGroupWithOneTimer)
{
    manager.setActiveConnectionStatus("Connecting");
    QTimer *firstTimer = manager.activeStatusUpdateTimer();
    ASSERT_NE(firstTimer, nullptr);
    clock.now += 3;
    manager.setActiveConnectionStatus("Executing SQL Statement", StatusManager::SqlEditor);
    manager.setActiveConnectionStatusAdditionalDetails("select 1");
    EXPECT_TRUE(manager.activeStatus());
    EXPECT_EQ(manager.activeStatusStart(), clock.now);
    EXPECT_EQ(manager.statusManagerSource(), StatusManager::SqlEditor);
    ASSERT_NE(manager.activeStatusUpdateTimer(), nullptr);
    EXPECT_TRUE(manager.activeStatusUpdateTimer()->isActive());
    EXPECT_EQ(manager.activeStatusUpdateTimer()->interval(), 1000);
    QCoreApplication::processEvents();
    EXPECT_EQ(notifier.notifier.busyObjectCount(), 1);

    manager.setConnectionStatus("Statement executed");
    EXPECT_FALSE(manager.activeStatus());
    EXPECT_EQ(manager.connectionStatusText(), "Statement executed");
    EXPECT_EQ(manager.activeStatusUpdateTimer(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(notifier.notifier.busyObjectCount(), 0);
    EXPECT_EQ(document.statusUpdates, 3);
    EXPECT_EQ(loggedMarkers(), (QStringList{"+", ".", ".", "-"}));
    EXPECT_EQ(loggedTexts(),
              (QStringList{"Connecting", "Executing SQL Statement", "select 1", "Statement executed"}));
}

TEST_F(StatusManagerTest, FinalStatusWithoutBusyOnlyLogsAndRefreshes)
{
    document.isActive = false;
    manager.setConnectionStatus("Disconnected");
    EXPECT_EQ(loggedMarkers(), QStringList{"+"});
    EXPECT_EQ(document.statusUpdates, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(notifier.alertCountUpdates, 0);
    EXPECT_TRUE(notifier.desktop.shown.isEmpty());
    EXPECT_EQ(manager.statusFlag(), StatusManager::NoAttention);
}

TEST_F(StatusManagerTest, ErrorEndLogsTheErrorBeforeTheStatus)
{
    manager.setActiveConnectionStatus("Connecting");
    manager.setConnectionStatus("Connection failed", "FATAL: password authentication failed");
    EXPECT_EQ(loggedMarkers(), (QStringList{"+", "~", "-"}));
    EXPECT_EQ(loggedTexts().at(1), "FATAL: password authentication failed");
}

TEST_F(StatusManagerTest, NotifiesOnlyForABackgroundDocumentBusyForASecond)
{
    const struct {
        const char *name;
        bool supports;
        bool active;
        double seconds;
        bool alertQueued;
        qint64 flag;
        bool notified;
    } cases[] = {
        {"background, long", true, false, 5.0, false, StatusManager::ActionFinished, true},
        {"background, exactly one second", true, false, 1.0, false, StatusManager::ActionFinished, true},
        {"background, short", true, false, 0.5, false, StatusManager::ActionFinished, false},
        {"document in front", true, true, 5.0, false, StatusManager::NoAttention, false},
        {"management view", false, false, 5.0, false, StatusManager::NoAttention, false},
        {"an alert is waiting", true, false, 5.0, true, StatusManager::AlertArrived, false},
    };
    for (const auto &c : cases) {
        FakeNotifier caseNotifier(clock);
        FakeDocument caseDocument;
        caseDocument.supportsNotifications = c.supports;
        caseDocument.isActive = c.active;
        StatusManager caseManager(root, caseNotifier.notifier);
        caseManager.setDelegate(&caseDocument);
        caseManager.setClock(clock.function());

        caseManager.setActiveConnectionStatus("Executing SQL Statement");
        if (c.alertQueued) {
            caseManager.runErrorWithTitle("Query failed", "syntax error");
            QCoreApplication::processEvents();
        }
        clock.now += c.seconds;
        caseManager.setConnectionStatus("Statement executed");

        QCoreApplication::processEvents();
        EXPECT_EQ(caseManager.statusFlag(), c.flag) << c.name;
        QStringList expected;
        if (c.alertQueued)
            expected << "Vorn: Query failed";
        if (c.notified)
            expected << "Vorn: Statement executed";
        EXPECT_EQ(caseNotifier.desktop.shown, expected) << c.name;
        EXPECT_EQ(caseNotifier.alertCountUpdates > 0, c.supports && !c.active) << c.name;
    }
}

TEST_F(StatusManagerTest, AnErrorAlertInTheBackgroundAsksForAttention)
{
    document.isActive = false;
    manager.runInfoWithTitle("Imported", "12 rows");
    QCoreApplication::processEvents();
    EXPECT_EQ(manager.statusFlag(), StatusManager::NoAttention);
    EXPECT_TRUE(notifier.desktop.shown.isEmpty());

    manager.runErrorWithTitle("Connection lost", "The server closed the connection");
    QCoreApplication::processEvents();
    EXPECT_EQ(manager.statusFlag(), StatusManager::AlertArrived);
    EXPECT_EQ(notifier.desktop.shown, QStringList{"Vorn: Connection lost"});

    manager.setActiveConnectionStatus("Reconnecting");
    clock.now += 10;
    manager.setConnectionStatus("Connected");
    QCoreApplication::processEvents();
    EXPECT_EQ(manager.statusFlag(), StatusManager::AlertArrived);
    EXPECT_EQ(notifier.desktop.shown.size(), 1);

    notifier.desktop.click(1); // the user clicks the notification
    EXPECT_EQ(document.requests, QStringList{"activate"});

    manager.runErrorWithTitle("Connection lost again", "The server closed the connection");
    QCoreApplication::processEvents();
    ASSERT_EQ(notifier.desktop.shown.size(), 2);
    manager.clearStatusFlag();
    EXPECT_EQ(manager.statusFlag(), StatusManager::NoAttention);
    EXPECT_EQ(notifier.desktop.closed, (QList<quint32>{1, 2})); // the clicked one, then the cleared one
}

TEST_F(StatusManagerTest, AlertsShowOneSheetAtATimeWithoutRepeats)
{
    QWidget window;
    window.resize(600, 400);
    window.show();
    document.window = &window;

    manager.runErrorWithTitle("Query failed", "syntax error at 1");
    manager.runErrorWithTitle("Query failed", "syntax error at 1"); // same as the showing sheet
    manager.runInfoWithTitle("Done", "3 rows");
    manager.runInfoWithTitle("Done", "3 rows"); // same as the last queued
    manager.runInfoWithTitle("Other", QString());
    manager.runInfoWithTitle("Other", QString()); // without a message never the same
    ASSERT_WAIT_FOR(shownSheet(&window));

    QStringList shown;
    while (QMessageBox *sheet = shownSheet(&window)) {
        shown << sheet->text();
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        sheet->buttons().first()->click();
        QCoreApplication::processEvents();
        ASSERT_WAIT_FOR(!sheet->isVisible() && (shownSheet(&window) || !manager.hasPendingAlert()));
    }
    EXPECT_EQ(shown, (QStringList{"Query failed", "Done", "Other", "Other"}));
    EXPECT_FALSE(manager.activeMessage());
}

TEST_F(StatusManagerTest, AlertsWaitForAWindowWithoutSheet)
{
    manager.runErrorWithTitle("Query failed", "syntax error");
    QCoreApplication::processEvents();
    EXPECT_TRUE(manager.hasPendingAlert()); // no window yet

    QWidget window;
    window.show();
    QMessageBox other(&window);
    other.setWindowModality(Qt::WindowModal);
    other.open();
    manager.runAlertIfAvailable(&window);
    EXPECT_TRUE(manager.hasPendingAlert());
    other.close();
    manager.runAlertIfAvailable(&window);
    EXPECT_FALSE(manager.hasPendingAlert());
    ASSERT_TRUE(manager.activeMessage());
    EXPECT_EQ(manager.activeMessage()->title, "Query failed");
}

TEST_F(StatusManagerTest, ThreeButtonAlertsAnswerWithTheButtonsReturnCode)
{
    QWidget window;
    window.show();
    document.window = &window;
    const struct {
        const char *button;
        int code;
    } cases[] = {{"Commit", 1}, {"Rollback", 0}, {"Cancel", -1}};
    for (const auto &c : cases) {
        QList<int> answers;
        manager.runErrorWithTitle("Uncommitted changes", QStringLiteral("Case %1").arg(c.button), "Commit",
                                  "Rollback", "Cancel", [&answers](int code) { answers << code; });
        ASSERT_WAIT_FOR(shownSheet(&window));
        QAbstractButton *button = buttonTitled(shownSheet(&window), c.button);
        ASSERT_NE(button, nullptr) << c.button;
        button->click();
        ASSERT_WAIT_FOR_EQ(answers, QList<int>{c.code});
        ASSERT_WAIT_FOR(!shownSheet(&window));
    }

    QList<int> answers;
    manager.runErrorWithTitle("Two buttons", "Escape", "Retry", "Stop", QString(),
                              [&answers](int code) { answers << code; });
    ASSERT_WAIT_FOR(shownSheet(&window));
    EXPECT_EQ(shownSheet(&window)->buttons().size(), 2);
    QTest::keyClick(shownSheet(&window), Qt::Key_Escape);
    ASSERT_WAIT_FOR_EQ(answers, QList<int>{0});
}

TEST_F(StatusManagerTest, StatusFromAWorkerThreadReachesTheDocumentOnTheMainThread)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        manager.setActiveConnectionStatus("Loading more results");
        manager.runErrorWithTitle("Fetch failed", "timeout");
        manager.setConnectionStatus("Loaded", "timeout");
        done = true;
    });
    ASSERT_WAIT_FOR(done);
    worker.join();
    ASSERT_WAIT_FOR(manager.hasPendingAlert());
    runPostedWork();
    EXPECT_TRUE(document.updatedOnMainThread);
    EXPECT_EQ(document.statusUpdates, 2);
    EXPECT_EQ(manager.activeStatusUpdateTimer(), nullptr);
    EXPECT_EQ(loggedMarkers(), (QStringList{"+", "~", "-"}));
}

TEST_F(StatusManagerTest, AWorkerReportsWithoutWaitingForTheBlockedMainThread)
{
    using Report = std::function<void(StatusManager &, FakeClock &)>;
    const struct {
        const char *name;
        Report report;
        double mainThreadLate; // seconds before the main thread gets to what was posted
        QStringList seen;
        QStringList logged;
        qint64 flag;
        QStringList shown;
        QStringList queued;
    } cases[] = {
        {"a long run in the background",
         [](StatusManager &manager, FakeClock &clock) {
             manager.setActiveConnectionStatus("Executing 2 SQL Statements", StatusManager::SqlEditor);
             manager.setActiveConnectionStatusAdditionalDetails("select 1");
             clock.now += 2;
             manager.setActiveConnectionStatus("Executing SQL statement 2 of 2", StatusManager::SqlEditor);
             manager.setActiveConnectionStatusAdditionalDetails("select 2");
             clock.now += 3;
             manager.setConnectionStatus("Successfully executed 2 SQL statements", QString(),
                                         StatusManager::SqlEditor);
         },
         0,
         QStringList{"busy since 1000: Executing 2 SQL Statements",
                     "busy since 1002: Executing SQL statement 2 of 2",
                     "final: Successfully executed 2 SQL statements"},
         QStringList{"+ Executing 2 SQL Statements", ". select 1", ". Executing SQL statement 2 of 2",
                     ". select 2", "- Successfully executed 2 SQL statements"},
         StatusManager::ActionFinished, QStringList{"Vorn: Successfully executed 2 SQL statements"},
         QStringList{}},
        {"a short run the main thread sees late",
         [](StatusManager &manager, FakeClock &clock) {
             manager.setActiveConnectionStatus("Loading");
             clock.now += 0.5;
             manager.setConnectionStatus("Loaded");
         },
         5, QStringList{"busy since 1000: Loading", "final: Loaded"}, QStringList{"+ Loading", "- Loaded"},
         StatusManager::ActionFinished, QStringList{}, QStringList{}},
        {"a long run the user stopped is neither announced nor marked",
         [](StatusManager &manager, FakeClock &clock) {
             manager.setActiveConnectionStatus("Executing SQL Statement", StatusManager::SqlEditor);
             clock.now += 5;
             manager.setStoppedConnectionStatus("Stopped execution of SQL statement",
                                                StatusManager::SqlEditor);
         },
         0,
         QStringList{"busy since 1000: Executing SQL Statement", "final: Stopped execution of SQL statement"},
         QStringList{"+ Executing SQL Statement", "- Stopped execution of SQL statement"},
         StatusManager::NoAttention, QStringList{}, QStringList{}},
        {"a failure with alerts",
         [](StatusManager &manager, FakeClock &clock) {
             manager.setActiveConnectionStatus("Loading more results");
             clock.now += 3;
             manager.runErrorWithTitle("Database error", "timeout");
             manager.setConnectionStatus("Error loading resultset", "timeout");
             manager.runErrorWithTitle("Uncommitted changes", "Commit them?", "Commit", "Rollback", "Cancel",
                                       [](int) {});
         },
         0, QStringList{"busy since 1000: Loading more results", "final: Error loading resultset"},
         QStringList{"+ Loading more results", "~ timeout", "- Error loading resultset"},
         StatusManager::AlertArrived, QStringList{"Vorn: Database error", "Vorn: Uncommitted changes"},
         QStringList{"Database error", "Uncommitted changes"}},
    };
    for (const auto &c : cases) {
        FakeClock caseClock;
        FakeNotifier caseNotifier(caseClock);
        StatusBarDocument caseDocument;
        caseDocument.isActive = false;
        StatusManager caseManager(root, caseNotifier.notifier);
        caseManager.setDelegate(&caseDocument);
        caseManager.setClock(caseClock.function());

        EXPECT_TRUE(returnsWhileTheMainThreadWaits([&] { c.report(caseManager, caseClock); })) << c.name;
        caseClock.now += c.mainThreadLate;
        runPostedWork();

        EXPECT_TRUE(caseDocument.updatedOnMainThread) << c.name;
        EXPECT_EQ(caseDocument.seen, c.seen) << c.name;
        EXPECT_EQ(loggedLines(caseManager), c.logged) << c.name;
        EXPECT_EQ(caseManager.connectionStatusText(), c.logged.last().mid(2)) << c.name;
        EXPECT_FALSE(caseManager.activeStatus()) << c.name;
        EXPECT_EQ(caseManager.activeStatusUpdateTimer(), nullptr) << c.name;
        EXPECT_EQ(caseNotifier.notifier.busyObjectCount(), 0) << c.name;
        EXPECT_EQ(caseManager.statusFlag(), c.flag) << c.name;
        EXPECT_EQ(caseNotifier.desktop.shown, c.shown) << c.name;
        QStringList queued;
        for (const auto &message : caseManager.messageQueue())
            queued << message->title;
        EXPECT_EQ(queued, c.queued) << c.name;
    }
}

TEST_F(StatusManagerTest, ADocumentClosedWhileAWorkerReportsIsNeverTouched)
{
    auto closing = std::make_unique<ClosingDocument>(manager);
    closing->isActive = false;
    std::atomic<bool> started{false};
    std::thread first([&] {
        manager.setActiveConnectionStatus("Loading more results");
        started = true;
    });
    WAIT_FOR(started && closing->statusUpdates == 1);
    first.join();

    // The rest of the run is on its way to the main thread when the document closes.
    EXPECT_TRUE(returnsWhileTheMainThreadWaits([this] {
        manager.runErrorWithTitle("Fetch failed", "timeout");
        clock.now += 5;
        manager.setConnectionStatus("Loaded", "timeout");
    }));
    EXPECT_TRUE(closing->askedOnMainThread);
    EXPECT_TRUE(closing->updatedOnMainThread);
    closing.reset();
    runPostedWork();

    EXPECT_EQ(manager.activeStatusUpdateTimer(), nullptr);
    EXPECT_EQ(notifier.notifier.busyObjectCount(), 0);
    EXPECT_TRUE(notifier.desktop.shown.isEmpty()); // there is no document to bring back
    EXPECT_EQ(manager.statusFlag(), StatusManager::NoAttention);
    ASSERT_EQ(manager.messageQueue().size(), 1);
    EXPECT_EQ(manager.messageQueue().first()->title, "Fetch failed");
    EXPECT_EQ(loggedLines(manager), (QStringList{"+ Loading more results", "~ timeout", "- Loaded"}));
}

TEST_F(StatusManagerTest, AManagerLastHeldByABusyWorkerGoesCleanly)
{
    QtWarnings warnings;
    auto owned = std::make_shared<StatusManager>(root, notifier.notifier);
    owned->setClock(clock.function());
    {
        ClosingDocument closing(*owned);
        owned->setActiveConnectionStatus("Executing SQL Statement"); // its elapsed-time timer runs
        ASSERT_NE(owned->activeStatusUpdateTimer(), nullptr);
    }
    // The document has closed; the worker reports once more and drops the last reference.
    EXPECT_TRUE(returnsWhileTheMainThreadWaits([owned = std::move(owned)]() mutable {
        owned->setActiveConnectionStatus("Executing SQL statement 2 of 2");
        owned.reset();
    }));
    runPostedWork();

    EXPECT_EQ(notifier.notifier.busyObjectCount(), 0);
    EXPECT_FALSE(notifier.notifier.busyTimerRunning());
    EXPECT_TRUE(QtWarnings::collected().isEmpty()) << QtWarnings::collected().join('\n').toStdString();
}

TEST_F(StatusManagerTest, ElapsedTimeTicksRefreshTextUnlessCancellingChanged)
{
    manager.setActiveConnectionStatus("Executing SQL Statement");
    const int before = document.statusUpdates;
    manager.activeStatusUpdate();
    EXPECT_EQ(document.textOnlyUpdates, 1);
    document.canCancel = true;
    manager.activeStatusUpdate();
    EXPECT_EQ(document.statusUpdates, before + 1);
    EXPECT_TRUE(manager.cacheCanCancel());
    ASSERT_WAIT_FOR_EQ_MS(document.textOnlyUpdates, 2, 3000); // the real 1 s timer

    manager.setConnectionStatus("Done");
    manager.activeStatusUpdate();
    EXPECT_EQ(document.textOnlyUpdates, 2);
}

TEST_F(StatusManagerTest, ReadOnlyReasons)
{
    const struct {
        const char *code;
        const char *reason;
        const char *extended;
    } cases[] = {
        {nullptr, "The resultset is readonly", "The resultset is readonly"},
        {"SOMETHINGNEW", "The resultset is readonly", "The resultset is readonly"},
        {"NOSTATE", "The results of a SQL statement cannot be edited",
         "With Vorn you cannot edit the results of a SQL statement. Use the browser to find a table "
         "containing "
         "the original data and edit it there."},
        {"VIEW", "A view cannot be edited",
         "With Vorn you cannot edit the results of a view. Use the browser to find a table containing the "
         "original data and edit it there."},
        {"NOPRIMARY", "Tables without a primary key cannot be edited",
         "With Vorn you cannot edit PostgreSQL tables without a primary key. Use the SQL editor to edit data "
         "in "
         "this table, or add a primary key to this table."},
        {"NORESULTSET", "There is no resultset", "There is no resultset for Vorn to edit"},
        {"MANAGEMENT", "Management views can not be edited",
         "With Vorn you can view various management related information. This information can not be edited "
         "by "
         "Vorn."},
        {"UNSUPPORTEDCOLUMNTYPE", "This table contains an unsupported columntype",
         "With Vorn you cannot edit tables that contain unsupported columntypes. Use the SQL Editor to edit "
         "data "
         "in this table."},
    };
    root->resultsetStateValue = ResultsetState{};
    root->resultsetStateValue->readOnly = true;
    for (const auto &c : cases) {
        root->resultsetStateValue->readOnlyReason = c.code ? QString(c.code) : QString();
        EXPECT_EQ(manager.readOnlyReason(), c.reason) << (c.code ? c.code : "null");
        EXPECT_EQ(manager.extendedReadOnlyReason(), c.extended) << (c.code ? c.code : "null");
    }
    root->resultsetStateValue->readOnly = false;
    EXPECT_TRUE(manager.readOnlyReason().isNull());
    EXPECT_TRUE(manager.extendedReadOnlyReason().isNull());
    root->resultsetStateValue->readOnly = true;
    root->resultsetStateValue.reset();
    EXPECT_TRUE(manager.readOnlyReason().isNull());
    manager.setVornRoot(nullptr);
    EXPECT_TRUE(manager.readOnlyReason().isNull());
}

TEST_F(StatusManagerTest, LoadedRowsComeFromTheResultSet)
{
    EXPECT_EQ(manager.loadedRows(), -1);
    EXPECT_FALSE(manager.fullyLoaded());
    root->resultsetStateValue = ResultsetState{};
    root->resultsetStateValue->rowCount = 250;
    EXPECT_EQ(manager.loadedRows(), 250);
    root->resultsetStateValue->fullyLoaded = true;
    EXPECT_TRUE(manager.fullyLoaded());
    manager.setVornRoot(nullptr);
    EXPECT_EQ(manager.loadedRows(), -1);
}

TEST_F(StatusManagerTest, EndingForgetsTheNotifierAndTheBusyPeriod)
{
    manager.setActiveConnectionStatus("Executing SQL Statement");
    clock.now += 5;
    document.isActive = false;
    manager.runErrorWithTitle("Query failed", "syntax error");
    QCoreApplication::processEvents();
    ASSERT_EQ(notifier.desktop.shown.size(), 1);
    manager.endStatusManager();
    QCoreApplication::processEvents();
    EXPECT_EQ(notifier.notifier.busyObjectCount(), 0);
    EXPECT_EQ(notifier.desktop.shown.size(), 1);
    EXPECT_EQ(manager.activeStatusUpdateTimer(), nullptr);
    EXPECT_EQ(notifier.desktop.closed, QList<quint32>{1}); // its notifications are withdrawn
    notifier.desktop.click(1);
    EXPECT_TRUE(document.requests.isEmpty());
}
