package nl.dalmerik.vorn;

import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/** MySQL and MariaDB: information_schema, and SHOW CREATE for the DDL. A schema is a database here. */
final class MySQLInfoQueries extends InfoQueries {
    MySQLInfoQueries(Dialect dialect) {
        super(dialect);
    }

    @Override
    boolean partitionsOn(String type) {
        return type.equals("TABLE");
    }

    @Override
    String schemaTerm(String connectionTerm) {
        return "database"; // the browser's schemas are MySQL's databases
    }

    @Override
    String[] exactPlace(String schema) {
        return new String[] {schema, null};
    }

    @Override
    void fillGeneric(Target target, Hashtable<String, Object> info) throws SQLException {
        switch (target.type) {
        case "TABLE":
        case "VIEW":
        case "SYSTEM VIEW":
        case "SYSTEM TABLE":
            fillTable(target, info);
            break;
        case "INDEX": {
            Hashtable<String, Object> row = firstRow(
                target.connection,
                "SELECT TABLE_NAME AS tablename, NON_UNIQUE AS non_unique, INDEX_COMMENT AS comment FROM "
                    + "information_schema.STATISTICS WHERE TABLE_SCHEMA = ? AND TABLE_NAME = ? AND INDEX_NAME = ? "
                    + "LIMIT 1",
                target.schema, tableOf(target), target.name);
            put(info, "tablename", text(row, "tablename"));
            if (row.get("non_unique") != null)
                info.put("uniqueness", "0".equals(text(row, "non_unique")) ? "UNIQUE" : "NONUNIQUE");
            putText(info, "comment", text(row, "comment"));
            break;
        }
        case "CONSTRAINT":
            fillConstraint(target, info);
            break;
        case "FUNCTION":
        case "PROCEDURE":
            putText(info, "comment",
                    text(firstRow(target.connection,
                                  "SELECT ROUTINE_COMMENT AS comment FROM information_schema.ROUTINES WHERE "
                                      + "ROUTINE_SCHEMA = ? AND ROUTINE_NAME = ? LIMIT 1",
                                  target.schema, target.name),
                         "comment"));
            break;
        case "TRIGGER":
            put(info, "tablename", tableOf(target));
            break;
        default:
            break;
        }
    }

    private static void putText(Hashtable<String, Object> info, String key, String value) {
        if (value != null && !value.isEmpty())
            info.put(key, value);
    }

    private void fillTable(Target target, Hashtable<String, Object> info) throws SQLException {
        Hashtable<String, Object> row = firstRow(
            target.connection,
            "SELECT ENGINE AS engine, TABLE_COLLATION AS collation, TABLE_ROWS AS row_count, TABLE_COMMENT AS "
                + "comment, TABLE_TYPE AS kind FROM information_schema.TABLES WHERE TABLE_SCHEMA = ? AND "
                + "TABLE_NAME = ?",
            target.schema, target.name);
        boolean view = String.valueOf(row.get("kind")).contains("VIEW");
        putText(info, "engine", text(row, "engine"));
        putText(info, "collation", text(row, "collation"));
        if (!view) {
            putText(info, "comment", text(row, "comment"));
            put(info, "rows", text(row, "row_count"));
        }
        if (target.type.equals("TABLE")) {
            Vector<String> key = primaryKeyColumns(target);
            if (!key.isEmpty())
                info.put("primaryKeyColumns", key);
            fillPartitions(target, info);
        }
    }

    private List<Hashtable<String, Object>> partitionRows(Target target, String table) throws SQLException {
        return rows(target.connection,
                    "SELECT PARTITION_NAME AS name, TABLE_ROWS AS row_count, PARTITION_DESCRIPTION AS description, "
                        + "PARTITION_METHOD AS method FROM information_schema.PARTITIONS WHERE TABLE_SCHEMA = ? AND "
                        + "TABLE_NAME = ? AND PARTITION_NAME IS NOT NULL ORDER BY PARTITION_ORDINAL_POSITION",
                    target.schema, table);
    }

    /** RANGE COLUMNS and LIST COLUMNS read like RANGE and LIST. */
    private static String method(Hashtable<String, Object> row) {
        String method = text(row, "method");
        return method == null ? null : method.replace(" COLUMNS", "");
    }

    private void fillPartitions(Target target, Hashtable<String, Object> info) throws SQLException {
        List<Hashtable<String, Object>> found = partitionRows(target, target.name);
        if (found.isEmpty())
            return;
        Vector<Hashtable<String, Object>> partitions = new Vector<>();
        for (Hashtable<String, Object> row : found) {
            Hashtable<String, Object> partition = new Hashtable<>();
            partition.put("name", text(row, "name"));
            put(partition, "rows", text(row, "row_count"));
            put(partition, "highValue", text(row, "description"));
            partitions.add(partition);
        }
        info.put("partitions", partitions);
        put(info, "partitioningType", method(found.get(0)));
    }

    @Override
    String owningTable(Target target) throws SQLException {
        String sql;
        switch (target.type) {
        case "INDEX":
            sql = "SELECT TABLE_NAME AS owner FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = ? AND "
                  + "INDEX_NAME = ? LIMIT 1";
            break;
        case "CONSTRAINT":
            sql = "SELECT TABLE_NAME AS owner FROM information_schema.TABLE_CONSTRAINTS WHERE CONSTRAINT_SCHEMA = ? "
                  + "AND CONSTRAINT_NAME = ? LIMIT 1";
            break;
        case "TRIGGER":
            sql = "SELECT EVENT_OBJECT_TABLE AS owner FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = ? "
                  + "AND TRIGGER_NAME = ?";
            break;
        default:
            return null;
        }
        return text(firstRow(target.connection, sql, target.schema, target.name), "owner");
    }

    @Override
    Vector<Hashtable<String, Object>> routineColumns(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT PARAMETER_NAME AS name, PARAMETER_MODE AS mode, DTD_IDENTIFIER AS type, ORDINAL_POSITION "
                      + "AS position FROM information_schema.PARAMETERS WHERE SPECIFIC_SCHEMA = ? AND SPECIFIC_NAME "
                      + "= ? ORDER BY ORDINAL_POSITION",
                  target.schema, target.name)) {
            Hashtable<String, Object> column = new Hashtable<>();
            boolean result = "0".equals(text(row, "position"));
            put(column, "name", result ? "___RETURN___" : text(row, "name"));
            put(column, "type", text(row, "type"));
            if (!result)
                put(column, "ptype", text(row, "mode"));
            columns.add(column);
        }
        return columns;
    }

    @Override
    Hashtable<String, Object> indexes(Target target) throws SQLException {
        Vector<String> names = new Vector<>();
        Hashtable<String, Vector<String>> columns = new Hashtable<>();
        Hashtable<String, String> unicity = new Hashtable<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT INDEX_NAME AS name, COLUMN_NAME AS column_name, COLLATION AS direction, NON_UNIQUE AS "
                      + "non_unique FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = ? AND TABLE_NAME = ? "
                      + "ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX",
                  target.schema, target.name)) {
            String index = text(row, "name");
            if (!columns.containsKey(index)) {
                names.add(index);
                columns.put(index, new Vector<>());
                unicity.put(index, "0".equals(text(row, "non_unique")) ? "UNIQUE" : "NONUNIQUE");
            }
            String direction = text(row, "direction");
            columns.get(index).add(row.containsKey("column_name") ? text(row, "column_name") : "<expression>");
            columns.get(index).add(direction == null ? "" : direction);
        }
        // The indexes of a partitioned table are partitioned with it.
        Hashtable<String, Hashtable<String, Object>> partitioned = new Hashtable<>();
        List<Hashtable<String, Object>> partitions = partitionRows(target, target.name);
        for (String index : names) {
            if (partitions.isEmpty())
                break;
            Hashtable<String, Object> facts = new Hashtable<>();
            facts.put("partitionCount", String.valueOf(partitions.size()));
            facts.put("locality", "LOCAL");
            put(facts, "partitioningType", method(partitions.get(0)));
            partitioned.put(index, facts);
        }
        return indexTable(names, columns, unicity, partitioned);
    }

    @Override
    Vector<Hashtable<String, Object>> uniqueAndCheckConstraints(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> found = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT CONSTRAINT_NAME AS name FROM information_schema.TABLE_CONSTRAINTS WHERE CONSTRAINT_SCHEMA "
                      + "= ? AND TABLE_NAME = ? AND CONSTRAINT_TYPE = 'UNIQUE' ORDER BY CONSTRAINT_NAME",
                  target.schema, target.name)) {
            found.add(constraint(text(row, "name"), "U",
                                 strings(target.connection,
                                         "SELECT COLUMN_NAME FROM information_schema.KEY_COLUMN_USAGE WHERE "
                                             + "CONSTRAINT_SCHEMA = ? AND TABLE_NAME = ? AND CONSTRAINT_NAME = ? "
                                             + "ORDER BY ORDINAL_POSITION",
                                         target.schema, target.name, text(row, "name"))));
        }
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT CONSTRAINT_NAME AS name, CHECK_CLAUSE AS clause FROM information_schema.CHECK_CONSTRAINTS "
                      + "WHERE CONSTRAINT_SCHEMA = ? AND TABLE_NAME = ? ORDER BY CONSTRAINT_NAME",
                  target.schema, target.name)) {
            Hashtable<String, Object> check = constraint(text(row, "name"), "C", new Vector<>());
            put(check, "condition", text(row, "clause"));
            found.add(check);
        }
        return found;
    }

    @Override
    Vector<String> triggers(Target target) throws SQLException {
        return strings(target.connection,
                       "SELECT TRIGGER_NAME FROM information_schema.TRIGGERS WHERE EVENT_OBJECT_SCHEMA = ? AND "
                           + "EVENT_OBJECT_TABLE = ? ORDER BY ACTION_ORDER, TRIGGER_NAME",
                       target.schema, target.name);
    }

    @Override
    String ddl(Target target) throws SQLException {
        String qualified = InfoNames.qualified(dialect, target.schema, target.name);
        switch (target.type) {
        case "TABLE":
        case "SYSTEM TABLE":
            return showCreate(target, "SHOW CREATE TABLE " + qualified);
        case "VIEW":
        case "SYSTEM VIEW":
            return showCreate(target, "SHOW CREATE VIEW " + qualified);
        case "FUNCTION":
        case "PROCEDURE":
        case "TRIGGER":
        case "SEQUENCE":
            return showCreate(target, "SHOW CREATE " + target.type + " " + qualified);
        case "INDEX":
            return indexDdl(target);
        default:
            return null;
        }
    }

    /** The statement column of a SHOW CREATE answer ("Create Table", "SQL Original Statement", ...). */
    private static String showCreate(Target target, String sql) throws SQLException {
        try (Statement statement = target.connection.createStatement(); ResultSet rows = statement.executeQuery(sql)) {
            if (!rows.next())
                return null;
            for (int c = 1; c <= rows.getMetaData().getColumnCount(); c++) {
                String label = rows.getMetaData().getColumnLabel(c);
                if (label.startsWith("Create ") || label.equals("SQL Original Statement"))
                    return rows.getString(c);
            }
            return null;
        }
    }

    private String indexDdl(Target target) throws SQLException {
        String table = tableOf(target);
        if (table == null)
            return null;
        Hashtable<String, Object> indexes = indexes(target.withObject("TABLE", table));
        @SuppressWarnings("unchecked")
        Vector<String> entries = ((Hashtable<String, Vector<String>>) indexes.get("columns")).get(target.name);
        if (entries == null)
            return null;
        List<String> columns = new Vector<>();
        for (int i = 0; i + 1 < entries.size(); i += 2)
            columns.add(InfoNames.quote(dialect, entries.get(i)) + ("D".equals(entries.get(i + 1)) ? " DESC" : ""));
        boolean unique = "UNIQUE".equals(((Hashtable<?, ?>) indexes.get("unicity")).get(target.name));
        return "CREATE " + (unique ? "UNIQUE " : "") + "INDEX " + InfoNames.quote(dialect, target.name) + " ON "
            + InfoNames.qualified(dialect, target.schema, table) + " (" + String.join(", ", columns) + ")";
    }
}
