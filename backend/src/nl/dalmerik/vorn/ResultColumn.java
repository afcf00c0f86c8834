package nl.dalmerik.vorn;

import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.util.HashSet;
import java.util.Hashtable;
import java.util.Set;

/**
 * One column of a result. The name is unique within the result (a repeated label gets a suffix), so it can
 * key row tables and identify the column in later calls; the label stays as the database gives it.
 */
final class ResultColumn {
    final String name;
    final String label;
    final String typeName;
    final ValueKind kind;
    final int precision;
    final int scale;

    private ResultColumn(String name, String label, String typeName, ValueKind kind, int precision, int scale) {
        this.name = name;
        this.label = label;
        this.typeName = typeName;
        this.kind = kind;
        this.precision = precision;
        this.scale = scale;
    }

    static ResultColumn[] describe(ResultSetMetaData metaData, Dialect dialect) throws SQLException {
        int count = metaData.getColumnCount();
        String[] labels = new String[count];
        for (int i = 0; i < count; i++) {
            String label = metaData.getColumnLabel(i + 1);
            labels[i] = label == null ? "" : label;
        }
        String[] names = uniqueNames(labels);
        ResultColumn[] columns = new ResultColumn[count];
        for (int i = 0; i < count; i++) {
            String typeName = metaData.getColumnTypeName(i + 1);
            typeName = typeName == null ? "" : typeName;
            int precision = metaData.getPrecision(i + 1);
            ValueKind kind = dialect.kindOf(metaData.getColumnType(i + 1), typeName, precision);
            int scale = metaData.getScale(i + 1);
            columns[i] = new ResultColumn(names[i], labels[i], typeName, kind, precision, scale);
        }
        return columns;
    }

    /** First occurrences keep their label; later ones get "_2", "_3"... avoiding every label in the result. */
    static String[] uniqueNames(String[] labels) {
        String[] bases = new String[labels.length];
        Set<String> allBases = new HashSet<>();
        for (int i = 0; i < labels.length; i++) {
            bases[i] = labels[i].isEmpty() ? "column" + (i + 1) : labels[i];
            allBases.add(bases[i]);
        }
        String[] names = new String[labels.length];
        Set<String> used = new HashSet<>();
        for (int i = 0; i < labels.length; i++) {
            if (used.add(bases[i]))
                names[i] = bases[i];
        }
        for (int i = 0; i < labels.length; i++) {
            if (names[i] != null)
                continue;
            int suffix = 2;
            String candidate = bases[i] + "_" + suffix;
            while (used.contains(candidate) || allBases.contains(candidate))
                candidate = bases[i] + "_" + ++suffix;
            used.add(candidate);
            names[i] = candidate;
        }
        return names;
    }

    /** The column's entry in VornResultsetMetaData.columns. */
    Hashtable<String, Object> description() {
        Hashtable<String, Object> entry = new Hashtable<>();
        entry.put("name", name);
        entry.put("label", label);
        entry.put("typeName", typeName);
        entry.put("type", kind.code);
        entry.put("precision", precision);
        entry.put("scale", scale);
        return entry;
    }
}
