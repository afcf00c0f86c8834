package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Savepoint;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/** PostgreSQL functions and procedures: the text pg_get_functiondef gives, replaced as a whole. */
final class PostgreSQLStoredCode extends StoredCode {
    private static final String ROUTINE = "FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
                                          + "WHERE n.nspname = ? AND p.proname = ? ";
    private static final String SEPARATOR = "\u0001";
    private static final Pattern POSITION = Pattern.compile("Position: (\\d+)");
    private static final Pattern BODY_LINE = Pattern.compile("PL/pgSQL function .* (?:near )?line (\\d+)");
    private static final Pattern BODY_START = Pattern.compile("(?i)\\bAS\\s+(\\$[A-Za-z_0-9]*\\$|')");

    /** Work on the connection that may fail. */
    private interface Work<T> {
        T run() throws SQLException, BackendException;
    }

    @Override
    String[] source(Connection connection, String schema, String type, String name) throws SQLException,
                                                                                          BackendException {
        List<String[]> rows =
            rows(connection, "SELECT pg_get_functiondef(p.oid) " + ROUTINE + "ORDER BY p.oid LIMIT 1", schema, name);
        if (rows.isEmpty())
            throw new BackendException("The function or procedure '" + name + "' no longer exists.");
        return new String[] {rows.get(0)[0], ""};
    }

    @Override
    List<Hashtable<String, Object>> replace(Connection connection, String schema, String type, String name,
                                            String header, String body) throws SQLException, BackendException {
        return guarded(connection, () -> {
            try (Statement statement = connection.createStatement()) {
                statement.execute(header);
            }
            return List.of();
        });
    }

    @Override
    List<Hashtable<String, Object>> warningsOf(SQLException error, String header) {
        String message = Errors.message(error);
        String position = "0:0";
        int at = firstNumber(POSITION, message);
        int bodyLine = firstNumber(BODY_LINE, message);
        if (at > 0) {
            position = positionInText(header, at);
        } else if (bodyLine > 0) {
            // The language counts lines from the start of the quoted body.
            Matcher start = BODY_START.matcher(header);
            if (start.find())
                position = (lineOf(header, start.end()) + bodyLine - 1) + ":0";
        }
        int detail = message.indexOf("\n");
        return List.of(warning(position, detail < 0 ? message : message.substring(0, detail)));
    }

    private static int lineOf(String text, int index) {
        int line = 1;
        for (int i = 0; i < index && i < text.length(); i++) {
            if (text.charAt(i) == '\n')
                line++;
        }
        return line;
    }

    @Override
    boolean exists(Connection connection, String schema, String type, String name) throws SQLException {
        return anyRow(connection, "SELECT 1 " + ROUTINE, schema, name);
    }

    @Override
    List<Parameter> parameters(Connection connection, String schema, String type, String name, String member)
        throws SQLException, BackendException {
        List<String[]> rows = rows(
            connection,
            "SELECT p.prokind, array_to_string(p.proargnames, ?, ''), array_to_string(p.proargmodes, ?), "
                + "(SELECT string_agg(format_type(a.t, NULL), ? ORDER BY a.i) "
                + "FROM unnest(coalesce(p.proallargtypes, p.proargtypes::oid[])) WITH ORDINALITY AS a(t, i)), "
                + "format_type(p.prorettype, NULL) " + ROUTINE + "ORDER BY p.oid LIMIT 1",
            SEPARATOR, SEPARATOR, SEPARATOR, schema, name);
        if (rows.isEmpty())
            throw new BackendException("The function or procedure '" + name + "' no longer exists.");
        String[] row = rows.get(0);
        String[] names = split(row[1]);
        String[] modes = split(row[2]);
        String[] types = split(row[3]);
        List<Parameter> parameters = new ArrayList<>();
        boolean hasOutput = false;
        for (int i = 0; i < types.length; i++) {
            String mode = i < modes.length ? modes[i] : "i";
            String argument = i < names.length && !names[i].isEmpty() ? names[i] : "$" + (i + 1);
            Parameter.Direction direction = switch (mode) {
                case "o", "t" -> Parameter.Direction.OUT;
                case "b" -> Parameter.Direction.INOUT;
                default -> Parameter.Direction.IN;
            };
            hasOutput |= direction != Parameter.Direction.IN;
            parameters.add(new Parameter(argument, direction, types[i]));
        }
        if ("f".equals(row[0]) && !hasOutput && !"void".equals(row[4]))
            parameters.add(0, new Parameter("RETURN", Parameter.Direction.RETURN, row[4]));
        return parameters;
    }

    private static String[] split(String joined) {
        return joined == null || joined.isEmpty() ? new String[0] : joined.split(SEPARATOR, -1);
    }

    @Override
    String[] execute(Session session, String schema, String type, String name, String member,
                     List<Parameter> parameters, String[] values) throws SQLException, BackendException {
        boolean procedure = "PROCEDURE".equalsIgnoreCase(type);
        StringBuilder arguments = new StringBuilder();
        for (Parameter parameter : parameters) {
            if (parameter.direction == Parameter.Direction.RETURN)
                continue;
            String placeholder = parameter.isInput() ? "?" : procedure ? "NULL" : null;
            if (placeholder == null)
                continue;
            if (arguments.length() > 0)
                arguments.append(", ");
            arguments.append(placeholder).append("::").append(parameter.typeName);
        }
        String routine = quoted(schema, '"') + "." + quoted(name, '"') + "(" + arguments + ")";
        String sql = procedure ? "CALL " + routine : "SELECT * FROM " + routine;
        Connection connection = session.connection;
        return guarded(connection, () -> {
            String[] results = new String[parameters.size()];
            try (PreparedStatement statement = connection.prepareStatement(sql)) {
                int bound = 0;
                for (int i = 0; i < parameters.size(); i++) {
                    if (!parameters.get(i).isInput())
                        continue;
                    if (values[i] == null)
                        statement.setNull(++bound, Types.VARCHAR);
                    else
                        statement.setString(++bound, values[i]);
                }
                session.startStatement(statement);
                try {
                    if (statement.execute())
                        readResults(statement.getResultSet(), parameters, results);
                } finally {
                    session.endStatement();
                }
            }
            return results;
        });
    }

    /** The first row: the return value, or the output parameters in their order. */
    private static void readResults(ResultSet result, List<Parameter> parameters, String[] results)
        throws SQLException {
        try (result) {
            if (!result.next())
                return;
            int columns = result.getMetaData().getColumnCount();
            int column = 0;
            for (int i = 0; i < parameters.size() && column < columns; i++) {
                Parameter parameter = parameters.get(i);
                if (parameter.direction == Parameter.Direction.RETURN || parameter.isOutput())
                    results[i] = result.getString(++column);
            }
        }
    }

    /** A failure inside an open transaction gives back only its own part, not the transaction. */
    private static <T> T guarded(Connection connection, Work<T> work) throws SQLException, BackendException {
        if (connection.getAutoCommit())
            return work.run();
        Savepoint savepoint = connection.setSavepoint();
        try {
            T result = work.run();
            connection.releaseSavepoint(savepoint);
            return result;
        } catch (SQLException | BackendException | RuntimeException e) {
            connection.rollback(savepoint);
            throw e;
        }
    }
}
