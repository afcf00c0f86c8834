#include "connection/ConnectionPanel.h"

#include "InMemoryKeychainScope.h"
#include "connection/ConnectionHelper.h"
#include "connection/ConnectionPanelDelegate.h"
#include "connection/ConnectionViewController.h"
#include "connection/DatabaseTypeTraits.h"
#include "connection/SavedConnections.h"
#include "platform/UserDefaults.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

class KnownTypeTraits : public DatabaseTypeTraits
{
public:
    bool hasLocalDatabaseFileConnection(const QString &type) const override { return type == "SQLite"; }
    bool hasDedicatedTransactionSupport(const QString &type) const override { return type != "MySQL"; }
};

// The document's side: records what it is handed and whether the sheet was still up.
class RecordingDocument : public ConnectionPanelDelegate
{
public:
    void connectionPanelWantsToConnect(ConnectionPanel *panel,
                                       const ConnectionParametersPtr &parameters) override
    {
        received.append(parameters);
        sheetVisibleWhenCalled = panel->panel()->isVisible();
    }

    QList<ConnectionParametersPtr> received;
    bool sheetVisibleWhenCalled = true;
};

class ConnectionPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ConnectionParameters connection;
        connection.setConnectionName("Staging");
        connection.setDatabaseType("PostgreSQL");
        connection.setServer("pghost");
        connection.setPort("5432");
        connection.setDatabase("SALES");
        connection.setUserName("scott");
        UserDefaults::standard().setObject(QVariantList{connection.dictionary()},
                                           SavedConnections::allConnectionsKey);
        window.resize(640, 480);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // A panel opened on the window, as the document does for every request.
    std::unique_ptr<ConnectionPanel> open()
    {
        auto panel = std::make_unique<ConnectionPanel>(nullptr, std::make_unique<KnownTypeTraits>());
        panel->setDelegate(&document);
        panel->openPanelOnWindow(&window);
        EXPECT_TRUE(panel->panel()->isVisible());
        EXPECT_EQ(panel->panel()->parentWidget(), &window);
        EXPECT_EQ(panel->panel()->windowModality(), Qt::WindowModal);
        return panel;
    }

    InMemoryKeychainScope keychain;
    RecordingDocument document;
    QWidget window;
};

TEST_F(ConnectionPanelTest, CancellingClosesTheSheetAndTellsTheDocumentNothing)
{
    auto panel = open();
    ConnectionViewController *list = panel->connectionViewController();
    EXPECT_FALSE(list->cancelButton()->isHidden());
    QSignalSpy finished(panel->panel(), &QDialog::finished);
    QTest::mouseClick(list->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(panel->panel()->isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 0);

    // The sheet can be shown again, and the panel's own cancel closes it too.
    panel->openPanelOnWindow(&window);
    QTest::keyClick(panel->panel(), Qt::Key_Escape);
    EXPECT_FALSE(panel->panel()->isVisible());
    EXPECT_TRUE(document.received.isEmpty());
}

TEST_F(ConnectionPanelTest, ConnectingClosesTheSheetBeforeTheDocumentGetsTheDefinition)
{
    ConnectionHelper::storePasswordInKeychainType("PostgreSQL", "pghost", "5432", "SALES", "scott", "pw");
    auto panel = open();
    QSignalSpy finished(panel->panel(), &QDialog::finished);
    QTest::mouseClick(panel->connectionViewController()->connectButton(), Qt::LeftButton);
    ASSERT_EQ(document.received.size(), 1);
    EXPECT_FALSE(document.sheetVisibleWhenCalled);
    EXPECT_EQ(document.received.first()->connectionName(), "Staging");
    EXPECT_EQ(document.received.first()->password(), "pw");
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 1);
}

TEST_F(ConnectionPanelTest, WithoutKeyringItemTheEditFormOpensInsideTheSheet)
{
    auto panel = open();
    ConnectionViewController *list = panel->connectionViewController();
    QTest::mouseClick(list->connectButton(), Qt::LeftButton);
    EXPECT_TRUE(panel->panel()->isVisible());
    EXPECT_EQ(list->mode(), ConnectionViewController::Mode::Edit);
    EXPECT_EQ(list->serverField()->text(), "pghost");
    EXPECT_TRUE(document.received.isEmpty());

    // Escape leaves the form, not the sheet.
    QTest::keyClick(list->passwordField(), Qt::Key_Escape);
    EXPECT_TRUE(panel->panel()->isVisible());
    EXPECT_EQ(list->mode(), ConnectionViewController::Mode::List);

    // Typing the password and saving stores it; connecting then goes through.
    QTest::mouseClick(list->editButton(), Qt::LeftButton);
    QTest::keyClicks(list->passwordField(), "typed");
    QTest::mouseClick(list->createSaveButton(), Qt::LeftButton);
    QTest::mouseClick(list->connectButton(), Qt::LeftButton);
    ASSERT_EQ(document.received.size(), 1);
    EXPECT_EQ(document.received.first()->password(), "typed");
}

TEST_F(ConnectionPanelTest, OpeningGoesBackToTheListWithTheSavedListReloaded)
{
    auto panel = open();
    ConnectionViewController *list = panel->connectionViewController();
    list->createNew();
    ASSERT_EQ(list->mode(), ConnectionViewController::Mode::Edit);
    panel->cancel();
    UserDefaults::standard().setObject(QVariantList{}, SavedConnections::allConnectionsKey);
    panel->openPanelOnWindow(&window);
    EXPECT_EQ(list->mode(), ConnectionViewController::Mode::List);
    EXPECT_FALSE(list->hasConnections());
}

TEST_F(ConnectionPanelTest, ShortcutsFollowTheMode)
{
    auto panel = open();
    ConnectionViewController *list = panel->connectionViewController();
    QStringList keys;
    for (const VisualShortcut &shortcut : list->visualShortcuts())
        keys.append(shortcut.keyEquivalent);
    EXPECT_EQ(keys, QStringList({"+", "\r", "\033", "f"}));
    list->setCanCancel(false);
    EXPECT_EQ(list->visualShortcuts().size(), 3);
    list->createNew();
    keys.clear();
    for (const VisualShortcut &shortcut : list->visualShortcuts())
        keys.append(shortcut.keyEquivalent);
    EXPECT_EQ(keys, QStringList({"\r", "t", "⎋"}));
    EXPECT_FALSE(list->visualShortcuts().first().enabled); // nothing to save yet
}

} // namespace
