#include "document/VornDocument.h"
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "TestServers.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "connection/ConnectionDetails.h"
#include "connection/ConnectionPanel.h"
#include "document/ConnectionLife.h"
#include "document/LoggerViewController.h"
#include "document/StatusManagerButtonCell.h"
#include "document/StatusManagerPaneViewController.h"
#include "document/StatusManagerViewController.h"
#include "document/StatusManagerViewPart.h"
#include "editor/SQLEditorController.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/UserDefaults.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "status/StatusManagerMessage.h"
#include "tabs/TabbedWindowController.h"
#include "window/VornTabbedWindowController.h"

#include <QDialog>
#include <QPointer>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <optional>

#include <gtest/gtest.h>

namespace
{

const QString testRootClass = QStringLiteral("nl/dalmerik/vorn/DirtyTestRoot");

class VornDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        ASSERT_TRUE(folder.isValid());
        UserDefaults &defaults = UserDefaults::standard();
        defaults.setObject(true, "timeOutWhileConnecting");
        defaults.setObject(true, "keepConnectionAlive");
        defaults.setObject(false, "oracleIndexHints");
    }

    // Connects and waits until the attempt has ended, whatever its outcome.
    static void connectAndWait(VornDocument &document, ConnectionParametersPtr parameters)
    {
        document.setConnectionParameters(std::move(parameters));
        document.goStartupConnection();
        ASSERT_TRUE(document.connecting());
        ASSERT_WAIT_FOR_MS(!document.connecting(), 30000);
        ASSERT_WAIT_FOR_EQ(document.threadController()->numberOfRegisteredThreads(true), 0);
        // The worker posted its reports before it unregistered: they apply now.
        QCoreApplication::sendPostedEvents();
    }

    static QList<std::shared_ptr<StatusManagerMessage>> alerts(const VornDocument &document)
    {
        QCoreApplication::processEvents();
        return document.statusManager()->messageQueue();
    }

    QTemporaryDir folder;
};

TEST_F(VornDocumentTest, ConnectingToSqliteShowsTheFileInEveryStatus)
{
    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder, "shop.db")));

    EXPECT_TRUE(document.connected());
    EXPECT_EQ(document.statusManagerConnectionStatus(nullptr), VornDocument::Connected);
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Connected with shop.db");
    const QStringList log = logEntries(document);
    EXPECT_TRUE(log.contains("+ Connecting to shop.db")) << log.join('\n').toStdString();
    EXPECT_TRUE(log.contains(". Retrieving connection info for shop.db")) << log.join('\n').toStdString();
    EXPECT_TRUE(log.contains("- Connected with shop.db")) << log.join('\n').toStdString();
    EXPECT_TRUE(alerts(document).isEmpty());
    EXPECT_FALSE(document.vornRoot()->object()->call("reserved").toBool())
        << "the connect gives its reservation back";
    EXPECT_EQ(document.contextDisplayName(), "shop.db");
}

TEST_F(VornDocumentTest, ConnectingToAServerShowsUserAtDatabase)
{
    for (const QString type : {"PostgreSQL", "MySQL"}) {
        const std::optional<DatabaseTarget> target = serverTarget(type);
        VORN_REQUIRE_SERVER(target, type.toStdString());
        VornDocument document;
        connectAndWait(document, parametersFor(*target));

        const QString who = target->user + '@' + target->database;
        EXPECT_TRUE(document.connected()) << type.toStdString();
        const QStringList log = logEntries(document);
        EXPECT_TRUE(log.contains("+ Connecting as " + who)) << log.join('\n').toStdString();
        EXPECT_TRUE(log.contains(". Retrieving connection info for " + who)) << log.join('\n').toStdString();
        EXPECT_TRUE(log.contains("- Connected as " + who)) << log.join('\n').toStdString();
        EXPECT_EQ(document.contextDisplayName(),
                  QString("%1@%2 on %3").arg(target->user, target->database, target->server).toLower());
        document.close();
    }
}

TEST_F(VornDocumentTest, ABadTargetLeavesTheDocumentUnconnectedWithOneRetryAlert)
{
    QTcpServer closedPort;
    ASSERT_TRUE(closedPort.listen(QHostAddress::LocalHost));
    const QString port = QString::number(closedPort.serverPort());
    closedPort.close(); // nobody listens there now: the connection is refused

    VornDocument document;
    connectAndWait(document, parametersFor({"PostgreSQL", "127.0.0.1", port, "nothing", "nobody", "secret"}));

    EXPECT_FALSE(document.connected());
    EXPECT_EQ(document.statusManagerConnectionStatus(nullptr), VornDocument::NotConnected);
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Not connected");
    const QList<std::shared_ptr<StatusManagerMessage>> queued = alerts(document);
    ASSERT_EQ(queued.size(), 1);
    EXPECT_EQ(queued[0]->title, "Vorn wasn't able to connect to the database, do you want to retry?");
    EXPECT_EQ(queued[0]->defaultButton, "Retry");
    EXPECT_EQ(queued[0]->alternateButton, "Cancel");
    EXPECT_EQ(queued[0]->otherButton, "Change Connection");
    const QString backendMessage = queued[0]->message.section("Message: ", 1);
    EXPECT_FALSE(backendMessage.trimmed().isEmpty()) << queued[0]->message.toStdString();
    EXPECT_TRUE(logEntries(document).contains("~ " + backendMessage))
        << "the status carries the same message";
    EXPECT_EQ(document.contextDisplayName(), "Not connected - nobody@nothing on 127.0.0.1");

    // Cancel in the alert does nothing; Retry starts over with the same parameters.
    queued[0]->action(0);
    EXPECT_FALSE(document.connecting());
    queued[0]->action(1);
    EXPECT_TRUE(document.connecting());
    ASSERT_WAIT_FOR_MS(!document.connecting(), 30000);
    ASSERT_WAIT_FOR_EQ(alerts(document).size(), 1); // the same alert again is not queued twice
}

TEST_F(VornDocumentTest, AFailedConnectOverALiveOneLeavesTheDocumentUnconnected)
{
    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder)));
    ASSERT_TRUE(document.connected());
    document.setActiveContent(ContentPane::SimpleText);
    connectAndWait(document, parametersFor({"SQLite", "", "", folder.filePath("missing/dir/x.db"), "", ""}));
    EXPECT_FALSE(document.hasConnection());
    EXPECT_FALSE(document.connected());
    ASSERT_WAIT_FOR_EQ(document.activeContent(), ContentPane::Nothing);
    EXPECT_EQ(alerts(document).size(), 1);
    EXPECT_FALSE(document.connectedControllerWantsRootReservationFor(nullptr, "Executing"));
    EXPECT_EQ(alerts(document).size(), 1) << "no lost connection is reported for it";
}

TEST_F(VornDocumentTest, FlagWordCombinesAutoCommitKeepAliveAndIndexHints)
{
    struct Case {
        quint64 autoCommit;
        bool keepAlive;
        bool indexHints;
        qint32 flags;
    };
    const Case cases[] = {
        {0, false, false, 0}, {1, false, false, 1}, {0, true, false, 2}, {1, true, false, 3},
        {0, false, true, 4},  {1, false, true, 5},  {0, true, true, 6},  {1, true, true, 7},
        {2, true, true, 6},   {3, false, false, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(VornDocument::connectionFlags(c.autoCommit, c.keepAlive, c.indexHints), c.flags)
            << c.autoCommit << ' ' << c.keepAlive << ' ' << c.indexHints;
}

TEST_F(VornDocumentTest, ConnectStartHandsTheBackendItsFlagsTimeOutAndClientName)
{
    struct Case {
        quint64 autoCommit;
        bool keepAlive;
        bool indexHints;
        bool timeOut;
        QString expected; // time-out|flags
        quint64 storedAutoCommit;
    };
    const Case cases[] = {
        {1, true, true, true, "20|7", 1},
        {0, false, false, false, "0|0", 0},
        {3, false, true, true, "20|5", 1}, // any non-zero value but "ask" is auto-commit on
        {0, true, false, true, "20|2", 0},
    };
    for (const Case &c : cases) {
        UserDefaults &defaults = UserDefaults::standard();
        defaults.setObject(c.keepAlive, "keepConnectionAlive");
        defaults.setObject(c.indexHints, "oracleIndexHints");
        defaults.setObject(c.timeOut, "timeOutWhileConnecting");
        VornDocument document(testRootClass, nullptr);
        ConnectionParametersPtr parameters = parametersFor(sqliteTarget(folder), c.autoCommit);
        connectAndWait(document, parameters);
        EXPECT_EQ(document.vornRoot()->object()->call("lastConnect").toString(),
                  VornDocument::clientName() + '|' + c.expected);
        EXPECT_EQ(parameters->autoCommit(), c.storedAutoCommit);
        document.close();
    }
    EXPECT_TRUE(VornDocument::clientName().startsWith("Vorn "));
    EXPECT_FALSE(VornDocument::clientName().contains('('));
}

TEST_F(VornDocumentTest, ReservationIsGrantedRefusedWhenBusyAndSilentWhenNeverConnected)
{
    VornDocument never;
    EXPECT_FALSE(never.connectedControllerWantsRootReservationFor(nullptr, "Loading"));
    EXPECT_TRUE(alerts(never).isEmpty());
    EXPECT_FALSE(logEntries(never).join('\n').contains("Disconnected"));

    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder)));
    ASSERT_TRUE(document.connected());
    ASSERT_TRUE(document.connectedControllerWantsRootReservationFor(nullptr, "Executing"));
    // A second action while the first holds the root is not started, and nothing is disconnected.
    EXPECT_FALSE(document.connectedControllerWantsRootReservationFor(nullptr, "Refreshing"));
    EXPECT_TRUE(document.connected());
    EXPECT_TRUE(document.hasConnection());
    EXPECT_TRUE(alerts(document).isEmpty());
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Connected with test.db");
    EXPECT_TRUE(logEntries(document).join('\n').contains("\"Refreshing\" was not started"));

    document.connectedControllerWantsEndRootReservation(nullptr);
    EXPECT_TRUE(document.connected());
    EXPECT_TRUE(document.connectedControllerWantsRootReservationFor(nullptr, "Refreshing"));
    document.connectedControllerWantsEndRootReservation(nullptr);
}

TEST_F(VornDocumentTest, ALostConnectionIsReportedOnceAndClearsTheState)
{
    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder)));
    ASSERT_TRUE(document.connected());
    document.setActiveContent(ContentPane::SimpleText);
    document.vornRoot()->object()->call(
        "endConnection"); // the connection goes away behind the document's back

    EXPECT_FALSE(document.connectedControllerWantsRootReservationFor(nullptr, "Executing"));
    EXPECT_FALSE(document.connectedControllerWantsRootReservationFor(nullptr, "Executing"));
    const QList<std::shared_ptr<StatusManagerMessage>> queued = alerts(document);
    ASSERT_EQ(queued.size(), 1);
    EXPECT_EQ(queued[0]->title, "Database error");
    EXPECT_EQ(queued[0]->message, "Vorn lost the connection with the database.");
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Disconnected from the database");
    EXPECT_FALSE(document.connected());
    ASSERT_WAIT_FOR_EQ(document.activeContent(), ContentPane::Nothing);
}

TEST_F(VornDocumentTest, ClosingDuringAConnectLeavesNoAlertAndNoConnection)
{
    // A server that accepts and never answers keeps the connect waiting.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    UserDefaults::standard().setObject(false, "timeOutWhileConnecting");
    auto *document = new VornDocument;
    const std::shared_ptr<ThreadController> threads = document->threadController();
    const std::shared_ptr<StatusManager> status = document->statusManager();
    const QoJavaObjectPtr root = document->vornRoot()->object();
    document->setConnectionParameters(
        parametersFor({"PostgreSQL", "127.0.0.1", QString::number(silent.serverPort()), "db", "user", "pw"}));
    document->goStartupConnection();
    ASSERT_WAIT_FOR_MS(silent.hasPendingConnections(), 10000);
    QTcpSocket *socket = silent.nextPendingConnection();
    ASSERT_NE(socket, nullptr);
    ASSERT_TRUE(document->connecting());

    document->destroyResources();
    document->close();
    delete document; // as the document controller does right after closing

    ASSERT_WAIT_FOR_EQ_MS(threads->numberOfRegisteredThreads(true), 0, 20000);
    socket->abort(); // the driver, still waiting in the backend, gives up too
    // The worker posted its last steps before it unregistered: they all run now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(status->messageQueue().isEmpty());
    EXPECT_FALSE(root->call("hasConnection").toBool());
    // The root was de-initialised: it refuses to connect again.
    root->call("startNewConnection:::::::::",
               {"", "", sqliteTarget(folder).database, "", "", "SQLite", "t", 0, 0});
    EXPECT_FALSE(root->call("lastActionSuccessful").toBool());
}

TEST_F(VornDocumentTest, ARootHeldByAnotherActionFailsTheConnectAndStaysWithItsHolder)
{
    VornDocument document;
    ASSERT_TRUE(document.vornRoot()->object()->call("reserveRoot:", {"Importing"}).toBool());
    connectAndWait(document, parametersFor(sqliteTarget(folder)));
    EXPECT_FALSE(document.connected());
    EXPECT_FALSE(document.hasConnection());
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Not connected");
    const QList<std::shared_ptr<StatusManagerMessage>> queued = alerts(document);
    ASSERT_EQ(queued.size(), 1);
    EXPECT_TRUE(queued[0]->message.contains("Another action is still using this connection"));
    EXPECT_TRUE(document.vornRoot()->object()->call("reserved").toBool())
        << "the holder keeps its reservation";
}

TEST_F(VornDocumentTest, CancellingAConnectFromTheStatusBarWaitsWithoutBlocking)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    UserDefaults::standard().setObject(false, "timeOutWhileConnecting");
    VornDocument document;
    document.setConnectionParameters(
        parametersFor({"PostgreSQL", "127.0.0.1", QString::number(silent.serverPort()), "db", "user", "pw"}));
    document.goStartupConnection();
    ASSERT_WAIT_FOR_MS(silent.hasPendingConnections(), 10000);
    EXPECT_EQ(document.statusManagerConnectionStatus(nullptr), VornDocument::Connecting);
    EXPECT_EQ(document.contextDisplayName(), "Connecting...");
    ASSERT_TRUE(document.statusManagerCanCancelAction(nullptr));

    bool done = false;
    document.cancelConnectingWait(true, [&] { done = true; });
    EXPECT_FALSE(done) << "the wait runs on a timer";
    ASSERT_WAIT_FOR_MS(done, 10000);
    EXPECT_FALSE(document.connecting());
    EXPECT_TRUE(logEntries(document).contains("~ The user cancelled the connection"));
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Not connected");
    ASSERT_WAIT_FOR_EQ(document.threadController()->numberOfRegisteredThreads(true), 0);
    delete silent.nextPendingConnection();
}

TEST_F(VornDocumentTest, ReminderWaitsForThreeHundredSecondsThenAlertsOnceAndResets)
{
    VornDocument document(testRootClass, nullptr);
    EXPECT_TRUE(document.dirtyCheckTimer()->isActive());
    EXPECT_EQ(document.dirtyCheckTimer()->interval(), 30000);
    const QoJavaObjectPtr root = document.vornRoot()->object();

    document.connectionLife().checkForOutstandingTransaction(); // no transaction at all
    root->call("setFakeDirtySeconds:", {299});
    document.connectionLife().checkForOutstandingTransaction();
    EXPECT_TRUE(alerts(document).isEmpty());
    EXPECT_EQ(root->call("resetCount").toInt(), 0);

    root->call("setFakeDirtySeconds:", {300});
    document.connectionLife().checkForOutstandingTransaction();
    QList<std::shared_ptr<StatusManagerMessage>> queued = alerts(document);
    ASSERT_EQ(queued.size(), 1);
    EXPECT_EQ(queued[0]->title, "This connection has had uncommitted changes for more than 5 minutes.");
    EXPECT_EQ(queued[0]->defaultButton, "Commit");
    EXPECT_EQ(queued[0]->alternateButton, "Cancel");
    EXPECT_EQ(queued[0]->otherButton, "Rollback");
    EXPECT_EQ(root->call("resetCount").toInt(), 1);

    document.connectionLife().checkForOutstandingTransaction(); // the next tick: the count was reset
    EXPECT_EQ(alerts(document).size(), 1);

    queued[0]->action(0); // Cancel still restarts the count
    EXPECT_EQ(root->call("resetCount").toInt(), 2);
    root->call("setFakeDirtySeconds:", {-1});
}

TEST_F(VornDocumentTest, ReminderCommitEndsTheTransactionOnAWorker)
{
    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder), 0));
    TestRoot check;
    ASSERT_TRUE(check.connect(sqliteTarget(folder)));
    ASSERT_TRUE(document.connectedControllerWantsRootReservationFor(nullptr, "Setup"));
    const QoJavaObjectPtr sql = document.vornRoot()->object()->call("sqlConnection").value<QoJavaObjectPtr>();
    sql->call("executeQuery::", {"CREATE TABLE t (v INTEGER)", QVariant()});
    sql->call("executeQuery::", {"INSERT INTO t VALUES (1)", QVariant()});
    document.connectedControllerWantsEndRootReservation(nullptr);
    ASSERT_TRUE(document.hasDirtyConnection());

    document.connectionLife().checkForOutstandingTransactionResponse(1);
    ASSERT_WAIT_FOR_MS(!document.hasDirtyConnection(), 10000);
    ASSERT_WAIT_FOR(!document.vornRoot()->object()->call("reserved").toBool());
    ASSERT_WAIT_FOR_EQ(document.statusManager()->connectionStatusText(),
                       "Successfully committed changes to the database");
}

TEST_F(VornDocumentTest, ClosingTheTabAsksAboutTheTransactionThenTheText)
{
    using Pane = VornTabbedWindowController::Pane;
    VornDocument::registerWindowPanes();
    auto document = std::make_unique<VornDocument>();
    document->makeWindowControllers();
    document->setPreventConnectionOnShowWindows(true);
    document->showWindows();
    VornTabbedWindowController *controller = document->vornWindowController();
    ASSERT_NE(controller, nullptr);
    auto *status = qobject_cast<StatusManagerPaneViewController *>(controller->pane(Pane::Status));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->statusManagerViewController()->statusManager(), document->statusManager().get());
    auto *editor = qobject_cast<SQLEditorViewController *>(controller->pane(Pane::SqlEditor));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->sqlEditorController(), document->sqlEditorController());
    auto *log = qobject_cast<LoggerViewController *>(controller->pane(Pane::Logger));
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->loggerController(), document->statusManager()->loggerController());

    connectAndWait(*document, parametersFor(sqliteTarget(folder), 0));
    ASSERT_TRUE(document->connectedControllerWantsRootReservationFor(nullptr, "Setup"));
    const QoJavaObjectPtr sql =
        document->vornRoot()->object()->call("sqlConnection").value<QoJavaObjectPtr>();
    sql->call("executeQuery::", {"CREATE TABLE t (v INTEGER)", QVariant()});
    document->connectedControllerWantsEndRootReservation(nullptr);
    document->setDocumentEdited(true);
    ASSERT_TRUE(document->hasDirtyConnection());
    EXPECT_TRUE(document->isDocumentEdited());

    std::optional<bool> answer;
    document->canCloseDocumentWithDelegate([&](TabbedDocument *closing, bool shouldClose) {
        EXPECT_EQ(closing, document.get());
        answer = shouldClose;
    });
    QString text;
    ASSERT_TRUE(answerMessageBox("Rollback", &text));
    EXPECT_TRUE(text.contains("uncommitted changes")) << text.toStdString();
    ASSERT_TRUE(answerMessageBox("Don't Save", &text));
    EXPECT_TRUE(text.contains("save changes")) << text.toStdString();
    ASSERT_WAIT_FOR(answer.has_value());
    EXPECT_TRUE(*answer);
    EXPECT_FALSE(document->hasDirtyConnection());
    EXPECT_FALSE(document->isDocumentEdited());

    controller->doCloseDoc(document.get(), true);
    EXPECT_TRUE(document->isClosed());
    EXPECT_FALSE(document->vornRoot()->object()->call("hasConnection").toBool());
    for (Pane pane : {Pane::Status, Pane::Logger, Pane::SqlEditor})
        VornTabbedWindowController::setPaneMaker(pane, nullptr);
}

TEST_F(VornDocumentTest, TheStatusBarShowsTheSchemaAndWhereItIsConnected)
{
    using Pane = VornTabbedWindowController::Pane;
    VornDocument::registerWindowPanes();
    auto document = std::make_unique<VornDocument>();
    document->makeWindowControllers();
    document->setPreventConnectionOnShowWindows(true);
    document->showWindows();
    VornTabbedWindowController *controller = document->vornWindowController();
    auto *pane = qobject_cast<StatusManagerPaneViewController *>(controller->pane(Pane::Status));
    ASSERT_NE(pane, nullptr);
    StatusManagerViewController *bar = pane->statusManagerViewController();
    EXPECT_EQ(bar->databaseView()->text(), "Not connected");

    const DatabaseTarget target = sqliteTarget(folder, "shop.db");
    connectAndWait(*document, parametersFor(target));
    ASSERT_WAIT_FOR_EQ(bar->databaseView()->text(), QString("main"));
    EXPECT_EQ(bar->connectView()->buttonField()->toolTip(),
              QString("Connected to %1, click to disconnect").arg(target.database));

    document->connectionLife().documentShouldDisconnect(true);
    ASSERT_WAIT_FOR_EQ(bar->databaseView()->text(), QString("Not connected"));
    EXPECT_EQ(bar->connectView()->buttonField()->toolTip(),
              QString("Not connected, click to (re)connect to %1").arg(target.database));
    controller->doCloseDoc(document.get(), true);
    for (Pane pane : {Pane::Status, Pane::Logger, Pane::SqlEditor})
        VornTabbedWindowController::setPaneMaker(pane, nullptr);
}

TEST_F(VornDocumentTest, TypingInTheEditorIsAnEditSettingTheTextIsNot)
{
    VornDocument document;
    document.setSqlContents("SELECT 1;");
    EXPECT_FALSE(document.hasDirtyDocument());
    QTextCursor cursor(document.sqlEditorController()->sqlEditorTextStorage());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("\nSELECT 2;");
    EXPECT_TRUE(document.hasDirtyDocument());
    EXPECT_EQ(document.sqlContents(), "SELECT 1;\nSELECT 2;");
}

TEST_F(VornDocumentTest, ConnectAsksForAConnectionAndConnectsToTheChosenOne)
{
    VornDocument document;
    document.showWindows(); // without parameters the connection choice opens
    ASSERT_WAIT_FOR(document.connectionPanel() && document.connectionPanel()->panel()->isVisible());
    ConnectionPanel *panel = document.connectionPanel();
    panel->connectionViewControllerWantsToConnect(panel->connectionViewController(),
                                                  parametersFor(sqliteTarget(folder)));
    EXPECT_FALSE(panel->panel()->isVisible());
    ASSERT_WAIT_FOR_MS(!document.connecting(), 30000);
    ASSERT_WAIT_FOR_EQ(document.threadController()->numberOfRegisteredThreads(true), 0);
    QCoreApplication::sendPostedEvents(); // the connect's own reports
    EXPECT_TRUE(document.connected());

    // Choosing another connection ends the live one first.
    document.connect(nullptr);
    EXPECT_FALSE(document.hasConnection());
    EXPECT_FALSE(document.connected());
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Disconnected from the database");
    ASSERT_NE(document.connectionPanel(), panel);
    ASSERT_WAIT_FOR(document.connectionPanel()->panel()->isVisible());
    document.connectionPanel()->cancel();
}

TEST_F(VornDocumentTest, AutoCommitAskedEveryTimeIsAnsweredBeforeConnecting)
{
    VornDocument document(testRootClass, nullptr);
    ConnectionParametersPtr parameters = parametersFor(sqliteTarget(folder), 2);
    document.setConnectionParameters(parameters);
    document.goStartupConnection();
    QString text;
    ASSERT_TRUE(answerMessageBox("Cancel", &text));
    EXPECT_TRUE(text.startsWith("Do you wish to use Auto-Commit ?")) << text.toStdString();
    QCoreApplication::processEvents();
    EXPECT_FALSE(document.connecting()) << "a cancelled question starts no connect";
    EXPECT_EQ(parameters->autoCommit(), 2u);

    document.goStartupConnection();
    ASSERT_TRUE(answerMessageBox("Use Auto-Commit"));
    EXPECT_EQ(parameters->autoCommit(), 1u);
    ASSERT_WAIT_FOR_MS(document.connected(), 30000);
    EXPECT_TRUE(document.vornRoot()->object()->call("lastConnect").toString().endsWith("|3"));
    document.close();
}

TEST_F(VornDocumentTest, ReconnectOffersThePreviousConnection)
{
    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder)));
    document.connectionLife().documentShouldDisconnect(true);
    ASSERT_FALSE(document.hasConnection());
    document.reconnect(nullptr);
    QString text;
    ASSERT_TRUE(answerMessageBox("Reconnect", &text));
    EXPECT_TRUE(text.startsWith("Do you wish to reconnect to " + sqliteTarget(folder).database + "\n"))
        << text.toStdString();
    ASSERT_WAIT_FOR_MS(document.connected(), 30000);
}

TEST_F(VornDocumentTest, ASecondCloseWhileTheChecksAskIsRefused)
{
    VornDocument document;
    document.setDocumentEdited(true);
    std::optional<bool> first;
    std::optional<bool> second;
    document.canCloseDocumentWithDelegate([&](TabbedDocument *, bool answer) { first = answer; });
    ASSERT_NE(waitForMessageBox(), nullptr);
    document.canCloseDocumentWithDelegate([&](TabbedDocument *, bool answer) { second = answer; });
    EXPECT_EQ(second, false);
    ASSERT_TRUE(answerMessageBox("Don't Save"));
    ASSERT_WAIT_FOR_EQ(first, std::optional<bool>(true));
}

TEST_F(VornDocumentTest, DisconnectEndsTheConnection)
{
    VornDocument document;
    connectAndWait(document, parametersFor(sqliteTarget(folder)));
    document.connectionLife().documentShouldDisconnect(true);
    EXPECT_FALSE(document.hasConnection());
    EXPECT_FALSE(document.connected());
    EXPECT_EQ(document.statusManager()->connectionStatusText(), "Disconnected from the database");
    EXPECT_EQ(document.contextDisplayName(), "Not connected - test.db");
}

TEST_F(VornDocumentTest, IdentityAndDisplay)
{
    ConnectionParameters parameters;
    parameters.setServer("db1");
    parameters.setPort("1521");
    parameters.setDatabase("sales");
    parameters.setUserName("app");
    EXPECT_EQ(VornDocument::uniqueConnectionIdentifier(&parameters), "DB1_1521_SALES_APP");

    VornDocument document;
    EXPECT_EQ(document.contextDisplayName(), "Not connected");
    EXPECT_EQ(document.connectionLife().reconnectName(), QString());
    document.setConnectionParameters(std::make_shared<ConnectionParameters>(parameters));
    EXPECT_EQ(document.connectionLife().reconnectName(), "sales as app");
    // The name is made of what the parameters hold, never of blanks ("as ,").
    const struct {
        const char *database;
        const char *server;
        const char *user;
        QString name;
    } names[] = {
        {"/data/shop.db", "", "", "/data/shop.db"},
        {"", "db1", "app", "db1 as app"},
        {"", "db1", "", "db1"},
        {"", "", "app", QString()},
    };
    for (const auto &n : names) {
        auto named = std::make_shared<ConnectionParameters>();
        named->setDatabase(n.database);
        named->setServer(n.server);
        named->setUserName(n.user);
        VornDocument unnamed;
        unnamed.setConnectionParameters(named);
        EXPECT_EQ(unnamed.connectionLife().reconnectName(), n.name) << n.database << n.server << n.user;
    }
    EXPECT_EQ(document.toolbarFeatures(), 46 + 1) << "auto-commit off offers commit and rollback";
    document.connectionParameters()->setAutoCommit(1);
    document.setActiveContent(ContentPane::Procedure);
    EXPECT_EQ(document.toolbarFeatures(), 46 + 64);
    EXPECT_EQ(document.documentState(), TabbedDocumentStateNone);
    document.setDocumentEdited(true);
    EXPECT_EQ(document.documentState(), TabbedDocumentStateDirty);
    // A waiting alert outranks the unsaved text until the tab is looked at.
    document.statusManager()->runErrorWithTitle("Database error", "Something");
    ASSERT_WAIT_FOR_EQ(document.documentState(), TabbedDocumentStateAlert);
    document.documentTabDidBecomeMain();
    EXPECT_EQ(document.documentState(), TabbedDocumentStateDirty);

    VornDocument other;
    other.setConnectionParameters(document.connectionParameters());
    EXPECT_NE(other.vornRoot(), document.vornRoot());
    EXPECT_FALSE(other.vornRoot()->object()->isEqualTo(document.vornRoot()->object()));
    EXPECT_NE(other.threadController(), document.threadController());
    EXPECT_NE(other.statusManager(), document.statusManager());
}

TEST(VornDocumentWindowPanes, EveryWindowCanShowTheConnectionDetailsSheet)
{
    VornDocument::registerWindowPanes();
    VornTabbedWindowController controller;
    EXPECT_TRUE(qobject_cast<ConnectionDetails *>(controller.sharedConnectionDetailsViewController()));
}

} // namespace
