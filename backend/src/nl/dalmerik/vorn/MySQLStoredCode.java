package nl.dalmerik.vorn;

import java.sql.CallableStatement;
import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;
import java.util.Hashtable;
import java.util.List;
import java.util.regex.Pattern;

/** MySQL and MariaDB functions and procedures: the text SHOW CREATE gives, replaced as a whole. */
final class MySQLStoredCode extends StoredCode {
    private static final Pattern LINE = Pattern.compile("at line (\\d+)");
    private static final Pattern PLAIN_CREATE = Pattern.compile("(?is)^\\s*CREATE\\s+(?!OR\\s+REPLACE\\b)");

    @Override
    String[] source(Connection connection, String schema, String type, String name) throws SQLException,
                                                                                          BackendException {
        String kind = kind(type);
        try (Statement statement = connection.createStatement();
             ResultSet result = statement.executeQuery("SHOW CREATE " + kind + " " + qualified(schema, name))) {
            String text = result.next() ? result.getString(3) : null;
            if (text == null)
                throw unreadable(name);
            return new String[] {text, ""};
        }
    }

    @Override
    List<Hashtable<String, Object>> replace(Connection connection, String schema, String type, String name,
                                            String header, String body) throws SQLException, BackendException {
        String previousCatalog = connection.getCatalog();
        // The text names the routine without its database: it is created in the one it came from.
        connection.setCatalog(schema);
        try (Statement statement = connection.createStatement()) {
            if (connection.getMetaData().getDatabaseProductVersion().contains("MariaDB")) {
                statement.execute(PLAIN_CREATE.matcher(header).replaceFirst("CREATE OR REPLACE "));
            } else {
                // Without OR REPLACE the old text is put back when the new one is refused.
                String previous = source(connection, schema, type, name)[0];
                statement.execute("DROP " + kind(type) + " " + qualified(schema, name));
                try {
                    statement.execute(header);
                } catch (SQLException e) {
                    statement.execute(previous);
                    throw e;
                }
            }
        } finally {
            if (previousCatalog != null)
                connection.setCatalog(previousCatalog);
        }
        return List.of();
    }

    @Override
    List<Hashtable<String, Object>> warningsOf(SQLException error, String header) {
        int line = firstNumber(LINE, error.getMessage());
        return List.of(warning(line > 0 ? line + ":0" : "0:0", Errors.message(error)));
    }

    @Override
    boolean exists(Connection connection, String schema, String type, String name) throws SQLException {
        return anyRow(connection,
                      "SELECT 1 FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = ? AND ROUTINE_NAME = ? "
                          + "AND ROUTINE_TYPE = ?",
                      schema, name, kind(type));
    }

    @Override
    List<Parameter> parameters(Connection connection, String schema, String type, String name, String member)
        throws SQLException {
        return parametersOf(rows(connection,
                                 "SELECT ORDINAL_POSITION, PARAMETER_MODE, PARAMETER_NAME, DTD_IDENTIFIER "
                                     + "FROM information_schema.PARAMETERS WHERE SPECIFIC_SCHEMA = ? "
                                     + "AND SPECIFIC_NAME = ? AND ROUTINE_TYPE = ? ORDER BY ORDINAL_POSITION",
                                 schema, name, kind(type)));
    }

    @Override
    String[] execute(Session session, String schema, String type, String name, String member,
                     List<Parameter> parameters, String[] values) throws SQLException {
        String[] results = new String[parameters.size()];
        Connection connection = session.connection;
        boolean function = "FUNCTION".equalsIgnoreCase(type);
        String call = qualified(schema, name) + "(" + argumentMarks(parameters) + ")";
        try (PreparedStatement statement = function ? connection.prepareStatement("SELECT " + call)
                                                    : connection.prepareCall("{call " + call + "}")) {
            int mark = 0;
            int[] marksOf = new int[parameters.size()];
            for (int i = 0; i < parameters.size(); i++) {
                Parameter parameter = parameters.get(i);
                if (parameter.direction == Parameter.Direction.RETURN)
                    continue;
                marksOf[i] = ++mark;
                if (parameter.isInput())
                    statement.setString(mark, values[i]);
                if (parameter.isOutput() && statement instanceof CallableStatement)
                    ((CallableStatement) statement).registerOutParameter(mark, Types.VARCHAR);
            }
            session.startStatement(statement);
            try {
                if (statement.execute() && function) {
                    try (ResultSet result = statement.getResultSet()) {
                        if (result.next())
                            for (int i = 0; i < parameters.size(); i++)
                                if (parameters.get(i).direction == Parameter.Direction.RETURN)
                                    results[i] = result.getString(1);
                    }
                }
                if (statement instanceof CallableStatement)
                    for (int i = 0; i < parameters.size(); i++)
                        if (parameters.get(i).isOutput())
                            results[i] = ((CallableStatement) statement).getString(marksOf[i]);
            } finally {
                session.endStatement();
            }
        }
        return results;
    }

    private static String kind(String type) {
        return "FUNCTION".equalsIgnoreCase(type) ? "FUNCTION" : "PROCEDURE";
    }

    private static String qualified(String schema, String name) {
        return quoted(schema, '`') + "." + quoted(name, '`');
    }
}
