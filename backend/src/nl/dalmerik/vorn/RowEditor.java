package nl.dalmerik.vorn;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Writes the edits of a table's rows, found by their primary key and nothing else: one row is edited at a
 * time, its changed values kept until the row ends, then written as one UPDATE (or INSERT for a new row) with
 * every value bound as a parameter. Each written row is read back, so the grid shows what the database
 * holds (defaults, triggers, generated keys). Database work runs under the session's lock; the edit state
 * under this object's monitor.
 */
final class RowEditor {
    private final VornResultset result;
    private final Session session;
    private final String table;
    private final ResultColumn[] columns;
    private final int[] keyColumns;
    private final TimestampFormat format;

    // The row being edited (1-based), -1 when none; whether it is a new row; its changed values by column.
    private int editingRow = -1;
    private boolean adding;
    private final Map<Integer, String> changes = new LinkedHashMap<>();
    // The row read back after the last write, packed for the native side; null when none is waiting.
    private String writtenRow;

    RowEditor(VornResultset result, Session session, String table, ResultColumn[] columns, int[] keyColumns,
              TimestampFormat format) {
        this.result = result;
        this.session = session;
        this.table = table;
        this.columns = columns;
        this.keyColumns = keyColumns;
        this.format = format;
    }

    int[] keyColumns() {
        return keyColumns;
    }

    synchronized boolean editing() {
        return editingRow > 0;
    }

    synchronized boolean adding() {
        return editingRow > 0 && adding;
    }

    synchronized boolean dirty() {
        return editingRow > 0 && (adding || !changes.isEmpty());
    }

    synchronized int editingRow() {
        return editingRow;
    }

    /** Starts editing the row unless another row is being edited; large objects have their own operations. */
    synchronized boolean start(String column, int row) {
        int index = result.columnIndex(column);
        if (index < 0 || columns[index].kind == ValueKind.BINARY)
            return false;
        return start(row);
    }

    synchronized boolean start(int row) {
        if (editingRow > 0)
            return editingRow == row;
        if (row < 1 || result.key(row) == null)
            return false;
        editingRow = row;
        adding = false;
        changes.clear();
        return true;
    }

    /** Keeps the value (null for SQL NULL) for the row being edited; other rows are left alone. */
    synchronized void set(String column, int row, String value) {
        int index = result.columnIndex(column);
        if (row != editingRow || index < 0 || columns[index].kind == ValueKind.BINARY)
            return;
        changes.put(index, value);
    }

    /** An empty new row before the row (1-based), edited from now on. */
    synchronized void add(int row) throws BackendException {
        if (editingRow > 0)
            throw new BackendException("Finish editing the current record first.");
        int at = Math.max(1, Math.min(row, result.keyCount() + 1));
        result.insertRow(at);
        editingRow = at;
        adding = true;
        changes.clear();
    }

    /** Ends the edit, dropping its values; a new row goes again. Whether a row was being edited. */
    synchronized boolean cancel() {
        if (editingRow < 0)
            return false;
        if (adding)
            result.removeKey(editingRow);
        editingRow = -1;
        adding = false;
        changes.clear();
        return true;
    }

    /** Writes the row being edited; the edit stays open when the database refuses it. */
    synchronized void end(int row) throws SQLException, BackendException {
        if (editingRow < 0 || row != editingRow)
            throw new BackendException("The record " + row + " is not being edited.");
        if (!adding && changes.isEmpty()) {
            cancel();
            return;
        }
        String[] key = adding ? insert() : update(result.key(row));
        writtenRow = readBack(key, row);
        editingRow = -1;
        adding = false;
        changes.clear();
    }

    /** The row last written, packed as the rows are, once; empty when none waits. */
    synchronized String takeWrittenRow() {
        String taken = writtenRow;
        writtenRow = null;
        return taken == null ? "" : taken;
    }

    /** Deletes the row in the database; a row that is no longer there fails. */
    synchronized void remove(int row) throws SQLException, BackendException {
        if (editingRow > 0)
            throw new BackendException("Finish editing the current record first.");
        String[] key = requireKey(row);
        writeLocked(() -> {
            try (PreparedStatement statement = session.connection.prepareStatement("DELETE FROM " + table
                                                                                   + whereKey())) {
                bindKey(statement, 1, key);
                if (statement.executeUpdate() != 1)
                    throw new BackendException("The record no longer exists in the table.");
            }
            return null;
        });
        result.removeKey(row);
    }

    /** Loads the file into the binary column of the row, or clears it (path null). */
    synchronized void writeBinary(String column, int row, String path) throws SQLException, BackendException {
        int index = binaryColumn(column);
        String[] key = requireKey(row);
        writeLocked(() -> {
            try (PreparedStatement statement = session.connection.prepareStatement(
                     "UPDATE " + table + " SET " + quoted(index) + " = ?" + whereKey())) {
                if (path == null)
                    statement.setNull(1, java.sql.Types.BINARY);
                else
                    statement.setBytes(1, readFile(path));
                bindKey(statement, 2, key);
                if (statement.executeUpdate() != 1)
                    throw new BackendException("The record no longer exists in the table.");
            }
            return null;
        });
        writtenRow = readBack(key, row);
    }

    /** Writes the binary value of the row's column into the file; an empty value writes an empty file. */
    synchronized void readBinary(String column, int row, String path) throws SQLException, BackendException {
        int index = binaryColumn(column);
        String[] key = requireKey(row);
        session.lock();
        try {
            try (PreparedStatement statement = session.connection.prepareStatement(
                     "SELECT " + quoted(index) + " FROM " + table + whereKey())) {
                bindKey(statement, 1, key);
                try (ResultSet rows = statement.executeQuery()) {
                    if (!rows.next())
                        throw new BackendException("The record no longer exists in the table.");
                    try (InputStream in = rows.getBinaryStream(1)) {
                        Path target = Path.of(path);
                        if (in == null)
                            Files.write(target, new byte[0]);
                        else
                            Files.copy(in, target, StandardCopyOption.REPLACE_EXISTING);
                    }
                }
            }
        } catch (IOException e) {
            throw new BackendException("The file '" + path + "' could not be written: " + e.getMessage());
        } finally {
            session.unlock();
        }
    }

    private int binaryColumn(String column) throws BackendException {
        int index = result.columnIndex(column);
        if (index < 0 || columns[index].kind != ValueKind.BINARY)
            throw new BackendException("'" + column + "' is not a binary column.");
        return index;
    }

    private String[] requireKey(int row) throws BackendException {
        String[] key = result.key(row);
        if (key == null)
            throw new BackendException("The record " + row + " has not been saved in the table.");
        return key;
    }

    private static byte[] readFile(String path) throws BackendException {
        try {
            return Files.readAllBytes(Path.of(path));
        } catch (IOException | RuntimeException e) {
            throw new BackendException("The file '" + path + "' could not be read: " + e.getMessage());
        }
    }

    private String[] update(String[] key) throws SQLException, BackendException {
        StringBuilder sql = new StringBuilder("UPDATE ").append(table).append(" SET ");
        boolean first = true;
        for (int index : changes.keySet()) {
            sql.append(first ? "" : ", ").append(quoted(index)).append(" = ?");
            first = false;
        }
        sql.append(whereKey());
        return writeLocked(() -> {
            try (PreparedStatement statement = session.connection.prepareStatement(sql.toString())) {
                int parameter = bindChanges(statement);
                bindKey(statement, parameter, key);
                if (statement.executeUpdate() != 1)
                    throw new BackendException("The record no longer exists in the table.");
            }
            String[] next = key.clone();
            for (int k = 0; k < keyColumns.length; k++) {
                if (changes.containsKey(keyColumns[k]))
                    next[k] = changes.get(keyColumns[k]);
            }
            return next;
        });
    }

    private String[] insert() throws SQLException, BackendException {
        StringBuilder sql = new StringBuilder("INSERT INTO ").append(table);
        if (changes.isEmpty()) {
            sql.append(session.dialect.typeName().equals("MySQL") ? " () VALUES ()" : " DEFAULT VALUES");
        } else {
            StringBuilder names = new StringBuilder();
            StringBuilder marks = new StringBuilder();
            for (int index : changes.keySet()) {
                names.append(names.length() == 0 ? "" : ", ").append(quoted(index));
                marks.append(marks.length() == 0 ? "?" : ", ?");
            }
            sql.append(" (").append(names).append(") VALUES (").append(marks).append(")");
        }
        return writeLocked(() -> {
            String[] key = new String[keyColumns.length];
            boolean complete = true;
            for (int k = 0; k < keyColumns.length; k++) {
                key[k] = changes.get(keyColumns[k]);
                complete &= key[k] != null;
            }
            boolean generated = !complete && keyColumns.length == 1;
            try (PreparedStatement statement = generated ? prepareReturningKey(sql.toString())
                                                         : session.connection.prepareStatement(sql.toString())) {
                bindChanges(statement);
                statement.executeUpdate();
                if (generated) {
                    try (ResultSet keys = statement.getGeneratedKeys()) {
                        if (keys.next())
                            key[0] = keys.getString(1);
                    }
                }
            }
            for (String part : key) {
                if (part == null)
                    return null; // written, but not found again: shown as typed and not editable
            }
            return key;
        });
    }

    private PreparedStatement prepareReturningKey(String sql) throws SQLException {
        if (session.dialect.typeName().equals("PostgreSQL"))
            return session.connection.prepareStatement(sql, new String[] {columns[keyColumns[0]].label});
        return session.connection.prepareStatement(sql, Statement.RETURN_GENERATED_KEYS);
    }

    /** The written row as the database now holds it, or as typed when it cannot be found by its key. */
    private String readBack(String[] key, int row) throws SQLException, BackendException {
        EncodedRows packed = new EncodedRows(1, columns.length);
        packed.beginRow();
        boolean found = false;
        if (key != null) {
            session.lock();
            try (PreparedStatement statement = session.connection.prepareStatement("SELECT * FROM " + table
                                                                                   + whereKey())) {
                bindKey(statement, 1, key);
                try (ResultSet rows = statement.executeQuery()) {
                    if (rows.next() && rows.getMetaData().getColumnCount() == columns.length) {
                        for (int i = 0; i < columns.length; i++)
                            packed.appendCell(session.dialect.readValue(rows, i + 1, columns[i], format));
                        found = true;
                    }
                }
            } finally {
                session.unlock();
            }
        }
        if (!found) {
            packed = new EncodedRows(1, columns.length);
            packed.beginRow();
            for (int i = 0; i < columns.length; i++)
                packed.appendCell(changes.get(i));
        }
        String[] shownKey = found ? new String[keyColumns.length] : key;
        if (found) {
            java.util.Hashtable<String, Object> cells = packed.row(0, columns);
            for (int k = 0; k < keyColumns.length; k++) {
                Object cell = cells.get(columns[keyColumns[k]].name);
                shownKey[k] = cell == null ? null : cell.toString();
            }
        }
        result.setKey(row, shownKey);
        return packed.text(0, 1);
    }

    private interface Write<T> {
        T run() throws SQLException, BackendException;
    }

    /**
     * Runs a write under the session's lock. A cursor still open in a transaction of its own is read to its
     * end first, as a commit would, so that the write does not join (and end with) the cursor's transaction.
     * A value the column cannot take is "INVALID_INPUT".
     */
    private <T> T writeLocked(Write<T> write) throws SQLException, BackendException {
        session.lock();
        try {
            VornResultset open = session.openResult;
            if (open != null)
                open.finish();
            T written = write.run();
            if (!session.autoCommit)
                session.markDirty();
            return written;
        } catch (SQLException e) {
            if (isDataException(e))
                throw new BackendException(EditedValue.INVALID_INPUT);
            throw e;
        } finally {
            session.unlock();
        }
    }

    private static boolean isDataException(SQLException error) {
        String state = error.getSQLState();
        return state != null && state.startsWith("22");
    }

    private int bindChanges(PreparedStatement statement) throws SQLException, BackendException {
        int parameter = 1;
        for (Map.Entry<Integer, String> change : changes.entrySet())
            EditedValue.bind(statement, parameter++, columns[change.getKey()], change.getValue(), format.input());
        return parameter;
    }

    private void bindKey(PreparedStatement statement, int first, String[] key)
        throws SQLException, BackendException {
        for (int k = 0; k < keyColumns.length; k++)
            EditedValue.bind(statement, first + k, columns[keyColumns[k]], key[k], format.input());
    }

    private String whereKey() {
        List<String> parts = new ArrayList<>();
        for (int index : keyColumns)
            parts.add(quoted(index) + " = ?");
        return " WHERE " + String.join(" AND ", parts);
    }

    private String quoted(int index) {
        return session.dialect.quoteIdentifier(columns[index].label, session.metaData.reservedWordSet());
    }
}
