package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.SQLException;
import java.util.List;

/** Writes rows through one prepared INSERT, a batch at a time or one row at a time. */
final class InsertImportWriter implements ImportWriter, AutoCloseable {
    private final Connection connection;
    private final String sql;
    private PreparedStatement statement;
    private final List<ImportTargetColumn> columns;
    private final boolean sqlite;

    InsertImportWriter(Session session, String qualifiedTable, List<ImportTargetColumn> columns) throws SQLException {
        StringBuilder names = new StringBuilder();
        StringBuilder values = new StringBuilder();
        for (ImportTargetColumn column : columns) {
            if (names.length() > 0) {
                names.append(", ");
                values.append(", ");
            }
            names.append(column.quoted);
            values.append(column.fromSequence() ? column.nextValue : "?");
        }
        this.connection = session.connection;
        this.sql = "INSERT INTO " + qualifiedTable + " (" + names + ") VALUES (" + values + ")";
        this.statement = connection.prepareStatement(sql);
        this.columns = columns;
        this.sqlite = session.dialect.typeName().equals("SQLite");
    }

    @Override
    public void write(List<String[]> rows) throws SQLException {
        for (String[] row : rows) {
            bind(row);
            statement.addBatch();
        }
        try {
            statement.executeBatch();
        } finally {
            statement.clearBatch();
        }
    }

    /**
     * A statement of its own again: after a failure some drivers (SQLite's among them) keep what failed
     * and run it again with the next row.
     */
    void renew() throws SQLException {
        statement.close();
        statement = connection.prepareStatement(sql);
    }

    void writeOne(String[] row) throws SQLException {
        bind(row);
        statement.executeUpdate();
    }

    private void bind(String[] row) throws SQLException {
        int parameter = 1;
        int value = 0;
        for (ImportTargetColumn column : columns) {
            if (column.fromSequence())
                continue;
            ImportValues.bind(statement, parameter++, row[value++], column.sqlType, sqlite);
        }
    }

    @Override
    public void close() throws SQLException {
        statement.close();
    }
}
