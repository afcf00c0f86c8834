package nl.dalmerik.vorn;

import java.io.ByteArrayInputStream;
import java.io.InputStream;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.nio.charset.StandardCharsets;
import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.List;

/**
 * MariaDB's and MySQL's bulk path: LOAD DATA LOCAL INFILE fed from a stream the driver sends instead of a
 * file. The server turns bad values of such a load into warnings; a batch that leaves any warning (or
 * fewer rows than sent) counts as refused, so that its rows are written again one by one and the faulty
 * ones refused with the server's own message.
 */
final class LoadDataImportWriter implements ImportWriter {
    private final Connection connection;
    private final String loadSql;

    LoadDataImportWriter(Connection connection, String qualifiedTable, List<ImportTargetColumn> columns) {
        StringBuilder names = new StringBuilder();
        for (ImportTargetColumn column : columns)
            names.append(names.length() > 0 ? ", " : "").append(column.quoted);
        this.connection = connection;
        this.loadSql = "LOAD DATA LOCAL INFILE 'vorn-import.tsv' INTO TABLE " + qualifiedTable
            + " CHARACTER SET utf8mb4 FIELDS TERMINATED BY '\\t' ESCAPED BY '\\\\' LINES TERMINATED BY '\\n' ("
            + names + ")";
    }

    /** Whether the connection's statements can be fed from a stream. */
    static boolean available(Connection connection) {
        try (Statement statement = connection.createStatement()) {
            statement.getClass().getMethod("setLocalInfileInputStream", InputStream.class);
            return true;
        } catch (NoSuchMethodException | SQLException e) {
            return false;
        }
    }

    @Override
    public void write(List<String[]> rows) throws SQLException {
        byte[] data = tabSeparated(rows).getBytes(StandardCharsets.UTF_8);
        try (Statement statement = connection.createStatement()) {
            feed(statement, new ByteArrayInputStream(data));
            int written = statement.executeUpdate(loadSql);
            String warning = firstWarning(statement);
            if (warning != null)
                throw new SQLException(warning, "01000");
            if (written != rows.size())
                throw new SQLException("The server took " + written + " of " + rows.size() + " rows.", "01000");
        }
    }

    private static void feed(Statement statement, InputStream data) throws SQLException {
        try {
            Method setter = statement.getClass().getMethod("setLocalInfileInputStream", InputStream.class);
            setter.invoke(statement, data);
        } catch (InvocationTargetException e) {
            throw new SQLException(Errors.message(e.getCause()), e.getCause());
        } catch (ReflectiveOperationException e) {
            throw new SQLException("The MariaDB driver cannot load from a stream: " + Errors.message(e), e);
        }
    }

    /** The first warning or error the load left (notes, such as a time cut from a date, are fine). */
    private static String firstWarning(Statement statement) throws SQLException {
        try (ResultSet warnings = statement.executeQuery("SHOW WARNINGS")) {
            while (warnings.next()) {
                if (!"Note".equalsIgnoreCase(warnings.getString(1)))
                    return warnings.getString(3);
            }
        }
        return null;
    }

    private static String tabSeparated(List<String[]> rows) {
        StringBuilder text = new StringBuilder(rows.size() * 64);
        for (String[] row : rows) {
            for (int i = 0; i < row.length; i++) {
                if (i > 0)
                    text.append('\t');
                if (row[i] == null)
                    text.append("\\N");
                else
                    escape(row[i], text);
            }
            text.append('\n');
        }
        return text.toString();
    }

    private static void escape(String value, StringBuilder text) {
        for (int i = 0; i < value.length(); i++) {
            char c = value.charAt(i);
            switch (c) {
            case '\\':
                text.append("\\\\");
                break;
            case '\t':
                text.append("\\t");
                break;
            case '\n':
                text.append("\\n");
                break;
            case '\r':
                text.append("\\r");
                break;
            case '\0':
                text.append("\\0");
                break;
            default:
                text.append(c);
            }
        }
    }
}
