package nl.dalmerik.vorn;

import java.util.List;
import java.util.Map;
import java.util.Set;

/** MySQL's and MariaDB's DDL: index names per table, table options after the column list. */
final class MySQLAssistantRules extends AssistantRules {
    MySQLAssistantRules(Dialect dialect) {
        super(dialect);
    }

    @Override
    List<String> types() {
        return List.of("VARCHAR", "CHAR", "TEXT", "MEDIUMTEXT", "LONGTEXT", "TINYINT", "SMALLINT", "INT", "BIGINT",
                       "DECIMAL", "FLOAT", "DOUBLE", "BIT", "DATE", "DATETIME", "TIMESTAMP", "TIME", "BINARY",
                       "VARBINARY", "BLOB", "LONGBLOB");
    }

    @Override
    String defaultColumnType() {
        return "VARCHAR";
    }

    @Override
    Set<String> sizedTypes() {
        return Set.of("VARCHAR", "CHAR", "TINYINT", "SMALLINT", "INT", "BIGINT", "DECIMAL", "FLOAT", "DOUBLE", "BIT",
                      "DATETIME", "TIMESTAMP", "TIME", "BINARY", "VARBINARY");
    }

    @Override
    Set<String> precisionTypes() {
        return Set.of("DECIMAL", "FLOAT", "DOUBLE");
    }

    @Override
    Set<String> sizeRequiredTypes() {
        return Set.of("VARCHAR", "VARBINARY");
    }

    @Override
    String autoNumberClause() {
        return "auto_increment";
    }

    @Override
    String identifierQuoteString() {
        return "`";
    }

    @Override
    Map<String, Option> tableOptions() {
        return options("Engine", new Option("ENGINE=%s", "Default", "InnoDB", "MyISAM", "MEMORY", "ARCHIVE"),
                       "Character set", new Option("DEFAULT CHARSET=%s", "Default", "utf8mb4", "latin1", "ascii"),
                       "Row format",
                       new Option("ROW_FORMAT=%s", "Default", "DYNAMIC", "COMPACT", "COMPRESSED", "REDUNDANT"));
    }

    @Override
    Map<String, Option> indexOptions() {
        return options("Index type", new Option("USING %s", "Default", "BTREE", "HASH"));
    }

    @Override
    String commentSql(String qualifiedTable, String comment, String defaultSchema) {
        return "ALTER TABLE " + qualifiedTable + " COMMENT = " + dialect.quoteLiteral(comment);
    }
}
