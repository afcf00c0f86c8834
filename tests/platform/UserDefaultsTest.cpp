#include "platform/UserDefaults.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(UserDefaults, NestedValuesSurviveAReopenAndStayReadableJson)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/Vorn.json");
    const QVariantList connections{
        QVariantMap{{"name", "prod"}, {"port", 5432}, {"tags", QVariantList{"a", "b"}}},
        QVariantMap{{"name", "local"}, {"autoCommit", true}}};
    {
        UserDefaults defaults(path);
        defaults.setObject(connections, "allConnections");
        defaults.setObject("#ff8000", "editorColor");
        defaults.setObject(QByteArray("\x00\x01\xff", 3), "archived");
        defaults.setObject(42, "count");
    }
    UserDefaults reopened(path);
    EXPECT_EQ(reopened.arrayForKey("allConnections").size(), 2);
    const QVariantMap first = reopened.arrayForKey("allConnections").first().toMap();
    EXPECT_EQ(first.value("name").toString(), "prod");
    EXPECT_EQ(first.value("port").toInt(), 5432);
    EXPECT_EQ(first.value("tags").toList().size(), 2);
    EXPECT_EQ(reopened.stringForKey("editorColor"), "#ff8000");
    EXPECT_EQ(reopened.dataForKey("archived"), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(reopened.integerForKey("count"), 42);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_TRUE(root.value("allConnections").isArray());
}

TEST(UserDefaults, AnUnreadableFileIsKeptAsideNotOverwritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorn.json");
    const QByteArray broken = "{\"allConnections\": [{\"name\": \"prod\",}";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(broken);
    }
    {
        UserDefaults defaults(path);
        EXPECT_FALSE(defaults.contains("allConnections"));
        defaults.setObject(42, "count");
    }
    EXPECT_EQ(UserDefaults(path).integerForKey("count"), 42);
    const QStringList aside = QDir(dir.path()).entryList({"Vorn.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.filePath(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), broken);
}

TEST(UserDefaults, TypedGettersAnswerNeutralValuesForOtherKinds)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("Vorn.json"));
    defaults.setObject("text", "aString");
    defaults.setObject("12", "numericString");
    EXPECT_TRUE(defaults.arrayForKey("aString").isEmpty());
    EXPECT_TRUE(defaults.dictionaryForKey("aString").isEmpty());
    EXPECT_EQ(defaults.integerForKey("numericString"), 12);
    EXPECT_TRUE(defaults.boolForKey("numericString"));
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_FALSE(defaults.contains("missing"));
    defaults.removeObjectForKey("aString");
    EXPECT_FALSE(defaults.contains("aString"));
}

TEST(UserDefaults, StandardStoreLivesInTheConfigFolder)
{
    EXPECT_TRUE(UserDefaults::standard().filePath().endsWith("/.config/Vorn/Vorn.json"));
}

TEST(UserDefaults, AWriteThatDoesNotFitFailsAndKeepsTheFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Vorn.json");
    UserDefaults store(path);
    store.setObject(QStringLiteral("kept"), "name");
    ASSERT_TRUE(store.synchronize());
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray saved = before.readAll();
    before.close();

    store.setObject(QString(64 * 1024, u'x'), "large");
    {
        const FileSizeLimit fullDisk(4096);
        EXPECT_FALSE(store.synchronize()) << "a short write is reported";
    }
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), saved) << "the file keeps its previous content";

    store.setObject(QStringLiteral("later"), "name");
    EXPECT_TRUE(store.synchronize()) << "with room again, a write goes through";
    EXPECT_EQ(UserDefaults(path).stringForKey("name"), "later");
}

TEST(UserDefaults, HandWrittenValuesOfEveryKindSurviveTheNextWrite)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Vorn.json");
    // Only an object that the store itself wrote for data reads back as data; one that merely looks
    // like it (not base64) is the user's own and stays as written.
    const QJsonObject handWritten{{"lookalike", QJsonObject{{"$base64", "not base64!"}}},
                                  {"data", QJsonObject{{"$base64", "AAH/"}}},
                                  {"port", 5432},
                                  {"nothing", QJsonValue::Null},
                                  {"mixed", QJsonArray{1, "2", true, QJsonObject{{"k", 1.5}}}}};
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(handWritten).toJson());
    }
    {
        UserDefaults store(path);
        EXPECT_EQ(store.dataForKey("data"), QByteArray("\x00\x01\xff", 3));
        EXPECT_EQ(store.dictionaryForKey("lookalike").value("$base64").toString(), "not base64!");
        EXPECT_EQ(store.integerForKey("port"), 5432);
        store.setObject(1, "written");
        ASSERT_TRUE(store.synchronize());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject expected = handWritten;
    expected.insert("written", 1);
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object(), expected);
}
