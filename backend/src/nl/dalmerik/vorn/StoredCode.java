package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * How one database reads, replaces and runs its stored code: the text of a function, procedure or package,
 * its parameters and the call that runs it. Each method is called while the caller holds the session's lock.
 */
abstract class StoredCode {
    /** One parameter of a routine as the database declares it; the return value is a parameter too. */
    static final class Parameter {
        enum Direction { IN, OUT, INOUT, RETURN }

        final String name;
        final Direction direction;
        final String typeName;

        Parameter(String name, Direction direction, String typeName) {
            this.name = name;
            this.direction = direction;
            this.typeName = typeName;
        }

        boolean isInput() {
            return direction == Direction.IN || direction == Direction.INOUT;
        }

        boolean isOutput() {
            return direction == Direction.OUT || direction == Direction.INOUT;
        }
    }

    /** The stored code of a database; null where this backend cannot read it. */
    static StoredCode forDialect(Dialect dialect) {
        if (dialect instanceof PostgreSQLDialect)
            return new PostgreSQLStoredCode();
        if (dialect instanceof MySQLDialect)
            return new MySQLStoredCode();
        if (dialect instanceof OracleDialect)
            return new OracleStoredCode();
        return null;
    }

    /** Header (or the whole source) and package body; the body is empty for anything but a package. */
    abstract String[] source(Connection connection, String schema, String type, String name)
        throws SQLException, BackendException;

    /**
     * Replaces the stored object with the texts. A failure that the database reports as a compile error
     * throws; the returned list holds what the database still has to say about a successful build.
     */
    abstract List<Hashtable<String, Object>> replace(Connection connection, String schema, String type,
                                                     String name, String header, String body)
        throws SQLException, BackendException;

    /** Whether the object still exists under its name (a replaced text may have renamed it). */
    abstract boolean exists(Connection connection, String schema, String type, String name) throws SQLException;

    /** The parameters of the routine, or of the package's member, in the order of the call. */
    abstract List<Parameter> parameters(Connection connection, String schema, String type, String name,
                                        String member) throws SQLException, BackendException;

    /** Runs the routine with the input values (by parameter index) and gives the output values by index. */
    abstract String[] execute(Session session, String schema, String type, String name, String member,
                              List<Parameter> parameters, String[] values) throws SQLException, BackendException;

    /** The members of a package that can be run; empty for anything else. */
    List<String> packageMembers(Connection connection, String schema, String name) throws SQLException {
        return List.of();
    }

    /** Whether the package member is a function. */
    boolean memberIsFunction(Connection connection, String schema, String name, String member)
        throws SQLException {
        return false;
    }

    /** The warning a failed build gives: where the database places the error, and its message. */
    List<Hashtable<String, Object>> warningsOf(SQLException error, String header) {
        return List.of(warning("0:0", Errors.message(error)));
    }

    /** The source of an object the user's rights do not show. */
    static BackendException unreadable(String name) {
        return new BackendException("The source of '" + name + "' cannot be read with this user's rights.");
    }

    /**
     * Parameters from catalogue rows of position, mode, name and type: position 0 is the return value
     * (named "RETURN"); the mode reads OUT, INOUT or IN/OUT for output, anything else for input.
     */
    static List<Parameter> parametersOf(List<String[]> rows) {
        List<Parameter> parameters = new ArrayList<>();
        for (String[] row : rows) {
            Parameter.Direction direction;
            if ("0".equals(row[0]))
                direction = Parameter.Direction.RETURN;
            else if ("OUT".equalsIgnoreCase(row[1]))
                direction = Parameter.Direction.OUT;
            else if ("INOUT".equalsIgnoreCase(row[1]) || "IN/OUT".equalsIgnoreCase(row[1]))
                direction = Parameter.Direction.INOUT;
            else
                direction = Parameter.Direction.IN;
            parameters.add(new Parameter(row[2] == null ? "RETURN" : row[2], direction, row[3]));
        }
        return parameters;
    }

    /** The argument marks of a call: one "?" per parameter but the return value. */
    static String argumentMarks(List<Parameter> parameters) {
        StringBuilder marks = new StringBuilder();
        for (Parameter parameter : parameters)
            if (parameter.direction != Parameter.Direction.RETURN)
                marks.append(marks.length() > 0 ? ", ?" : "?");
        return marks.toString();
    }

    /** Whether the query with text parameters finds a row. */
    static boolean anyRow(Connection connection, String sql, String... parameters) throws SQLException {
        return !rows(connection, sql, parameters).isEmpty();
    }

    static Hashtable<String, Object> warning(String position, String message) {
        Hashtable<String, Object> warning = new Hashtable<>();
        warning.put("position", position);
        warning.put("message", message == null ? "" : message);
        return warning;
    }

    /** "line:column" of a 1-based character position in the text. */
    static String positionInText(String text, int position) {
        int line = 1;
        int column = 1;
        for (int i = 0; i < Math.min(position - 1, text.length()); i++) {
            if (text.charAt(i) == '\n') {
                line++;
                column = 1;
            } else {
                column++;
            }
        }
        return line + ":" + column;
    }

    /** The first number the pattern's first group captures in the text, or -1. */
    static int firstNumber(Pattern pattern, String text) {
        Matcher matcher = pattern.matcher(text == null ? "" : text);
        return matcher.find() ? Integer.parseInt(matcher.group(1)) : -1;
    }

    static String quoted(String identifier, char quote) {
        String doubled = String.valueOf(quote) + quote;
        return quote + identifier.replace(String.valueOf(quote), doubled) + quote;
    }

    /** The rows of a query with text parameters, each row as its columns' texts. */
    static List<String[]> rows(Connection connection, String sql, String... parameters) throws SQLException {
        List<String[]> rows = new ArrayList<>();
        try (PreparedStatement statement = connection.prepareStatement(sql)) {
            for (int i = 0; i < parameters.length; i++)
                statement.setString(i + 1, parameters[i]);
            try (ResultSet result = statement.executeQuery()) {
                int columns = result.getMetaData().getColumnCount();
                while (result.next()) {
                    String[] row = new String[columns];
                    for (int c = 0; c < columns; c++)
                        row[c] = result.getString(c + 1);
                    rows.add(row);
                }
            }
        }
        return rows;
    }

    static Vector<Hashtable<String, Object>> vectorOf(List<Hashtable<String, Object>> list) {
        return new Vector<>(list);
    }
}
