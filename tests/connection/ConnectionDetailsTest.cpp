#include "connection/ConnectionDetails.h"

#include "BackendTestSupport.h"
#include "TestServers.h"
#include "client/VornRootClient.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

TEST(ConnectionDetailsTest, KindOfConnectionFollowsTheFlagsInOrder)
{
    struct Case {
        const char *what;
        QVariantMap info;
        QString text;
    };
    const Case cases[] = {
        {"no flags", {}, ""},
        {"TNS false", {{"connectedUsingTns", false}}, "Service Name Connection"},
        {"TNS true", {{"connectedUsingTns", true}}, "TNS Name Connection"},
        {"SSL false changes nothing",
         {{"connectedUsingTns", false}, {"connectedUsingSsl", false}},
         "Service Name Connection"},
        {"TNS and SSL", {{"connectedUsingTns", true}, {"connectedUsingSsl", true}}, "Secure SSL Connection"},
        {"SQL authentication",
         {{"connectedUsingSsl", true}, {"connectedUsingWindowsAuthentication", false}},
         "SQL Authentication Connection"},
        {"Windows authentication",
         {{"connectedUsingWindowsAuthentication", true}},
         "Windows Authentication Connection"},
        {"Windows authentication with domain",
         {{"connectedUsingWindowsAuthentication", true}, {"windowsAuthenticationDomain", "CORP"}},
         "Windows Authentication Connection, Domain: CORP"},
        // Anything but a true Boolean is not a claim of SSL.
        {"SSL as an object", {{"connectedUsingSsl", QVariant::fromValue(QoJavaObjectPtr())}}, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ConnectionDetails::additionalDetails(c.info), c.text) << c.what;
}

TEST(ConnectionDetailsTest, DriverAndProductShowNameAndVersionOnTwoLines)
{
    const QVariantMap both{{"dbDriverName", "PostgreSQL JDBC Driver"}, {"dbDriverVersion", "42.5.1"}};
    EXPECT_EQ(ConnectionDetails::nameAndVersion(both, "dbDriverName", "dbDriverVersion"),
              "PostgreSQL JDBC Driver\n42.5.1");
    EXPECT_EQ(
        ConnectionDetails::nameAndVersion({{"dbDriverName", "jTDS"}}, "dbDriverName", "dbDriverVersion"),
        "jTDS");
    EXPECT_EQ(ConnectionDetails::nameAndVersion({}, "dbDriverName", "dbDriverVersion"), "");
}

TEST(ConnectionDetailsTest, ShowsAsASheetOnTheWindowAndIsReused)
{
    QWidget window;
    window.resize(640, 480);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ConnectionDetails details;
    const QVariantMap info{{"connectedAs", "scott"},
                           {"connectedTo", "SALES on dbhost:1521"},
                           {"connectedSince", "10-12-2026 14:50:01.3"},
                           {"dbDriverName", "Oracle JDBC driver"},
                           {"dbDriverVersion", "23.3"},
                           {"dbProductName", "Oracle"},
                           {"dbProductVersion", "Oracle Database 19c"},
                           {"connectedUsingTns", true}};
    details.showInfo(info, &window);
    QDialog *sheet = details.window();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->parentWidget(), &window);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(details.hostWindow(), &window);
    EXPECT_EQ(details.connectedAs()->text(), "scott");
    EXPECT_EQ(details.connectedWith()->text(), "SALES on dbhost:1521");
    EXPECT_EQ(details.connectedSince()->text(), "10-12-2026 14:50:01.3");
    EXPECT_EQ(details.driverDetails()->text(), "Oracle JDBC driver\n23.3");
    EXPECT_EQ(details.databaseDetails()->text(), "Oracle\nOracle Database 19c");
    EXPECT_EQ(details.additionalConnectionDetails()->text(), "TNS Name Connection");
    const QString folder = qEnvironmentVariable("VORN_BUILD_DIR", QDir::tempPath()) + "/screenshots";
    QDir().mkpath(folder);
    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet->grab().save(folder + "/connection-details.png"));

    details.close();
    EXPECT_FALSE(sheet->isVisible());
    // Missing keys leave empty texts on the next showing of the same sheet.
    details.showInfo({{"connectedAs", "other"}}, &window);
    EXPECT_EQ(details.window(), sheet);
    EXPECT_EQ(details.connectedWith()->text(), "");
    EXPECT_EQ(details.driverDetails()->text(), "");
    EXPECT_EQ(details.additionalConnectionDetails()->text(), "");
    details.close();
}

// The backend's information of a live PostgreSQL connection without SSL: its Boolean flag crosses as
// a bool and is not taken for an SSL connection.
TEST(ConnectionDetailsTest, LivePostgreSQLConnectionInformation)
{
    const std::optional<TestServer> server = TestServers::postgres();
    VORN_REQUIRE_SERVER(server, "PostgreSQL");
    ASSERT_NE(startedBackend(), nullptr);
    VornRootClientPtr root = VornRootClient::create();
    ASSERT_NE(root, nullptr);
    root->initRoot({QDir::tempPath()});
    const BackendOutcome connected =
        root->startNewConnection({server->host, server->port, server->database, server->user,
                                  server->password, "PostgreSQL", "Vorn", 10, 0});
    ASSERT_TRUE(connected.successful) << connected.errorMessage.toStdString();
    const QVariantMap info = root->connectionInfo();
    root->endConnection();
    root->deInitialize();

    ASSERT_TRUE(info.contains("connectedUsingSsl"));
    EXPECT_EQ(info.value("connectedUsingSsl").typeId(), QMetaType::Bool);
    QWidget window;
    window.show();
    ConnectionDetails details;
    details.showInfo(info, &window);
    EXPECT_EQ(details.connectedAs()->text(), server->user);
    EXPECT_EQ(details.additionalConnectionDetails()->text(), "");
    EXPECT_TRUE(details.driverDetails()->text().contains('\n'));
    EXPECT_TRUE(details.databaseDetails()->text().startsWith("PostgreSQL\n"));
    details.close();
}

} // namespace
