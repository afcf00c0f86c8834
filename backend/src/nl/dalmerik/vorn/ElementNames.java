package nl.dalmerik.vorn;

/**
 * Names of elements that are unique only within their table (indexes, constraints, triggers, depending on
 * the database): the browser lists them as "table.name" and the info column takes that name apart again.
 * Dots and backslashes of the table are escaped with a backslash, so the first unescaped dot always ends
 * the table, whatever dots either name holds.
 */
final class ElementNames {
    private ElementNames() {}

    static String join(String table, String name) {
        return table.replace("\\", "\\\\").replace(".", "\\.") + "." + name;
    }

    /** {table, name} of a joined name; null when the name is not one. */
    static String[] split(String joined) {
        StringBuilder table = new StringBuilder();
        for (int i = 0; i < joined.length(); i++) {
            char c = joined.charAt(i);
            if (c == '\\' && i + 1 < joined.length())
                table.append(joined.charAt(++i));
            else if (c == '.')
                return new String[] {table.toString(), joined.substring(i + 1)};
            else
                table.append(c);
        }
        return null;
    }
}
