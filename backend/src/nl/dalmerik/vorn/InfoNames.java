package nl.dalmerik.vorn;

/**
 * The one place where the info queries write object names into SQL text; everything else is bound as a
 * parameter. Names are always quoted, with the dialect's own identifier quotes.
 */
final class InfoNames {
    private InfoNames() {}

    static String quote(Dialect dialect, String name) {
        return dialect.quoted(name == null ? "" : name);
    }

    /** schema.name, each part quoted; the name alone without a schema. */
    static String qualified(Dialect dialect, String schema, String name) {
        if (schema == null || schema.isEmpty())
            return quote(dialect, name);
        return quote(dialect, schema) + "." + quote(dialect, name);
    }
}
