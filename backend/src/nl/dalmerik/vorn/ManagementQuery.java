package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;
import java.util.Locale;
import java.util.Set;

/**
 * The statement of a management view: the view's own query as a sub-select, narrowed by the view's
 * conditions and sorted by its columns. The query and its conditions come from the application's own
 * management resources; what the user types (search texts) is only ever bound as a value.
 */
final class ManagementQuery {
    private final Dialect dialect;
    private final Set<String> reservedWords;
    private final String query;
    private final List<String> conditions = new ArrayList<>();
    private final List<Object> parameters = new ArrayList<>();
    private final List<String> order = new ArrayList<>();

    ManagementQuery(Dialect dialect, Set<String> reservedWords, String query) throws BackendException {
        if (query == null || query.isBlank())
            throw new BackendException("The management view has no query.");
        this.dialect = dialect;
        this.reservedWords = reservedWords;
        this.query = query.trim().replaceAll(";+$", "");
    }

    /**
     * One entry of the view's filter bar. A condition of the resource ("__CUSTOM_FILTER__") is taken as
     * written; an empty one (the choice "all") adds nothing. A search entry compares its column with "=" or
     * searches it case-insensitively with LIKE; an empty search adds nothing.
     */
    void filter(String column, String operator, Object value) throws BackendException {
        if (ElementQuery.CUSTOM_FILTER.equals(column)) {
            if (value != null && !value.toString().isBlank())
                conditions.add("(" + value + ")");
            return;
        }
        if (value == null || value.toString().isEmpty())
            return;
        String name = column(column);
        String op = operator == null ? "" : operator.trim().toUpperCase(Locale.ROOT);
        if (op.equals("LIKE")) {
            conditions.add("LOWER(" + asText(name) + ") LIKE ?");
            parameters.add(searchPattern(value.toString()));
        } else if (op.equals("=") || op.isEmpty()) {
            conditions.add(name + " = ?");
            parameters.add(number(value));
        } else {
            throw new BackendException("The filter operator '" + operator + "' is not known.");
        }
    }

    void orderBy(VornSort sort) throws BackendException {
        order.add(column(sort.name()) + " " + sort.direction());
    }

    String sql() {
        StringBuilder sql = new StringBuilder("SELECT * FROM (").append(query).append(") vorn_management");
        if (!conditions.isEmpty())
            sql.append(" WHERE ").append(String.join(" AND ", conditions));
        if (!order.isEmpty())
            sql.append(" ORDER BY ").append(String.join(", ", order));
        return sql.toString();
    }

    List<Object> parameters() {
        return parameters;
    }

    /** The conditions as the user reads them; null when none. */
    String shownFilter() {
        return conditions.isEmpty() ? null : String.join(" AND ", conditions);
    }

    boolean filteredOrSorted() {
        return !conditions.isEmpty() || !order.isEmpty();
    }

    private String column(String column) throws BackendException {
        if (column == null || column.isEmpty())
            throw new BackendException("A filter or sort needs a column name.");
        return dialect.quoteIdentifier(column, reservedWords);
    }

    /** A numeric search entry types its number as text; it is compared as a number. */
    private static Object number(Object value) {
        if (value instanceof String && ((String) value).trim().matches("-?\\d{1,18}"))
            return Long.parseLong(((String) value).trim());
        return value;
    }

    /** A search text matches anywhere unless it places "%" wildcards of its own. */
    private static String searchPattern(String text) {
        String lower = text.toLowerCase(Locale.ROOT);
        return lower.contains("%") ? lower : "%" + lower + "%";
    }

    /** Any column searched as text: numbers and dates too. */
    private String asText(String column) {
        switch (dialect.typeName()) {
        case "PostgreSQL":
            return "CAST(" + column + " AS TEXT)";
        case "MySQL":
            return "CAST(" + column + " AS CHAR)";
        case "Oracle":
            return "TO_CHAR(" + column + ")";
        case "SQL Server":
            return "CAST(" + column + " AS NVARCHAR(4000))";
        default:
            return column;
        }
    }
}
