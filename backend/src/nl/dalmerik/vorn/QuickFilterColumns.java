package nl.dalmerik.vorn;

import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/**
 * What the quick-filter bar offers for a table's result: one entry per column that can be compared
 * ("name", "type", "operators", "preferredOperator"), then a separator ("__EMPTY__") and the custom filter
 * ("__CUSTOM_FILTER__"), whose value is an SQL condition of the user's own.
 */
final class QuickFilterColumns {
    static final String EMPTY = "__EMPTY__";

    private static final List<String> TEXT = List.of("LIKE", "NOTLIKE", "STARTSWITH", "ENDSWITH", "=", "!=",
                                                     "IS NULL", "NOT IS NULL");
    private static final List<String> ORDERED = List.of("=", "!=", ">", "<", ">=", "<=", "IS NULL", "NOT IS NULL");
    private static final List<String> OTHER = List.of("=", "!=", "IS NULL", "NOT IS NULL");

    private QuickFilterColumns() {}

    static Vector<Hashtable<String, Object>> info(ResultColumn[] columns, RootSettings settings) {
        Vector<Hashtable<String, Object>> entries = new Vector<>();
        for (ResultColumn column : columns) {
            if (!column.kind.searchable())
                continue;
            String code = column.kind.code;
            List<String> operators = code.equals("S") ? TEXT : code.equals("N") || code.equals("D") ? ORDERED : OTHER;
            String preferred = code.equals("S") && settings.quickFilterUseLike ? "LIKE" : "=";
            entries.add(entry(column.name, code, operators, preferred));
        }
        entries.add(entry(EMPTY, "", List.of(), ""));
        entries.add(entry(FilterConditions.CUSTOM_FILTER, "", List.of(), ""));
        return entries;
    }

    private static Hashtable<String, Object> entry(String name, String type, List<String> operators,
                                                   String preferred) {
        Hashtable<String, Object> entry = new Hashtable<>();
        entry.put("name", name);
        entry.put("type", type);
        entry.put("operators", new Vector<>(operators));
        entry.put("preferredOperator", preferred);
        return entry;
    }
}
