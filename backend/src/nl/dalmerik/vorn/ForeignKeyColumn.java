package nl.dalmerik.vorn;

import java.util.Hashtable;

/** One column of a foreign key: the table's column and the column of the table it references. */
final class ForeignKeyColumn {
    final String constraint;
    final String table;
    final String column;
    final String referencedTable;
    final String referencedColumn;

    ForeignKeyColumn(String constraint, String table, String column, String referencedTable,
                     String referencedColumn) {
        this.constraint = constraint;
        this.table = table;
        this.column = column;
        this.referencedTable = referencedTable;
        this.referencedColumn = referencedColumn;
    }

    /**
     * The key seen from one of its two tables: "column" is that table's column, "foreignname" the other
     * table and "foreigncolumn" its column; "name" is the constraint.
     */
    static Hashtable<String, Object> entry(String constraint, String column, String otherTable, String otherColumn) {
        Hashtable<String, Object> entry = new Hashtable<>();
        entry.put("name", constraint);
        entry.put("column", column);
        entry.put("foreignname", otherTable);
        entry.put("foreigncolumn", otherColumn);
        return entry;
    }
}
