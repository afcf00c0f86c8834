// The info column's descriptions through the bridge: VornInfo per database, read with its typed client.
#include "BackendTestSupport.h"
#include "client/VornBrowserClient.h"
#include "client/VornInfoClient.h"
#include "client/VornRootClient.h"

#include <gtest/gtest.h>

namespace
{
class BackendInfoTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        root_ = connected(1);
        for (const QString &drop : drops())
            root_->execute(drop);
        for (const QString &sql : creates())
            ASSERT_TRUE(root_->run(sql)) << sql.toStdString();
        client_ = std::make_shared<VornRootClient>(root_->object());
        browser_ = client_->browser();
        ASSERT_TRUE(browser_);
        schema_ = browser_->selectedSchema();
    }

    bool server() const { return GetParam() != "SQLite"; }

    QString quoted(const QString &name) const
    {
        return GetParam() == "MySQL" ? "`" + name + "`" : "\"" + name + "\"";
    }

    QStringList drops() const
    {
        QStringList sql{"DROP VIEW IF EXISTS vbi_view", "DROP TABLE IF EXISTS " + quoted("vbi.dot"),
                        "DROP TABLE IF EXISTS vbi_item", "DROP TABLE IF EXISTS vbi_parent",
                        "DROP TABLE IF EXISTS vbi_sales"};
        if (server())
            sql << "DROP FUNCTION IF EXISTS vbi_add";
        return sql;
    }

    QStringList creates() const
    {
        QStringList sql{
            "CREATE TABLE vbi_parent (id INTEGER NOT NULL, CONSTRAINT vbi_parent_pk PRIMARY KEY (id))",
            "CREATE TABLE vbi_item (id INTEGER NOT NULL, code VARCHAR(20) DEFAULT 'x', parent INTEGER, "
            "CONSTRAINT vbi_item_pk PRIMARY KEY (id), CONSTRAINT vbi_item_code UNIQUE (code), "
            "CONSTRAINT vbi_item_parent FOREIGN KEY (parent) REFERENCES vbi_parent (id))",
            "CREATE INDEX vbi_item_idx ON vbi_item (parent ASC, code DESC)",
            "CREATE VIEW vbi_view AS SELECT id, code FROM vbi_item",
            // Dots in a table's and its elements' names must not confuse the browser's "table.name".
            "CREATE TABLE " + quoted("vbi.dot") +
                " (id INTEGER NOT NULL PRIMARY KEY, code VARCHAR(20), CONSTRAINT " + quoted("vbi.dot.uq") +
                " UNIQUE (code))",
            "CREATE INDEX " + quoted("vbi.dot.idx") + " ON " + quoted("vbi.dot") + " (code, id)"};
        if (GetParam() == "PostgreSQL")
            sql << "CREATE FUNCTION vbi_add(a integer, b integer) RETURNS integer LANGUAGE sql AS "
                   "'SELECT a + b'";
        if (GetParam() == "MySQL")
            sql << "CREATE FUNCTION vbi_add(a INT, b INT) RETURNS INT DETERMINISTIC RETURN a + b";
        return sql;
    }

    VornInfoClientPtr describe(const QString &type, const QString &name)
    {
        VornInfoClientPtr info = browser_->elementDescription(schema_, type, name);
        EXPECT_TRUE(info) << type.toStdString() << " " << name.toStdString();
        return info;
    }

    // A description read the way the info column reads it: reserved, filled out, released.
    VornInfoClientPtr loaded(const QString &type, const QString &name)
    {
        VornInfoClientPtr info = describe(type, name);
        if (!info)
            return info;
        EXPECT_TRUE(info->reserveForegroundRoot("Loading element information"));
        info->fillOutGenericInfo();
        info->columns();
        info->indexes();
        info->constraints();
        info->triggers();
        info->ddl();
        info->releaseReservedRoot();
        return info;
    }

    std::unique_ptr<TestRoot> root_;
    VornRootClientPtr client_;
    std::shared_ptr<VornBrowserClient> browser_;
    QString schema_;
};

VORN_FOR_EVERY_DATABASE(BackendInfoTest);

QVariantMap byName(const QVariantList &entries, const QString &name)
{
    for (const QVariant &entry : entries) {
        if (entry.toMap().value("name").toString() == name)
            return entry.toMap();
    }
    return {};
}
} // namespace

TEST_P(BackendInfoTest, TypeAndSubtypeAtOnceTheRestAfterFillingOut)
{
    struct Case {
        QString type;
        QString name;
        QString subtype;
        QString filledKey; // a key only the database can answer
        QVariant filledValue;
        bool serverOnly;
    };
    const QList<Case> cases{
        {"TABLE", "vbi_item", "table", "primaryKeyColumns", QStringList{"id"}, false},
        {"VIEW", "vbi_view", "table", "", {}, false},
        {"INDEX", "vbi_item_idx", "index", "uniqueness", "NONUNIQUE", false},
        {"INDEX", "vbi_item_idx", "index", "tablename", "vbi_item", false},
        {"CONSTRAINT", "vbi_item_parent", "constraint", "referencetable", "vbi_parent", true},
        {"CONSTRAINT", GetParam() == "MySQL" ? "PRIMARY" : "vbi_item_pk", "constraint", "constraint_type",
         "P", false},
        {"FUNCTION", "vbi_add", "procedure", "", {}, true},
    };
    for (const Case &c : cases) {
        if (c.serverOnly && !server())
            continue;
        SCOPED_TRACE((c.type + " " + c.name).toStdString());
        VornInfoClientPtr info = describe(c.type, c.name);
        ASSERT_TRUE(info);
        const QVariantMap before = info->genericInfo();
        EXPECT_EQ(before.value("type").toString(), c.type);
        EXPECT_EQ(before.value("subtype").toString(), c.subtype);
        EXPECT_EQ(before.value("name").toString(), c.name);
        if (!c.filledKey.isEmpty()) {
            EXPECT_FALSE(before.contains(c.filledKey)) << "known before any database work";
        }
        ASSERT_TRUE(info->reserveForegroundRoot("Loading element information"));
        info->fillOutGenericInfo();
        info->releaseReservedRoot();
        if (!c.filledKey.isEmpty()) {
            const QVariant filled = info->genericInfo().value(c.filledKey);
            if (c.filledValue.typeId() == QMetaType::QStringList)
                EXPECT_EQ(filled.toStringList(), c.filledValue.toStringList());
            else
                EXPECT_EQ(filled, c.filledValue);
        }
    }
}

TEST_P(BackendInfoTest, WhatAnObjectCanHaveIsKnownByItsType)
{
    VornInfoClientPtr table = describe("TABLE", "vbi_item");
    VornInfoClientPtr index = describe("INDEX", "vbi_item_idx");
    VornInfoClientPtr view = describe("VIEW", "vbi_view");
    ASSERT_TRUE(table && index && view);
    EXPECT_TRUE(table->couldContainIndexInfo());
    EXPECT_TRUE(table->couldContainConstraintInfo());
    EXPECT_TRUE(table->couldContainTriggerInfo());
    EXPECT_TRUE(table->couldContainDdlInfo());
    EXPECT_FALSE(table->couldContainIndexColumnInfo());
    EXPECT_EQ(table->couldContainPartitionInfo(), server());
    EXPECT_TRUE(index->couldContainIndexColumnInfo());
    EXPECT_FALSE(index->couldContainIndexInfo());
    EXPECT_FALSE(view->couldContainConstraintInfo());
    EXPECT_EQ(view->couldContainTriggerInfo(), GetParam() != "MySQL") << "MySQL has no triggers on views";
}

TEST_P(BackendInfoTest, ColumnsShowSizeDefaultAndNoNullsOnlyWhenNotNullable)
{
    VornInfoClientPtr info = loaded("TABLE", "vbi_item");
    ASSERT_TRUE(info);
    const QVariantList columns = info->columns();
    ASSERT_EQ(columns.size(), 3);
    const QVariantMap id = byName(columns, "id");
    const QVariantMap code = byName(columns, "code");
    const QVariantMap parent = byName(columns, "parent");
    EXPECT_TRUE(id.contains("NoNulls"));
    EXPECT_FALSE(code.contains("NoNulls"));
    EXPECT_FALSE(parent.contains("NoNulls"));
    EXPECT_EQ(code.value("size").toString(), "20");
    EXPECT_TRUE(code.value("default").toString().contains("x"))
        << code.value("default").toString().toStdString();
    EXPECT_FALSE(id.contains("default"));
}

TEST_P(BackendInfoTest, AFunctionsResultIsTheReturnColumnAndItsParametersHaveDirections)
{
    if (!server())
        GTEST_SKIP() << "SQLite has no stored functions";
    VornInfoClientPtr info = loaded("FUNCTION", "vbi_add");
    ASSERT_TRUE(info);
    const QVariantList columns = info->columns();
    const QVariantMap result = byName(columns, "___RETURN___");
    ASSERT_FALSE(result.isEmpty());
    EXPECT_FALSE(result.contains("ptype"));
    EXPECT_TRUE(result.value("type").toString().contains("int", Qt::CaseInsensitive));
    const QVariantMap a = byName(columns, "a");
    EXPECT_EQ(a.value("ptype").toString(), "IN");
    EXPECT_EQ(columns.size(), 3);
}

TEST_P(BackendInfoTest, IndexesListTheirColumnsWithDirections)
{
    VornInfoClientPtr info = loaded("TABLE", "vbi_item");
    ASSERT_TRUE(info);
    const QVariantMap indexes = info->indexes();
    EXPECT_TRUE(indexes.value("names").toStringList().contains("vbi_item_idx"));
    EXPECT_EQ(indexes.value("columns").toMap().value("vbi_item_idx").toStringList(),
              (QStringList{"parent", "A", "code", "D"}));
    EXPECT_EQ(indexes.value("unicity").toMap().value("vbi_item_idx").toString(), "NONUNIQUE");
    EXPECT_TRUE(info->canObtainInfoFor("vbi_item_idx", "INDEX"));
    EXPECT_FALSE(info->canObtainInfoFor("vbi_nothing", "INDEX"));

    VornInfoClientPtr index = loaded("INDEX", "vbi_item_idx");
    ASSERT_TRUE(index);
    QStringList names;
    for (const QVariant &column : index->columns())
        names << column.toMap().value("name").toString();
    EXPECT_EQ(names, (QStringList{"parent", "code"}));
}

TEST_P(BackendInfoTest, ATablesOwnConstraintsComeBeforeThoseReferringToIt)
{
    VornInfoClientPtr item = loaded("TABLE", "vbi_item");
    ASSERT_TRUE(item);
    QStringList types;
    for (const QVariant &constraint : item->constraints())
        types << constraint.toMap().value("type").toString();
    EXPECT_EQ(types.first(), "P");
    EXPECT_TRUE(types.contains("R"));
    EXPECT_FALSE(types.contains("EXT"));
    // SQLite names no foreign keys in its metadata; the servers keep the constraint's name.
    const QVariantMap reference = item->constraints().at(types.indexOf("R")).toMap();
    if (server()) {
        EXPECT_EQ(reference.value("name").toString(), "vbi_item_parent");
    }
    EXPECT_EQ(reference.value("othertable").toString(), "vbi_parent");
    EXPECT_EQ(reference.value("otherfirstcolumn").toString(), "id");
    EXPECT_EQ(reference.value("constraintColumns").toStringList(), QStringList{"parent"});
    EXPECT_TRUE(item->canObtainInfoFor("vbi_parent", "TABLE"));

    VornInfoClientPtr parent = loaded("TABLE", "vbi_parent");
    ASSERT_TRUE(parent);
    QStringList parentTypes;
    for (const QVariant &constraint : parent->constraints())
        parentTypes << constraint.toMap().value("type").toString();
    EXPECT_EQ(parentTypes, (QStringList{"P", "EXT"}));
    const QVariantMap external = parent->constraints().last().toMap();
    EXPECT_EQ(external.value("othertable").toString(), "vbi_item");
}

TEST_P(BackendInfoTest, PartitionedTablesListTheirPartitions)
{
    if (!server())
        GTEST_SKIP() << "SQLite has no partitions";
    if (GetParam() == "PostgreSQL") {
        ASSERT_TRUE(root_->run("CREATE TABLE vbi_sales (region text, n integer) PARTITION BY LIST (region)"));
        ASSERT_TRUE(
            root_->run("CREATE TABLE vbi_sales_nl PARTITION OF vbi_sales FOR VALUES IN ('NL', 'BE')"));
        ASSERT_TRUE(root_->run("CREATE TABLE vbi_sales_rest PARTITION OF vbi_sales DEFAULT"));
    } else {
        ASSERT_TRUE(
            root_->run("CREATE TABLE vbi_sales (region VARCHAR(2), n INT) PARTITION BY RANGE (n) "
                       "(PARTITION vbi_low VALUES LESS THAN (10), PARTITION vbi_rest VALUES LESS THAN "
                       "MAXVALUE)"));
    }
    VornInfoClientPtr info = loaded("TABLE", "vbi_sales");
    ASSERT_TRUE(info);
    const QVariantMap generic = info->genericInfo();
    QStringList names, values;
    for (const QVariant &partition : generic.value("partitions").toList()) {
        names << partition.toMap().value("name").toString();
        values << partition.toMap().value("highValue").toString();
    }
    if (GetParam() == "PostgreSQL") {
        EXPECT_EQ(generic.value("partitioningType").toString(), "LIST");
        EXPECT_EQ(names, (QStringList{"vbi_sales_nl", "vbi_sales_rest"}));
        EXPECT_EQ(values, (QStringList{"'NL', 'BE'", "DEFAULT"}));
    } else {
        EXPECT_EQ(generic.value("partitioningType").toString(), "RANGE");
        EXPECT_EQ(names, (QStringList{"vbi_low", "vbi_rest"}));
        EXPECT_EQ(values, (QStringList{"10", "MAXVALUE"}));
    }
}

TEST_P(BackendInfoTest, EveryKindHasItsDataDefinition)
{
    QList<QPair<QString, QString>> objects{
        {"TABLE", "vbi_item"}, {"VIEW", "vbi_view"}, {"INDEX", "vbi_item_idx"}};
    if (server())
        objects.append(qMakePair(QString("FUNCTION"), QString("vbi_add")));
    for (const auto &[type, name] : objects) {
        SCOPED_TRACE(type.toStdString());
        VornInfoClientPtr info = loaded(type, name);
        ASSERT_TRUE(info);
        const QString ddl = info->ddl();
        EXPECT_TRUE(ddl.contains(name, Qt::CaseInsensitive)) << ddl.toStdString();
        EXPECT_TRUE(ddl.contains("CREATE", Qt::CaseInsensitive)) << ddl.toStdString();
    }
}

TEST_P(BackendInfoTest, AnOwnConnectionReadsWhileTheRootIsBusy)
{
    ASSERT_TRUE(client_->reserveRoot("Another action"));
    VornInfoClientPtr info = describe("TABLE", "vbi_item");
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->reserveForegroundRoot("Loading element information"));
    ASSERT_TRUE(info->reserveBackgroundRoot("Loading element information"));
    info->fillOutGenericInfo();
    EXPECT_EQ(info->columns().size(), 3);
    info->releaseReservedRoot();
    EXPECT_TRUE(client_->reserved()) << "the other action keeps its reservation";
    info->endConnection();
    client_->releaseReservedRoot();
    ASSERT_TRUE(info->root());
    EXPECT_TRUE(info->root()->hasConnection());
}

TEST_P(BackendInfoTest, NoDescriptionWithoutAConnection)
{
    client_->endConnection();
    EXPECT_FALSE(browser_->elementDescription(schema_, "TABLE", "vbi_item"));
    EXPECT_FALSE(browser_->elementDescriptionForReferringElement(schema_, "SYNONYM", "vbi_item"));
}

// The browser lists indexes, constraints and triggers under names of its own where they are unique only per
// table; the info of an element listed by the browser must find that element.
TEST_P(BackendInfoTest, ElementsListedByTheBrowserGiveTheirInfo)
{
    struct Case {
        QString type;
        QString ownName;
        QString table;
        QString filledKey;
        QVariant filledValue;
        QStringList columns;
    };
    const QList<Case> cases{
        {"INDEX", "vbi_item_idx", "vbi_item", "uniqueness", "NONUNIQUE", {"parent", "code"}},
        {"INDEX", "vbi.dot.idx", "vbi.dot", "uniqueness", "NONUNIQUE", {"code", "id"}},
        {"CONSTRAINT", "vbi_item_code", "vbi_item", "constraint_type", "U", {}},
        {"CONSTRAINT", "vbi.dot.uq", "vbi.dot", "constraint_type", "U", {}},
    };
    browser_->typesInSchema(schema_);
    for (const Case &c : cases) {
        SCOPED_TRACE((c.type + " " + c.ownName).toStdString());
        // SQLite's catalogue has no named constraints for the browser to list.
        if (c.type == "CONSTRAINT" && !server())
            continue;
        QStringList listed;
        for (const QString &name : browser_->elementsOfTypeInSchemaLike(c.type, schema_, ""))
            if (name == c.ownName || name.endsWith("." + c.ownName))
                listed << name;
        ASSERT_EQ(listed.size(), 1) << listed.join(", ").toStdString();
        const QString name = listed.first();
        VornInfoClientPtr info = loaded(c.type, name);
        ASSERT_TRUE(info);
        const QVariantMap generic = info->genericInfo();
        EXPECT_EQ(generic.value("name").toString(), name);
        EXPECT_EQ(generic.value("tablename").toString(), c.table);
        EXPECT_EQ(generic.value(c.filledKey), c.filledValue);
        QStringList columns;
        for (const QVariant &column : info->columns())
            columns << column.toMap().value("name").toString();
        if (c.type == "INDEX") {
            EXPECT_EQ(columns, c.columns);
            EXPECT_FALSE(info->ddl().isEmpty());
        } else {
            EXPECT_EQ(generic.value("constraintColumns").toStringList(), QStringList{"code"});
        }
    }
}
