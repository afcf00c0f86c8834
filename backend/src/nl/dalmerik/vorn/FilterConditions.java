package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.sql.Timestamp;
import java.time.LocalDateTime;
import java.time.format.DateTimeFormatter;
import java.util.ArrayList;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import java.util.Vector;

/**
 * The conditions of a table's rows, each as SQL with bound values and as text with the values written as
 * the dialect's literals (the text the user reads, drags and pastes). Names are quoted by the dialect; a
 * value compared with a number or a date column is bound as one, and LIKE patterns escape the user's own
 * wildcards, so a value always means itself.
 */
final class FilterConditions {
    static final String CUSTOM_FILTER = "__CUSTOM_FILTER__";
    /** LIKE's escape character: not special to any database's string literals or patterns. */
    private static final char LIKE_ESCAPE = '!';
    private static final DateTimeFormatter LITERAL_MOMENT = DateTimeFormatter.ofPattern("yyyy-MM-dd HH:mm:ss");

    /** One condition: SQL with a "?" per parameter, and the same condition with literals. */
    static final class Condition {
        final String sql;
        final List<Object> parameters;
        final String text;

        Condition(String sql, List<Object> parameters, String text) {
            this.sql = sql;
            this.parameters = parameters;
            this.text = text;
        }
    }

    private final Dialect dialect;
    private final Set<String> reservedWords;
    /** The table's columns by name; a column not here is compared as text. */
    private final Map<String, ResultColumn> columns;
    private final DateInput dates;

    FilterConditions(Dialect dialect, Set<String> reservedWords, Map<String, ResultColumn> columns, DateInput dates) {
        this.dialect = dialect;
        this.reservedWords = reservedWords;
        this.columns = columns;
        this.dates = dates;
    }

    /**
     * One quick-filter condition; null when it asks nothing (a value left empty, a blank custom filter). A
     * custom filter is the user's own SQL condition, kept apart in parentheses and refused when it would
     * end the statement.
     */
    Condition quick(String column, String operator, Object value) throws BackendException {
        String text = value == null ? "" : value.toString();
        if (CUSTOM_FILTER.equals(column)) {
            if (text.isBlank())
                return null;
            if (hasStatementSeparator(text))
                throw new BackendException("A custom filter is one condition; it may not contain a ';'.");
            String condition = "(" + text + ")";
            return new Condition(condition, List.of(), condition);
        }
        String name = name(column);
        String op = operator == null ? "" : operator.trim().toUpperCase(Locale.ROOT);
        switch (op) {
        case "IS NULL":
            return fixed(name + " IS NULL");
        case "NOT IS NULL":
        case "IS NOT NULL":
            return fixed(name + " IS NOT NULL");
        default:
            break;
        }
        if (text.isEmpty())
            return null;
        switch (op) {
        case "LIKE":
            return like(name, false, "%" + escapeLike(text) + "%");
        case "NOTLIKE":
        case "NOT LIKE":
            return like(name, true, "%" + escapeLike(text) + "%");
        case "STARTSWITH":
            return like(name, false, escapeLike(text) + "%");
        case "ENDSWITH":
            return like(name, false, "%" + escapeLike(text));
        case "":
        case "=":
            return compare(column, name, "=", text);
        case "!=":
        case "<>":
            return compare(column, name, "<>", text);
        case "<":
        case ">":
        case "<=":
        case ">=":
            return compare(column, name, op, text);
        default:
            throw new BackendException("The filter operator '" + operator + "' is not known.");
        }
    }

    /**
     * The column equals the value, is one of a vector of values, or, for null (or an empty vector), is null;
     * negated when asked.
     */
    Condition equalsOrIn(String column, Object values, boolean negate) throws BackendException {
        String name = name(column);
        List<Object> list = values instanceof Vector ? new ArrayList<>((Vector<?>) values) : null;
        if (values == null || list != null && list.isEmpty())
            return fixed(name + (negate ? " IS NOT NULL" : " IS NULL"));
        if (list == null || list.size() == 1) {
            Object one = list == null ? values : list.get(0);
            Condition equal = typed(() -> compare(column, name, "=", one == null ? "" : one.toString()));
            return negate ? new Condition("NOT (" + equal.sql + ")", equal.parameters, "NOT (" + equal.text + ")")
                          : equal;
        }
        List<Object> parameters = new ArrayList<>();
        StringBuilder sql = new StringBuilder(name).append(negate ? " NOT IN (" : " IN (");
        StringBuilder text = new StringBuilder(name).append(negate ? " NOT IN (" : " IN (");
        for (int i = 0; i < list.size(); i++) {
            String value = list.get(i) == null ? "" : list.get(i).toString();
            sql.append(i == 0 ? "?" : ", ?");
            text.append(i == 0 ? "" : ", ").append(literal(column, value));
            parameters.add(typed(() -> bound(column, value)));
        }
        return new Condition(sql.append(")").toString(), parameters, text.append(")").toString());
    }

    private interface Typed<T> {
        T get() throws BackendException;
    }

    /** A dragged value the column's type cannot take: the caller loads the rows unfiltered instead. */
    private static <T> T typed(Typed<T> value) throws BackendException {
        try {
            return value.get();
        } catch (BackendException e) {
            throw new BackendException(EditedValue.INVALID_INPUT);
        }
    }

    private Condition fixed(String sql) {
        return new Condition(sql, List.of(), sql);
    }

    private Condition like(String name, boolean negate, String pattern) {
        String clause = name + (negate ? " NOT LIKE " : " LIKE ");
        String escape = " ESCAPE " + dialect.quoteLiteral(String.valueOf(LIKE_ESCAPE));
        List<Object> parameters = new ArrayList<>();
        parameters.add(pattern);
        return new Condition(clause + "?" + escape, parameters, clause + dialect.quoteLiteral(pattern) + escape);
    }

    private Condition compare(String column, String name, String op, String value) throws BackendException {
        List<Object> parameters = new ArrayList<>();
        parameters.add(bound(column, value));
        String clause = name + " " + op + " ";
        return new Condition(clause + "?", parameters, clause + literal(column, value));
    }

    /** The value as the column's type takes it: a number, a moment, or text. */
    private Object bound(String column, String value) throws BackendException {
        ResultColumn described = columns.get(column);
        ValueKind kind = described == null ? ValueKind.TEXT : described.kind;
        switch (kind) {
        case PLAIN_NUMBER:
        case EXACT_NUMBER:
        case SINGLE_FLOAT:
        case DOUBLE_FLOAT:
            BigDecimal number = number(value);
            if (number == null)
                throw new BackendException("'" + value + "' is not a number.");
            return number;
        case DATE:
        case TIMESTAMP:
        case ZONED_TIMESTAMP:
            LocalDateTime moment = moment(value);
            if (moment == null)
                throw new BackendException("'" + value + "' is not a date and time in the pattern of the preferences.");
            return Timestamp.valueOf(moment);
        default:
            return value;
        }
    }

    /** The value as a literal of the dialect, typed like the bound value where it can be. */
    String literal(String column, String value) {
        ResultColumn described = columns.get(column);
        ValueKind kind = described == null ? ValueKind.TEXT : described.kind;
        switch (kind) {
        case PLAIN_NUMBER:
        case EXACT_NUMBER:
        case SINGLE_FLOAT:
        case DOUBLE_FLOAT:
            BigDecimal number = number(value);
            return number == null ? dialect.quoteLiteral(value) : number.toPlainString();
        case DATE:
        case TIMESTAMP:
        case ZONED_TIMESTAMP:
            LocalDateTime moment = moment(value);
            return moment == null ? dialect.quoteLiteral(value) : momentLiteral(moment);
        default:
            return dialect.quoteLiteral(value);
        }
    }

    private String momentLiteral(LocalDateTime moment) {
        String text = LITERAL_MOMENT.format(moment);
        if (moment.getNano() != 0)
            text += String.format(".%09d", moment.getNano()).replaceAll("0+$", "");
        if (dialect instanceof SQLServerDialect)
            return dialect.quoteLiteral(text.replace(' ', 'T'));
        if (dialect instanceof SQLiteDialect)
            return dialect.quoteLiteral(text);
        return "TIMESTAMP " + dialect.quoteLiteral(text);
    }

    static BigDecimal number(String value) {
        try {
            return new BigDecimal(value.trim());
        } catch (NumberFormatException e) {
            return null;
        }
    }

    private LocalDateTime moment(String value) {
        return dates == null ? null : dates.parse(value);
    }

    private String name(String column) throws BackendException {
        if (column == null || column.isEmpty())
            throw new BackendException("A filter or sort needs a column name.");
        return dialect.quoteIdentifier(column, reservedWords);
    }

    static String escapeLike(String value) {
        StringBuilder escaped = new StringBuilder(value.length() + 4);
        for (char c : value.toCharArray()) {
            if (c == LIKE_ESCAPE || c == '%' || c == '_' || c == '[')
                escaped.append(LIKE_ESCAPE);
            escaped.append(c);
        }
        return escaped.toString();
    }

    /** A ';' outside string literals and quoted names ends the statement. */
    static boolean hasStatementSeparator(String sql) {
        char quote = 0;
        for (int i = 0; i < sql.length(); i++) {
            char c = sql.charAt(i);
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"' || c == '`') {
                quote = c;
            } else if (c == ';') {
                return true;
            }
        }
        return false;
    }
}
