package nl.dalmerik.vorn;

/** A column an import writes: its name, its name as SQL writes it, and its next-value expression when a sequence fills it. */
final class ImportTargetColumn {
    final String name;
    final String quoted;
    /** The expression that gives the column its value, or null when the value comes with the row. */
    final String nextValue;
    /** java.sql.Types of the column, learnt when the run starts. */
    int sqlType = java.sql.Types.VARCHAR;

    ImportTargetColumn(String name, String quoted, String nextValue) {
        this.name = name;
        this.quoted = quoted;
        this.nextValue = nextValue;
    }

    boolean fromSequence() {
        return nextValue != null;
    }
}
