// A preferences file edited by hand: what the connection list reads from it, and what survives the
// list's next write.
#include "connection/SavedConnections.h"
#include "connection/ConnectionListModel.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace
{

class SavedConnectionsTest : public ::testing::Test
{
protected:
    // The preferences file as the user left it; the store opens it afresh.
    UserDefaults &handEdited(const QJsonObject &content)
    {
        QFile file(path_);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(content).toJson());
        file.close();
        defaults_ = std::make_unique<UserDefaults>(path_);
        return *defaults_;
    }

    // The file as it is on disk now.
    QJsonObject onDisk()
    {
        defaults_->synchronize();
        QFile file(path_);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // The keys the list was kept aside under.
    QStringList asideKeys()
    {
        QStringList keys;
        for (const QString &key : onDisk().keys()) {
            if (key.startsWith(SavedConnections::allConnectionsKey + ".unreadable-"))
                keys.append(key);
        }
        return keys;
    }

    // The connection list adds one connection and writes its list.
    void addConnectionThroughTheList()
    {
        ConnectionListModel model(defaults_.get());
        model.reloadConnections();
        auto added = std::make_shared<ConnectionParameters>(QVariantMap{{"name", "added"}});
        model.saveConnection(added);
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath("Vorn.json");
    std::unique_ptr<UserDefaults> defaults_;
};

} // namespace

TEST_F(SavedConnectionsTest, NumbersAndTruthValuesWhereTextIsExpectedAreReadAndKept)
{
    handEdited({{"allConnections", QJsonArray{QJsonObject{{"name", 2024},
                                                          {"databaseType", "PostgreSQL"},
                                                          {"server", "db.example.org"},
                                                          {"port", 5432},
                                                          {"database", "app"},
                                                          {"username", true},
                                                          {"autocommit", "1"},
                                                          {"label", 4.0}}}}});

    const QList<ConnectionParametersPtr> connections = SavedConnections::allConnections(defaults_.get());
    ASSERT_EQ(connections.size(), 1);
    EXPECT_EQ(connections[0]->port(), "5432");
    EXPECT_EQ(connections[0]->connectionName(), "2024");
    EXPECT_EQ(connections[0]->userName(), "true");
    EXPECT_EQ(connections[0]->autoCommit(), 1u);
    EXPECT_EQ(connections[0]->label(), 4u);

    addConnectionThroughTheList();
    const QJsonArray written = onDisk().value("allConnections").toArray();
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[0].toObject().value("port").toVariant().toString(), "5432")
        << "the port survives the list's next write";
    EXPECT_EQ(written[0].toObject().value("server").toString(), "db.example.org");
    EXPECT_TRUE(asideKeys().isEmpty());
}

TEST_F(SavedConnectionsTest, WhatIsNoListOfConnectionsIsKeptAsideNotDropped)
{
    const QJsonObject pgEntry{{"name", "pg"}, {"databaseType", "PostgreSQL"}, {"port", "5432"}};
    struct Case {
        const char *what;
        QJsonValue stored;
        // The value expected under the aside key, and the connections left in the list.
        QJsonValue aside;
        QStringList listed;
    };
    const std::vector<Case> cases{
        {"an object", QJsonObject{{"0", pgEntry}}, QJsonObject{{"0", pgEntry}}, {}},
        {"a text", "pg, my", "pg, my", {}},
        {"entries that are no dictionaries", QJsonArray{pgEntry, "my", 7}, QJsonArray{"my", 7}, {"pg"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        handEdited({{"allConnections", c.stored}, {"other", 1}});

        QStringList listed;
        for (const ConnectionParametersPtr &connection : SavedConnections::allConnections(defaults_.get()))
            listed.append(connection->connectionName());
        EXPECT_EQ(listed, c.listed);
        addConnectionThroughTheList();

        const QStringList aside = asideKeys();
        ASSERT_EQ(aside.size(), 1);
        const QJsonObject file = onDisk();
        EXPECT_EQ(file.value(aside.first()), c.aside);
        EXPECT_EQ(file.value("allConnections").toArray().size(), c.listed.size() + 1);
        EXPECT_EQ(file.value("other").toInt(), 1);

        // Read again, nothing more moves.
        SavedConnections::allConnections(defaults_.get());
        EXPECT_EQ(asideKeys().size(), 1);
    }
}
