#include "connection/ConnectionViewController.h"
#include "WaitFor.h"

#include "BackendTestSupport.h"
#include "InMemoryKeychainScope.h"
#include "RefusingKeychain.h"
#include "connection/ConnectionHelper.h"
#include "connection/ConnectionViewControllerDelegate.h"
#include "connection/SavedConnections.h"
#include "platform/UserDefaults.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

class RecordingHost : public ConnectionViewControllerDelegate
{
public:
    void connectionViewControllerWantsToCancel(ConnectionViewController *) override
    {
        calls.append("cancel");
    }
    void connectionViewControllerWantsToConnect(ConnectionViewController *,
                                                const ConnectionParametersPtr &parameters) override
    {
        calls.append("connect");
        connected = parameters;
    }
    void connectionViewControllerEnteredListMode(ConnectionViewController *) override
    {
        calls.append("list");
    }
    void connectionViewControllerEnteredEditMode(ConnectionViewController *) override
    {
        calls.append("edit");
    }

    QStringList calls;
    ConnectionParametersPtr connected;
};

QVariantMap saved(const QString &name, const QString &type, const QString &server, quint64 label)
{
    ConnectionParameters connection;
    connection.setConnectionName(name);
    connection.setDatabaseType(type);
    connection.setServer(server);
    connection.setPort(type == "Oracle" ? "1521" : "5432");
    connection.setDatabase("SALES");
    connection.setUserName("scott");
    connection.setLabel(label);
    return connection.dictionary();
}

// Writes the picture for a look by eye next to the test binary.
void savePicture(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("VORN_BUILD_DIR", QDir::tempPath()) + "/screenshots";
    QDir().mkpath(folder);
    QCoreApplication::processEvents(); // pending layout requests
    EXPECT_TRUE(widget->grab().save(folder + "/" + name + ".png"));
}

class ConnectionViewControllerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_NE(startedBackend(), nullptr); }

    void SetUp() override
    {
        for (const QString &key :
             {SavedConnections::allConnectionsKey, SavedConnections::lastSelectedConnectionKey,
              SavedConnections::lastSelectedConnectionGroupingKey})
            UserDefaults::standard().removeObjectForKey(key);
    }

    void saveConnections(const QVariantList &connections)
    {
        UserDefaults::standard().setObject(connections, SavedConnections::allConnectionsKey);
    }

    // A controller in a shown window.
    std::unique_ptr<ConnectionViewController> show()
    {
        auto controller = std::make_unique<ConnectionViewController>();
        controller->setDelegate(&host);
        window = std::make_unique<QWidget>();
        window->resize(480, 420);
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(controller->view());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return controller;
    }

    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->clear();
        QTest::keyClicks(field, text);
    }

    // Waits for the running test's result.
    static bool waitForResult(ConnectionViewController &controller)
    {
        return QTest::qWaitFor([&] { return controller.testTitle()->text() == "Connection test results"; },
                               60000);
    }

    InMemoryKeychainScope keychain;
    RecordingHost host;
    std::unique_ptr<QWidget> window;
    QTemporaryDir folder;
};

TEST_F(ConnectionViewControllerTest, GroupedListShowsSpannedHeaderRowsAndLabelDots)
{
    saveConnections({saved("Production", "Oracle", "dbhost", 1), saved("Staging", "PostgreSQL", "pghost", 4),
                     saved("Reporting", "PostgreSQL", "pghost", 0), saved("Archive", "Oracle", "dbhost", 7),
                     saved("Scratch", "Oracle", "", 5)});
    auto controller = show();
    QComboBox *grouping = controller->groupBySelection();
    grouping->setCurrentIndex(grouping->findData(ConnectionListModel::ServerGrouping));
    emit grouping->activated(grouping->currentIndex());

    QTableView *table = controller->connectionList();
    ASSERT_EQ(table->model()->rowCount(), 8);
    for (int row : {0, 2, 5}) {
        EXPECT_EQ(table->columnSpan(row, 0), 3) << row;
        EXPECT_EQ(table->rowHeight(row), 19) << row;
    }
    EXPECT_EQ(table->columnSpan(1, 0), 1);
    EXPECT_EQ(table->rowHeight(1), 17);
    EXPECT_FALSE(table->model()->index(1, 0).data(Qt::DecorationRole).value<QPixmap>().isNull());
    EXPECT_TRUE(table->model()->index(7, 0).data(Qt::DecorationRole).isNull()); // Reporting: no label
    // The selection (the second row of the ungrouped list) stays with its connection.
    EXPECT_EQ(table->selectionModel()->selectedRows().first().row(), 6);
    EXPECT_EQ(controller->selectedConnection()->connectionName(), "Staging");
    EXPECT_TRUE(controller->connectButton()->isEnabled());
    savePicture(window.get(), "connection-list-grouped");

    // A remembered grouping comes back with a new list.
    ConnectionViewController again;
    EXPECT_EQ(again.groupBySelection()->currentData().toInt(), int(ConnectionListModel::ServerGrouping));
}

TEST_F(ConnectionViewControllerTest, SearchWithoutResultDisablesRowButtonsAndDownArrowMovesToTheList)
{
    saveConnections(
        {saved("Production", "Oracle", "dbhost", 1), saved("Staging", "PostgreSQL", "pghost", 4)});
    auto controller = show();
    controller->searchField()->setFocus();
    QTest::keyClicks(controller->searchField(), "nothing");
    EXPECT_EQ(controller->connectionList()->model()->rowCount(), 0);
    for (QWidget *button : {static_cast<QWidget *>(controller->connectButton()),
                            static_cast<QWidget *>(controller->editButton()),
                            static_cast<QWidget *>(controller->duplicateButton()),
                            static_cast<QWidget *>(controller->removeButton()),
                            static_cast<QWidget *>(controller->optionsButton())})
        EXPECT_FALSE(button->isEnabled());
    typeInto(controller->searchField(), "stag");
    EXPECT_EQ(controller->selectedConnection()->connectionName(), "Staging");
    EXPECT_TRUE(controller->connectButton()->isEnabled());
    QTest::keyClick(controller->searchField(), Qt::Key_Down);
    EXPECT_TRUE(controller->connectionList()->hasFocus());
}

TEST_F(ConnectionViewControllerTest, LabelMenuRecoloursTheSelectedConnection)
{
    saveConnections(
        {saved("Production", "Oracle", "dbhost", 1), saved("Staging", "PostgreSQL", "pghost", 0)});
    auto controller = show();
    QStringList titles;
    for (QAction *item : controller->changeLabelMenu()->actions())
        titles.append(item->text());
    EXPECT_EQ(titles, QStringList({"No label", "Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Black",
                                   "Gray", "White"}));
    ASSERT_EQ(controller->selectedConnection()->connectionName(), "Staging");
    controller->changeLabelMenu()->actions().at(4)->trigger();
    EXPECT_EQ(SavedConnections::allConnections().at(1)->label(), 4u);
    EXPECT_EQ(controller->selectedConnection()->connectionName(), "Staging");
    EXPECT_FALSE(controller->connectionList()->model()->index(1, 0).data(Qt::DecorationRole).isNull());
}

TEST_F(ConnectionViewControllerTest, ConnectingHandsOverThePasswordOrOpensTheEditorWithoutKeyringItem)
{
    saveConnections(
        {saved("Production", "Oracle", "dbhost", 1), saved("Staging", "PostgreSQL", "pghost", 0)});
    ConnectionHelper::storePasswordInKeychainType("PostgreSQL", "pghost", "5432", "SALES", "scott", "pw");
    auto controller = show();
    QTableView *table = controller->connectionList();

    controller->connectionListDoubleClick(1);
    EXPECT_EQ(host.calls, QStringList({"connect"}));
    ASSERT_NE(host.connected, nullptr);
    EXPECT_EQ(host.connected->connectionName(), "Staging");
    EXPECT_EQ(host.connected->password(), "pw");
    EXPECT_EQ(UserDefaults::standard().integerForKey(SavedConnections::lastSelectedConnectionKey), 1);

    // No keyring item: the edit form instead, to type the password.
    table->selectRow(0);
    QTest::mouseClick(controller->connectButton(), Qt::LeftButton);
    EXPECT_EQ(host.calls, QStringList({"connect", "edit"}));
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::Edit);
    EXPECT_EQ(controller->connectionNameField()->text(), "Production");
    EXPECT_EQ(controller->serverField()->text(), "dbhost");
    EXPECT_EQ(controller->passwordField()->text(), "");
    EXPECT_EQ(controller->createSaveButton()->text(), "Save");

    // Escape from the host leaves the form unchanged.
    controller->externalCancelEdit();
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::List);
    EXPECT_EQ(host.calls.last(), "list");
}

TEST_F(ConnectionViewControllerTest, PasswordTheKeyringRefusesIsToldAndTheNextConnectAsksForIt)
{
    RefusingKeychainScope refusing;
    saveConnections({saved("Staging", "PostgreSQL", "pghost", 0)});
    ConnectionHelper::storePasswordInKeychainType("PostgreSQL", "pghost", "5432", "SALES", "scott", "old");
    refusing.keychain().refuses = true;
    auto controller = show();
    controller->connectionList()->selectRow(0);
    QTest::mouseClick(controller->editButton(), Qt::LeftButton);
    typeInto(controller->passwordField(), "new");
    QTest::mouseClick(controller->createSaveButton(), Qt::LeftButton);

    ASSERT_WAIT_FOR(window->findChild<QMessageBox *>() && window->findChild<QMessageBox *>()->isVisible());
    QMessageBox *alert = window->findChild<QMessageBox *>();
    EXPECT_EQ(alert->text(), "The password of the 'Staging' connection could not be stored in the keyring.");
    EXPECT_EQ(
        alert->informativeText(),
        "The connection is saved without it. Vorn will ask for the password the next time you connect.");
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    savePicture(window.get(), "connection-password-not-stored");
    alert->button(QMessageBox::Ok)->click();
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::List);

    // The older password is not used: connecting opens the form to type the password.
    host.calls.clear();
    controller->connectionListDoubleClick(0);
    EXPECT_EQ(host.calls, QStringList({"edit"}));
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::Edit);
    EXPECT_EQ(controller->passwordField()->text(), "");
}

TEST_F(ConnectionViewControllerTest, DatabaseFileConnectsWithoutAKeyringItem)
{
    saveConnections({QVariantMap{{"name", "Shop"},
                                 {"databaseType", "SQLite"},
                                 {"server", ""},
                                 {"port", ""},
                                 {"database", "file:///data/shop.db"},
                                 {"username", ""}}});
    auto controller = show();
    controller->connectionListDoubleClick(0);
    EXPECT_EQ(host.calls, QStringList({"connect"}));
    ASSERT_NE(host.connected, nullptr);
    EXPECT_EQ(host.connected->password(), "");
}

TEST_F(ConnectionViewControllerTest, EditFormSwitchesVariantsValidatesAndSaves)
{
    auto controller = show();
    controller->createNew();
    EXPECT_EQ(host.calls, QStringList({"edit"}));
    EXPECT_EQ(controller->connectionNameField()->text(), "New connection");
    EXPECT_EQ(controller->databaseTypePopup()->currentIndex(), 0);
    EXPECT_FALSE(controller->regularDatabaseOptions()->isVisible());
    EXPECT_FALSE(controller->fileDatabaseOptions()->isVisible());
    EXPECT_FALSE(controller->createSaveButton()->isEnabled());
    EXPECT_EQ(controller->createSaveButton()->text(), "Create");

    QComboBox *type = controller->databaseTypePopup();
    type->setCurrentIndex(type->findText("PostgreSQL"));
    emit type->activated(type->currentIndex());
    EXPECT_TRUE(controller->regularDatabaseOptions()->isVisible());
    EXPECT_EQ(controller->portField()->text(), "5432");
    typeInto(controller->connectionNameField(), "Warehouse");
    typeInto(controller->serverField(), "dwh.example.com");
    typeInto(controller->databaseField(), "warehouse");
    EXPECT_FALSE(controller->testConnectionButton()->isEnabled()); // no user name yet
    typeInto(controller->usernameField(), "analyst");
    typeInto(controller->passwordField(), "secret");
    EXPECT_TRUE(controller->createSaveButton()->isEnabled());
    EXPECT_TRUE(controller->testConnectionButton()->isEnabled());
    controller->colorLabelPopup()->setCurrentIndex(5);
    emit controller->colorLabelPopup()->activated(5);
    savePicture(window.get(), "connection-editor-server");

    type->setCurrentIndex(type->findText("SQLite"));
    emit type->activated(type->currentIndex());
    EXPECT_FALSE(controller->regularDatabaseOptions()->isVisible());
    EXPECT_TRUE(controller->fileDatabaseOptions()->isVisible());
    EXPECT_FALSE(controller->createSaveButton()->isEnabled());
    controller->chooseLocalDatabaseFile(QUrl::fromLocalFile(folder.filePath("shop.db")));
    EXPECT_EQ(controller->databaseLocalField()->text(),
              QUrl::fromLocalFile(folder.filePath("shop.db")).toString());
    EXPECT_TRUE(controller->createSaveButton()->isEnabled());
    savePicture(window.get(), "connection-editor-file");

    type->setCurrentIndex(type->findText("PostgreSQL"));
    emit type->activated(type->currentIndex());
    EXPECT_EQ(controller->serverField()->text(), ""); // a type change starts the variant afresh
    typeInto(controller->serverField(), "dwh.example.com");
    typeInto(controller->databaseField(), "warehouse");
    typeInto(controller->usernameField(), "analyst");
    QTest::mouseClick(controller->createSaveButton(), Qt::LeftButton);
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::List);
    EXPECT_EQ(host.calls.last(), "list");
    const QList<ConnectionParametersPtr> all = SavedConnections::allConnections();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all.first()->connectionName(), "Warehouse");
    EXPECT_EQ(all.first()->server(), "dwh.example.com");
    EXPECT_EQ(all.first()->port(), "5432");
    EXPECT_EQ(controller->selectedConnection()->connectionName(), "Warehouse");
}

TEST_F(ConnectionViewControllerTest, DuplicateAndRemoveThroughTheButtons)
{
    saveConnections({saved("Production", "Oracle", "dbhost", 1)});
    auto controller = show();
    QTest::mouseClick(controller->duplicateButton(), Qt::LeftButton);
    EXPECT_EQ(controller->connectionNameField()->text(), "Production Copy");
    EXPECT_EQ(controller->createSaveButton()->text(), "Create");
    QTest::mouseClick(controller->createSaveButton(), Qt::LeftButton);
    ASSERT_EQ(SavedConnections::allConnections().size(), 2);
    EXPECT_EQ(controller->selectedConnection()->connectionName(), "Production Copy");

    // The alert is answered "Remove".
    QString asked;
    QTimer::singleShot(0, [&] {
        auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(alert, nullptr);
        asked = alert->text();
        for (QAbstractButton *button : alert->buttons())
            if (button->text() == "Remove")
                button->click();
    });
    QTest::mouseClick(controller->removeButton(), Qt::LeftButton);
    EXPECT_EQ(asked, "Are you sure you want to remove the 'Production Copy' connection?");
    ASSERT_EQ(SavedConnections::allConnections().size(), 1);
    EXPECT_EQ(SavedConnections::allConnections().first()->connectionName(), "Production");
}

TEST_F(ConnectionViewControllerTest, TestingALocalFileShowsProgressThenTheResult)
{
    const QString path = folder.filePath("shop.db");
    QFile(path).open(QIODevice::WriteOnly);
    auto controller = show();
    controller->createNew();
    QComboBox *type = controller->databaseTypePopup();
    type->setCurrentIndex(type->findText("SQLite"));
    emit type->activated(type->currentIndex());
    controller->chooseLocalDatabaseFile(QUrl::fromLocalFile(path));
    QTest::mouseClick(controller->testConnectionButton(), Qt::LeftButton);
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::Test);
    EXPECT_EQ(controller->testTitle()->text(), "Testing connection");
    EXPECT_EQ(controller->testResultView()->text(),
              "Standby while Vorn is testing the connection to the database.");
    EXPECT_EQ(controller->testContinueButton()->text(), "Cancel");
    EXPECT_TRUE(controller->testProgress()->isVisible());

    ASSERT_TRUE(waitForResult(*controller));
    EXPECT_EQ(controller->testResultView()->text(), "Vorn successfully made a connection");
    EXPECT_EQ(controller->testContinueButton()->text(), "Continue");
    EXPECT_FALSE(controller->testProgress()->isVisible());
    QTest::mouseClick(controller->testContinueButton(), Qt::LeftButton);
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::Edit);
}

TEST_F(ConnectionViewControllerTest, TypedLocalFileIsTestedAndAMissingOneIsToldSo)
{
    const QString path = folder.filePath("typed.db");
    QFile(path).open(QIODevice::WriteOnly);
    auto controller = show();
    controller->createNew();
    QComboBox *type = controller->databaseTypePopup();
    type->setCurrentIndex(type->findText("SQLite"));
    emit type->activated(type->currentIndex());

    typeInto(controller->databaseLocalField(), path);
    QTest::mouseClick(controller->testConnectionButton(), Qt::LeftButton);
    EXPECT_EQ(controller->databaseLocalField()->text(), QUrl::fromLocalFile(path).toString());
    ASSERT_TRUE(waitForResult(*controller));
    EXPECT_EQ(controller->testResultView()->text(), "Vorn successfully made a connection");

    QTest::mouseClick(controller->testContinueButton(), Qt::LeftButton);
    const QString missing = folder.filePath("missing.db");
    typeInto(controller->databaseLocalField(), missing);
    QTest::mouseClick(controller->testConnectionButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForResult(*controller));
    EXPECT_EQ(controller->testResultView()->text(),
              "Vorn couldn't connect to the database:\n\nThe database file '" + missing +
                  "' does not exist.");
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(ConnectionViewControllerTest, CancelledTestReturnsAtOnceAndItsLateEndLeavesANewerResult)
{
    SilentServer silent;
    auto controller = show();
    controller->createNew();
    QComboBox *type = controller->databaseTypePopup();
    type->setCurrentIndex(type->findText("PostgreSQL"));
    emit type->activated(type->currentIndex());
    typeInto(controller->serverField(), "127.0.0.1");
    typeInto(controller->portField(), silent.port());
    typeInto(controller->databaseField(), "db");
    typeInto(controller->usernameField(), "user");
    QTest::mouseClick(controller->testConnectionButton(), Qt::LeftButton);
    ASSERT_WAIT_FOR_MS(silent.hasPendingConnections(), 20000);

    QTest::mouseClick(controller->testContinueButton(), Qt::LeftButton); // "Cancel"
    EXPECT_EQ(controller->mode(), ConnectionViewController::Mode::Edit);

    const QString path = folder.filePath("newer.db");
    QFile(path).open(QIODevice::WriteOnly);
    type->setCurrentIndex(type->findText("SQLite"));
    emit type->activated(type->currentIndex());
    controller->chooseLocalDatabaseFile(QUrl::fromLocalFile(path));
    QTest::mouseClick(controller->testConnectionButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForResult(*controller));
    ASSERT_WAIT_FOR_EQ_MS(ConnectionTest::runningThreads(), 0, 15000);
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->testResultView()->text(), "Vorn successfully made a connection");
}

} // namespace
