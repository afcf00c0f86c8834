// Editing a table's rows through the bridge: updates, inserts and deletes by primary key, read-only
// results with their reason, refused values, large objects and sequences.
#include "BackendTestSupport.h"
#include "TestServers.h"
#include "bridge/QoJavaObject.h"
#include "client/VornResultset.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{
class BackendEditingTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        setup_ = connected(1);
        const QString type = GetParam();
        const QString blob = type == "PostgreSQL" ? "BYTEA" : type == "MySQL" ? "LONGBLOB" : "BLOB";
        const QString moment = type == "MySQL" ? "DATETIME(3)" : "TIMESTAMP";
        QStringList sql{"DROP VIEW IF EXISTS vbe_view",
                        "DROP TABLE IF EXISTS vbe_item",
                        "DROP TABLE IF EXISTS vbe_nokey",
                        "CREATE TABLE vbe_item (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), born " +
                            moment + ", note TEXT, data " + blob + ")",
                        "INSERT INTO vbe_item (id, name) VALUES (1, 'one')",
                        "INSERT INTO vbe_item (id, name) VALUES (2, 'two')",
                        "INSERT INTO vbe_item (id, name) VALUES (3, 'three')",
                        "CREATE TABLE vbe_nokey (id INTEGER, name VARCHAR(40))",
                        "INSERT INTO vbe_nokey VALUES (1, 'one')",
                        "CREATE VIEW vbe_view AS SELECT id, name FROM vbe_item"};
        if (type != "SQLite")
            sql.prepend("DROP SEQUENCE IF EXISTS vbe_seq");
        if (type != "SQLite")
            sql << "CREATE SEQUENCE vbe_seq START WITH 41";
        for (const QString &statement : sql)
            ASSERT_TRUE(setup_->run(statement)) << statement.toStdString();
        edited_ = connected(1);
        browser_ = asObject(edited_->call("browser"));
        schema_ = browser_->call("selectedSchema").toString();
    }

    // Loads the element and takes its rows over natively, as the grid does.
    ::testing::AssertionResult load(const QString &name, const QString &type = "TABLE")
    {
        browser_->call("selectElement:::", {schema_, type, name});
        if (!edited_->lastActionSuccessful())
            return ::testing::AssertionFailure() << edited_->lastErrorMessage().toStdString();
        rows_ = std::make_unique<VornResultset>(edited_->resultset());
        rows_->rowCount();
        return ::testing::AssertionSuccess();
    }

    QoJavaObjectPtr result() const { return rows_->object(); }
    QVariant send(const QString &selector, const QVariantList &args = {}) const
    {
        return result()->call(selector, args);
    }

    // The table as "id:name" in key order, read on the other connection.
    QStringList table() const
    {
        EXPECT_TRUE(setup_->run("SELECT id, name FROM vbe_item ORDER BY id"));
        VornResultset rows(setup_->resultset());
        QStringList lines;
        for (int row = 1; row <= rows.rowCount(); ++row) {
            const QVariantMap values = rows.rowValues(row);
            lines << values.value("id").toString() + ":" + values.value("name").toString();
        }
        return lines;
    }

    QString cell(const QString &column, int id) const
    {
        EXPECT_TRUE(setup_->run(QString("SELECT %1 FROM vbe_item WHERE id = %2").arg(column).arg(id)));
        return VornResultset(setup_->resultset()).rowValues(1).value(column).toString();
    }

    std::unique_ptr<TestRoot> setup_;
    std::unique_ptr<TestRoot> edited_;
    QoJavaObjectPtr browser_;
    QString schema_;
    std::unique_ptr<VornResultset> rows_;
};

VORN_FOR_EVERY_DATABASE(BackendEditingTest);
} // namespace

TEST_P(BackendEditingTest, UpdatesInsertsAndDeletesByPrimaryKey)
{
    ASSERT_TRUE(load("vbe_item"));
    EXPECT_FALSE(send("readOnly").toBool());
    EXPECT_TRUE(send("readOnlyReason").isNull());
    EXPECT_EQ(send("tableName").toString(), "vbe_item");

    // Update: only the row being edited takes values; an edit elsewhere waits for it.
    ASSERT_TRUE(send("canStartEditing::", {"name", 2}).toBool());
    EXPECT_FALSE(send("canStartEditing::", {"name", 3}).toBool());
    EXPECT_FALSE(send("hasADirtyEdit").toBool());
    send("setValueForColumnOnRow:::", {"name", 2, "two's, changed"});
    send("setValueForColumnOnRow:::", {"name", 3, "ignored"});
    EXPECT_TRUE(send("hasADirtyEdit").toBool());
    EXPECT_EQ(send("editingOnRow").toInt(), 2);
    send("canEndEditing:", {2});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    EXPECT_FALSE(send("editing").toBool());
    EXPECT_FALSE(send("takeWrittenRow").toString().isEmpty());
    EXPECT_EQ(table(), (QStringList{"1:one", "2:two's, changed", "3:three"}));

    // Insert at the top: the rows below move down, here and in the backend's count.
    send("addRow:", {1});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    EXPECT_TRUE(send("adding").toBool());
    EXPECT_EQ(send("rowCount").toInt(), 4);
    send("setValueForColumnOnRow:::", {"id", 1, "10"});
    send("setValueForColumnOnRow:::", {"name", 1, "ten"});
    send("canEndEditing:", {1});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    EXPECT_EQ(table(), (QStringList{"1:one", "2:two's, changed", "3:three", "10:ten"}));

    // The new row is found by its key from now on; the row of id 1 is now row 2.
    ASSERT_TRUE(send("canStartEditing::", {"name", 1}).toBool());
    send("setValueForColumnOnRow:::", {"name", 1, "TEN"});
    send("canEndEditing:", {1});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    send("removeRow:", {2});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    EXPECT_EQ(send("rowCount").toInt(), 3);
    EXPECT_EQ(table(), (QStringList{"2:two's, changed", "3:three", "10:TEN"}));

    // A cancelled new row leaves nothing behind.
    send("addRow:", {2});
    send("setValueForColumnOnRow:::", {"id", 2, "20"});
    EXPECT_TRUE(send("cancel").toBool());
    EXPECT_EQ(send("rowCount").toInt(), 3);
    EXPECT_FALSE(send("cancel").toBool());
    EXPECT_EQ(table(), (QStringList{"2:two's, changed", "3:three", "10:TEN"}));
}

TEST_P(BackendEditingTest, ResultsWithoutAKeyAreReadOnlyWithTheirReason)
{
    struct Case {
        QString name;
        QString type;
        QString reason;
    };
    const Case cases[] = {{"vbe_nokey", "TABLE", "NOPRIMARY"}, {"vbe_view", "VIEW", "VIEW"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        ASSERT_TRUE(load(c.name, c.type));
        EXPECT_TRUE(send("readOnly").toBool());
        EXPECT_EQ(send("readOnlyReason").toString(), c.reason);
        EXPECT_FALSE(send("canStartEditing::", {"name", 1}).toBool());
        EXPECT_FALSE(send("canStartEditingRow:", {1}).toBool());
        send("removeRow:", {1});
        EXPECT_FALSE(edited_->lastActionSuccessful());
    }
    ASSERT_TRUE(edited_->run("SELECT id, name FROM vbe_item"));
    EXPECT_TRUE(edited_->resultset()->call("readOnly").toBool());
    EXPECT_EQ(edited_->resultset()->call("readOnlyReason").toString(), "NOSTATE");
    EXPECT_EQ(table(), (QStringList{"1:one", "2:two", "3:three"}));
}

TEST_P(BackendEditingTest, RefusedValuesKeepTheEditOpen)
{
    ASSERT_TRUE(load("vbe_item"));
    struct Case {
        QString column;
        QString value;
    };
    const Case refused[] = {{"id", "abc"}, {"born", "31-02-2026 10:00:00.0"}, {"born", "tomorrow"}};
    // SQLite keeps dates as the text typed.
    const bool typedDates = send("primaryColumnTypeForColumn:", {"born"}).toString() == "D";
    for (const Case &c : refused) {
        if (c.column == "born" && !typedDates)
            continue;
        SCOPED_TRACE((c.column + " " + c.value).toStdString());
        ASSERT_TRUE(send("canStartEditing::", {c.column, 1}).toBool());
        send("setValueForColumnOnRow:::", {c.column, 1, c.value});
        send("canEndEditing:", {1});
        EXPECT_FALSE(edited_->lastActionSuccessful());
        EXPECT_EQ(edited_->lastErrorMessage(), "INVALID_INPUT");
        EXPECT_TRUE(send("editing").toBool());
        EXPECT_EQ(send("editingOnRow").toInt(), 1);
        EXPECT_TRUE(send("cancel").toBool());
    }
    // Dates in the shown pattern, with or without their time; a fraction is part of the second.
    const Case accepted[] = {{"born", "05-03-2026 10:11:12.5"}, {"born", "06-03-2026"}};
    const QString expected[] = {"05-03-2026 10:11:12.5", "06-03-2026"};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(send("canStartEditing::", {accepted[i].column, 1}).toBool());
        send("setValueForColumnOnRow:::", {accepted[i].column, 1, accepted[i].value});
        send("canEndEditing:", {1});
        ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
        EXPECT_EQ(cell("born", 1), expected[i]);
    }
    EXPECT_EQ(table(), (QStringList{"1:one", "2:two", "3:three"}));
}

TEST_P(BackendEditingTest, BinaryValuesRoundTripAndCharacterObjectsAreKnown)
{
    ASSERT_TRUE(load("vbe_item"));
    EXPECT_EQ(send("primaryColumnTypeForColumn:", {"data"}).toString(), "B");
    EXPECT_FALSE(send("canStartEditing::", {"data", 1}).toBool());
    const QString noteType = send("primaryColumnTypeForColumn:", {"note"}).toString();
    EXPECT_TRUE(noteType == "C" || noteType == "S") << noteType.toStdString();

    QTemporaryDir files;
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char(i % 256));
    const QString in = files.filePath("in.bin");
    const QString out = files.filePath("out.bin");
    QFile source(in);
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(bytes);
    source.close();

    send("uploadBlobForColumnOnRowFrom:::", {"data", 2, in});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    EXPECT_FALSE(send("takeWrittenRow").toString().isEmpty());
    send("downloadBlobForColumnOnRowTo:::", {"data", 2, out});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), bytes);
    written.close();

    send("clearBlobForColumnOnRow::", {"data", 2});
    ASSERT_TRUE(edited_->lastActionSuccessful()) << edited_->lastErrorMessage().toStdString();
    send("downloadBlobForColumnOnRowTo:::", {"data", 2, out});
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().isEmpty());

    send("uploadBlobForColumnOnRowFrom:::", {"data", 2, files.filePath("missing.bin")});
    EXPECT_FALSE(edited_->lastActionSuccessful());
    send("clearBlobForColumnOnRow::", {"name", 2});
    EXPECT_FALSE(edited_->lastActionSuccessful());
}

TEST_P(BackendEditingTest, SequencesGiveTheirNextValue)
{
    ASSERT_TRUE(load("vbe_item"));
    const QStringList sequences = stringList(browser_->call("sequencesForColumn:", {"id"}));
    if (GetParam() == "SQLite") {
        EXPECT_TRUE(sequences.isEmpty());
        browser_->call("nextValueForSequence:", {"vbe_seq"});
        EXPECT_FALSE(edited_->lastActionSuccessful());
        return;
    }
    EXPECT_TRUE(sequences.contains("vbe_seq")) << sequences.join(", ").toStdString();
    EXPECT_TRUE(browser_->call("lastSequenceForColumn:", {"id"}).isNull());
    EXPECT_EQ(browser_->call("nextValueForSequence:", {"vbe_seq"}).toString(), "41");
    EXPECT_EQ(browser_->call("nextValueForSequence:", {"vbe_seq"}).toString(), "42");
    browser_->call("storeLastSequenceForColumn::", {"id", "vbe_seq"});
    EXPECT_EQ(browser_->call("lastSequenceForColumn:", {"id"}).toString(), "vbe_seq");
    EXPECT_TRUE(browser_->call("lastSequenceForColumn:", {"name"}).isNull());
}
