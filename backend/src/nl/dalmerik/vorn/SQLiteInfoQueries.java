package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/** SQLite: the schema's sqlite_master and the table-valued pragmas, which take bound names. */
final class SQLiteInfoQueries extends InfoQueries {
    SQLiteInfoQueries(Dialect dialect) {
        super(dialect);
    }

    @Override
    boolean triggersOnViews() {
        return true; // INSTEAD OF triggers
    }

    @Override
    String[] exactPlace(String schema) {
        return new String[] {null, null}; // the driver's metadata knows the main database only
    }

    private String master(Target target) {
        return InfoNames.quote(dialect, target.schema) + ".sqlite_master";
    }

    @Override
    void fillGeneric(Target target, Hashtable<String, Object> info) throws SQLException {
        switch (target.type) {
        case "TABLE": {
            Vector<String> key = primaryKeyColumns(target);
            if (!key.isEmpty())
                info.put("primaryKeyColumns", key);
            break;
        }
        case "INDEX": {
            String table = tableOf(target);
            if (table == null)
                break;
            info.put("tablename", table);
            for (Hashtable<String, Object> index :
                 rows(target.connection, "SELECT name, \"unique\" AS u FROM pragma_index_list(?, ?)", table,
                      target.schema)) {
                if (target.name.equals(index.get("name")))
                    info.put("uniqueness", "1".equals(text(index, "u")) ? "UNIQUE" : "NONUNIQUE");
            }
            break;
        }
        case "TRIGGER":
            put(info, "tablename", tableOf(target));
            break;
        case "CONSTRAINT":
            fillConstraint(target, info);
            break;
        default:
            break;
        }
    }

    @Override
    String owningTable(Target target) throws SQLException {
        if (target.type.equals("CONSTRAINT")) {
            for (String table : strings(target.connection,
                                        "SELECT name FROM " + master(target) + " WHERE type = 'table'")) {
                for (Hashtable<String, Object> c : constraints(target.withObject("TABLE", table))) {
                    if (target.name.equals(c.get("name")) && !"EXT".equals(c.get("type")))
                        return table;
                }
            }
            return null;
        }
        return text(firstRow(target.connection, "SELECT tbl_name FROM " + master(target) + " WHERE name = ?",
                             target.name),
                    "tbl_name");
    }

    @Override
    Vector<Hashtable<String, Object>> routineColumns(Target target) {
        return new Vector<>(); // SQLite has no stored routines
    }

    @Override
    Hashtable<String, Object> indexes(Target target) throws SQLException {
        Vector<String> names = new Vector<>();
        Hashtable<String, Vector<String>> columns = new Hashtable<>();
        Hashtable<String, String> unicity = new Hashtable<>();
        for (Hashtable<String, Object> index :
             rows(target.connection, "SELECT name, \"unique\" AS u FROM pragma_index_list(?, ?) ORDER BY name",
                  target.name, target.schema)) {
            String index_name = text(index, "name");
            names.add(index_name);
            unicity.put(index_name, "1".equals(text(index, "u")) ? "UNIQUE" : "NONUNIQUE");
            Vector<String> entries = new Vector<>();
            for (Hashtable<String, Object> column :
                 rows(target.connection,
                      "SELECT name, \"desc\" AS d FROM pragma_index_xinfo(?, ?) WHERE key = 1 ORDER BY seqno",
                      index_name, target.schema)) {
                entries.add(column.containsKey("name") ? text(column, "name") : "<expression>");
                entries.add("1".equals(text(column, "d")) ? "D" : "A");
            }
            columns.put(index_name, entries);
        }
        return indexTable(names, columns, unicity, new Hashtable<>());
    }

    @Override
    Vector<Hashtable<String, Object>> uniqueAndCheckConstraints(Target target) throws SQLException {
        Vector<Hashtable<String, Object>> unique = new Vector<>();
        for (Hashtable<String, Object> index :
             rows(target.connection, "SELECT name FROM pragma_index_list(?, ?) WHERE origin = 'u' ORDER BY name",
                  target.name, target.schema)) {
            unique.add(constraint(text(index, "name"), "U",
                                  strings(target.connection,
                                          "SELECT name FROM pragma_index_info(?, ?) ORDER BY seqno",
                                          text(index, "name"), target.schema)));
        }
        return unique;
    }

    @Override
    Vector<String> triggers(Target target) throws SQLException {
        return strings(target.connection,
                       "SELECT name FROM " + master(target) + " WHERE type = 'trigger' AND tbl_name = ? ORDER BY name",
                       target.name);
    }

    @Override
    String ddl(Target target) throws SQLException {
        if (target.type.equals("CONSTRAINT"))
            return null; // part of its table's statement
        List<String> statements =
            strings(target.connection, "SELECT sql FROM " + master(target) + " WHERE name = ?", target.name);
        return statements.isEmpty() ? null : statements.get(0);
    }
}
