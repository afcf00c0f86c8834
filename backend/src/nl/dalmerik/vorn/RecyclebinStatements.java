package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.HashMap;
import java.util.Hashtable;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Vector;

/**
 * The statements of Oracle's recycle bin, and its listing as the native side shows it. The bin holds the
 * connected user's dropped objects; restoring and purging name them in DDL, which binds no names, so a
 * name is always quoted and one Oracle could never have given (holding a double quote or a NUL) is refused
 * instead of being written into the statement. The object type becomes a keyword, so only the types the
 * statement takes are accepted.
 */
final class RecyclebinStatements {
    /** One row per object in the bin; an object's dependants share its BASE_OBJECT. */
    static final String LIST = "SELECT OBJECT_NAME, ORIGINAL_NAME, TYPE, DROPTIME, CAN_UNDROP, CAN_PURGE, "
        + "BASE_OBJECT, PURGE_OBJECT FROM USER_RECYCLEBIN ORDER BY DROPTIME DESC, OBJECT_NAME";
    static final String COUNT = "SELECT COUNT(*) FROM USER_RECYCLEBIN";
    static final String PURGE_ALL = "PURGE RECYCLEBIN";

    private RecyclebinStatements() {}

    static String restore(String type, String name) throws BackendException {
        if (!"TABLE".equals(keyword(type)))
            throw new BackendException("Only tables can be restored from the recycle bin, not objects of type '"
                                       + type + "'.");
        return "FLASHBACK TABLE " + quotedBinName(name) + " TO BEFORE DROP";
    }

    static String purge(String type, String name) throws BackendException {
        String keyword = keyword(type);
        if (!"TABLE".equals(keyword) && !"INDEX".equals(keyword))
            throw new BackendException("Objects of type '" + type
                                       + "' are purged with the table they belong to, not on their own.");
        return "PURGE " + keyword + " " + quotedBinName(name);
    }

    private static String keyword(String type) {
        return type == null ? "" : type.trim().toUpperCase(Locale.ROOT);
    }

    static String quotedBinName(String name) throws BackendException {
        if (name == null || name.isEmpty())
            throw new BackendException("The recycle bin entry has no name.");
        if (name.indexOf('"') >= 0 || name.indexOf('\0') >= 0)
            throw new BackendException("'" + name + "' is not a name in the recycle bin.");
        return "\"" + name + "\"";
    }

    /** One row of LIST. */
    static final class Row {
        final String objectName;
        final String originalName;
        final String type;
        final String dropTime;
        final String canUndrop;
        final String canPurge;
        final String baseObject;
        final String purgeObject;

        Row(String objectName, String originalName, String type, String dropTime, String canUndrop,
            String canPurge, String baseObject, String purgeObject) {
            this.objectName = objectName;
            this.originalName = originalName;
            this.type = type;
            this.dropTime = dropTime;
            this.canUndrop = canUndrop;
            this.canPurge = canPurge;
            this.baseObject = baseObject;
            this.purgeObject = purgeObject;
        }

        /** The dropped object itself rather than one that went with it (an index, a LOB, a trigger). */
        boolean isBase() {
            return baseObject == null || baseObject.equals(purgeObject);
        }
    }

    /**
     * The entries the native side lists: each dropped object with the objects that went with it as its
     * "children", in the order of the rows. A dependant whose object is not listed stands on its own.
     */
    static Vector<Hashtable<String, Object>> items(List<Row> rows) {
        Map<String, Hashtable<String, Object>> bases = new HashMap<>();
        Vector<Hashtable<String, Object>> top = new Vector<>();
        for (Row row : rows) {
            if (row.isBase()) {
                Hashtable<String, Object> entry = entry(row);
                top.add(entry);
                if (row.baseObject != null)
                    bases.put(row.baseObject, entry);
            }
        }
        for (Row row : rows) {
            if (row.isBase())
                continue;
            Hashtable<String, Object> parent = bases.get(row.baseObject);
            if (parent == null) {
                top.add(entry(row));
                continue;
            }
            @SuppressWarnings("unchecked")
            Vector<Hashtable<String, Object>> children = (Vector<Hashtable<String, Object>>) parent.get("children");
            if (children == null) {
                children = new Vector<>();
                parent.put("children", children);
            }
            children.add(entry(row));
        }
        return top;
    }

    private static Hashtable<String, Object> entry(Row row) {
        Hashtable<String, Object> entry = new Hashtable<>();
        entry.put("objectName", text(row.objectName));
        entry.put("originalName", text(row.originalName));
        entry.put("type", text(row.type));
        entry.put("dropTime", text(row.dropTime));
        entry.put("canUndrop", "YES".equals(row.canUndrop) ? "YES" : "NO");
        entry.put("canPurge", "YES".equals(row.canPurge) ? "YES" : "NO");
        return entry;
    }

    private static String text(String value) {
        return value == null ? "" : value;
    }

    static List<Row> readRows(java.sql.ResultSet rows) throws java.sql.SQLException {
        List<Row> read = new ArrayList<>();
        while (rows.next())
            read.add(new Row(rows.getString(1), rows.getString(2), rows.getString(3), rows.getString(4),
                             rows.getString(5), rows.getString(6), rows.getString(7), rows.getString(8)));
        return read;
    }
}
