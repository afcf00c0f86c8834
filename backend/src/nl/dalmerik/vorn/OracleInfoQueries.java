package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/** Oracle: the ALL_ views of the data dictionary, and DBMS_METADATA for the DDL. */
final class OracleInfoQueries extends InfoQueries {
    OracleInfoQueries(Dialect dialect) {
        super(dialect);
    }

    @Override
    boolean triggersOnViews() {
        return true;
    }

    @Override
    boolean partitionsOn(String type) {
        return type.equals("TABLE") || type.equals("INDEX");
    }

    @Override
    void fillGeneric(Target target, Hashtable<String, Object> info) throws SQLException {
        switch (target.type) {
        case "TABLE": {
            Hashtable<String, Object> row = firstRow(
                target.connection,
                "SELECT tablespace_name, num_rows, last_analyzed, logging, temporary, backed_up, partitioned FROM "
                    + "all_tables WHERE owner = ? AND table_name = ?",
                target.schema, target.name);
            copy(row, info, "tablespace_name", "tablespace");
            copy(row, info, "num_rows", "rows");
            copy(row, info, "last_analyzed", "lastAnalyzed");
            copy(row, info, "logging", "logging");
            copy(row, info, "temporary", "temporary");
            copy(row, info, "backed_up", "backedup");
            fillComment(target, info);
            Vector<String> key = primaryKeyColumns(target);
            if (!key.isEmpty())
                info.put("primaryKeyColumns", key);
            if ("YES".equals(text(row, "partitioned")))
                fillPartitions(target, info, "all_part_tables", "table_name", "all_tab_partitions", "table_name");
            break;
        }
        case "VIEW":
            fillComment(target, info);
            break;
        case "INDEX": {
            Hashtable<String, Object> row = firstRow(
                target.connection,
                "SELECT table_name, uniqueness, status, tablespace_name, num_rows, last_analyzed, partitioned FROM "
                    + "all_indexes WHERE owner = ? AND index_name = ?",
                target.schema, target.name);
            copy(row, info, "table_name", "tablename");
            copy(row, info, "uniqueness", "uniqueness");
            copy(row, info, "status", "status");
            copy(row, info, "tablespace_name", "tablespace");
            copy(row, info, "num_rows", "rows");
            copy(row, info, "last_analyzed", "lastAnalyzed");
            if ("YES".equals(text(row, "partitioned")))
                fillPartitions(target, info, "all_part_indexes", "index_name", "all_ind_partitions", "index_name");
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

    private static void copy(Hashtable<String, Object> row, Hashtable<String, Object> info, String from, String to) {
        put(info, to, text(row, from));
    }

    private void fillComment(Target target, Hashtable<String, Object> info) throws SQLException {
        copy(firstRow(target.connection,
                      "SELECT comments FROM all_tab_comments WHERE owner = ? AND table_name = ?", target.schema,
                      target.name),
             info, "comments", "comment");
    }

    private void fillPartitions(Target target, Hashtable<String, Object> info, String kinds, String kindKey,
                                String parts, String partKey) throws SQLException {
        copy(firstRow(target.connection,
                      "SELECT partitioning_type FROM " + kinds + " WHERE owner = ? AND " + kindKey + " = ?",
                      target.schema, target.name),
             info, "partitioning_type", "partitioningType");
        Vector<Hashtable<String, Object>> partitions = new Vector<>();
        String owner = parts.equals("all_tab_partitions") ? "table_owner" : "index_owner";
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT partition_name, num_rows, high_value FROM " + parts + " WHERE " + owner + " = ? AND "
                      + partKey + " = ? ORDER BY partition_position",
                  target.schema, target.name)) {
            Hashtable<String, Object> partition = new Hashtable<>();
            copy(row, partition, "partition_name", "name");
            copy(row, partition, "num_rows", "rows");
            copy(row, partition, "high_value", "highValue");
            partitions.add(partition);
        }
        info.put("partitions", partitions);
    }

    @Override
    String owningTable(Target target) throws SQLException {
        String sql;
        switch (target.type) {
        case "INDEX":
            sql = "SELECT table_name FROM all_indexes WHERE owner = ? AND index_name = ?";
            break;
        case "CONSTRAINT":
            sql = "SELECT table_name FROM all_constraints WHERE owner = ? AND constraint_name = ?";
            break;
        case "TRIGGER":
            sql = "SELECT table_name FROM all_triggers WHERE owner = ? AND trigger_name = ?";
            break;
        default:
            return null;
        }
        return text(firstRow(target.connection, sql, target.schema, target.name), "table_name");
    }

    @Override
    Vector<Hashtable<String, Object>> routineColumns(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT argument_name, data_type, in_out, position FROM all_arguments WHERE owner = ? AND "
                      + "object_name = ? AND package_name IS NULL AND data_level = 0 ORDER BY position",
                  target.schema, target.name)) {
            Hashtable<String, Object> column = new Hashtable<>();
            boolean result = "0".equals(text(row, "position"));
            put(column, "name", result ? "___RETURN___" : text(row, "argument_name"));
            put(column, "type", text(row, "data_type"));
            if (!result)
                put(column, "ptype", text(row, "in_out"));
            columns.add(column);
        }
        return columns;
    }

    @Override
    Hashtable<String, Object> indexes(Target target) throws SQLException {
        Hashtable<String, Object> indexes = super.indexes(target);
        @SuppressWarnings("unchecked")
        Hashtable<String, Hashtable<String, Object>> partitioned =
            (Hashtable<String, Hashtable<String, Object>>) indexes.get("indexPartitions");
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT index_name, partition_count, locality, partitioning_type FROM all_part_indexes WHERE "
                      + "owner = ? AND table_name = ?",
                  target.schema, target.name)) {
            Hashtable<String, Object> facts = new Hashtable<>();
            copy(row, facts, "partition_count", "partitionCount");
            copy(row, facts, "locality", "locality");
            copy(row, facts, "partitioning_type", "partitioningType");
            partitioned.put(text(row, "index_name"), facts);
        }
        return indexes;
    }

    @Override
    Vector<Hashtable<String, Object>> uniqueAndCheckConstraints(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> found = new Vector<>();
        for (Hashtable<String, Object> row :
             rows(target.connection,
                  "SELECT constraint_name, constraint_type, search_condition FROM all_constraints WHERE owner = ? "
                      + "AND table_name = ? AND constraint_type IN ('U', 'C') AND generated = 'USER NAME' ORDER BY "
                      + "constraint_type DESC, constraint_name",
                  target.schema, target.name)) {
            Hashtable<String, Object> constraint = constraint(
                text(row, "constraint_name"), text(row, "constraint_type"),
                strings(target.connection,
                        "SELECT column_name FROM all_cons_columns WHERE owner = ? AND constraint_name = ? ORDER BY "
                            + "position",
                        target.schema, text(row, "constraint_name")));
            copy(row, constraint, "search_condition", "condition");
            found.add(constraint);
        }
        return found;
    }

    @Override
    Vector<String> triggers(Target target) throws SQLException {
        return strings(target.connection,
                       "SELECT trigger_name FROM all_triggers WHERE table_owner = ? AND table_name = ? ORDER BY "
                           + "trigger_name",
                       target.schema, target.name);
    }

    @Override
    String ddl(Target target) throws SQLException {
        String kind = target.type.equals("CONSTRAINT") ? constraintKind(target) : target.type.replace(' ', '_');
        List<String> found = strings(target.connection, "SELECT DBMS_METADATA.GET_DDL(?, ?, ?) FROM DUAL", kind,
                                     target.name, target.schema);
        return found.isEmpty() ? null : found.get(0);
    }

    /** DBMS_METADATA keeps foreign keys apart from the other constraints. */
    private String constraintKind(Target target) throws SQLException {
        String type = text(firstRow(target.connection,
                                    "SELECT constraint_type FROM all_constraints WHERE owner = ? AND constraint_name = ?",
                                    target.schema, target.name),
                           "constraint_type");
        return "R".equals(type) ? "REF_CONSTRAINT" : "CONSTRAINT";
    }

    /** The object a synonym stands for: its owner, type and name; null when unknown. */
    static String[] synonymTarget(java.sql.Connection connection, String schema, String name) throws SQLException {
        Hashtable<String, Object> row = firstRow(
            connection,
            "SELECT o.owner, o.object_type, o.object_name FROM all_synonyms s JOIN all_objects o ON o.owner = "
                + "s.table_owner AND o.object_name = s.table_name WHERE s.owner = ? AND s.synonym_name = ? AND "
                + "o.object_type NOT IN ('PACKAGE BODY', 'TYPE BODY')",
            schema, name);
        if (row.isEmpty())
            return null;
        return new String[] {text(row, "owner"), text(row, "object_type"), text(row, "object_name")};
    }
}
