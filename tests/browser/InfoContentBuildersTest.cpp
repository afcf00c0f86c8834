// The content builders: which backend values become which lines, under which labels, in which order.
#include "browser/InfoContentBuilders.h"

#include <gtest/gtest.h>

namespace
{
// A group as text: "title|arrangement|name=value;name=value", a null name or value shown as "~".
QString describe(const InfoItemGroup &group)
{
    QStringList items;
    for (const InfoItem &item : group.items)
        items << (item.name.isNull() ? "~" : item.name) + "=" + (item.value.isNull() ? "~" : item.value) +
                     (item.element ? "@" + item.element->type() : QString());
    return QString("%1|%2|%3")
        .arg(group.title.isNull() ? "~" : group.title)
        .arg(group.infoItemGroupArrangement)
        .arg(items.join(";"));
}

QStringList describe(const QList<InfoItemGroup> &groups)
{
    QStringList all;
    for (const InfoItemGroup &group : groups)
        all << describe(group);
    return all;
}

BrowserElementPtr anyLink(const QString &name, const QString &type, qint64 browserType)
{
    return std::make_shared<BrowserElement>(name, "HR", type, browserType);
}

BrowserElementPtr noLink(const QString &, const QString &, qint64)
{
    return nullptr;
}
} // namespace

TEST(InfoContentBuildersTest, GeneralGroupsFollowTheObjectsProperties)
{
    struct Case {
        const char *what;
        QVariantMap generic;
        QStringList groups;
    };
    const QList<Case> cases{
        {"a table without a primary key shows a dash, its statistics and options",
         {{"name", "EMP"},
          {"type", "TABLE"},
          {"schema", "HR"},
          {"schemaTerm", "schema"},
          {"rows", "14"},
          {"engine", "InnoDB"},
          {"logging", "yes"},
          {"comment", "Staff"}},
         {"~|0|Name=EMP;Schema=HR;Type=TABLE", "Primary key|1|~=-", "Last analysis|4|Number of records=14",
          "Table options|0|Logging=Yes;Engine=InnoDB", "Comment|8|~=Staff"}},
        {"an empty key list shows no key group; a database is called so",
         {{"name", "EMP"},
          {"type", "TABLE"},
          {"schema", "shop"},
          {"schemaTerm", "database"},
          {"primaryKeyColumns", QStringList()}},
         {"~|0|Name=EMP;Database=shop;Type=TABLE"}},
        {"a view without key columns has no key group",
         {{"name", "V"}, {"type", "VIEW"}, {"schema", "HR"}},
         {"~|0|Name=V;Schema=HR;Type=VIEW"}},
        {"a partition count appears with the partitions list; catalog terms as given",
         {{"name", "S"},
          {"type", "TABLE"},
          {"catalog", "c1"},
          {"catalogTerm", "database"},
          {"partitions", QVariantList{QVariantMap{{"name", "p1"}}, QVariantMap{{"name", "p2"}}}},
          {"primaryKeyColumns", QStringList{"A", "B"}}},
         {"~|0|Name=S;Database=c1;Type=TABLE;Partitions=2", "Primary key|1|~=A, B"}},
        {"an index links its table and says yes for unique",
         {{"name", "IX"}, {"type", "INDEX"}, {"tablename", "EMP"}, {"uniqueness", "unique"}},
         {"~|0|Name=IX;Type=INDEX", "Table|0|~=EMP@TABLE", "~|0|Unique=Yes;Status=~"}},
        {"a referential constraint describes its reference",
         {{"name", "FK"},
          {"type", "CONSTRAINT"},
          {"tablename", "EMP"},
          {"constraint_type", "R"},
          {"constraintColumns", QStringList{"DEPT"}},
          {"referencetable", "DEPT"},
          {"referencefirstcolumn", "ID"}},
         {"~|0|Name=FK;Type=CONSTRAINT", "Table|0|~=EMP@TABLE", "Constraint type|0|~=Referential",
          "~|0|References=DEPT@TABLE", "Description|8|~=DEPT references DEPT (ID)"}},
        {"a check without its condition keeps the code and has no description",
         {{"name", "CK"}, {"type", "CONSTRAINT"}, {"constraint_type", "C"}},
         {"~|0|Name=CK;Type=CONSTRAINT", "Constraint type|0|~=C"}},
        {"a primary key constraint",
         {{"name", "PK"},
          {"type", "CONSTRAINT"},
          {"constraint_type", "P"},
          {"constraintColumns", QStringList{"ID"}}},
         {"~|0|Name=PK;Type=CONSTRAINT", "Constraint type|0|~=Primary key",
          "Description|8|~=ID, primary key"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(describe(InfoContentBuilders::generalGroups(c.generic, anyLink)), c.groups);
    }
}

TEST(InfoContentBuildersTest, LinksOnlyToWhatTheInfoCanDescribe)
{
    const QVariantMap index{{"name", "IX"}, {"type", "INDEX"}, {"tablename", "EMP"}};
    EXPECT_EQ(describe(InfoContentBuilders::generalGroups(index, noLink)).at(1), "Table|0|~=EMP");
}

TEST(InfoContentBuildersTest, ColumnTextsAndFunctionResults)
{
    const QVariantList columns{
        QVariantMap{{"name", "ID"}, {"type", "NUMBER"}, {"size", "10"}, {"default", "0"}, {"NoNulls", "YES"}},
        QVariantMap{{"name", "___RETURN___"}, {"type", "INTEGER"}},
        QVariantMap{{"name", "P"}, {"type", "VARCHAR2"}, {"ptype", "IN"}},
        QVariantMap{{"name", "X"}},
    };
    EXPECT_EQ(describe(InfoContentBuilders::columnGroups(columns)),
              (QStringList{"~|16|Function result=~;~=INTEGER",
                           "~|10|ID=NUMBER (10), default 0, not null;P=VARCHAR2 (in);X=."}));
}

TEST(InfoContentBuildersTest, IndexTextsWithDirectionsUnicityAndPartitions)
{
    const QVariantMap indexes{
        {"names", QStringList{"IX1", "IX2", "IX3"}},
        {"columns",
         QVariantMap{{"IX1", QStringList{"ID", "A", "NAME", "D"}}, {"IX2", QStringList{"C", "?"}}}},
        {"unicity", QVariantMap{{"IX1", "UNIQUE"}, {"IX2", "NONUNIQUE"}}},
        {"indexPartitions",
         QVariantMap{
             {"IX1",
              QVariantMap{{"partitionCount", "8"}, {"locality", "LOCAL"}, {"partitioningType", "HASH"}}},
             {"IX2", QVariantMap{{"partitionCount", "4"}, {"partitioningType", "RANGE"}}}}}};
    EXPECT_EQ(
        describe(InfoContentBuilders::indexGroups(indexes, anyLink)),
        (QStringList{
            "~|24|IX1=~@INDEX;~=ID asc, NAME desc (unique)\nLocally partitioned with 8 'HASH' partitions",
            "~|24|IX2=~@INDEX;~=C (non-unique)\nPartitioned with 4 'RANGE' partitions",
            "~|24|IX3=~@INDEX;~=."}));
    EXPECT_EQ(describe(InfoContentBuilders::indexGroups({{"names", QStringList()}}, anyLink)),
              QStringList{"~|0|This table does not have indexes=~"});
}

TEST(InfoContentBuildersTest, ConstraintTextsAndHeadings)
{
    const QVariantMap primary{{"name", "PK"}, {"type", "P"}, {"constraintColumns", QStringList{"ID"}}};
    const QVariantMap check{{"name", "CK"}, {"type", "C"}, {"condition", "X > 0"}};
    const QVariantMap reference{{"name", "FK"},
                                {"type", "R"},
                                {"constraintColumns", QStringList{"D", "E"}},
                                {"othertable", "DEPT"},
                                {"otherfirstcolumn", "ID"}};
    const QVariantMap external{
        {"name", "XK"}, {"type", "EXT"}, {"constraintColumns", QStringList{"ID"}}, {"othertable", "EMP"}};
    EXPECT_EQ(describe(InfoContentBuilders::constraintGroups({primary, check, reference, external}, anyLink)),
              (QStringList{"Local constraints|0|", "~|16|PK=~@CONSTRAINT;~=ID, primary key",
                           "~|16|CK=~@CONSTRAINT;~=X > 0", "~|16|FK=~@CONSTRAINT;~=D, E;~=references DEPT",
                           "External constraints|0|", "~|16|XK=~@CONSTRAINT;~=ID;~=is referenced by EMP"}));
    EXPECT_EQ(describe(InfoContentBuilders::constraintGroups({external}, anyLink)),
              (QStringList{"External constraints|0|", "~|16|XK=~@CONSTRAINT;~=ID;~=is referenced by EMP"}));
    EXPECT_EQ(describe(InfoContentBuilders::constraintGroups({}, anyLink)),
              QStringList{"~|0|This table does not have constraints=~"});
}

TEST(InfoContentBuildersTest, PartitionTextsByTypeAndValues)
{
    struct Case {
        QString type;
        QVariantMap partition;
        QString text;
    };
    const QList<Case> cases{
        {"LIST",
         {{"name", "P"}, {"highValue", "'NL','BE'"}, {"rows", "1200"}},
         "Values 'NL','BE' (1200 rows)"},
        {"LIST", {{"name", "P"}, {"highValue", "'NL'"}}, "Value 'NL'"},
        {"LIST", {{"name", "P"}, {"highValue", "DEFAULT"}}, "Rest values"},
        {"RANGE", {{"name", "P"}, {"highValue", "MAXVALUE"}}, "Rest values"},
        {"RANGE", {{"name", "P"}, {"highValue", "10"}, {"rows", "3"}}, "High value 10 (3 rows)"},
        {"HASH", {{"name", "P"}, {"rows", "7"}}, "7 rows"},
        {"HASH", {{"name", "P"}}, "~"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QVariantMap generic{{"partitioningType", c.type}, {"partitions", QVariantList{c.partition}}};
        const QList<InfoItemGroup> groups = InfoContentBuilders::partitionGroups(generic);
        ASSERT_EQ(groups.size(), 2);
        EXPECT_EQ(describe(groups.first()), "~|0|Partitioning type=" + c.type + ";Partitions=1");
        EXPECT_EQ(describe(groups.last()), "~|16|P=~;~=" + c.text);
    }
    EXPECT_EQ(describe(InfoContentBuilders::partitionGroups({})),
              QStringList{"~|0|~=This object is not partitioned"});
    const QVariantMap untyped{{"partitions", QVariantList{QVariantMap{{"name", "P"}}}}};
    EXPECT_EQ(describe(InfoContentBuilders::partitionGroups(untyped).first()),
              "~|0|Partitioning type=-;Partitions=1");
}

TEST(InfoContentBuildersTest, DataDefinitionIsTrimmedOrSaysItIsMissing)
{
    EXPECT_EQ(describe(InfoContentBuilders::ddlGroups("\n  CREATE TABLE T (A INT)\n\n")),
              QStringList{"~|8|~=CREATE TABLE T (A INT)"});
    EXPECT_EQ(describe(InfoContentBuilders::ddlGroups(QString())),
              QStringList{"~|8|~=DDL for this object is not available"});
    EXPECT_EQ(describe(InfoContentBuilders::ddlGroups(" \n ")),
              QStringList{"~|8|~=DDL for this object is not available"});
}

TEST(InfoContentBuildersTest, TriggersListTheirNames)
{
    EXPECT_EQ(describe(InfoContentBuilders::triggerGroups({"T1", "T2"})), QStringList{"~|16|T1=~;T2=~"});
    EXPECT_EQ(describe(InfoContentBuilders::triggerGroups({})),
              QStringList{"~|0|~=This object does not have triggers"});
}

TEST(InfoContentBuildersTest, TimingRoundsToHundredths)
{
    const QList<QPair<double, QString>> cases{{0.29, "0.29 seconds"},
                                              {0, "0.00 seconds"},
                                              {0.5, "0.50 seconds"},
                                              {2.346, "2.35 seconds"},
                                              {12.999, "13.00 seconds"}};
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(InfoContentBuilders::timingText(seconds), text) << seconds;
}
