package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/** SQL Server: the sys catalog views; OBJECT_DEFINITION for the DDL of code objects. */
final class SQLServerInfoQueries extends InfoQueries {
    /** An object by schema and name, both bound. */
    private static final String OBJECT = "(SELECT o.object_id FROM sys.objects o JOIN sys.schemas s ON "
                                         + "s.schema_id = o.schema_id WHERE s.name = ? AND o.name = ?)";

    SQLServerInfoQueries(Dialect dialect) {
        super(dialect);
    }

    @Override
    boolean triggersOnViews() {
        return true;
    }

    @Override
    void fillGeneric(Target target, Hashtable<String, Object> info) throws SQLException {
        switch (target.type) {
        case "TABLE": {
            put(info, "rows", text(firstRow(target.connection,
                                             "SELECT SUM(p.rows) AS row_count FROM sys.partitions p WHERE p.object_id = "
                                                 + OBJECT + " AND p.index_id IN (0, 1)",
                                             target.schema, target.name),
                                    "row_count"));
            Vector<String> key = primaryKeyColumns(target);
            if (!key.isEmpty())
                info.put("primaryKeyColumns", key);
            fillComment(target, info);
            break;
        }
        case "VIEW":
        case "FUNCTION":
        case "PROCEDURE":
            fillComment(target, info);
            break;
        case "INDEX": {
            Hashtable<String, Object> row =
                firstRow(target.connection,
                         "SELECT o.name AS tablename, i.is_unique AS is_unique, i.is_disabled AS is_disabled FROM "
                             + "sys.indexes i JOIN sys.objects o ON o.object_id = i.object_id JOIN sys.schemas s ON "
                             + "s.schema_id = o.schema_id WHERE s.name = ? AND i.name = ?",
                         target.schema, target.name);
            put(info, "tablename", text(row, "tablename"));
            if (row.get("is_unique") != null)
                info.put("uniqueness", Boolean.TRUE.equals(row.get("is_unique")) ? "UNIQUE" : "NONUNIQUE");
            if (row.get("is_disabled") != null)
                info.put("status", Boolean.TRUE.equals(row.get("is_disabled")) ? "DISABLED" : "ENABLED");
            break;
        }
        case "CONSTRAINT":
            fillConstraint(target, info);
            break;
        case "TRIGGER":
            put(info, "tablename", tableOf(target));
            break;
        default:
            break;
        }
    }

    private void fillComment(Target target, Hashtable<String, Object> info) throws SQLException {
        put(info, "comment", text(firstRow(target.connection,
                                            "SELECT CAST(value AS nvarchar(4000)) AS comment FROM "
                                                + "sys.extended_properties WHERE major_id = " + OBJECT
                                                + " AND minor_id = 0 AND name = 'MS_Description'",
                                            target.schema, target.name),
                                   "comment"));
    }

    @Override
    String owningTable(Target target) throws SQLException {
        String sql = target.type.equals("INDEX")
                         ? "SELECT o.name AS owner FROM sys.indexes i JOIN sys.objects o ON o.object_id = i.object_id "
                               + "JOIN sys.schemas s ON s.schema_id = o.schema_id WHERE s.name = ? AND i.name = ?"
                         : "SELECT p.name AS owner FROM sys.objects o JOIN sys.objects p ON p.object_id = "
                               + "o.parent_object_id JOIN sys.schemas s ON s.schema_id = o.schema_id WHERE s.name = ? "
                               + "AND o.name = ?";
        return text(firstRow(target.connection, sql, target.schema, target.name), "owner");
    }

    @Override
    Vector<Hashtable<String, Object>> routineColumns(Target target) throws SQLException {
        return routineColumnsFromMetaData(target, false); // jTDS lists functions as procedures
    }

    @Override
    Vector<Hashtable<String, Object>> uniqueAndCheckConstraints(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> found = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT k.name AS name, k.unique_index_id AS index_id FROM sys.key_constraints k WHERE "
                      + "k.parent_object_id = " + OBJECT + " AND k.type = 'UQ' ORDER BY k.name",
                  target.schema, target.name)) {
            found.add(constraint(
                text(row, "name"), "U",
                strings(target.connection,
                        "SELECT c.name FROM sys.index_columns ic JOIN sys.columns c ON c.object_id = ic.object_id "
                            + "AND c.column_id = ic.column_id WHERE ic.object_id = " + OBJECT
                            + " AND ic.index_id = ? ORDER BY ic.key_ordinal",
                        target.schema, target.name, row.get("index_id"))));
        }
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT name, definition FROM sys.check_constraints WHERE parent_object_id = " + OBJECT
                      + " ORDER BY name",
                  target.schema, target.name)) {
            Hashtable<String, Object> check = constraint(text(row, "name"), "C", new Vector<>());
            put(check, "condition", text(row, "definition"));
            found.add(check);
        }
        return found;
    }

    @Override
    Vector<String> triggers(Target target) throws SQLException {
        return strings(target.connection,
                       "SELECT name FROM sys.triggers WHERE parent_id = " + OBJECT + " ORDER BY name", target.schema,
                       target.name);
    }

    @Override
    String ddl(Target target) throws SQLException {
        if (target.type.equals("TABLE"))
            return tableDdl(target);
        List<String> found =
            strings(target.connection, "SELECT OBJECT_DEFINITION(" + OBJECT + ")", target.schema, target.name);
        return found.isEmpty() ? null : found.get(0);
    }

    private String tableDdl(Target target) throws SQLException {
        List<String> lines = new Vector<>();
        for (Hashtable<String, Object> column : tableColumns(target)) {
            String line = "    " + InfoNames.quote(dialect, text(column, "name")) + " " + text(column, "type");
            if (column.get("size") != null)
                line += "(" + text(column, "size") + ")";
            if (column.get("default") != null)
                line += " DEFAULT " + text(column, "default");
            if (column.containsKey("NoNulls"))
                line += " NOT NULL";
            lines.add(line);
        }
        if (lines.isEmpty())
            return null;
        return "CREATE TABLE " + InfoNames.qualified(dialect, target.schema, target.name) + " (\n"
            + String.join(",\n", lines) + "\n)";
    }

    /** The object a synonym stands for: its schema, type and name; null when unknown. */
    static String[] synonymTarget(java.sql.Connection connection, String schema, String name) throws SQLException {
        Hashtable<String, Object> row = firstRow(
            connection,
            "SELECT OBJECT_SCHEMA_NAME(OBJECT_ID(sy.base_object_name)) AS owner, o.type_desc AS kind, "
                + "OBJECT_NAME(OBJECT_ID(sy.base_object_name)) AS object_name FROM sys.synonyms sy JOIN sys.schemas s "
                + "ON s.schema_id = sy.schema_id JOIN sys.objects o ON o.object_id = OBJECT_ID(sy.base_object_name) "
                + "WHERE s.name = ? AND sy.name = ?",
            schema, name);
        if (row.get("object_name") == null)
            return null;
        String kind = text(row, "kind");
        String type = kind.contains("VIEW") ? "VIEW"
                      : kind.contains("FUNCTION") ? "FUNCTION"
                      : kind.contains("PROCEDURE") ? "PROCEDURE"
                                                   : "TABLE";
        return new String[] {text(row, "owner"), type, text(row, "object_name")};
    }
}
