package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.sql.Connection;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;

/**
 * Oracle definitions put together from the ALL_ catalogue views, so that they read the same for every
 * user who can see the object (DBMS_METADATA answers only for one's own objects without extra grants).
 * Each text is built by a pure function of the catalogue rows; types without one fall back to the info
 * column's DDL.
 */
final class OracleObjectDescription {
    private OracleObjectDescription() {}

    static String read(Dialect dialect, InfoQueries.Target target) throws SQLException {
        Connection connection = target.connection;
        String owner = target.schema;
        String name = target.name;
        switch (target.type) {
        case "INDEX": {
            Hashtable<String, Object> index = InfoQueries.firstRow(
                connection,
                "SELECT table_owner, table_name, uniqueness, index_type FROM all_indexes WHERE owner = ? AND "
                    + "index_name = ?",
                owner, name);
            return index.isEmpty() ? null
                                   : index(dialect, owner, name, index,
                                           InfoQueries.rows(connection,
                                                            "SELECT column_name, descend FROM all_ind_columns WHERE "
                                                                + "index_owner = ? AND index_name = ? ORDER BY "
                                                                + "column_position",
                                                            owner, name));
        }
        case "CONSTRAINT": {
            // The LONG search condition is read last, as the driver streams it.
            Hashtable<String, Object> constraint = InfoQueries.firstRow(
                connection,
                "SELECT table_name, constraint_type, r_owner, r_constraint_name, delete_rule, status, deferrable, "
                    + "deferred, search_condition FROM all_constraints WHERE owner = ? AND constraint_name = ?",
                owner, name);
            if (constraint.isEmpty())
                return null;
            List<String> columns = constraintColumns(connection, owner, name);
            String referencedOwner = InfoQueries.text(constraint, "r_owner");
            String referencedKey = InfoQueries.text(constraint, "r_constraint_name");
            Hashtable<String, Object> referenced = new Hashtable<>();
            List<String> referencedColumns = new ArrayList<>();
            if (referencedOwner != null && referencedKey != null) {
                referenced = InfoQueries.firstRow(connection,
                                                  "SELECT owner, table_name FROM all_constraints WHERE owner = ? "
                                                      + "AND constraint_name = ?",
                                                  referencedOwner, referencedKey);
                referencedColumns = constraintColumns(connection, referencedOwner, referencedKey);
            }
            return constraint(dialect, owner, name, constraint, columns, referenced, referencedColumns);
        }
        case "SEQUENCE": {
            Hashtable<String, Object> sequence = InfoQueries.firstRow(
                connection,
                "SELECT min_value, max_value, increment_by, cycle_flag, order_flag, cache_size, last_number FROM "
                    + "all_sequences WHERE sequence_owner = ? AND sequence_name = ?",
                owner, name);
            return sequence.isEmpty() ? null : sequence(dialect, owner, name, sequence);
        }
        case "TRIGGER": {
            Hashtable<String, Object> trigger = InfoQueries.firstRow(
                connection,
                "SELECT description, when_clause, trigger_body FROM all_triggers WHERE owner = ? AND "
                    + "trigger_name = ?",
                owner, name);
            return trigger.isEmpty() ? null : trigger(trigger);
        }
        case "SYNONYM": {
            Hashtable<String, Object> synonym = InfoQueries.firstRow(
                connection,
                "SELECT table_owner, table_name, db_link FROM all_synonyms WHERE owner = ? AND synonym_name = ?",
                owner, name);
            return synonym.isEmpty() ? null : synonym(dialect, owner, name, synonym);
        }
        default:
            return InfoQueries.forDialect(dialect).ddl(target);
        }
    }

    private static List<String> constraintColumns(Connection connection, String owner, String name)
        throws SQLException {
        return InfoQueries.strings(connection,
                                   "SELECT column_name FROM all_cons_columns WHERE owner = ? AND constraint_name = ? "
                                       + "ORDER BY position",
                                   owner, name);
    }

    /** From ALL_INDEXES (table_owner, table_name, uniqueness, index_type) and ALL_IND_COLUMNS in order. */
    static String index(Dialect dialect, String owner, String name, Hashtable<String, Object> index,
                        List<Hashtable<String, Object>> columns) {
        StringBuilder text = new StringBuilder("CREATE ");
        if ("UNIQUE".equals(InfoQueries.text(index, "uniqueness")))
            text.append("UNIQUE ");
        String kind = InfoQueries.text(index, "index_type");
        if (kind != null && kind.startsWith("BITMAP"))
            text.append("BITMAP ");
        text.append("INDEX ").append(InfoNames.qualified(dialect, owner, name)).append(" ON ");
        text.append(InfoNames.qualified(dialect, InfoQueries.text(index, "table_owner"),
                                        InfoQueries.text(index, "table_name")));
        List<String> parts = new ArrayList<>();
        for (Hashtable<String, Object> column : columns) {
            String part = InfoNames.quote(dialect, InfoQueries.text(column, "column_name"));
            parts.add("DESC".equals(InfoQueries.text(column, "descend")) ? part + " DESC" : part);
        }
        return text.append(" (").append(String.join(", ", parts)).append(")").toString();
    }

    /**
     * From ALL_CONSTRAINTS (table_name, constraint_type, delete_rule, status, deferrable, deferred,
     * search_condition), its columns in order, and for a foreign key the referenced key's owner, table and
     * columns. View constraints (V, O) have no text of their own: null.
     */
    static String constraint(Dialect dialect, String owner, String name, Hashtable<String, Object> constraint,
                             List<String> columns, Hashtable<String, Object> referenced,
                             List<String> referencedColumns) {
        String kind = InfoQueries.text(constraint, "constraint_type");
        StringBuilder text = new StringBuilder("ALTER TABLE ");
        text.append(InfoNames.qualified(dialect, owner, InfoQueries.text(constraint, "table_name")));
        text.append(" ADD CONSTRAINT ").append(InfoNames.quote(dialect, name)).append(' ');
        if ("P".equals(kind)) {
            text.append("PRIMARY KEY (").append(quotedList(dialect, columns)).append(')');
        } else if ("U".equals(kind)) {
            text.append("UNIQUE (").append(quotedList(dialect, columns)).append(')');
        } else if ("C".equals(kind)) {
            text.append("CHECK (").append(InfoQueries.text(constraint, "search_condition")).append(')');
        } else if ("R".equals(kind)) {
            text.append("FOREIGN KEY (").append(quotedList(dialect, columns)).append(") REFERENCES ");
            text.append(InfoNames.qualified(dialect, InfoQueries.text(referenced, "owner"),
                                            InfoQueries.text(referenced, "table_name")));
            text.append(" (").append(quotedList(dialect, referencedColumns)).append(')');
            String rule = InfoQueries.text(constraint, "delete_rule");
            if ("CASCADE".equals(rule) || "SET NULL".equals(rule))
                text.append(" ON DELETE ").append(rule);
        } else {
            return null;
        }
        if ("DEFERRABLE".equals(InfoQueries.text(constraint, "deferrable"))) {
            text.append(" DEFERRABLE");
            if ("DEFERRED".equals(InfoQueries.text(constraint, "deferred")))
                text.append(" INITIALLY DEFERRED");
        }
        if ("DISABLED".equals(InfoQueries.text(constraint, "status")))
            text.append(" DISABLE");
        return text.toString();
    }

    /** From ALL_SEQUENCES; a new sequence made from the text starts where this one would go on. */
    static String sequence(Dialect dialect, String owner, String name, Hashtable<String, Object> sequence) {
        StringBuilder text = new StringBuilder("CREATE SEQUENCE ").append(InfoNames.qualified(dialect, owner, name));
        text.append("\n    START WITH ").append(number(sequence.get("last_number")));
        text.append("\n    INCREMENT BY ").append(number(sequence.get("increment_by")));
        text.append("\n    MINVALUE ").append(number(sequence.get("min_value")));
        text.append("\n    MAXVALUE ").append(number(sequence.get("max_value")));
        text.append("\n    ").append("Y".equals(InfoQueries.text(sequence, "cycle_flag")) ? "CYCLE" : "NOCYCLE");
        Object cache = sequence.get("cache_size");
        boolean cached = cache != null && new BigDecimal(number(cache)).signum() > 0;
        text.append("\n    ").append(cached ? "CACHE " + number(cache) : "NOCACHE");
        text.append("\n    ").append("Y".equals(InfoQueries.text(sequence, "order_flag")) ? "ORDER" : "NOORDER");
        return text.toString();
    }

    /**
     * From ALL_TRIGGERS: the description already names the trigger, its timing, event and table as
     * written; the body follows the WHEN condition.
     */
    static String trigger(Hashtable<String, Object> trigger) {
        String description = InfoQueries.text(trigger, "description");
        if (description == null)
            return null;
        StringBuilder text = new StringBuilder("CREATE OR REPLACE TRIGGER ").append(description.strip());
        String when = InfoQueries.text(trigger, "when_clause");
        if (when != null && !when.isBlank())
            text.append("\nWHEN (").append(when.strip()).append(')');
        String body = InfoQueries.text(trigger, "trigger_body");
        if (body != null)
            text.append('\n').append(body.strip());
        return text.toString();
    }

    /** From ALL_SYNONYMS; PUBLIC synonyms belong to no schema. */
    static String synonym(Dialect dialect, String owner, String name, Hashtable<String, Object> synonym) {
        boolean isPublic = "PUBLIC".equals(owner);
        StringBuilder text = new StringBuilder(isPublic ? "CREATE PUBLIC SYNONYM " : "CREATE SYNONYM ");
        text.append(isPublic ? InfoNames.quote(dialect, name) : InfoNames.qualified(dialect, owner, name));
        text.append(" FOR ").append(InfoNames.qualified(dialect, InfoQueries.text(synonym, "table_owner"),
                                                        InfoQueries.text(synonym, "table_name")));
        String link = InfoQueries.text(synonym, "db_link");
        if (link != null)
            text.append('@').append(link);
        return text.toString();
    }

    private static String quotedList(Dialect dialect, List<String> names) {
        List<String> quoted = new ArrayList<>();
        for (String name : names)
            quoted.add(InfoNames.quote(dialect, name));
        return String.join(", ", quoted);
    }

    /** Catalogue numbers in full digits (NUMBER columns arrive as BigDecimal). */
    static String number(Object value) {
        if (value instanceof BigDecimal)
            return ((BigDecimal) value).toPlainString();
        return value == null ? "" : value.toString();
    }
}
