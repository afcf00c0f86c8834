package nl.dalmerik.vorn;

/**
 * The one place where the info queries write object names into SQL text; everything else is bound as a
 * parameter. Names are quoted as the dialect's identifiers, embedded quotes doubled.
 */
final class InfoNames {
    private InfoNames() {}

    static String quote(Dialect dialect, String name) {
        String text = name == null ? "" : name;
        switch (dialect.typeName()) {
        case "MySQL":
            return "`" + text.replace("`", "``") + "`";
        case "SQL Server":
            return "[" + text.replace("]", "]]") + "]";
        default:
            return "\"" + text.replace("\"", "\"\"") + "\"";
        }
    }

    /** schema.name, each part quoted; the name alone without a schema. */
    static String qualified(Dialect dialect, String schema, String name) {
        if (schema == null || schema.isEmpty())
            return quote(dialect, name);
        return quote(dialect, schema) + "." + quote(dialect, name);
    }
}
