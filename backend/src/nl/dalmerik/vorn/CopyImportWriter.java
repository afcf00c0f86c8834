package nl.dalmerik.vorn;

import java.io.ByteArrayInputStream;
import java.io.InputStream;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.nio.charset.StandardCharsets;
import java.sql.Connection;
import java.sql.SQLException;
import java.util.List;

/**
 * PostgreSQL's bulk path: COPY ... FROM STDIN in CSV through the driver's CopyManager. The driver is
 * reached by reflection, as it is loaded at run time and not compiled against.
 */
final class CopyImportWriter implements ImportWriter {
    private final String copySql;
    private final Object copyManager;
    private final Method copyIn;

    CopyImportWriter(Connection connection, String qualifiedTable, List<ImportTargetColumn> columns)
        throws SQLException {
        StringBuilder names = new StringBuilder();
        for (ImportTargetColumn column : columns)
            names.append(names.length() > 0 ? ", " : "").append(column.quoted);
        this.copySql = "COPY " + qualifiedTable + " (" + names + ") FROM STDIN WITH (FORMAT csv)";
        try {
            Class<?> pgConnection = Class.forName("org.postgresql.PGConnection", true,
                                                  connection.getClass().getClassLoader());
            Object pg = connection.unwrap(pgConnection);
            this.copyManager = pgConnection.getMethod("getCopyAPI").invoke(pg);
            this.copyIn = copyManager.getClass().getMethod("copyIn", String.class, InputStream.class);
        } catch (ReflectiveOperationException e) {
            throw new SQLException("The PostgreSQL driver offers no COPY: " + Errors.message(e), e);
        }
    }

    /** Whether the connection's driver offers COPY. */
    static boolean available(Connection connection) {
        try {
            Class<?> pgConnection = Class.forName("org.postgresql.PGConnection", true,
                                                  connection.getClass().getClassLoader());
            return connection.isWrapperFor(pgConnection);
        } catch (ClassNotFoundException | SQLException e) {
            return false;
        }
    }

    private static void appendQuoted(StringBuilder csv, String value) {
        csv.append('"');
        int from = 0;
        for (int quote = value.indexOf('"'); quote >= 0; quote = value.indexOf('"', from)) {
            csv.append(value, from, quote + 1).append('"');
            from = quote + 1;
        }
        csv.append(value, from, value.length()).append('"');
    }

    @Override
    public void write(List<String[]> rows) throws SQLException {
        StringBuilder csv = new StringBuilder(rows.size() * 64);
        for (String[] row : rows) {
            for (int i = 0; i < row.length; i++) {
                if (i > 0)
                    csv.append(',');
                // Unquoted nothing is NULL; a quoted text (even an empty one) is that text.
                if (row[i] != null)
                    appendQuoted(csv, row[i]);
            }
            csv.append('\n');
        }
        try {
            // The driver speaks UTF-8 with the server; the bytes go as they are, encoded once here.
            copyIn.invoke(copyManager, copySql,
                          new ByteArrayInputStream(csv.toString().getBytes(StandardCharsets.UTF_8)));
        } catch (InvocationTargetException e) {
            Throwable cause = e.getCause();
            if (cause instanceof SQLException)
                throw (SQLException) cause;
            throw new SQLException(Errors.message(cause), cause);
        } catch (IllegalAccessException e) {
            throw new SQLException(Errors.message(e), e);
        }
    }
}
