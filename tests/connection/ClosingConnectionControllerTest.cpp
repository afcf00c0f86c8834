// The closing checks over every branch, with the sheets answered by the test, against a SQLite
// file through the real backend.
#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"
#include "client/SqlConnectionClient.h"
#include "client/VornRootClient.h"
#include "connection/ClosingDocumentController.h"
#include "connection/ClosingDocumentControllerDelegate.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"
#include "status/StatusManager.h"
#include "status/StatusManagerMessage.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

namespace
{

VornRootClientPtr newRoot()
{
    static bool configured = [] {
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QoJavaBridge::setSharedConfiguration(build.infoDictionary(), build.bundlePath());
        return true;
    }();
    Q_UNUSED(configured);
    VornRootClientPtr root = VornRootClient::create();
    if (!root)
        return nullptr;
    RootSettings settings;
    settings.supportFolder = QDir::tempPath();
    settings.quickFilterUseLikeMatchOnNumeric = false;
    root->initRoot(settings);
    return root;
}

// The document as the checks see it; every answer is the test's to set.
class FakeDocument : public ClosingDocumentControllerDelegate
{
public:
    explicit FakeDocument(VornRootClientPtr root) : root_(std::move(root)) {}

    bool canChangeFocus() override { return focus; }
    bool hasConnection() override { return true; }
    bool hasDirtyConnection() override
    {
        ++dirtyConnectionAsked;
        return dirtyConnection;
    }
    bool hasRunningQuery() override { return runningQuery; }
    void cancelRunningQuery() override
    {
        ++cancelled;
        if (onCancel)
            onCancel();
    }
    void cancelledClosingConnectionDidRollback() override { ++refreshedAfterRollback; }
    bool hasDirtyDocument() override { return dirtyDocument; }
    void discardDirtyDocument() override { dirtyDocument = false; }
    void saveDocumentWithDelegate(std::function<void(bool)> didSave) override
    {
        ++saves;
        didSave(saveSucceeds);
    }

    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &activity) override
    {
        reservedFor = activity;
        return grantReservation && root_->reserveRoot(activity);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        ++released;
        root_->releaseReservedRoot();
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override
    {
        return "___";
    }

    bool focus = true;
    bool dirtyConnection = false;
    bool runningQuery = false;
    bool dirtyDocument = false;
    bool saveSucceeds = true;
    bool grantReservation = true;
    std::function<void()> onCancel;
    int dirtyConnectionAsked = 0;
    int cancelled = 0;
    int refreshedAfterRollback = 0;
    int saves = 0;
    int released = 0;
    QString reservedFor;

private:
    VornRootClientPtr root_;
};

// A statement's worker, registered until it is stopped; then it runs its last step and ends.
class StatementThread
{
public:
    StatementThread(ThreadController &threads, std::function<void()> lastStep)
        : thread_([this, &threads, lastStep = std::move(lastStep)] {
              threads.registerThread("SQLEditorController._executeQueriesThread");
              registered_ = true;
              registered_.notify_all();
              stop_.wait(false);
              lastStep();
              threads.unRegisterThread();
              finished_ = true;
          })
    {
        registered_.wait(false);
    }
    ~StatementThread()
    {
        stop();
        // The last step may wait for the main thread.
        while (!finished_)
            QCoreApplication::processEvents();
        thread_.join();
    }
    void stop()
    {
        stop_ = true;
        stop_.notify_all();
    }

private:
    std::atomic<bool> registered_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

class ClosingConnectionControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        root = newRoot();
        ASSERT_NE(root, nullptr);
        window.show();
    }

    // A connection to a SQLite file with one uncommitted row.
    void connectWithOpenTransaction()
    {
        const QString path = folder.filePath("closing.db");
        QFile(path).open(QIODevice::WriteOnly);
        const BackendOutcome connected =
            root->startNewConnection({"", "", path, "", "", "SQLite", "test", 0, 0});
        ASSERT_TRUE(connected.successful) << connected.errorMessage.toStdString();
        const std::shared_ptr<SqlConnectionClient> sql = root->sqlConnection();
        sql->executeQuery("CREATE TABLE t (v INTEGER)", {});
        sql->executeQuery("INSERT INTO t VALUES (1)", {});
        ASSERT_TRUE(root->dirty());
    }

    template <typename Controller> void run(Controller &controller, FakeDocument &document)
    {
        controller.setDelegate(&document);
        controller.setThreadController(threads);
        controller.setStatusManager(status);
        controller.setShouldCloseCallback(
            [this](ClosingConnectionControllerDelegate *delegate, bool answer, void *context) {
                answeredBy = delegate;
                answeredContext = context;
                answer_ = answer;
            });
        controller.setShouldCloseContextInfo(&context);
        controller.runOnWindow(&window);
    }

    // Waits for the controller's sheet and presses the button with the title.
    static ::testing::AssertionResult press(ClosingConnectionController &controller, const QString &button)
    {
        const auto sheetShown = [&] {
            return controller.currentSheet() && controller.currentSheet()->isVisible();
        };
        VORN_WAIT_UNTIL(sheetShown(), 5000);
        if (!sheetShown())
            return ::testing::AssertionFailure() << "no sheet for " << button.toStdString();
        for (QAbstractButton *candidate : controller.currentSheet()->buttons()) {
            if (candidate->text() == button) {
                candidate->click();
                return ::testing::AssertionSuccess();
            }
        }
        return ::testing::AssertionFailure() << "no button " << button.toStdString();
    }

    std::optional<bool> waitForAnswer()
    {
        VORN_WAIT_UNTIL(answer_.has_value(), 10000);
        if (!answer_.has_value())
            ADD_FAILURE() << "no answer";
        return answer_;
    }

    QTemporaryDir folder;
    VornRootClientPtr root;
    QWidget window;
    std::shared_ptr<ThreadController> threads = std::make_shared<ThreadController>();
    std::shared_ptr<FakeVornRootClient> statusRoot = std::make_shared<FakeVornRootClient>();
    std::shared_ptr<StatusManager> status = std::make_shared<StatusManager>(statusRoot);
    int context = 0;
    std::optional<bool> answer_;
    ClosingConnectionControllerDelegate *answeredBy = nullptr;
    void *answeredContext = nullptr;
};

TEST_F(ClosingConnectionControllerTest, NothingToAskGoesAheadWithoutASheet)
{
    FakeDocument document(root);
    ClosingConnectionController connection(root);
    run(connection, document);
    EXPECT_EQ(answer_, true);
    EXPECT_EQ(connection.currentSheet(), nullptr);
    EXPECT_EQ(answeredBy, &document);
    EXPECT_EQ(answeredContext, &context);

    answer_.reset();
    ClosingDocumentController closing(root);
    run(closing, document);
    EXPECT_FALSE(answer_.has_value()) << "the document checker answers through the run loop";
    EXPECT_EQ(waitForAnswer(), true);
    EXPECT_EQ(answeredContext, &context);
}

TEST_F(ClosingConnectionControllerTest, FocusThatCannotChangeStopsTheChecks)
{
    FakeDocument document(root);
    document.focus = false;
    document.dirtyConnection = true;
    ClosingDocumentController closing(root);
    run(closing, document);
    EXPECT_EQ(answer_, false);
    EXPECT_EQ(document.dirtyConnectionAsked, 0);
}

TEST_F(ClosingConnectionControllerTest, WaitOnARunningStatementStaysWithoutAskingFurther)
{
    FakeDocument document(root);
    document.runningQuery = true;
    document.dirtyConnection = true;
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_TRUE(press(connection, "Wait"));
    EXPECT_EQ(waitForAnswer(), false);
    EXPECT_EQ(document.cancelled, 0);
    EXPECT_EQ(document.dirtyConnectionAsked, 0);
}

TEST_F(ClosingConnectionControllerTest, StopWaitsForTheStatementThreadWithoutBlocking)
{
    connectWithOpenTransaction();
    root->reserveRoot("Executing");
    // The statement's worker ends once it is cancelled, handing its end to the main thread first.
    StatementThread worker(*threads,
                           [this] { MainThread::postAndWait([this] { root->releaseReservedRoot(); }); });
    FakeDocument document(root);
    document.runningQuery = true;
    document.dirtyConnection = true;
    document.onCancel = [&] { worker.stop(); };
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_TRUE(press(connection, "Stop"));
    ASSERT_TRUE(press(connection, "Cancel")) << "after the stop come the uncommitted changes";
    EXPECT_EQ(waitForAnswer(), false);
    EXPECT_EQ(document.cancelled, 1);
    EXPECT_EQ(document.dirtyConnectionAsked, 1);
}

TEST_F(ClosingConnectionControllerTest, StopGivesUpWhenTheThreadOrTheReservationStays)
{
    connectWithOpenTransaction();
    root->reserveRoot("Executing");
    FakeDocument document(root);
    document.runningQuery = true;
    {
        // Reserved without any thread: nothing will give the root back.
        ClosingConnectionController connection(root);
        run(connection, document);
        ASSERT_TRUE(press(connection, "Stop"));
        EXPECT_EQ(waitForAnswer(), false);
        EXPECT_EQ(document.dirtyConnectionAsked, 0);
    }
    answer_.reset();
    StatementThread stuck(*threads, [] {});
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_TRUE(press(connection, "Stop"));
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(waitForAnswer(), false);
    EXPECT_GE(waited.elapsed(), 1000) << "seven waits of 0.2 s";
    EXPECT_EQ(document.dirtyConnectionAsked, 0);
    stuck.stop();
}

TEST_F(ClosingConnectionControllerTest, CommitOnAWorkerThenGoesAhead)
{
    connectWithOpenTransaction();
    FakeDocument document(root);
    document.dirtyConnection = true;
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_TRUE(press(connection, "Commit"));
    EXPECT_EQ(waitForAnswer(), true);
    EXPECT_EQ(document.reservedFor, "Committing changes");
    EXPECT_EQ(document.released, 1);
    EXPECT_FALSE(root->dirty());
    EXPECT_FALSE(root->reserved());
    EXPECT_EQ(status->connectionStatusText(), "Successfully committed changes to the database");
    EXPECT_EQ(threads->numberOfRegisteredThreads(true), 0);
}

TEST_F(ClosingConnectionControllerTest, RollbackThenCancelOnTheUnsavedDocumentRefreshesAndStays)
{
    connectWithOpenTransaction();
    FakeDocument document(root);
    document.dirtyConnection = true;
    document.dirtyDocument = true;
    ClosingDocumentController closing(root);
    run(closing, document);
    ASSERT_TRUE(press(closing, "Rollback"));
    ASSERT_TRUE(press(closing, "Cancel"));
    EXPECT_EQ(waitForAnswer(), false);
    EXPECT_TRUE(closing.didRollback());
    EXPECT_EQ(document.refreshedAfterRollback, 1);
    EXPECT_FALSE(root->dirty());
    EXPECT_EQ(status->connectionStatusText(), "Successfully rolled back changes to the database");
}

TEST_F(ClosingConnectionControllerTest, AFailedCommitReportsOnceAndStays)
{
    // Without a connection the backend refuses the commit.
    FakeDocument document(root);
    document.dirtyConnection = true;
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_TRUE(press(connection, "Commit"));
    EXPECT_EQ(waitForAnswer(), false);
    QCoreApplication::processEvents();
    const QList<std::shared_ptr<StatusManagerMessage>> alerts = status->messageQueue();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->title, "Database error");
    EXPECT_TRUE(alerts[0]->message.startsWith("Couldn't commit the changes to the database\n"));
    EXPECT_EQ(status->connectionStatusText(), "Error committing changes");
    EXPECT_EQ(document.released, 1);
    EXPECT_EQ(document.refreshedAfterRollback, 0);
}

TEST_F(ClosingConnectionControllerTest, CancelOrARefusedReservationStays)
{
    FakeDocument document(root);
    document.dirtyConnection = true;
    {
        ClosingConnectionController connection(root);
        run(connection, document);
        ASSERT_TRUE(press(connection, "Cancel"));
        EXPECT_EQ(waitForAnswer(), false);
    }
    answer_.reset();
    document.grantReservation = false;
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_TRUE(press(connection, "Rollback"));
    EXPECT_EQ(waitForAnswer(), false);
    EXPECT_EQ(document.released, 0);
}

TEST_F(ClosingConnectionControllerTest, EscapeTakesTheCautiousAnswer)
{
    FakeDocument document(root);
    document.dirtyConnection = true;
    ClosingConnectionController connection(root);
    run(connection, document);
    ASSERT_WAIT_FOR(connection.currentSheet() && connection.currentSheet()->isVisible());
    QTest::keyClick(connection.currentSheet(), Qt::Key_Escape);
    EXPECT_EQ(waitForAnswer(), false);
    EXPECT_TRUE(document.reservedFor.isEmpty()) << "Escape neither commits nor rolls back";
}

TEST_F(ClosingConnectionControllerTest, UnsavedDocumentIsSavedDiscardedOrKept)
{
    struct Case {
        QString button;
        bool saveSucceeds;
        bool expected;
        int saves;
        bool stillDirty;
    };
    const Case cases[] = {
        {"Don't Save", true, true, 0, false},
        {"Save", true, true, 1, true},
        {"Save", false, false, 1, true},
        {"Cancel", true, false, 0, true},
    };
    for (const Case &c : cases) {
        answer_.reset();
        FakeDocument document(root);
        document.dirtyDocument = true;
        document.saveSucceeds = c.saveSucceeds;
        ClosingDocumentController closing(root);
        run(closing, document);
        ASSERT_TRUE(press(closing, c.button));
        EXPECT_EQ(waitForAnswer(), c.expected) << c.button.toStdString();
        EXPECT_EQ(document.saves, c.saves) << c.button.toStdString();
        EXPECT_EQ(document.dirtyDocument, c.stillDirty) << c.button.toStdString();
    }
}

} // namespace
