package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;
import java.util.Set;

/**
 * The statement that reads the rows of a table or view, with its conditions and sort. Names are quoted by
 * the dialect and values bound as parameters (see FilterConditions); the conditions are also kept as text,
 * with the values as literals, to show the user what filters the rows.
 */
final class ElementQuery {
    /** The quick-filter column whose value is an SQL condition of the user's own. */
    static final String CUSTOM_FILTER = FilterConditions.CUSTOM_FILTER;

    private final Dialect dialect;
    private final Set<String> reservedWords;
    private final FilterConditions filters;
    private final String table;
    private final List<String> conditions = new ArrayList<>();
    private final List<String> shownConditions = new ArrayList<>();
    private final List<Object> parameters = new ArrayList<>();
    private final List<String> order = new ArrayList<>();

    ElementQuery(Dialect dialect, Set<String> reservedWords, FilterConditions filters, String schema, String name) {
        this.dialect = dialect;
        this.reservedWords = reservedWords;
        this.filters = filters;
        this.table = dialect.qualifiedName(schema, name, reservedWords);
    }

    /**
     * The column equals the value, is one of a vector of values, or, for null (or an empty vector), is null;
     * negated when asked.
     */
    void whereColumn(String column, Object values, boolean negate) throws BackendException {
        add(filters.equalsOrIn(column, values, negate));
    }

    /** One quick-filter condition: a column, an operator and a value; an empty value asks nothing. */
    void quickFilter(String column, String operator, Object value) throws BackendException {
        add(filters.quick(column, operator, value));
    }

    void orderBy(VornSort sort) throws BackendException {
        if (sort.name() == null || sort.name().isEmpty())
            throw new BackendException("A filter or sort needs a column name.");
        order.add(dialect.quoteIdentifier(sort.name(), reservedWords) + " " + sort.direction());
    }

    private void add(FilterConditions.Condition condition) {
        if (condition == null)
            return;
        conditions.add(condition.sql);
        parameters.addAll(condition.parameters);
        shownConditions.add(condition.text);
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
