package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Vector;

/**
 * What the info column reads about one object, per database type. The defaults use the driver's
 * metadata; each database adds what only its catalog knows (comments, partitions, triggers, DDL).
 * Object names reach SQL as bound parameters, or through InfoNames where the syntax needs a name.
 */
abstract class InfoQueries {
    final Dialect dialect;

    InfoQueries(Dialect dialect) {
        this.dialect = dialect;
    }

    static InfoQueries forDialect(Dialect dialect) {
        switch (dialect.typeName()) {
        case "SQLite":
            return new SQLiteInfoQueries(dialect);
        case "PostgreSQL":
            return new PostgreSQLInfoQueries(dialect);
        case "MySQL":
            return new MySQLInfoQueries(dialect);
        case "Oracle":
            return new OracleInfoQueries(dialect);
        case "SQL Server":
            return new SQLServerInfoQueries(dialect);
        default:
            return null;
        }
    }

    /**
     * One object being described: where it lives and what it is. The table is known for elements named per
     * table; null otherwise.
     */
    static final class Target {
        final Connection connection;
        final String schema;
        final String type;
        final String name;
        final String table;

        Target(Connection connection, String schema, String type, String name, String table) {
            this.connection = connection;
            this.schema = schema;
            this.type = type;
            this.name = name;
            this.table = table;
        }

        Target withObject(String otherType, String otherName) {
            return new Target(connection, schema, otherType, otherName, null);
        }
    }

    // --- What the object can have, known without database work.

    boolean triggersOnViews() {
        return false;
    }

    boolean partitionsOn(String type) {
        return false;
    }

    // --- Generic information.

    /** The word for what the browser calls a schema; the connection's own unless the database says otherwise. */
    String schemaTerm(String connectionTerm) {
        return connectionTerm;
    }

    /** Fills in what the catalog knows beyond name, type and schema. */
    abstract void fillGeneric(Target target, Hashtable<String, Object> info) throws SQLException;

    /** The table an index, constraint or trigger belongs to; null when not found. */
    abstract String owningTable(Target target) throws SQLException;

    /** The table of an index, constraint or trigger: the one its name came with, else looked up. */
    final String tableOf(Target target) throws SQLException {
        return target.table != null ? target.table : owningTable(target);
    }

    // --- Columns.

    Vector<Hashtable<String, Object>> tableColumns(Target target) throws SQLException {
        DatabaseMetaData metaData = target.connection.getMetaData();
        String[] place = exactPlace(target.schema);
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        try (ResultSet rows = metaData.getColumns(place[0], Dialect.escapePattern(metaData, place[1]),
                                                  Dialect.escapePattern(metaData, target.name), "%")) {
            while (rows.next()) {
                Hashtable<String, Object> column = new Hashtable<>();
                put(column, "name", rows.getString("COLUMN_NAME"));
                put(column, "type", rows.getString("TYPE_NAME"));
                String size = columnSize(rows.getString("TYPE_NAME"), rows.getObject("COLUMN_SIZE"),
                                         rows.getObject("DECIMAL_DIGITS"));
                put(column, "size", size);
                put(column, "default", rows.getString("COLUMN_DEF"));
                if (rows.getInt("NULLABLE") == DatabaseMetaData.columnNoNulls)
                    column.put("NoNulls", "YES");
                columns.add(column);
            }
        }
        return columns;
    }

    /** The size shown after a type: for character and exact numeric types only. */
    String columnSize(String typeName, Object size, Object decimals) {
        if (size == null)
            return null;
        String type = Dialect.upper(typeName);
        if (type.contains("CHAR") || type.contains("BINARY"))
            return size.toString();
        if (type.contains("NUMERIC") || type.contains("DECIMAL") || type.equals("NUMBER")) {
            return decimals == null || "0".equals(decimals.toString()) ? size.toString()
                                                                        : size + "," + decimals;
        }
        return null;
    }

    /** A function's or procedure's parameters; the result of a function is named "___RETURN___". */
    abstract Vector<Hashtable<String, Object>> routineColumns(Target target) throws SQLException;

    /** The columns of an index, each typed like its table column, with its direction. */
    Vector<Hashtable<String, Object>> indexColumns(Target target) throws SQLException {
        String table = tableOf(target);
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        if (table == null)
            return columns;
        Map<String, String> types = new LinkedHashMap<>();
        for (Hashtable<String, Object> column : tableColumns(target.withObject("TABLE", table)))
            types.put((String) column.get("name"), (String) column.get("type"));
        Hashtable<String, Object> indexes = indexes(target.withObject("TABLE", table));
        @SuppressWarnings("unchecked")
        Hashtable<String, Vector<String>> byIndex = (Hashtable<String, Vector<String>>) indexes.get("columns");
        Vector<String> entries = byIndex.get(target.name);
        for (int i = 0; entries != null && i + 1 < entries.size(); i += 2) {
            Hashtable<String, Object> column = new Hashtable<>();
            put(column, "name", entries.get(i));
            put(column, "type", types.get(entries.get(i)));
            columns.add(column);
        }
        return columns;
    }

    /** Parameters from the driver's function or procedure columns; the result becomes "___RETURN___". */
    static Vector<Hashtable<String, Object>> routineColumnsFromMetaData(Target target, boolean function)
        throws SQLException {
        DatabaseMetaData metaData = target.connection.getMetaData();
        String schema = Dialect.escapePattern(metaData, target.schema);
        String name = Dialect.escapePattern(metaData, target.name);
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        try (ResultSet rows = function ? metaData.getFunctionColumns(null, schema, name, "%")
                                       : metaData.getProcedureColumns(null, schema, name, "%")) {
            while (rows.next()) {
                int kind = rows.getInt("COLUMN_TYPE");
                boolean result = function ? kind == DatabaseMetaData.functionReturn
                                          : kind == DatabaseMetaData.procedureColumnReturn;
                Hashtable<String, Object> column = new Hashtable<>();
                put(column, "name", result ? "___RETURN___" : rows.getString("COLUMN_NAME"));
                put(column, "type", rows.getString("TYPE_NAME"));
                if (!result)
                    put(column, "ptype", direction(function, kind));
                columns.add(column);
            }
        }
        return columns;
    }

    private static String direction(boolean function, int kind) {
        if (function) {
            return kind == DatabaseMetaData.functionColumnIn      ? "IN"
                   : kind == DatabaseMetaData.functionColumnInOut ? "INOUT"
                   : kind == DatabaseMetaData.functionColumnOut   ? "OUT"
                                                                  : null;
        }
        return kind == DatabaseMetaData.procedureColumnIn      ? "IN"
               : kind == DatabaseMetaData.procedureColumnInOut ? "INOUT"
               : kind == DatabaseMetaData.procedureColumnOut   ? "OUT"
                                                               : null;
    }

    // --- Indexes of a table.

    /**
     * "names" (index names in order), "columns" (name to column, direction, column, direction, ...),
     * "unicity" (name to UNIQUE or NONUNIQUE), "indexPartitions" (name to partition facts).
     */
    Hashtable<String, Object> indexes(Target target) throws SQLException {
        DatabaseMetaData metaData = target.connection.getMetaData();
        String[] place = exactPlace(target.schema);
        Vector<String> names = new Vector<>();
        Hashtable<String, Vector<String>> columns = new Hashtable<>();
        Hashtable<String, String> unicity = new Hashtable<>();
        try (ResultSet rows = metaData.getIndexInfo(place[0], place[1], target.name, false, true)) {
            while (rows.next()) {
                String index = rows.getString("INDEX_NAME");
                String column = rows.getString("COLUMN_NAME");
                if (index == null || column == null)
                    continue;
                if (!columns.containsKey(index)) {
                    names.add(index);
                    columns.put(index, new Vector<>());
                    unicity.put(index, rows.getBoolean("NON_UNIQUE") ? "NONUNIQUE" : "UNIQUE");
                }
                String direction = rows.getString("ASC_OR_DESC");
                columns.get(index).add(column);
                columns.get(index).add(direction == null ? "" : direction);
            }
        }
        return indexTable(names, columns, unicity, new Hashtable<>());
    }

    static Hashtable<String, Object> indexTable(Vector<String> names, Hashtable<String, Vector<String>> columns,
                                                Hashtable<String, String> unicity,
                                                Hashtable<String, Hashtable<String, Object>> partitions) {
        Hashtable<String, Object> indexes = new Hashtable<>();
        indexes.put("names", names);
        indexes.put("columns", columns);
        indexes.put("unicity", unicity);
        indexes.put("indexPartitions", partitions);
        return indexes;
    }

    // --- Constraints of a table: its own (P, U, C, R) first, then those of other tables referring
    // to it (EXT).

    Vector<Hashtable<String, Object>> constraints(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> own = new Vector<>();
        DatabaseMetaData metaData = target.connection.getMetaData();
        String[] place = exactPlace(target.schema);
        Vector<String> keyColumns = new Vector<>();
        String keyName = null;
        try (ResultSet rows = metaData.getPrimaryKeys(place[0], place[1], target.name)) {
            Map<Integer, String> bySequence = new java.util.TreeMap<>();
            while (rows.next()) {
                keyName = rows.getString("PK_NAME");
                bySequence.put(rows.getInt("KEY_SEQ"), rows.getString("COLUMN_NAME"));
            }
            keyColumns.addAll(bySequence.values());
        }
        if (!keyColumns.isEmpty())
            own.add(constraint(keyName == null || keyName.isEmpty() ? "PRIMARY KEY" : keyName, "P", keyColumns));
        own.addAll(uniqueAndCheckConstraints(target));
        own.addAll(foreignKeys(metaData.getImportedKeys(place[0], place[1], target.name), false));
        own.addAll(foreignKeys(metaData.getExportedKeys(place[0], place[1], target.name), true));
        return own;
    }

    /** Unique and check constraints, which the driver's metadata does not list. */
    Vector<Hashtable<String, Object>> uniqueAndCheckConstraints(Target target) throws SQLException {
        return new Vector<>();
    }

    /** Foreign keys by their name (one entry per key, its columns in key order). */
    private static Vector<Hashtable<String, Object>> foreignKeys(ResultSet rows, boolean exported)
        throws SQLException {
        Map<String, Hashtable<String, Object>> keys = new LinkedHashMap<>();
        try (rows) {
            int unnamed = 0;
            while (rows.next()) {
                String otherTable = rows.getString(exported ? "FKTABLE_NAME" : "PKTABLE_NAME");
                String name = rows.getString("FK_NAME");
                if (name == null || name.isEmpty())
                    name = "FOREIGN KEY " + (rows.getInt("KEY_SEQ") == 1 ? ++unnamed : unnamed);
                String identity = name + "\n" + otherTable;
                Hashtable<String, Object> key = keys.get(identity);
                if (key == null) {
                    key = constraint(name, exported ? "EXT" : "R", new Vector<>());
                    put(key, "othertable", otherTable);
                    put(key, "otherfirstcolumn", rows.getString(exported ? "FKCOLUMN_NAME" : "PKCOLUMN_NAME"));
                    keys.put(identity, key);
                }
                @SuppressWarnings("unchecked")
                Vector<String> columns = (Vector<String>) key.get("constraintColumns");
                columns.add(rows.getString(exported ? "PKCOLUMN_NAME" : "FKCOLUMN_NAME"));
            }
        }
        return new Vector<>(keys.values());
    }

    static Hashtable<String, Object> constraint(String name, String type, Vector<String> columns) {
        Hashtable<String, Object> constraint = new Hashtable<>();
        put(constraint, "name", name);
        put(constraint, "type", type);
        constraint.put("constraintColumns", columns);
        return constraint;
    }

    /** A constraint found among the constraints of its table, for the general information of a constraint. */
    void fillConstraint(Target target, Hashtable<String, Object> info) throws SQLException {
        String table = tableOf(target);
        if (table == null)
            return;
        info.put("tablename", table);
        for (Hashtable<String, Object> constraint : constraints(target.withObject("TABLE", table))) {
            if (!target.name.equals(constraint.get("name")) || "EXT".equals(constraint.get("type")))
                continue;
            info.put("constraint_type", constraint.get("type"));
            info.put("constraintColumns", constraint.get("constraintColumns"));
            if (constraint.get("condition") != null)
                info.put("search_condition", constraint.get("condition"));
            if (constraint.get("othertable") != null) {
                info.put("referencetable", constraint.get("othertable"));
                put(info, "referencefirstcolumn", (String) constraint.get("otherfirstcolumn"));
            }
            return;
        }
    }

    Vector<String> primaryKeyColumns(Target target) throws SQLException {
        DatabaseMetaData metaData = target.connection.getMetaData();
        String[] place = exactPlace(target.schema);
        Map<Integer, String> bySequence = new java.util.TreeMap<>();
        try (ResultSet rows = metaData.getPrimaryKeys(place[0], place[1], target.name)) {
            while (rows.next())
                bySequence.put(rows.getInt("KEY_SEQ"), rows.getString("COLUMN_NAME"));
        }
        return new Vector<>(bySequence.values());
    }

    // --- Triggers and DDL.

    abstract Vector<String> triggers(Target target) throws SQLException;

    abstract String ddl(Target target) throws SQLException;

    /** The catalog and schema arguments, exact (not patterns), of the driver's metadata calls. */
    String[] exactPlace(String schema) {
        return new String[] {null, schema};
    }

    // --- Helpers.

    static void put(Hashtable<String, Object> table, String key, Object value) {
        if (value != null)
            table.put(key, value);
    }

    /** The rows of a query as column label (lower case) to value; nulls left out. */
    static List<Hashtable<String, Object>> rows(Connection connection, String sql, Object... parameters)
        throws SQLException {
        List<Hashtable<String, Object>> result = new ArrayList<>();
        try (PreparedStatement statement = connection.prepareStatement(sql)) {
            for (int i = 0; i < parameters.length; i++)
                statement.setObject(i + 1, parameters[i]);
            try (ResultSet rows = statement.executeQuery()) {
                ResultSetMetaData columns = rows.getMetaData();
                while (rows.next()) {
                    Hashtable<String, Object> row = new Hashtable<>();
                    for (int c = 1; c <= columns.getColumnCount(); c++) {
                        Object value = rows.getObject(c);
                        if (value != null)
                            row.put(columns.getColumnLabel(c).toLowerCase(Locale.ROOT), value);
                    }
                    result.add(row);
                }
            }
        }
        return result;
    }

    static Hashtable<String, Object> firstRow(Connection connection, String sql, Object... parameters)
        throws SQLException {
        List<Hashtable<String, Object>> all = rows(connection, sql, parameters);
        return all.isEmpty() ? new Hashtable<>() : all.get(0);
    }

    static String text(Hashtable<String, Object> row, String key) {
        Object value = row.get(key);
        return value == null ? null : value.toString();
    }

    static Vector<String> strings(Connection connection, String sql, Object... parameters) throws SQLException {
        Vector<String> values = new Vector<>();
        for (Hashtable<String, Object> row : rows(connection, sql, parameters)) {
            Object value = row.values().stream().findFirst().orElse(null);
            if (value != null)
                values.add(value.toString());
        }
        return values;
    }
}
