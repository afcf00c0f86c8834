package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import java.util.Vector;

/**
 * The statement that reads the rows of a table or view, with its conditions and sort. Names are quoted by
 * the dialect and values bound as parameters; the conditions are also kept as text, with the values as
 * literals, to show the user what filters the rows.
 */
final class ElementQuery {
    /** The quick-filter column whose value is an SQL condition of the user's own. */
    static final String CUSTOM_FILTER = "__CUSTOM_FILTER__";

    private final Dialect dialect;
    private final Set<String> reservedWords;
    private final String table;
    private final List<String> conditions = new ArrayList<>();
    private final List<String> shownConditions = new ArrayList<>();
    private final List<Object> parameters = new ArrayList<>();
    private final List<String> order = new ArrayList<>();

    ElementQuery(Dialect dialect, Set<String> reservedWords, String schema, String name) {
        this.dialect = dialect;
        this.reservedWords = reservedWords;
        this.table = dialect.qualifiedName(schema, name, reservedWords);
    }

    /**
     * The column equals the value, is one of a vector of values, or, for null (or an empty vector), is null;
     * negated when asked.
     */
    void whereColumn(String column, Object values, boolean negate) throws BackendException {
        String name = column(column);
        List<Object> list = values instanceof Vector ? new ArrayList<>((Vector<?>) values) : null;
        if (values == null || list != null && list.isEmpty()) {
            add("", name, negate ? " IS NOT NULL" : " IS NULL", List.of());
            return;
        }
        if (list == null || list.size() == 1) {
            Object value = list == null ? values : list.get(0);
            List<Object> one = new ArrayList<>();
            one.add(value);
            add(negate ? "NOT (" : "", name, negate ? " = ?)" : " = ?", one);
            return;
        }
        StringBuilder in = new StringBuilder(negate ? " NOT IN (" : " IN (");
        for (int i = 0; i < list.size(); i++)
            in.append(i == 0 ? "?" : ", ?");
        add("", name, in.append(")").toString(), list);
    }

    /** One quick-filter condition: a column, an operator and a value. */
    void quickFilter(String column, String operator, Object value) throws BackendException {
        if (CUSTOM_FILTER.equals(column)) {
            if (!(value instanceof String) || ((String) value).isBlank())
                throw new BackendException("A custom filter needs a condition.");
            String condition = "(" + value + ")";
            conditions.add(condition);
            shownConditions.add(condition);
            return;
        }
        String name = column(column);
        String op = operator == null ? "" : operator.trim().toUpperCase(Locale.ROOT);
        switch (op) {
        case "IS NULL":
            add("", name, " IS NULL", List.of());
            return;
        case "NOT IS NULL":
        case "IS NOT NULL":
            add("", name, " IS NOT NULL", List.of());
            return;
        case "":
            op = "=";
            break;
        case "!=":
            op = "<>";
            break;
        case "=":
        case "<>":
        case "<":
        case ">":
        case "<=":
        case ">=":
        case "LIKE":
        case "NOT LIKE":
            break;
        default:
            throw new BackendException("The filter operator '" + operator + "' is not known.");
        }
        List<Object> values = new ArrayList<>();
        values.add(value);
        add("", name, " " + op + " ?", values);
    }

    void orderBy(VornSort sort) throws BackendException {
        order.add(column(sort.name()) + " " + sort.direction());
    }

    private String column(String column) throws BackendException {
        if (column == null || column.isEmpty())
            throw new BackendException("A filter or sort needs a column name.");
        return dialect.quoteIdentifier(column, reservedWords);
    }

    /** A condition of a quoted column; only the text after it holds markers, one per value. */
    private void add(String before, String column, String after, List<Object> values) {
        conditions.add(before + column + after);
        parameters.addAll(values);
        StringBuilder shown = new StringBuilder(before).append(column);
        int value = 0;
        for (char c : after.toCharArray()) {
            if (c == '?')
                shown.append(literal(values.get(value++)));
            else
                shown.append(c);
        }
        shownConditions.add(shown.toString());
    }

    private String literal(Object value) {
        if (value == null)
            return "NULL";
        if (value instanceof Number)
            return value.toString();
        return dialect.quoteLiteral(value.toString());
    }

    String sql() {
        StringBuilder sql = new StringBuilder("SELECT * FROM ").append(table);
        if (!conditions.isEmpty())
            sql.append(" WHERE ").append(String.join(" AND ", conditions));
        if (!order.isEmpty())
            sql.append(" ORDER BY ").append(String.join(", ", order));
        return sql.toString();
    }

    List<Object> parameters() {
        return parameters;
    }

    boolean bindsValues() {
        return !parameters.isEmpty();
    }

    /** The conditions as the user reads them; null when none. */
    String shownFilter() {
        return conditions.isEmpty() ? null : String.join(" AND ", shownConditions);
    }

    boolean filteredOrSorted() {
        return !conditions.isEmpty() || !order.isEmpty();
    }
}
