package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;

/**
 * MySQL and MariaDB constraints put together from information_schema: SHOW CREATE knows tables, views,
 * routines, triggers and sequences, but no constraint on its own. Everything else is the info column's DDL.
 */
final class MySQLObjectDescription {
    private MySQLObjectDescription() {}

    /** A constraint by schema, table and name, all bound. */
    private static final String CONSTRAINT = "CONSTRAINT_SCHEMA = ? AND TABLE_NAME = ? AND CONSTRAINT_NAME = ?";

    static String read(Dialect dialect, InfoQueries.Target target) throws SQLException {
        InfoQueries queries = InfoQueries.forDialect(dialect);
        if (!target.type.equals("CONSTRAINT"))
            return queries.ddl(target);
        String table = queries.tableOf(target);
        if (table == null)
            return null;
        Connection connection = target.connection;
        Object[] where = {target.schema, table, target.name};
        String kind = InfoQueries.text(
            InfoQueries.firstRow(connection,
                                 "SELECT CONSTRAINT_TYPE AS kind FROM information_schema.TABLE_CONSTRAINTS WHERE "
                                     + CONSTRAINT,
                                 where),
            "kind");
        if (kind == null)
            return null;
        Hashtable<String, Object> details = new Hashtable<>();
        if (kind.equals("FOREIGN KEY"))
            details = InfoQueries.firstRow(connection,
                                           "SELECT UPDATE_RULE AS on_update, DELETE_RULE AS on_delete FROM "
                                               + "information_schema.REFERENTIAL_CONSTRAINTS WHERE " + CONSTRAINT,
                                           where);
        else if (kind.equals("CHECK"))
            details = InfoQueries.firstRow(connection,
                                           "SELECT CHECK_CLAUSE AS definition FROM information_schema.CHECK_CONSTRAINTS "
                                               + "WHERE " + CONSTRAINT,
                                           where);
        List<Hashtable<String, Object>> columns = InfoQueries.rows(
            connection,
            "SELECT COLUMN_NAME AS column_name, REFERENCED_TABLE_SCHEMA AS referenced_schema, "
                + "REFERENCED_TABLE_NAME AS referenced_table, REFERENCED_COLUMN_NAME AS referenced_column FROM "
                + "information_schema.KEY_COLUMN_USAGE WHERE " + CONSTRAINT + " ORDER BY ORDINAL_POSITION",
            where);
        return constraint(dialect, target.schema, table, target.name, kind, details, columns);
    }

    /**
     * The kind is TABLE_CONSTRAINTS' type; details hold a foreign key's on_update and on_delete or a
     * check's definition; columns come from KEY_COLUMN_USAGE in order. The primary key is always named
     * PRIMARY and is added without a name.
     */
    static String constraint(Dialect dialect, String schema, String table, String name, String kind,
                             Hashtable<String, Object> details, List<Hashtable<String, Object>> columns) {
        StringBuilder text = new StringBuilder("ALTER TABLE ").append(InfoNames.qualified(dialect, schema, table));
        text.append(" ADD ");
        if (!kind.equals("PRIMARY KEY"))
            text.append("CONSTRAINT ").append(InfoNames.quote(dialect, name)).append(' ');
        List<String> own = new ArrayList<>();
        List<String> referenced = new ArrayList<>();
        for (Hashtable<String, Object> column : columns) {
            own.add(InfoNames.quote(dialect, InfoQueries.text(column, "column_name")));
            if (column.get("referenced_column") != null)
                referenced.add(InfoNames.quote(dialect, InfoQueries.text(column, "referenced_column")));
        }
        switch (kind) {
        case "PRIMARY KEY":
        case "UNIQUE":
            return text.append(kind).append(" (").append(String.join(", ", own)).append(')').toString();
        case "CHECK":
            return text.append("CHECK (").append(InfoQueries.text(details, "definition")).append(')').toString();
        case "FOREIGN KEY": {
            if (columns.isEmpty())
                return null;
            Hashtable<String, Object> first = columns.get(0);
            text.append("FOREIGN KEY (").append(String.join(", ", own)).append(") REFERENCES ");
            text.append(InfoNames.qualified(dialect, InfoQueries.text(first, "referenced_schema"),
                                            InfoQueries.text(first, "referenced_table")));
            text.append(" (").append(String.join(", ", referenced)).append(')');
            appendRule(text, " ON DELETE ", InfoQueries.text(details, "on_delete"));
            appendRule(text, " ON UPDATE ", InfoQueries.text(details, "on_update"));
            return text.toString();
        }
        default:
            return null;
        }
    }

    /** RESTRICT and NO ACTION are what a key does unless told otherwise. */
    private static void appendRule(StringBuilder text, String clause, String rule) {
        if (rule != null && !rule.equals("RESTRICT") && !rule.equals("NO ACTION"))
            text.append(clause).append(rule);
    }
}
