#include "connection/ConnectionHelper.h"

#include "InMemoryKeychainScope.h"

#include <gtest/gtest.h>

class ConnectionHelperTest : public ::testing::Test
{
protected:
    InMemoryKeychainScope scope;
};

TEST_F(ConnectionHelperTest, ServiceAndAccountStringsForEveryType)
{
    const struct {
        const char *type, *server, *port, *database, *user, *service, *account;
    } cases[] = {
        {"Oracle", "dbhost", "1521", "ORCL", "scott", "vorn:oracle//scott@dbhost:1521/ORCL",
         "Database login for scott @ dbhost"},
        {"MySQL", "m", "3306", "shop", "root", "vorn:mysql//root@m:3306/shop", "Database login for root @ m"},
        {"PostgreSQL", "p", "5432", "db", "pg", "vorn:postgresql//pg@p:5432/db", "Database login for pg @ p"},
        {"SQL Server", "s", "1433", "master", "sa", "vorn:sqlserver//sa@s:1433/master",
         "Database login for sa @ s"},
        {"DB2", "x", "50000", "d", "u", "vorn:oracle//u@x:50000/d", "Database login for u @ x"},
        {"SQLite", "", "", "file:///home/me/shop.db", "", "vorn:sqlite//file:///home/me/shop.db",
         "Database login for shop.db"},
        {"PostgreSQL", "p", "5432", "db", "", "vorn:postgresql//@p:5432/db", "Database login for db"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.service);
        EXPECT_EQ(ConnectionHelper::urlForDatabaseType(c.type, c.server, c.port, c.database, c.user),
                  c.service);
        EXPECT_EQ(ConnectionHelper::accountForUserName(c.user, c.server, c.database), c.account);
    }
}

TEST_F(ConnectionHelperTest, StoringTwiceKeepsOneItemWithTheSecondPassword)
{
    ConnectionHelper::storePasswordInKeychainType("MySQL", "høst", "3306", "db", "ünïcode", "one");
    ConnectionHelper::storePasswordInKeychainType("MySQL", "høst", "3306", "db", "ünïcode", "twö");
    EXPECT_EQ(scope.keychain().itemCount(), 1);
    EXPECT_EQ(ConnectionHelper::passwordFromKeychainType("MySQL", "høst", "3306", "db", "ünïcode"),
              std::optional<QString>("twö"));
    EXPECT_FALSE(ConnectionHelper::passwordFromKeychainType("MySQL", "høst", "3307", "db", "ünïcode"));
}
