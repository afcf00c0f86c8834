package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.Arrays;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/** PostgreSQL: pg_catalog, with the server's own functions writing the DDL. */
final class PostgreSQLInfoQueries extends InfoQueries {
    /** The oid of a relation by schema and name, both bound. */
    private static final String RELATION = "(SELECT c.oid FROM pg_class c JOIN pg_namespace n ON n.oid = "
                                           + "c.relnamespace WHERE n.nspname = ? AND c.relname = ?)";

    PostgreSQLInfoQueries(Dialect dialect) {
        super(dialect);
    }

    @Override
    boolean triggersOnViews() {
        return true;
    }

    @Override
    boolean partitionsOn(String type) {
        return type.equals("TABLE");
    }

    @Override
    void fillGeneric(Target target, Hashtable<String, Object> info) throws SQLException {
        switch (target.type) {
        case "TABLE":
        case "VIEW":
        case "SYSTEM TABLE":
        case "SYSTEM VIEW":
            fillRelation(target, info);
            break;
        case "INDEX":
            fillIndex(target, info);
            break;
        case "CONSTRAINT":
            fillConstraint(target, info);
            put(info, "comment", text(firstRow(target.connection,
                                                "SELECT obj_description(con.oid, 'pg_constraint') AS comment "
                                                    + "FROM pg_constraint con JOIN pg_class t ON t.oid = "
                                                    + "con.conrelid JOIN pg_namespace n ON n.oid = "
                                                    + "con.connamespace WHERE n.nspname = ? AND t.relname = ? "
                                                    + "AND con.conname = ?",
                                                target.schema, tableOf(target), target.name),
                                       "comment"));
            break;
        case "FUNCTION":
        case "PROCEDURE":
            put(info, "comment", text(firstRow(target.connection,
                                                "SELECT obj_description(p.oid, 'pg_proc') AS comment FROM pg_proc "
                                                    + "p JOIN pg_namespace n ON n.oid = p.pronamespace WHERE "
                                                    + "n.nspname = ? AND p.proname = ? LIMIT 1",
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

    private void fillRelation(Target target, Hashtable<String, Object> info) throws SQLException {
        Hashtable<String, Object> row = firstRow(
            target.connection,
            "SELECT obj_description(c.oid, 'pg_class') AS comment, t.spcname AS tablespace, "
                + "c.reltuples::bigint AS row_count, greatest(s.last_analyze, s.last_autoanalyze) AS analyzed, "
                + "c.relkind::text AS kind, pt.partstrat::text AS strategy FROM pg_class c "
                + "JOIN pg_namespace n ON n.oid = c.relnamespace LEFT JOIN pg_tablespace t ON t.oid = "
                + "c.reltablespace LEFT JOIN pg_stat_all_tables s ON s.relid = c.oid LEFT JOIN "
                + "pg_partitioned_table pt ON pt.partrelid = c.oid WHERE n.nspname = ? AND c.relname = ?",
            target.schema, target.name);
        put(info, "comment", text(row, "comment"));
        put(info, "tablespace", text(row, "tablespace"));
        if (row.get("row_count") != null && ((Number) row.get("row_count")).longValue() >= 0
            && !target.type.contains("VIEW"))
            info.put("rows", text(row, "row_count"));
        put(info, "lastAnalyzed", text(row, "analyzed"));
        if (target.type.equals("TABLE")) {
            Vector<String> key = primaryKeyColumns(target);
            if (!key.isEmpty())
                info.put("primaryKeyColumns", key);
        }
        if ("p".equals(text(row, "kind")))
            fillPartitions(target, text(row, "strategy"), info);
    }

    private void fillPartitions(Target target, String strategy, Hashtable<String, Object> info)
        throws SQLException {
        String type = "r".equals(strategy) ? "RANGE" : "l".equals(strategy) ? "LIST" : "h".equals(strategy) ? "HASH"
                                                                                                          : null;
        put(info, "partitioningType", type);
        Vector<Hashtable<String, Object>> partitions = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT c.relname AS name, pg_get_expr(c.relpartbound, c.oid) AS bound, c.reltuples::bigint AS "
                      + "row_count FROM pg_inherits i JOIN pg_class c ON c.oid = i.inhrelid WHERE i.inhparent = "
                      + RELATION + " ORDER BY c.relname",
                  target.schema, target.name)) {
            Hashtable<String, Object> partition = new Hashtable<>();
            partition.put("name", text(row, "name"));
            put(partition, "highValue", highValue(text(row, "bound")));
            if (row.get("row_count") != null && ((Number) row.get("row_count")).longValue() >= 0)
                partition.put("rows", text(row, "row_count"));
            partitions.add(partition);
        }
        info.put("partitions", partitions);
    }

    /** The bound of a partition as the info column reads it: the upper bound, the values, or DEFAULT. */
    static String highValue(String bound) {
        if (bound == null)
            return null;
        if (bound.equals("DEFAULT"))
            return "DEFAULT";
        int to = bound.lastIndexOf(" TO (");
        if (to >= 0)
            return bound.substring(to + 5, bound.length() - 1);
        int in = bound.indexOf(" IN (");
        if (in >= 0)
            return bound.substring(in + 5, bound.length() - 1);
        return bound.replaceFirst("^FOR VALUES ", "");
    }

    private void fillIndex(Target target, Hashtable<String, Object> info) throws SQLException {
        Hashtable<String, Object> row = firstRow(
            target.connection,
            "SELECT t.relname AS tablename, i.indisunique AS is_unique, i.indisvalid AS is_valid, ts.spcname AS "
                + "tablespace, obj_description(ic.oid, 'pg_class') AS comment, ic.reltuples::bigint AS row_count "
                + "FROM pg_index i JOIN pg_class ic ON ic.oid = i.indexrelid JOIN pg_class t ON t.oid = "
                + "i.indrelid JOIN pg_namespace n ON n.oid = ic.relnamespace LEFT JOIN pg_tablespace ts ON "
                + "ts.oid = ic.reltablespace WHERE n.nspname = ? AND ic.relname = ?",
            target.schema, target.name);
        put(info, "tablename", text(row, "tablename"));
        if (row.get("is_unique") != null)
            info.put("uniqueness", Boolean.TRUE.equals(row.get("is_unique")) ? "UNIQUE" : "NONUNIQUE");
        if (row.get("is_valid") != null)
            info.put("status", Boolean.TRUE.equals(row.get("is_valid")) ? "VALID" : "INVALID");
        put(info, "tablespace", text(row, "tablespace"));
        put(info, "comment", text(row, "comment"));
        if (row.get("row_count") != null && ((Number) row.get("row_count")).longValue() >= 0)
            info.put("rows", text(row, "row_count"));
    }

    @Override
    String owningTable(Target target) throws SQLException {
        String sql;
        switch (target.type) {
        case "INDEX":
            sql = "SELECT t.relname AS owner FROM pg_index i JOIN pg_class ic ON ic.oid = i.indexrelid JOIN "
                  + "pg_class t ON t.oid = i.indrelid JOIN pg_namespace n ON n.oid = ic.relnamespace WHERE "
                  + "n.nspname = ? AND ic.relname = ?";
            break;
        case "CONSTRAINT":
            sql = "SELECT t.relname AS owner FROM pg_constraint con JOIN pg_class t ON t.oid = con.conrelid JOIN "
                  + "pg_namespace n ON n.oid = con.connamespace WHERE n.nspname = ? AND con.conname = ?";
            break;
        case "TRIGGER":
            sql = "SELECT c.relname AS owner FROM pg_trigger tg JOIN pg_class c ON c.oid = tg.tgrelid JOIN "
                  + "pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = ? AND tg.tgname = ? AND NOT "
                  + "tg.tgisinternal";
            break;
        default:
            return null;
        }
        return text(firstRow(target.connection, sql, target.schema, target.name), "owner");
    }

    @Override
    Vector<Hashtable<String, Object>> routineColumns(Target target) throws SQLException {
        return routineColumnsFromMetaData(target, target.type.equals("FUNCTION"));
    }

    @Override
    Vector<Hashtable<String, Object>> uniqueAndCheckConstraints(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> found = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT con.conname AS name, upper(con.contype::text) AS type, pg_get_constraintdef(con.oid) "
                      + "AS definition, (SELECT string_agg(a.attname, E'\\n' ORDER BY k.ord) FROM unnest(con.conkey) "
                      + "WITH ORDINALITY k(num, ord) JOIN pg_attribute a ON a.attrelid = con.conrelid AND a.attnum "
                      + "= k.num) AS columns FROM pg_constraint con WHERE con.conrelid = " + RELATION
                      + " AND con.contype IN ('u', 'c') ORDER BY con.contype DESC, con.conname",
                  target.schema, target.name)) {
            String columns = text(row, "columns");
            Hashtable<String, Object> constraint =
                constraint(text(row, "name"), text(row, "type"),
                           columns == null ? new Vector<>() : new Vector<>(Arrays.asList(columns.split("\n"))));
            if ("C".equals(text(row, "type")))
                put(constraint, "condition", text(row, "definition"));
            found.add(constraint);
        }
        return found;
    }

    @Override
    Vector<String> triggers(Target target) throws SQLException {
        return strings(target.connection,
                       "SELECT tg.tgname FROM pg_trigger tg WHERE tg.tgrelid = " + RELATION
                           + " AND NOT tg.tgisinternal ORDER BY tg.tgname",
                       target.schema, target.name);
    }

    @Override
    String ddl(Target target) throws SQLException {
        String qualified = InfoNames.qualified(dialect, target.schema, target.name);
        switch (target.type) {
        case "TABLE":
            return tableDdl(target, qualified);
        case "VIEW":
            return join(strings(target.connection, "SELECT pg_get_viewdef(" + RELATION + ", true)", target.schema,
                                target.name),
                        "CREATE VIEW " + qualified + " AS\n");
        case "INDEX":
            return join(strings(target.connection, "SELECT pg_get_indexdef(" + RELATION + ")", target.schema,
                                target.name),
                        "");
        case "FUNCTION":
        case "PROCEDURE":
            return String.join("\n\n", strings(target.connection,
                                               "SELECT pg_get_functiondef(p.oid) FROM pg_proc p JOIN pg_namespace "
                                                   + "n ON n.oid = p.pronamespace WHERE n.nspname = ? AND "
                                                   + "p.proname = ? ORDER BY p.oid",
                                               target.schema, target.name));
        case "TRIGGER":
            return join(strings(target.connection,
                                "SELECT pg_get_triggerdef(tg.oid, true) FROM pg_trigger tg JOIN pg_class c ON c.oid "
                                    + "= tg.tgrelid JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname "
                                    + "= ? AND c.relname = ? AND tg.tgname = ?",
                                target.schema, tableOf(target), target.name),
                        "");
        case "CONSTRAINT": {
            Hashtable<String, Object> row = firstRow(
                target.connection,
                "SELECT t.relname AS tablename, pg_get_constraintdef(con.oid) AS definition FROM pg_constraint "
                    + "con JOIN pg_class t ON t.oid = con.conrelid JOIN pg_namespace n ON n.oid = con.connamespace "
                    + "WHERE n.nspname = ? AND t.relname = ? AND con.conname = ?",
                target.schema, tableOf(target), target.name);
            if (row.get("definition") == null)
                return null;
            return "ALTER TABLE " + InfoNames.qualified(dialect, target.schema, text(row, "tablename"))
                + " ADD CONSTRAINT " + InfoNames.quote(dialect, target.name) + " " + text(row, "definition");
        }
        case "SEQUENCE": {
            Hashtable<String, Object> row =
                firstRow(target.connection,
                         "SELECT start_value, increment_by, min_value, max_value, cycle FROM pg_sequences WHERE "
                             + "schemaname = ? AND sequencename = ?",
                         target.schema, target.name);
            if (row.isEmpty())
                return null;
            return "CREATE SEQUENCE " + qualified + " START WITH " + text(row, "start_value") + " INCREMENT BY "
                + text(row, "increment_by") + " MINVALUE " + text(row, "min_value") + " MAXVALUE "
                + text(row, "max_value") + (Boolean.TRUE.equals(row.get("cycle")) ? " CYCLE" : " NO CYCLE");
        }
        default:
            return null;
        }
    }

    private static String join(List<String> parts, String prefix) {
        return parts.isEmpty() ? null : prefix + parts.get(0);
    }

    private String tableDdl(Target target, String qualified) throws SQLException {
        List<String> lines = new Vector<>();
        for (Hashtable<String, Object> column :
             rows(target.connection,
                  "SELECT a.attname AS name, format_type(a.atttypid, a.atttypmod) AS type, pg_get_expr(d.adbin, "
                      + "d.adrelid) AS def, a.attnotnull AS not_null FROM pg_attribute a LEFT JOIN pg_attrdef d ON "
                      + "d.adrelid = a.attrelid AND d.adnum = a.attnum WHERE a.attrelid = " + RELATION
                      + " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
                  target.schema, target.name)) {
            String line = "    " + InfoNames.quote(dialect, text(column, "name")) + " " + text(column, "type");
            if (column.get("def") != null)
                line += " DEFAULT " + text(column, "def");
            if (Boolean.TRUE.equals(column.get("not_null")))
                line += " NOT NULL";
            lines.add(line);
        }
        if (lines.isEmpty())
            return null;
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT conname AS name, pg_get_constraintdef(oid) AS definition FROM pg_constraint WHERE "
                      + "conrelid = " + RELATION + " ORDER BY contype DESC, conname",
                  target.schema, target.name))
            lines.add("    CONSTRAINT " + InfoNames.quote(dialect, text(row, "name")) + " " + text(row, "definition"));
        String partitioning = text(firstRow(target.connection,
                                            "SELECT pg_get_partkeydef(" + RELATION + ") AS partitioning",
                                            target.schema, target.name),
                                   "partitioning");
        return "CREATE TABLE " + qualified + " (\n" + String.join(",\n", lines) + "\n)"
            + (partitioning == null ? "" : " PARTITION BY " + partitioning);
    }
}
