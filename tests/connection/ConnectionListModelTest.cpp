#include "connection/ConnectionListModel.h"

#include "connection/SavedConnections.h"
#include "platform/UserDefaults.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QSize>
#include <gtest/gtest.h>

#include <memory>

namespace
{

struct Saved {
    const char *name;
    const char *type;
    const char *server;
    const char *user;
    quint64 label;
};

QVariantMap dictionaryOf(const Saved &saved)
{
    ConnectionParameters connection;
    connection.setConnectionName(saved.name);
    connection.setDatabaseType(saved.type);
    connection.setServer(saved.server);
    connection.setPort("1");
    connection.setDatabase("db");
    connection.setUserName(saved.user);
    connection.setLabel(saved.label);
    return connection.dictionary();
}

class ConnectionListModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &key :
             {SavedConnections::allConnectionsKey, SavedConnections::lastSelectedConnectionKey,
              SavedConnections::lastSelectedConnectionGroupingKey})
            defaults().removeObjectForKey(key);
    }

    static UserDefaults &defaults() { return UserDefaults::standard(); }

    // Saves the connections and loads them into a new model.
    std::unique_ptr<ConnectionListModel> load(const QList<Saved> &connections)
    {
        QVariantList dictionaries;
        for (const Saved &saved : connections)
            dictionaries.append(dictionaryOf(saved));
        defaults().setObject(dictionaries, SavedConnections::allConnectionsKey);
        auto model = std::make_unique<ConnectionListModel>();
        model->reloadConnections();
        return model;
    }

    // The rows as names, headers in brackets.
    static QStringList rowNames(const ConnectionListModel &model)
    {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString name = model.connectionAt(row)->connectionName();
            names.append(model.isHeaderRow(row) ? "[" + name + "]" : name);
        }
        return names;
    }

    static QStringList savedNames()
    {
        QStringList names;
        for (const ConnectionParametersPtr &connection : SavedConnections::allConnections())
            names.append(connection->connectionName());
        return names;
    }

    const QList<Saved> mixed{
        {"Prod Oracle", "Oracle", "dbhost", "scott", 3},
        {"Test Postgres", "PostgreSQL", "pghost", "", 0},
        {"Shop file", "SQLite", "", "", 5},
        {"Dev Oracle", "Oracle", " ", "dev", 1},
        {"Reports", "MySQL", "dbhost", "scott", 8},
    };
};

TEST_F(ConnectionListModelTest, SearchMatchesEveryWordOfTheText)
{
    struct Case {
        const char *text;
        QStringList rows;
    };
    const Case cases[] = {
        {"", {"Prod Oracle", "Test Postgres", "Shop file", "Dev Oracle", "Reports"}},
        {"  ora  prod ", {"Prod Oracle"}},
        {"ORACLE", {"Prod Oracle", "Dev Oracle"}},
        {"scott dbhost", {"Prod Oracle", "Reports"}},
        // The colour name of the label is part of the searched text.
        {"yellow", {"Prod Oracle"}},
        {"gray mysql", {"Reports"}},
        {"nothing-like-this", {}},
    };
    auto model = load(mixed);
    for (const Case &c : cases) {
        model->searchUpdated(c.text, false);
        EXPECT_EQ(rowNames(*model), c.rows) << "search: '" << c.text << "'";
    }
}

TEST_F(ConnectionListModelTest, UnchangedSearchTextDoesNotRebuildUnlessTheControllerAsks)
{
    auto model = load(mixed);
    QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
    EXPECT_TRUE(model->searchUpdated("oracle", false));
    EXPECT_FALSE(model->searchUpdated("oracle", false));
    EXPECT_FALSE(model->searchUpdated("  oracle ", false));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_TRUE(model->searchUpdated("oracle", true));
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(model->lastMatch(), "oracle");
}

TEST_F(ConnectionListModelTest, EmptySearchResultHasNoSelection)
{
    auto model = load(mixed);
    ASSERT_NE(model->selectedConnection(), nullptr);
    model->searchUpdated("nothing-like-this", false);
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(model->selectedConnection(), nullptr);
}

TEST_F(ConnectionListModelTest, GroupingOrdersGroupsByKeyWithTheNoGroupFirst)
{
    struct Case {
        int grouping;
        QStringList rows;
    };
    const Case cases[] = {
        {ConnectionListModel::ServerGrouping,
         {"[ No server]", "Shop file", "Dev Oracle", "[dbhost]", "Prod Oracle", "Reports", "[pghost]",
          "Test Postgres"}},
        {ConnectionListModel::DatabaseTypeGrouping,
         {"[MySQL]", "Reports", "[Oracle]", "Prod Oracle", "Dev Oracle", "[PostgreSQL]", "Test Postgres",
          "[SQLite]", "Shop file"}},
        {ConnectionListModel::LabelGrouping,
         {"[ No label]", "Test Postgres", "[Blue]", "Shop file", "[Gray]", "Reports", "[Red]", "Dev Oracle",
          "[Yellow]", "Prod Oracle"}},
        {ConnectionListModel::UserNameGrouping,
         {"[ No username]", "Test Postgres", "Shop file", "[dev]", "Dev Oracle", "[scott]", "Prod Oracle",
          "Reports"}},
        {ConnectionListModel::NoGrouping,
         {"Prod Oracle", "Test Postgres", "Shop file", "Dev Oracle", "Reports"}},
    };
    auto model = load(mixed);
    for (const Case &c : cases) {
        model->groupingUpdated(c.grouping);
        EXPECT_EQ(rowNames(*model), c.rows) << "grouping " << c.grouping;
        EXPECT_EQ(defaults().integerForKey(SavedConnections::lastSelectedConnectionGroupingKey), c.grouping);
    }
}

TEST_F(ConnectionListModelTest, LabelGroupsFollowTheAlphabeticalOrderOfTheColourNames)
{
    QList<Saved> everyLabel;
    for (quint64 label = 0; label <= 9; ++label)
        everyLabel.append({"c", "Oracle", "h", "u", label});
    auto model = load(everyLabel);
    model->groupingUpdated(ConnectionListModel::LabelGrouping);
    QStringList headers;
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->isHeaderRow(row))
            headers.append(model->connectionAt(row)->connectionName());
    EXPECT_EQ(headers, QStringList({" No label", "Black", "Blue", "Gray", "Green", "Orange", "Purple", "Red",
                                    "White", "Yellow"}));
}

TEST_F(ConnectionListModelTest, SelectionAfterSearchKeepsTheRememberedOneOrTakesTheFirstSelectableRow)
{
    auto model = load(mixed);
    // The remembered selection still passes: it stays.
    model->setSelectedConnection(model->connectionAt(3));
    model->searchUpdated("oracle", false);
    EXPECT_EQ(model->selectedConnection()->connectionName(), "Dev Oracle");

    // Ungrouped, the remembered one gone: the second row.
    model->searchUpdated("dbhost", false);
    EXPECT_EQ(rowNames(*model), QStringList({"Prod Oracle", "Reports"}));
    EXPECT_EQ(model->selectedConnection()->connectionName(), "Reports");

    // A single row is selected.
    model->searchUpdated("pghost", false);
    EXPECT_EQ(model->selectedConnection()->connectionName(), "Test Postgres");

    // Grouped: row 0 is a header, so the first member.
    model->groupingUpdated(ConnectionListModel::DatabaseTypeGrouping);
    model->searchUpdated("scott", false);
    EXPECT_EQ(model->selectedRow(), 1);
    EXPECT_FALSE(model->isHeaderRow(model->selectedRow()));
}

TEST_F(ConnectionListModelTest, ReloadRestoresGroupingAndLastOpenedConnection)
{
    auto model = load(mixed);
    model->groupingUpdated(ConnectionListModel::DatabaseTypeGrouping);
    model->rememberOpenedConnection(model->allConnections().at(4));

    ConnectionListModel again;
    QSignalSpy restored(&again, &ConnectionListModel::groupingRestored);
    again.reloadConnections();
    EXPECT_EQ(again.grouping(), ConnectionListModel::DatabaseTypeGrouping);
    ASSERT_EQ(restored.count(), 1);
    EXPECT_EQ(again.selectedConnection()->connectionName(), "Reports");

    // An index outside the list is ignored.
    defaults().setObject(qint64(17), SavedConnections::lastSelectedConnectionKey);
    again.reloadConnections();
    EXPECT_EQ(again.selectedConnection()->connectionName(), "Reports");
    EXPECT_EQ(again.selectedRow(), 1);
}

TEST_F(ConnectionListModelTest, HeaderRowsCannotBeSelectedOrDragged)
{
    auto model = load(mixed);
    model->groupingUpdated(ConnectionListModel::ServerGrouping);
    ASSERT_TRUE(model->isHeaderRow(0));
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsSelectable);
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(model->flags(model->index(1, 1)) & Qt::ItemIsSelectable);
    EXPECT_EQ(model->mimeData({model->index(0, 1)}), nullptr);
    model->selectRow(0);
    EXPECT_EQ(model->selectedConnection(), nullptr);
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), " No server");
    EXPECT_EQ(model->data(model->index(0, 0), Qt::SizeHintRole).toSize().height(), 19);
    EXPECT_EQ(model->data(model->index(1, 0), Qt::SizeHintRole).toSize().height(), 17);
}

// Grouped by server, the rows are:
// 0 [ No server]  1 Shop file  2 Dev Oracle  3 [dbhost]  4 Prod Oracle  5 Reports  6 [pghost]  7 Test
// Postgres
TEST_F(ConnectionListModelTest, DropsStayWithinTheGroupAndReorderRowsAndSavedList)
{
    struct Case {
        int dragged;
        int above;
        bool accepted;
        QStringList rows;
        QStringList saved;
    };
    const QStringList grouped{"[ No server]", "Shop file", "Dev Oracle", "[dbhost]",
                              "Prod Oracle",  "Reports",   "[pghost]",   "Test Postgres"};
    const QStringList saved{"Prod Oracle", "Test Postgres", "Shop file", "Dev Oracle", "Reports"};
    const Case cases[] = {
        // Just above the next group's header: last of its own group.
        {1,
         3,
         true,
         {"[ No server]", "Dev Oracle", "Shop file", "[dbhost]", "Prod Oracle", "Reports", "[pghost]",
          "Test Postgres"},
         {"Prod Oracle", "Test Postgres", "Dev Oracle", "Shop file", "Reports"}},
        // Above the first member: first of the group.
        {5,
         4,
         true,
         {"[ No server]", "Shop file", "Dev Oracle", "[dbhost]", "Reports", "Prod Oracle", "[pghost]",
          "Test Postgres"},
         {"Reports", "Prod Oracle", "Test Postgres", "Shop file", "Dev Oracle"}},
        // Past the end of the list from the last group.
        {7, 8, true, grouped, saved},
        // Past the next group's header, above its own header, onto another group.
        {1, 4, false, grouped, saved},
        {4, 3, false, grouped, saved},
        {2, 7, false, grouped, saved},
        // Directly above or below itself: the order stays.
        {4, 4, true, grouped, saved},
        {5, 6, true, grouped, saved},
        // Header rows are never dragged.
        {3, 5, false, grouped, saved},
    };
    for (const Case &c : cases) {
        auto model = load(mixed);
        model->groupingUpdated(ConnectionListModel::ServerGrouping);
        ASSERT_EQ(rowNames(*model), grouped);
        const ConnectionParametersPtr dragged = model->connectionAt(c.dragged);
        EXPECT_EQ(model->canMoveRow(c.dragged, c.above), c.accepted) << c.dragged << " above " << c.above;
        EXPECT_EQ(model->moveRow(c.dragged, c.above), c.accepted) << c.dragged << " above " << c.above;
        EXPECT_EQ(rowNames(*model), c.rows) << c.dragged << " above " << c.above;
        EXPECT_EQ(savedNames(), c.saved) << c.dragged << " above " << c.above;
        if (c.accepted) {
            EXPECT_EQ(model->selectedConnection(), dragged);
        }
    }
}

TEST_F(ConnectionListModelTest, UngroupedListAcceptsAnyPositionThroughTheDragPayload)
{
    auto model = load(mixed);
    std::unique_ptr<QMimeData> payload(model->mimeData({model->index(0, 1)}));
    ASSERT_NE(payload, nullptr);
    ASSERT_TRUE(payload->hasFormat("ConnectionViewControllerDND"));
    // Onto a row (a parent index) is refused; between rows is a move.
    EXPECT_FALSE(model->canDropMimeData(payload.get(), Qt::MoveAction, -1, -1, model->index(3, 1)));
    EXPECT_TRUE(model->dropMimeData(payload.get(), Qt::MoveAction, 5, 0, QModelIndex()));
    EXPECT_EQ(savedNames(),
              QStringList({"Test Postgres", "Shop file", "Dev Oracle", "Reports", "Prod Oracle"}));
    // A payload that is not ours is refused.
    QMimeData foreign;
    foreign.setData("ConnectionViewControllerDND", "garbage");
    EXPECT_FALSE(model->canDropMimeData(&foreign, Qt::MoveAction, 1, 0, QModelIndex()));
}

TEST_F(ConnectionListModelTest, ChangingALabelWhileGroupedByLabelMovesTheConnectionAndKeepsItSelected)
{
    auto model = load(mixed);
    model->groupingUpdated(ConnectionListModel::LabelGrouping);
    const ConnectionParametersPtr postgres = model->allConnections().at(1);
    model->setSelectedConnection(postgres);
    model->changeLabelOfSelection(4);
    EXPECT_EQ(rowNames(*model),
              QStringList({"[Blue]", "Shop file", "[Gray]", "Reports", "[Green]", "Test Postgres", "[Red]",
                           "Dev Oracle", "[Yellow]", "Prod Oracle"}));
    EXPECT_EQ(model->selectedConnection(), postgres);
    EXPECT_EQ(SavedConnections::allConnections().at(1)->label(), 4u);
}

TEST_F(ConnectionListModelTest, RemovingTakesTheConnectionOutOfRowsAndSavedList)
{
    auto model = load(mixed);
    model->searchUpdated("oracle", false);
    model->setSelectedConnection(model->allConnections().at(0));
    model->removeSelectedConnection();
    EXPECT_EQ(rowNames(*model), QStringList({"Dev Oracle"}));
    EXPECT_EQ(savedNames(), QStringList({"Test Postgres", "Shop file", "Dev Oracle", "Reports"}));
    EXPECT_EQ(model->selectedConnection()->connectionName(), "Dev Oracle");
}

} // namespace
