package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.util.Hashtable;
import java.util.Vector;

/**
 * The queries and actions of a database session's pages. Their text comes from the application's own
 * management resources; the session's identifiers are bound to the text's markers: the first marker takes
 * the first identifier, the second the second (when there is one), any other the first again. An
 * identifier that is a whole number is bound as one, anything else as text.
 */
final class SessionQueries {
    /** No session page waits longer than this for a busy catalogue. */
    private static final int MINIMUM_WAIT_SECONDS = 5;

    private SessionQueries() {}

    /** The rows, column name to value; transposed, one "name"/"value" row per column of every row. */
    static Vector<Hashtable<String, Object>> rows(Connection connection, String query, String first,
                                                 String second, boolean transpose, float waitSeconds)
        throws SQLException {
        Vector<Hashtable<String, Object>> rows = new Vector<>();
        try (PreparedStatement statement = prepared(connection, query, first, second)) {
            statement.setQueryTimeout(Math.max(MINIMUM_WAIT_SECONDS, (int) Math.ceil(waitSeconds)));
            try (ResultSet result = statement.executeQuery()) {
                ResultSetMetaData meta = result.getMetaData();
                while (result.next()) {
                    Hashtable<String, Object> row = new Hashtable<>();
                    for (int column = 1; column <= meta.getColumnCount(); column++) {
                        String name = meta.getColumnLabel(column);
                        Object value = cell(result.getObject(column));
                        if (transpose) {
                            Hashtable<String, Object> pair = new Hashtable<>();
                            pair.put("name", name);
                            if (value != null)
                                pair.put("value", value);
                            rows.add(pair);
                        } else if (value != null) {
                            row.put(name, value);
                        }
                    }
                    if (!transpose)
                        rows.add(row);
                }
            }
        }
        return rows;
    }

    /**
     * Runs a session action. An action that answers a row of one boolean (PostgreSQL's pg_cancel_backend)
     * fails when it answers false: the session was not found or not signalled.
     */
    static void act(Connection connection, String query, String first, String second)
        throws SQLException, BackendException {
        try (PreparedStatement statement = prepared(connection, query, first, second)) {
            if (!statement.execute())
                return;
            try (ResultSet result = statement.getResultSet()) {
                if (result.next() && Boolean.FALSE.equals(result.getObject(1)))
                    throw new BackendException("The session " + first + " could not be signalled: it may have "
                                               + "ended, or you may not have the right to signal it.");
            }
        }
    }

    private static PreparedStatement prepared(Connection connection, String query, String first, String second)
        throws SQLException {
        PreparedStatement statement = connection.prepareStatement(query);
        try {
            int markers = markers(query);
            for (int marker = 1; marker <= markers; marker++)
                bind(statement, marker, marker == 2 && second != null ? second : first);
        } catch (SQLException | RuntimeException e) {
            statement.close();
            throw e;
        }
        return statement;
    }

    /** The "?" markers of the text, outside its quoted literals and names. */
    static int markers(String query) {
        int count = 0;
        char quote = 0;
        for (char c : query.toCharArray()) {
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"' || c == '`') {
                quote = c;
            } else if (c == '?') {
                count++;
            }
        }
        return count;
    }

    private static void bind(PreparedStatement statement, int marker, String identifier) throws SQLException {
        if (identifier != null && identifier.matches("-?\\d{1,18}"))
            statement.setLong(marker, Long.parseLong(identifier));
        else
            statement.setString(marker, identifier);
    }

    /** Values the native side reads: text for what JDBC hands as driver objects. */
    private static Object cell(Object value) {
        if (value == null || value instanceof String || value instanceof Number || value instanceof Boolean)
            return value;
        if (value instanceof byte[])
            return new BinaryWrapper(false);
        return value.toString();
    }
}
