#include "ddl/DdlDialect.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace
{

const QStringList databaseTypes{"Oracle", "PostgreSQL", "MySQL", "SQL Server", "SQLite"};

TEST(DdlDialectTest, CreatableKindsFollowWhatEachDatabaseHas)
{
    // Per kind: the databases (in databaseTypes order) that can create it.
    const struct {
        const char *kind;
        std::array<bool, 5> creatable;
    } cases[] = {
        {"TABLE", {true, true, true, true, true}},       {"INDEX", {true, true, true, true, true}},
        {"CONSTRAINT", {true, true, true, true, false}}, {"FUNCTION", {true, true, true, true, false}},
        {"PROCEDURE", {true, false, true, true, false}}, {"PACKAGE", {true, false, false, false, false}},
        {"SEQUENCE", {true, true, false, false, false}}, {"VIEW", {false, false, false, false, false}},
        {"table", {false, false, false, false, false}},
    };
    for (const auto &row : cases) {
        for (int i = 0; i < databaseTypes.size(); ++i)
            EXPECT_EQ(DdlDialect(databaseTypes.at(i)).supportCreateNew(row.kind), row.creatable.at(i))
                << row.kind << " on " << databaseTypes.at(i).toStdString();
    }
}

TEST(DdlDialectTest, ProcedureRulesPerDatabase)
{
    const DdlDialect oracle("Oracle"), postgres("PostgreSQL"), mysql("MySQL"), sqlServer("SQL Server"),
        other("SQLite");

    EXPECT_EQ(postgres.createProcedureStatement("PROCEDURE", "p"), "CREATE FUNCTION p");
    EXPECT_EQ(oracle.createProcedureStatement("PROCEDURE", "p"), "CREATE PROCEDURE p");
    EXPECT_FALSE(sqlServer.requiresBracesForEmptyParameterList("PROCEDURE"));
    EXPECT_TRUE(sqlServer.requiresBracesForEmptyParameterList("FUNCTION"));
    EXPECT_FALSE(oracle.requiresBracesForEmptyParameterList("FUNCTION"));
    EXPECT_TRUE(other.requiresBracesForEmptyParameterList("PROCEDURE"));

    EXPECT_EQ(postgres.cycleString("NOCYCLE"), "NO CYCLE");
    for (const DdlDialect *dialect : {&oracle, &mysql, &sqlServer, &other})
        EXPECT_EQ(dialect->cycleString("NOCYCLE"), "NOCYCLE");
    for (const DdlDialect *dialect : {&oracle, &postgres, &mysql, &sqlServer, &other})
        EXPECT_EQ(dialect->cycleString("CYCLE"), "CYCLE");

    EXPECT_EQ(sqlServer.procedureParameterFormat("x"), "@x");
    EXPECT_EQ(mysql.procedureParameterFormat("x"), "x");
    EXPECT_EQ(oracle.procedureReturnString("FUNCTION", "NUMBER"), "RETURN NUMBER");
    EXPECT_EQ(mysql.procedureReturnString("FUNCTION", "INT"), "RETURNS INT");
    EXPECT_EQ(postgres.procedureReturnString("PROCEDURE", "x"), "RETURNS void ");
    EXPECT_EQ(oracle.procedureReturnString("PROCEDURE", "x"), "");
    EXPECT_EQ(postgres.procedureReturnString("PACKAGE", "x"), "");
    EXPECT_EQ(sqlServer.beginForProcedureBody("PROCEDURE"), "BEGIN\n\tDECLARE @any_variable int;");
    EXPECT_EQ(sqlServer.beginForProcedureBody("FUNCTION"), "BEGIN");
    EXPECT_EQ(postgres.endForProcedureBody("FUNCTION"), "END;\n$$LANGUAGE plpgsql;");
    EXPECT_TRUE(mysql.requiresAsOrIsForType("PROCEDURE").isNull());
    EXPECT_EQ(sqlServer.requiresAsOrIsForType("PROCEDURE"), "AS");
}

TEST(DdlDialectTest, SqlServerOutParametersAreOutputOnlyThere)
{
    EXPECT_EQ(DdlDialect("SQL Server").procedureParameterUsageSuffix("OUT"), " OUTPUT");
    EXPECT_EQ(DdlDialect("SQL Server").procedureParameterUsageSuffix("IN OUT"), " OUTPUT");
    EXPECT_EQ(DdlDialect("SQL Server").procedureParameterUsageSuffix("IN"), "");
    EXPECT_EQ(DdlDialect("Oracle").procedureParameterUsageSuffix("OUT"), "");
}

} // namespace
