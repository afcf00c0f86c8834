package nl.dalmerik.vorn.bench;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;

/**
 * Plain JDBC on one connection, without the backend: the floors the benchmarks hold the backend against.
 * Values are read with getString, the least a client can do to show them. Queries stream (PostgreSQL
 * needs a transaction for that; MariaDB streams once a fetch size is set). The benchmarks call it through
 * the bridge in their own VM; each timing is in nanoseconds and covers the work up to the last row read,
 * not the cleanup after it. Failures answer -1 (or null) and leave their message in lastError.
 */
public final class JdbcPeer {
    private final Connection connection;
    private final boolean stopBeforeClosing;
    private String lastError;
    private int lastRowCount;
    private Statement batchStatement;
    private ResultSet batchRows;
    private int batchColumns;

    private JdbcPeer(Connection connection, boolean stopBeforeClosing) {
        this.connection = connection;
        this.stopBeforeClosing = stopBeforeClosing;
    }

    /** A connection to the JDBC URL; null when it fails (the message on stderr). */
    public static JdbcPeer open(String url, String user, String password) {
        try {
            Connection connection = DriverManager.getConnection(url, user, password);
            connection.setAutoCommit(false);
            return new JdbcPeer(connection, url.startsWith("jdbc:mariadb:"));
        } catch (SQLException e) {
            System.err.println("JdbcPeer: " + e.getMessage());
            return null;
        }
    }

    public String lastError() {
        return lastError;
    }

    /** The rows the last full read or batch read saw. */
    public int lastRowCount() {
        return lastRowCount;
    }

    /** Runs the query with the fetch size and reads its first rows; the time to the last of them. */
    public long firstRows(String sql, int rows) {
        long start = System.nanoTime();
        try (Statement statement = connection.createStatement()) {
            statement.setFetchSize(rows);
            ResultSet result = statement.executeQuery(sql);
            int columns = result.getMetaData().getColumnCount();
            int read = 0;
            while (read < rows && result.next()) {
                for (int i = 1; i <= columns; i++)
                    result.getString(i);
                read++;
            }
            long elapsed = System.nanoTime() - start;
            if (stopBeforeClosing)
                stopEarly(statement);
            result.close();
            connection.rollback();
            lastRowCount = read;
            return elapsed;
        } catch (SQLException e) {
            return failed(e);
        }
    }

    /** Reads every row of the query, fetchSize rows per round trip. */
    public long readAll(String sql, int fetchSize) {
        long start = System.nanoTime();
        try (Statement statement = connection.createStatement()) {
            statement.setFetchSize(fetchSize);
            int read = 0;
            try (ResultSet result = statement.executeQuery(sql)) {
                int columns = result.getMetaData().getColumnCount();
                while (result.next()) {
                    for (int i = 1; i <= columns; i++)
                        result.getString(i);
                    read++;
                }
            }
            long elapsed = System.nanoTime() - start;
            connection.rollback();
            lastRowCount = read;
            return elapsed;
        } catch (SQLException e) {
            return failed(e);
        }
    }

    /** Starts a read whose rows the native side takes with nextBatch. */
    public boolean startBatches(String sql, int fetchSize) {
        try {
            batchStatement = connection.createStatement();
            batchStatement.setFetchSize(fetchSize);
            batchRows = batchStatement.executeQuery(sql);
            batchColumns = batchRows.getMetaData().getColumnCount();
            lastRowCount = 0;
            return true;
        } catch (SQLException e) {
            failed(e);
            return false;
        }
    }

    /** The next rows, up to the given number, cell after cell (null for SQL NULL); null after the last. */
    public String[] nextBatch(int rows) {
        try {
            String[] cells = new String[rows * batchColumns];
            int read = 0;
            while (read < rows && batchRows.next()) {
                for (int i = 0; i < batchColumns; i++)
                    cells[read * batchColumns + i] = batchRows.getString(i + 1);
                read++;
            }
            lastRowCount += read;
            if (read == 0) {
                batchRows.close();
                batchStatement.close();
                connection.rollback();
                return null;
            }
            return read == rows ? cells : java.util.Arrays.copyOf(cells, read * batchColumns);
        } catch (SQLException e) {
            failed(e);
            return null;
        }
    }

    /** Runs a statement without rows (table setup). */
    public boolean run(String sql) {
        try (Statement statement = connection.createStatement()) {
            statement.execute(sql);
            connection.commit();
            return true;
        } catch (SQLException e) {
            failed(e);
            return false;
        }
    }

    /** The first column of the first row as text; null when there is none. */
    public String firstValue(String sql) {
        try (Statement statement = connection.createStatement();
             ResultSet result = statement.executeQuery(sql)) {
            String value = result.next() ? result.getString(1) : null;
            connection.rollback();
            return value;
        } catch (SQLException e) {
            failed(e);
            return null;
        }
    }

    public void close() {
        try {
            connection.close();
        } catch (SQLException e) {
            lastError = e.getMessage();
        }
    }

    /** MariaDB reads every remaining row on close: stop the query first, outside the timing. */
    private static void stopEarly(Statement statement) {
        try {
            statement.cancel();
        } catch (SQLException e) {
            // Then closing reads the rest.
        }
    }

    private long failed(SQLException e) {
        lastError = e.getMessage();
        try {
            connection.rollback();
        } catch (SQLException ignored) {
            // The connection is broken; the benchmark stops on the error.
        }
        return -1;
    }
}
