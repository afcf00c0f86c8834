// The query history store: merging repeated statements, trimming, searching, retaining and its file.
#include "EditorTestSupport.h"

#include "editor/QueryRecallController.h"
#include "editor/QueryRecallTableView.h"
#include "editor/QueryRecallViewController.h"
#include "kit/LabeledTextField.h"
#include "platform/Preferences.h"
#include "sql/SQLParser.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

// As the editor hands them over: parsed with a dialect's comment and quote characters.
SQLParserComponentList parsed(const QString &sql)
{
    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    return parser.parsedComponentsForString2(sql);
}

ConnectionParametersPtr connectionNamed(const QString &name, const QString &password = QString())
{
    auto parameters = std::make_shared<ConnectionParameters>();
    parameters->setConnectionName(name);
    parameters->setDatabaseType("PostgreSQL");
    parameters->setServer("db.example");
    parameters->setPort("5432");
    parameters->setDatabase("sales");
    parameters->setUserName("ann");
    if (!password.isNull())
        parameters->setPassword(password);
    return parameters;
}

class Recorder : public QueryRecallControllerDelegate
{
public:
    void queryRecallControllerUpdated() override { ++updates; }
    int updates = 0;
};

class QueryRecallControllerTest : public ::testing::Test
{
protected:
    QueryRecallControllerTest()
    {
        EditorTestSupport::writeDefaultPreferences();
        UserDefaults::standard().setObject(100, PreferenceKey::recallCount);
    }

    QString path() const { return folder.path() + "/Vorn/QueryRecall.data"; }
    std::unique_ptr<QueryRecallController> open() { return std::make_unique<QueryRecallController>(path()); }
    static QString textAt(const QueryRecallController &store, qsizetype row)
    {
        return SQLParserComponent::stringForComponents(store.componentsForQueryAt(row), false);
    }
    static QStringList texts(const QueryRecallController &store)
    {
        QStringList all;
        for (qsizetype row = 0; row < store.queryCount(); ++row)
            all << textAt(store, row);
        return all;
    }
    void registerAll(QueryRecallController &store, const QStringList &statements)
    {
        for (const QString &sql : statements)
            store.registerQuery(parsed(sql), connectionNamed("main"));
        store.store();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(QueryRecallControllerTest, RepeatedStatementsMergeAtTheTopWithTheNewerTextAndConnection)
{
    auto store = open();
    store->registerQuery(parsed("select a, b from t where c = 'X'"), connectionNamed("first"));
    store->registerQuery(parsed("select 2"), connectionNamed("first"));
    EXPECT_EQ(store->queryCount(), 0) << "registered statements wait for the save";
    EXPECT_TRUE(store->savePending());
    store->store();
    const double firstDate = store->dateForQueryAt(1);
    store->registerQuery(parsed("SELECT a,b\n  FROM t -- again\n WHERE c = 'X'"), connectionNamed("second"));
    store->store();
    EXPECT_EQ(texts(*store), (QStringList{"SELECT a,b\n  FROM t -- again\n WHERE c = 'X'", "select 2"}));
    EXPECT_EQ(store->connectionParametersForQueryAt(0)->connectionName(), "second");
    EXPECT_GE(store->dateForQueryAt(0), firstDate);
}

TEST_F(QueryRecallControllerTest, MergeKeysKeepLiteralsAndQuotedNamesApart)
{
    struct Case {
        QString first;
        QString second;
        bool same;
    };
    const std::vector<Case> cases{
        {"select a from t", "SELECT  A\nFROM T /* c */", true},
        {"select a from t where n = 'x'", "select a from t where n = 'X'", false},
        {"select \"Name\" from t", "select \"name\" from t", false},
        {"select \"a\" from t", "select \"b\" from t", false},
        {"select a b from t", "select ab from t", false},
        {"select a,b from t", "select a , b from t", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.first + " | " + c.second).toStdString());
        EXPECT_EQ(QueryRecallController::matchStringForQuery(parsed(c.first)) ==
                      QueryRecallController::matchStringForQuery(parsed(c.second)),
                  c.same);
    }
}

TEST_F(QueryRecallControllerTest, TrimmingKeepsRetainedEntriesBeyondTheLimit)
{
    UserDefaults::standard().setObject(3, PreferenceKey::recallCount);
    auto store = open();
    registerAll(*store, {"select 1", "select 2", "select 3", "select 4"});
    ASSERT_EQ(texts(*store), (QStringList{"select 4", "select 3", "select 2"}));
    store->updateStoreForQueryAt(1, true);
    store->updateStoreForQueryAt(2, true);
    registerAll(*store, {"select 5", "select 6"});
    EXPECT_EQ(texts(*store), (QStringList{"select 6", "select 3", "select 2"}));
    registerAll(*store, {"select 7"});
    EXPECT_EQ(texts(*store), (QStringList{"select 7", "select 3", "select 2"}));

    registerAll(*store, {"SELECT 3"});
    EXPECT_EQ(texts(*store).first(), "SELECT 3");
    EXPECT_TRUE(store->storeForQueryAt(0)) << "a repeated statement keeps its Retain mark";
}

TEST_F(QueryRecallControllerTest, SearchNeedsEveryWordInAnyCaseAndIgnoresPunctuation)
{
    auto store = open();
    Recorder recorder;
    store->setDelegate(&recorder);
    registerAll(*store, {"select name from orders where id = 42", "select name from customers",
                         "select total from orders where id = 7"});
    store->setSearch("ORDERS, 42;");
    EXPECT_EQ(texts(*store), QStringList{"select name from orders where id = 42"});
    store->setSearch("  ");
    EXPECT_EQ(store->queryCount(), 3);
    store->setSearch("sales");
    EXPECT_EQ(store->queryCount(), 3) << "the connection's database is searched too";
    EXPECT_EQ(recorder.updates, 4);
}

TEST_F(QueryRecallControllerTest, ConnectionFilterAndClearingRemovesAllButRetainedWhateverTheFilter)
{
    auto store = open();
    store->registerQuery(parsed("select 1"), connectionNamed("one"));
    store->registerQuery(parsed("select 2"), connectionNamed("two"));
    store->registerQuery(parsed("select 3"), connectionNamed("one"));
    store->store();
    ASSERT_EQ(store->connections().size(), 2);
    EXPECT_EQ(store->connections().first()->connectionName(), "one");
    store->setConnection(connectionNamed("two"));
    EXPECT_EQ(texts(*store), QStringList{"select 2"});
    store->updateStoreForQueryAt(0, true);
    store->setSearch("select");
    store->clear();
    store->setConnection(nullptr);
    store->setSearch("");
    EXPECT_EQ(texts(*store), QStringList{"select 2"});
}

TEST_F(QueryRecallControllerTest, TheFileIsOwnerOnlyJsonWithoutPasswordsAndReadBack)
{
    {
        auto store = open();
        store->registerQuery(parsed("select 'secret-free' from t"), connectionNamed("main", "hunter2"));
        // Released with the save pending: it saves at once.
    }
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the folder is made for it";
    const QByteArray data = file.readAll();
    EXPECT_FALSE(data.contains("hunter2"));
    const QVariantMap entry = QJsonDocument::fromJson(data).array().first().toObject().toVariantMap();
    EXPECT_EQ(entry.value("components").toList().first().toMap().value("string"), "select");
    for (const char *key : {"components", "connection", "search", "match", "store", "date"})
        EXPECT_TRUE(entry.contains(key)) << key;
    struct stat info {
    };
    ASSERT_EQ(stat(path().toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);

    auto again = open();
    EXPECT_EQ(texts(*again), QStringList{"select 'secret-free' from t"});
    again->updateStoreForQueryAt(0, true);
    EXPECT_TRUE(open()->storeForQueryAt(0)) << "a Retain mark is written at once";
}

TEST_F(QueryRecallControllerTest, AnUnreadableFileIsAnEmptyHistory)
{
    QDir().mkpath(folder.path() + "/Vorn");
    for (const QByteArray &content : {QByteArray("not json"), QByteArray("[1, {\"components\": 3}]")}) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        EXPECT_EQ(open()->queryCount(), 0);
    }
}

// The window shows each connection with its colour label, and a dragged statement shows its own
// characters on the token, markup included.
TEST_F(QueryRecallControllerTest, TheWindowShowsLabelsAndDragsTheStatementAsText)
{
    QueryRecallController store(path());
    ConnectionParametersPtr red = connectionNamed("red");
    red->setLabel(1);
    store.registerQuery(parsed("select 'bold'"), connectionNamed("plain"));
    store.registerQuery(parsed("select '<b>bold</b>'"), red);
    store.store();
    QueryRecallViewController window;
    window.setQueryRecallController(&store);
    window.loadUp();

    QComboBox *popUp = window.connectionsPopUp();
    ASSERT_EQ(popUp->count(), 3);
    for (int item = 1; item < popUp->count(); ++item) {
        SCOPED_TRACE(popUp->itemText(item).toStdString());
        EXPECT_EQ(popUp->itemIcon(item).isNull(), popUp->itemText(item) == "plain");
    }

    window.tableView()->selectRow(0);
    EXPECT_EQ(window.detailConnection()->text(), "red");
    EXPECT_EQ(window.detailConnection()->label(), 1u);
    window.tableView()->selectRow(1);
    EXPECT_EQ(window.detailConnection()->label(), 0u);

    const auto tokenOfRow = [&](int row) {
        const QModelIndexList rows{window.tableView()->model()->index(row, 0)};
        const std::unique_ptr<QMimeData> data(window.tableView()->model()->mimeData(rows));
        return QueryRecallTableView::dragImageFor(*data);
    };
    const QPixmap marked = tokenOfRow(0);
    const QPixmap plain = tokenOfRow(1);
    ASSERT_FALSE(plain.isNull());
    EXPECT_GT(marked.width(), plain.width()) << "the tags are shown, not read as markup";
}
