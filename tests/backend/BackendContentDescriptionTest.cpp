// Objects without rows or editable code (indexes, constraints, triggers, sequences) load through the
// browser as their definition, per database: the root then holds that text and nothing else, until
// rows or a statement's result take its place.
#include "BackendTestSupport.h"
#include "client/SqlConnectionClient.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"

#include <gtest/gtest.h>

namespace
{
class BackendContentDescriptionTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        setUpWith(1);
    }

    void setUpWith(int flags)
    {
        root_ = connected(flags);
        for (const QString &drop : drops())
            root_->execute(drop);
        for (const QString &sql : creates())
            ASSERT_TRUE(root_->run(sql)) << sql.toStdString();
        if (flags == 0)
            root_->call("commit");
        client_ = std::make_shared<VornRootClient>(root_->object());
        browser_ = client_->browser();
        ASSERT_TRUE(browser_);
        schema_ = browser_->selectedSchema();
    }

    QString db() const { return GetParam(); }

    QStringList drops() const
    {
        QStringList sql{"DROP TABLE IF EXISTS vbd_item", "DROP TABLE IF EXISTS vbd_parent"};
        if (db() != "SQLite")
            sql << "DROP SEQUENCE IF EXISTS vbd_seq";
        if (db() == "PostgreSQL")
            sql << "DROP FUNCTION IF EXISTS vbd_touch()";
        return sql;
    }

    QStringList creates() const
    {
        QStringList sql{
            "CREATE TABLE vbd_parent (id INTEGER NOT NULL, CONSTRAINT vbd_parent_pk PRIMARY KEY (id))",
            "CREATE TABLE vbd_item (id INTEGER NOT NULL, code VARCHAR(20), parent INTEGER, "
            "CONSTRAINT vbd_item_pk PRIMARY KEY (id), CONSTRAINT vbd_item_code UNIQUE (code), "
            "CONSTRAINT vbd_item_id_ck CHECK (id > 0), "
            "CONSTRAINT vbd_item_parent FOREIGN KEY (parent) REFERENCES vbd_parent (id))",
            "CREATE INDEX vbd_item_idx ON vbd_item (parent, code DESC)"};
        if (db() == "SQLite")
            sql << "CREATE TRIGGER vbd_item_trg AFTER INSERT ON vbd_item BEGIN UPDATE vbd_item SET code = "
                   "upper(code) WHERE id = NEW.id; END";
        if (db() == "MySQL")
            sql << "CREATE TRIGGER vbd_item_trg BEFORE INSERT ON vbd_item FOR EACH ROW SET NEW.code = "
                   "UPPER(NEW.code)"
                << "CREATE SEQUENCE vbd_seq START WITH 7 INCREMENT BY 3";
        if (db() == "PostgreSQL")
            sql << "CREATE FUNCTION vbd_touch() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN NEW.code := "
                   "upper(NEW.code); RETURN NEW; END$$"
                << "CREATE TRIGGER vbd_item_trg BEFORE INSERT ON vbd_item FOR EACH ROW EXECUTE FUNCTION "
                   "vbd_touch()"
                << "CREATE SEQUENCE vbd_seq START 7 INCREMENT 3";
        return sql;
    }

    // The element's name as the browser lists it ("table.name" where names are unique per table).
    QString listed(const QString &type, const QString &own) const
    {
        browser_->typesInSchema(schema_);
        for (const QString &name : browser_->elementsOfTypeInSchemaLike(type, schema_, QString())) {
            if (name == own || name.endsWith("." + own))
                return name;
        }
        return QString();
    }

    std::unique_ptr<TestRoot> root_;
    VornRootClientPtr client_;
    std::shared_ptr<VornBrowserClient> browser_;
    QString schema_;
};

VORN_FOR_EVERY_DATABASE(BackendContentDescriptionTest);

TEST_P(BackendContentDescriptionTest, EachKindOfObjectLoadsAsItsDefinition)
{
    struct Case {
        QString type;
        QString name;
        QStringList parts; // in the definition, whatever the database's own spelling around them
        bool sqlite;       // SQLite lists neither named constraints nor sequences
    };
    const QList<Case> cases{
        {"INDEX", "vbd_item_idx", {"vbd_item_idx", "vbd_item", "parent", "code", "DESC"}, true},
        {"CONSTRAINT", "vbd_item_parent", {"FOREIGN KEY", "parent", "REFERENCES", "vbd_parent"}, false},
        {"CONSTRAINT", "vbd_item_code", {"UNIQUE", "code"}, false},
        {"CONSTRAINT", "vbd_item_id_ck", {"CHECK", "id", "0"}, false},
        {"TRIGGER", "vbd_item_trg", {"vbd_item_trg", "vbd_item"}, true},
        {"SEQUENCE", "vbd_seq", {"vbd_seq", "3"}, false},
    };
    for (const Case &c : cases) {
        if (!c.sqlite && db() == "SQLite")
            continue;
        SCOPED_TRACE((c.type + " " + c.name).toStdString());
        const QString name = listed(c.type, c.name);
        ASSERT_FALSE(name.isEmpty()) << "the browser lists it";
        const BackendOutcome outcome = browser_->selectElement(schema_, c.type, name);
        ASSERT_TRUE(outcome.successful) << outcome.errorMessage.toStdString();
        EXPECT_TRUE(client_->hasContentDescription());
        const QString text = client_->contentDescription();
        for (const QString &part : c.parts)
            EXPECT_TRUE(text.contains(part, Qt::CaseInsensitive)) << part.toStdString() << " in\n"
                                                                  << text.toStdString();
        EXPECT_EQ(text, text.trimmed()) << "no stray blank lines around the text";
        EXPECT_FALSE(client_->resultset()) << "an object's text is no result set";
        EXPECT_FALSE(client_->procedure());
    }
}

TEST_P(BackendContentDescriptionTest, RowsAStatementOrClearingTakeTheTextsPlace)
{
    const QString index = listed("INDEX", "vbd_item_idx");
    ASSERT_TRUE(browser_->selectElement(schema_, "INDEX", index).successful);
    ASSERT_TRUE(client_->hasContentDescription());

    ASSERT_TRUE(browser_->selectElement(schema_, "TABLE", "vbd_item").successful);
    EXPECT_FALSE(client_->hasContentDescription());
    EXPECT_TRUE(client_->contentDescription().isNull());
    EXPECT_TRUE(client_->resultset());

    ASSERT_TRUE(browser_->selectElement(schema_, "INDEX", index).successful);
    EXPECT_FALSE(client_->resultset()) << "the text replaces the rows";
    ASSERT_TRUE(client_->sqlConnection()->executeQuery("SELECT id FROM vbd_item", {}));
    EXPECT_FALSE(client_->hasContentDescription()) << "a statement's result takes its place";

    ASSERT_TRUE(browser_->selectElement(schema_, "INDEX", index).successful);
    client_->clearResultset();
    EXPECT_FALSE(client_->hasContentDescription());
}

TEST_P(BackendContentDescriptionTest, AnObjectThatIsGoneFailsByNameAndLeavesNoText)
{
    const QString index = listed("INDEX", "vbd_item_idx");
    ASSERT_TRUE(browser_->selectElement(schema_, "INDEX", index).successful);
    const BackendOutcome outcome = browser_->selectElement(schema_, "INDEX", index + "_gone");
    EXPECT_FALSE(outcome.successful);
    EXPECT_TRUE(outcome.errorMessage.contains("vbd_item_idx_gone")) << outcome.errorMessage.toStdString();
    EXPECT_TRUE(outcome.errorMessage.contains("index")) << outcome.errorMessage.toStdString();
}

TEST_P(BackendContentDescriptionTest, AFailedReadInsideATransactionKeepsItsChanges)
{
    setUpWith(0);
    ASSERT_TRUE(root_->run("INSERT INTO vbd_parent VALUES (41)"));
    // A name the server refuses (a NUL character) fails the read itself; the open transaction and
    // its insert must outlive that failure.
    const QString refused = QString("vbd_item_idx") + QChar(0) + "x";
    EXPECT_FALSE(browser_->selectElement(schema_, "INDEX", refused).successful);
    EXPECT_FALSE(client_->hasContentDescription());
    ASSERT_TRUE(browser_->selectElement(schema_, "INDEX", listed("INDEX", "vbd_item_idx")).successful);
    EXPECT_TRUE(root_->run("INSERT INTO vbd_item (id, parent) VALUES (1, 41)"))
        << "the parent inserted before is still there";
    root_->call("rollback");
}

} // namespace
