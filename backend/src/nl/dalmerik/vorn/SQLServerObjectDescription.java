package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Locale;

/**
 * SQL Server definitions put together from the sys catalogue views: OBJECT_DEFINITION knows only code
 * (triggers, views, routines), not indexes, keys, sequences or synonyms. Each text is built by a pure
 * function of the catalogue rows; types without one fall back to the info column's DDL.
 */
final class SQLServerObjectDescription {
    private SQLServerObjectDescription() {}

    /** An object by schema and name, both bound. */
    private static final String OBJECT = "(SELECT o.object_id FROM sys.objects o JOIN sys.schemas s ON "
                                         + "s.schema_id = o.schema_id WHERE s.name = ? AND o.name = ?)";
    /** An index by schema, table and index name, all bound. */
    private static final String INDEX_OF_TABLE = "sys.indexes i JOIN sys.objects o ON o.object_id = i.object_id "
                                                 + "JOIN sys.schemas s ON s.schema_id = o.schema_id WHERE s.name = ? "
                                                 + "AND o.name = ? AND i.name = ?";

    static String read(Dialect dialect, InfoQueries.Target target) throws SQLException {
        Connection connection = target.connection;
        String schema = target.schema;
        String name = target.name;
        switch (target.type) {
        case "INDEX": {
            if (target.table == null)
                return null;
            Hashtable<String, Object> index = InfoQueries.firstRow(
                connection, "SELECT i.is_unique, i.type_desc, i.filter_definition FROM " + INDEX_OF_TABLE, schema,
                target.table, name);
            List<Hashtable<String, Object>> columns = InfoQueries.rows(
                connection,
                "SELECT c.name AS column_name, ic.is_descending_key, ic.is_included_column FROM sys.index_columns "
                    + "ic JOIN sys.columns c ON c.object_id = ic.object_id AND c.column_id = ic.column_id JOIN "
                    + INDEX_OF_TABLE + " AND ic.object_id = i.object_id AND ic.index_id = i.index_id "
                    + "ORDER BY ic.is_included_column, ic.key_ordinal, ic.index_column_id",
                schema, target.table, name);
            return index.isEmpty() ? null : index(dialect, schema, target.table, name, index, columns);
        }
        case "CONSTRAINT":
            return constraint(dialect, connection, schema, name);
        case "SEQUENCE": {
            Hashtable<String, Object> sequence = InfoQueries.firstRow(
                connection,
                "SELECT TYPE_NAME(sq.user_type_id) AS type_name, CAST(sq.start_value AS DECIMAL(38, 0)) AS "
                    + "start_value, CAST(sq.increment AS DECIMAL(38, 0)) AS increment, CAST(sq.minimum_value AS "
                    + "DECIMAL(38, 0)) AS minimum_value, CAST(sq.maximum_value AS DECIMAL(38, 0)) AS "
                    + "maximum_value, sq.is_cycling, sq.is_cached, sq.cache_size FROM sys.sequences sq WHERE "
                    + "sq.object_id = " + OBJECT,
                schema, name);
            return sequence.isEmpty() ? null : sequence(dialect, schema, name, sequence);
        }
        case "SYNONYM": {
            Hashtable<String, Object> synonym = InfoQueries.firstRow(
                connection, "SELECT base_object_name FROM sys.synonyms WHERE object_id = " + OBJECT, schema, name);
            return synonym.isEmpty() ? null : synonym(dialect, schema, name, synonym);
        }
        default:
            return InfoQueries.forDialect(dialect).ddl(target);
        }
    }

    private static String constraint(Dialect dialect, Connection connection, String schema, String name)
        throws SQLException {
        Hashtable<String, Object> object = InfoQueries.firstRow(
            connection,
            "SELECT o.type AS kind, OBJECT_NAME(o.parent_object_id) AS table_name FROM sys.objects o WHERE "
                + "o.object_id = " + OBJECT,
            schema, name);
        String kind = InfoQueries.text(object, "kind");
        if (kind == null)
            return null;
        Hashtable<String, Object> details;
        List<Hashtable<String, Object>> columns;
        switch (kind.strip()) {
        case "PK":
        case "UQ":
            details = InfoQueries.firstRow(connection,
                                           "SELECT i.type_desc FROM sys.key_constraints k JOIN sys.indexes i ON "
                                               + "i.object_id = k.parent_object_id AND i.index_id = "
                                               + "k.unique_index_id WHERE k.object_id = " + OBJECT,
                                           schema, name);
            columns = InfoQueries.rows(connection,
                                       "SELECT c.name AS column_name, ic.is_descending_key FROM sys.key_constraints k "
                                           + "JOIN sys.index_columns ic ON ic.object_id = k.parent_object_id AND "
                                           + "ic.index_id = k.unique_index_id JOIN sys.columns c ON c.object_id = "
                                           + "ic.object_id AND c.column_id = ic.column_id WHERE k.object_id = "
                                           + OBJECT + " ORDER BY ic.key_ordinal",
                                       schema, name);
            break;
        case "F":
            details = InfoQueries.firstRow(connection,
                                           "SELECT OBJECT_SCHEMA_NAME(fk.referenced_object_id) AS referenced_schema, "
                                               + "OBJECT_NAME(fk.referenced_object_id) AS referenced_table, "
                                               + "fk.delete_referential_action_desc AS on_delete, "
                                               + "fk.update_referential_action_desc AS on_update FROM sys.foreign_keys "
                                               + "fk WHERE fk.object_id = " + OBJECT,
                                           schema, name);
            columns = InfoQueries.rows(connection,
                                       "SELECT pc.name AS column_name, rc.name AS referenced_column FROM "
                                           + "sys.foreign_key_columns fkc JOIN sys.columns pc ON pc.object_id = "
                                           + "fkc.parent_object_id AND pc.column_id = fkc.parent_column_id JOIN "
                                           + "sys.columns rc ON rc.object_id = fkc.referenced_object_id AND "
                                           + "rc.column_id = fkc.referenced_column_id WHERE fkc.constraint_object_id = "
                                           + OBJECT + " ORDER BY fkc.constraint_column_id",
                                       schema, name);
            break;
        case "C":
            details = InfoQueries.firstRow(
                connection, "SELECT definition FROM sys.check_constraints WHERE object_id = " + OBJECT, schema, name);
            columns = List.of();
            break;
        case "D":
            details = InfoQueries.firstRow(connection,
                                           "SELECT dc.definition, c.name AS column_name FROM sys.default_constraints "
                                               + "dc JOIN sys.columns c ON c.object_id = dc.parent_object_id AND "
                                               + "c.column_id = dc.parent_column_id WHERE dc.object_id = " + OBJECT,
                                           schema, name);
            columns = List.of();
            break;
        default:
            return null;
        }
        return constraint(dialect, schema, name, object, details, columns);
    }

    /** From sys.indexes (is_unique, type_desc, filter_definition) and its sys.index_columns, keys first. */
    static String index(Dialect dialect, String schema, String table, String name, Hashtable<String, Object> index,
                        List<Hashtable<String, Object>> columns) {
        StringBuilder text = new StringBuilder("CREATE ");
        if (flag(index, "is_unique"))
            text.append("UNIQUE ");
        String kind = InfoQueries.text(index, "type_desc");
        if (kind != null && !kind.equals("HEAP"))
            text.append(kind).append(' ');
        text.append("INDEX ").append(InfoNames.quote(dialect, name)).append(" ON ");
        text.append(InfoNames.qualified(dialect, schema, table));
        List<String> keys = new ArrayList<>();
        List<String> included = new ArrayList<>();
        for (Hashtable<String, Object> column : columns) {
            String quoted = InfoNames.quote(dialect, InfoQueries.text(column, "column_name"));
            if (flag(column, "is_included_column"))
                included.add(quoted);
            else
                keys.add(flag(column, "is_descending_key") ? quoted + " DESC" : quoted);
        }
        text.append(" (").append(String.join(", ", keys)).append(')');
        if (!included.isEmpty())
            text.append(" INCLUDE (").append(String.join(", ", included)).append(')');
        String filter = InfoQueries.text(index, "filter_definition");
        if (filter != null)
            text.append(" WHERE ").append(filter);
        return text.toString();
    }

    /**
     * From sys.objects (kind PK, UQ, F, C or D; table_name) with the kind's own details: the key's index
     * type_desc; the foreign key's referenced_schema, referenced_table, on_delete, on_update; the check's
     * or default's definition (and the default's column_name). Columns: column_name (and
     * is_descending_key, or referenced_column) in order.
     */
    static String constraint(Dialect dialect, String schema, String name, Hashtable<String, Object> object,
                             Hashtable<String, Object> details, List<Hashtable<String, Object>> columns) {
        String kind = InfoQueries.text(object, "kind");
        if (kind == null)
            return null;
        StringBuilder text = new StringBuilder("ALTER TABLE ");
        text.append(InfoNames.qualified(dialect, schema, InfoQueries.text(object, "table_name")));
        text.append(" ADD CONSTRAINT ").append(InfoNames.quote(dialect, name)).append(' ');
        switch (kind.strip()) {
        case "PK":
        case "UQ": {
            text.append(kind.strip().equals("PK") ? "PRIMARY KEY" : "UNIQUE");
            String index = InfoQueries.text(details, "type_desc");
            if (index != null)
                text.append(' ').append(index);
            List<String> keys = new ArrayList<>();
            for (Hashtable<String, Object> column : columns) {
                String quoted = InfoNames.quote(dialect, InfoQueries.text(column, "column_name"));
                keys.add(flag(column, "is_descending_key") ? quoted + " DESC" : quoted);
            }
            return text.append(" (").append(String.join(", ", keys)).append(')').toString();
        }
        case "F": {
            List<String> own = new ArrayList<>();
            List<String> referenced = new ArrayList<>();
            for (Hashtable<String, Object> column : columns) {
                own.add(InfoNames.quote(dialect, InfoQueries.text(column, "column_name")));
                referenced.add(InfoNames.quote(dialect, InfoQueries.text(column, "referenced_column")));
            }
            text.append("FOREIGN KEY (").append(String.join(", ", own)).append(") REFERENCES ");
            text.append(InfoNames.qualified(dialect, InfoQueries.text(details, "referenced_schema"),
                                            InfoQueries.text(details, "referenced_table")));
            text.append(" (").append(String.join(", ", referenced)).append(')');
            appendAction(text, " ON DELETE ", InfoQueries.text(details, "on_delete"));
            appendAction(text, " ON UPDATE ", InfoQueries.text(details, "on_update"));
            return text.toString();
        }
        case "C":
            return text.append("CHECK ").append(InfoQueries.text(details, "definition")).toString();
        case "D":
            return text.append("DEFAULT ").append(InfoQueries.text(details, "definition")).append(" FOR ")
                .append(InfoNames.quote(dialect, InfoQueries.text(details, "column_name")))
                .toString();
        default:
            return null;
        }
    }

    private static void appendAction(StringBuilder text, String clause, String action) {
        if (action != null && !action.equals("NO_ACTION"))
            text.append(clause).append(action.replace('_', ' ').toUpperCase(Locale.ROOT));
    }

    /** From sys.sequences, the values cast to whole decimals. */
    static String sequence(Dialect dialect, String schema, String name, Hashtable<String, Object> sequence) {
        StringBuilder text = new StringBuilder("CREATE SEQUENCE ").append(InfoNames.qualified(dialect, schema, name));
        String type = InfoQueries.text(sequence, "type_name");
        if (type != null)
            text.append("\n    AS ").append(type);
        text.append("\n    START WITH ").append(OracleObjectDescription.number(sequence.get("start_value")));
        text.append("\n    INCREMENT BY ").append(OracleObjectDescription.number(sequence.get("increment")));
        text.append("\n    MINVALUE ").append(OracleObjectDescription.number(sequence.get("minimum_value")));
        text.append("\n    MAXVALUE ").append(OracleObjectDescription.number(sequence.get("maximum_value")));
        text.append("\n    ").append(flag(sequence, "is_cycling") ? "CYCLE" : "NO CYCLE");
        if (!flag(sequence, "is_cached"))
            text.append("\n    NO CACHE");
        else if (sequence.get("cache_size") != null)
            text.append("\n    CACHE ").append(OracleObjectDescription.number(sequence.get("cache_size")));
        else
            text.append("\n    CACHE");
        return text.toString();
    }

    /** From sys.synonyms: the base object's name is kept as it was written. */
    static String synonym(Dialect dialect, String schema, String name, Hashtable<String, Object> synonym) {
        return "CREATE SYNONYM " + InfoNames.qualified(dialect, schema, name) + " FOR "
            + InfoQueries.text(synonym, "base_object_name");
    }

    /** A bit column: jTDS answers Boolean, some paths a number. */
    private static boolean flag(Hashtable<String, Object> row, String key) {
        Object value = row.get(key);
        if (value instanceof Boolean)
            return (Boolean) value;
        if (value instanceof Number)
            return ((Number) value).intValue() != 0;
        return value != null && (value.toString().equals("1") || value.toString().equalsIgnoreCase("true"));
    }
}
