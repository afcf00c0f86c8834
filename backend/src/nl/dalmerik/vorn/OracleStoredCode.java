package nl.dalmerik.vorn;

import java.sql.CallableStatement;
import java.sql.Connection;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;

/**
 * Oracle functions, procedures and packages: the text of ALL_SOURCE, replaced with CREATE OR REPLACE. A
 * build with errors still stores the object; its errors are the warnings.
 */
final class OracleStoredCode extends StoredCode {
    @Override
    String[] source(Connection connection, String schema, String type, String name) throws SQLException,
                                                                                          BackendException {
        String header = text(connection, schema, type.toUpperCase(), name);
        if (header.isEmpty())
            throw unreadable(name);
        String body = "PACKAGE".equalsIgnoreCase(type) ? text(connection, schema, "PACKAGE BODY", name) : "";
        return new String[] {header, body};
    }

    private static String text(Connection connection, String schema, String type, String name)
        throws SQLException {
        StringBuilder text = new StringBuilder();
        for (String[] row : rows(connection,
                                 "SELECT TEXT FROM ALL_SOURCE WHERE OWNER = ? AND NAME = ? AND TYPE = ? ORDER BY LINE",
                                 schema, name, type))
            text.append(row[0] == null ? "" : row[0]);
        return text.length() == 0 ? "" : "CREATE OR REPLACE " + text;
    }

    @Override
    List<Hashtable<String, Object>> replace(Connection connection, String schema, String type, String name,
                                            String header, String body) throws SQLException {
        try (Statement statement = connection.createStatement()) {
            statement.execute(header);
            if ("PACKAGE".equalsIgnoreCase(type) && !body.isBlank())
                statement.execute(body);
        }
        List<Hashtable<String, Object>> errors = new ArrayList<>();
        for (String[] row : rows(connection,
                                 "SELECT LINE, POSITION, TEXT FROM ALL_ERRORS WHERE OWNER = ? AND NAME = ? "
                                     + "ORDER BY TYPE, SEQUENCE",
                                 schema, name))
            errors.add(warning(row[0] + ":" + row[1], row[2]));
        return errors;
    }

    @Override
    boolean exists(Connection connection, String schema, String type, String name) throws SQLException {
        return anyRow(connection, "SELECT 1 FROM ALL_OBJECTS WHERE OWNER = ? AND OBJECT_NAME = ? AND OBJECT_TYPE = ?",
                      schema, name, type.toUpperCase());
    }

    @Override
    List<Parameter> parameters(Connection connection, String schema, String type, String name, String member)
        throws SQLException {
        boolean inPackage = member != null && "PACKAGE".equalsIgnoreCase(type);
        String sql = "SELECT POSITION, IN_OUT, ARGUMENT_NAME, DATA_TYPE FROM ALL_ARGUMENTS WHERE OWNER = ? "
                     + "AND OBJECT_NAME = ? AND DATA_LEVEL = 0 AND "
                     + (inPackage ? "PACKAGE_NAME = ? " : "PACKAGE_NAME IS NULL AND ? IS NOT NULL ")
                     + "AND DATA_TYPE IS NOT NULL ORDER BY POSITION";
        return parametersOf(rows(connection, sql, schema, inPackage ? member : name, name));
    }

    @Override
    String[] execute(Session session, String schema, String type, String name, String member,
                     List<Parameter> parameters, String[] values) throws SQLException {
        boolean function = parameters.stream().anyMatch(p -> p.direction == Parameter.Direction.RETURN);
        String routine = quoted(schema, '"') + "." + quoted(name, '"')
                         + (member != null && "PACKAGE".equalsIgnoreCase(type) ? "." + quoted(member, '"') : "");
        String call = "{" + (function ? "? = " : "") + "call " + routine + "(" + argumentMarks(parameters) + ")}";
        String[] results = new String[parameters.size()];
        try (CallableStatement statement = session.connection.prepareCall(call)) {
            int mark = 0;
            int[] marksOf = new int[parameters.size()];
            for (int i = 0; i < parameters.size(); i++) {
                Parameter parameter = parameters.get(i);
                marksOf[i] = ++mark;
                if (parameter.isInput())
                    statement.setString(mark, values[i]);
                if (parameter.isOutput() || parameter.direction == Parameter.Direction.RETURN)
                    statement.registerOutParameter(mark, Types.VARCHAR);
            }
            session.startStatement(statement);
            try {
                statement.execute();
                for (int i = 0; i < parameters.size(); i++)
                    if (parameters.get(i).isOutput() || parameters.get(i).direction == Parameter.Direction.RETURN)
                        results[i] = statement.getString(marksOf[i]);
            } finally {
                session.endStatement();
            }
        }
        return results;
    }

    @Override
    List<String> packageMembers(Connection connection, String schema, String name) throws SQLException {
        List<String> members = new ArrayList<>();
        for (String[] row : rows(connection,
                                 "SELECT PROCEDURE_NAME FROM ALL_PROCEDURES WHERE OWNER = ? AND OBJECT_NAME = ? "
                                     + "AND PROCEDURE_NAME IS NOT NULL ORDER BY SUBPROGRAM_ID",
                                 schema, name))
            members.add(row[0]);
        return members;
    }

    @Override
    boolean memberIsFunction(Connection connection, String schema, String name, String member)
        throws SQLException {
        return anyRow(connection,
                      "SELECT 1 FROM ALL_ARGUMENTS WHERE OWNER = ? AND PACKAGE_NAME = ? AND OBJECT_NAME = ? "
                          + "AND POSITION = 0 AND DATA_LEVEL = 0",
                      schema, name, member);
    }
}
