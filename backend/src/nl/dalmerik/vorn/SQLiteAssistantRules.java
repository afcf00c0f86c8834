package nl.dalmerik.vorn;

import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * SQLite's DDL: type affinities without sizes, no table comments, no self-numbering clause outside an
 * inline INTEGER PRIMARY KEY, the schema on the index rather than on its table, and DELETE for TRUNCATE.
 */
final class SQLiteAssistantRules extends AssistantRules {
    SQLiteAssistantRules(Dialect dialect) {
        super(dialect);
    }

    @Override
    List<String> types() {
        return List.of("INTEGER", "TEXT", "REAL", "NUMERIC", "BLOB");
    }

    @Override
    String defaultColumnType() {
        return "TEXT";
    }

    @Override
    Set<String> sizedTypes() {
        return Set.of();
    }

    @Override
    String autoNumberClause() {
        return null;
    }

    @Override
    boolean indexesAreLocalOnTable() {
        return false;
    }

    @Override
    boolean indexQualifiesIndexNotTable() {
        return true;
    }

    @Override
    String identifierQuoteString() {
        return "\"";
    }

    @Override
    Map<String, Option> tableOptions() {
        return options("Row identity", new Option("%s", "Default", "WITHOUT ROWID"));
    }

    @Override
    String commentSql(String qualifiedTable, String comment, String defaultSchema) {
        return null;
    }

    @Override
    String truncateSql(String qualifiedTable, boolean cascade) {
        return "DELETE FROM " + qualifiedTable;
    }
}
