package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;

/**
 * Streams the rows of one query for an export, a batch at a time, never holding more than one batch. The
 * rows cross packed as EncodedRows writes them (the grid's path): display values for text outputs, or, for
 * SQL output, each cell's SQL literal. The cursor works on the root's session under its lock, one batch at a
 * time, so other work on the connection can go between batches. The batches flow through two threads of the
 * cursor's own: one reads from the driver, one shows (dates in the user's pattern) and packs; so while the
 * caller writes one batch, the next is packed and the one after it read. Never more than AHEAD batches
 * wait. The first failure is kept: an export that lost rows on the way must end as failed even when later
 * calls succeed.
 */
public class VornExportCursor {
    /** A batch ends after this many rows or characters, whichever comes first. */
    static final int BATCH_ROWS = 4000;
    static final int BATCH_CHARACTERS = 1 << 20;
    /** Batches read or packed ahead of the caller. */
    static final int AHEAD = 2;

    private final VornRoot root;
    private final Session session;
    private final String query;
    private final List<Object> parameters;
    private final String unreadableReason;
    private final TimestampFormat format;
    private ResultColumn[] columns;
    private volatile String failure;

    // Touched only under the session lock.
    private Statement statement;
    private ResultSet cursor;
    private boolean ownTransaction;
    /**
     * The batches read and packed ahead, in order (a cursor hands out one kind of cells, display values or
     * literals); empty when none is on its way. Touched by the caller only.
     */
    private final ArrayDeque<Future<String>> ahead = new ArrayDeque<>();
    private ExecutorService reader;
    private ExecutorService packer;
    /** Packs batches on the packing thread; its room is kept from one batch to the next. */
    private EncodedRows packed;

    /** A cursor over a query; unreadableReason, when not null, fails begin with it instead. */
    VornExportCursor(VornRoot root, Session session, String query, List<Object> parameters,
                     ResultColumn[] knownColumns, String unreadableReason) {
        this.root = root;
        this.session = session;
        this.query = query;
        this.parameters = parameters == null ? new ArrayList<>() : new ArrayList<>(parameters);
        this.columns = knownColumns;
        this.unreadableReason = unreadableReason;
        this.format = root.settings().format;
    }

    /** Runs the query; its columns are known from then on. */
    public void begin() {
        act(() -> {
            if (unreadableReason != null)
                throw new BackendException(unreadableReason);
            if (session == null)
                throw new BackendException("Not connected to a database.");
            session.lock();
            try {
                root.startAction(session);
                open();
            } finally {
                session.unlock();
            }
        });
    }

    private void open() throws SQLException {
        Connection connection = session.connection;
        // pgjdbc streams rows only inside a transaction.
        ownTransaction = session.dialect.cursorNeedsTransaction() && connection.getAutoCommit();
        try {
            if (ownTransaction)
                connection.setAutoCommit(false);
            if (parameters.isEmpty()) {
                statement = connection.createStatement(ResultSet.TYPE_FORWARD_ONLY, ResultSet.CONCUR_READ_ONLY);
            } else {
                PreparedStatement prepared =
                    connection.prepareStatement(query, ResultSet.TYPE_FORWARD_ONLY, ResultSet.CONCUR_READ_ONLY);
                for (int i = 0; i < parameters.size(); i++) {
                    Object value = parameters.get(i);
                    if (value == null)
                        prepared.setNull(i + 1, Types.VARCHAR);
                    else
                        prepared.setObject(i + 1, value);
                }
                statement = prepared;
            }
            statement.setFetchSize(BATCH_ROWS);
            try {
                session.startStatement(statement);
                cursor = statement instanceof PreparedStatement ? ((PreparedStatement) statement).executeQuery()
                                                                : statement.executeQuery(query);
            } finally {
                session.endStatement();
            }
            columns = ResultColumn.describe(cursor.getMetaData(), session.dialect);
        } catch (SQLException | RuntimeException | Error e) {
            closeQuietly();
            throw e;
        }
    }

    /** The next rows as display values, packed; empty when there are no more (or after a failure). */
    public String next() {
        return nextBatch(false);
    }

    /** The next rows with each cell as the SQL literal that writes its value (NULL stays NULL), packed. */
    public String nextSqlValues() {
        return nextBatch(true);
    }

    private String nextBatch(boolean literals) {
        if (failure != null)
            return "";
        if (reader == null) {
            reader = Executors.newSingleThreadExecutor(Session.daemonThreads("Vorn export reader"));
            packer = Executors.newSingleThreadExecutor(Session.daemonThreads("Vorn export packer"));
        }
        while (ahead.size() < AHEAD) {
            // Each thread takes its batches in order: the packing of a batch waits for its read alone.
            Future<Fetched> read = reader.submit(() -> readBatch(literals));
            ahead.add(packer.submit(() -> packed(await(read, Fetched.NONE))));
        }
        String text = await(ahead.poll(), "");
        return failure != null ? "" : text;
    }

    /** The batch's result; the fallback when it failed (the failure is kept). */
    private <T> T await(Future<T> batch, T fallback) {
        try {
            return batch.get();
        } catch (ExecutionException e) {
            if (failure == null)
                failure = Errors.message(e.getCause());
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            if (failure == null)
                failure = "The export was interrupted.";
        }
        return fallback;
    }

    /**
     * The cells of a batch read from the cursor, row by row: SQL literals, or raw values (Dialect.readRawValue)
     * that the caller shows (dates in the user's pattern) as it packs them. The reader's thread then only
     * waits for the driver and reads values, and showing and packing overlap the next read.
     */
    private static final class Fetched {
        static final Fetched NONE = new Fetched(new Object[0], 0, true);

        final Object[] cells;
        final int rows;
        final boolean literals;

        Fetched(Object[] cells, int rows, boolean literals) {
            this.cells = cells;
            this.rows = rows;
            this.literals = literals;
        }
    }

    /** The batch packed as EncodedRows writes rows; empty for none. */
    private String packed(Fetched fetched) {
        if (fetched.rows == 0)
            return "";
        if (packed == null)
            packed = new EncodedRows(BATCH_ROWS, columns.length);
        packed.clear();
        for (int row = 0, cell = 0; row < fetched.rows; row++) {
            packed.beginRow();
            for (int i = 0; i < columns.length; i++) {
                Object value = fetched.cells[cell++];
                packed.appendCell(fetched.literals ? value : ValueReader.display(value, columns[i].kind, format));
            }
        }
        return packed.text(0, packed.rowCount());
    }

    private Fetched readBatch(boolean literals) {
        Fetched[] fetched = {Fetched.NONE};
        act(() -> {
            if (cursor == null)
                return;
            session.lock();
            try {
                root.startAction(session);
                Object[] cells = new Object[BATCH_ROWS * columns.length];
                int rows = 0;
                long characters = 0;
                try {
                    session.startStatement(statement);
                    for (int cell = 0; rows < BATCH_ROWS && characters < BATCH_CHARACTERS && cursor.next(); rows++) {
                        for (int i = 0; i < columns.length; i++) {
                            Object value = literals ? literal(i)
                                                    : session.dialect.readRawValue(cursor, i + 1, columns[i], format);
                            cells[cell++] = value;
                            characters += characters(value) + 2;
                        }
                    }
                } finally {
                    session.endStatement();
                }
                fetched[0] = new Fetched(cells, rows, literals);
            } finally {
                session.unlock();
            }
        });
        return failure != null ? Fetched.NONE : fetched[0];
    }

    /** About the characters a cell takes packed, to end a batch of long values early. */
    private static int characters(Object value) {
        if (value instanceof String)
            return ((String) value).length();
        if (value instanceof CharacterWrapper) {
            String content = ((CharacterWrapper) value).stringValue();
            return content == null ? 0 : content.length();
        }
        return 0;
    }

    private String literal(int index) throws SQLException {
        ResultColumn column = columns[index];
        if (column.kind == ValueKind.BINARY) {
            byte[] bytes = cursor.getBytes(index + 1);
            return bytes == null ? null : SqlExportLiterals.binary(session.dialect, bytes);
        }
        // MySQL's booleans are small integers that may hold any number: their text is the value.
        boolean mySQL = session.dialect instanceof MySQLDialect;
        if (column.kind == ValueKind.BOOLEAN && !mySQL) {
            boolean flag = cursor.getBoolean(index + 1);
            return cursor.wasNull() ? null : SqlExportLiterals.bool(session.dialect, flag);
        }
        String text = cursor.getString(index + 1);
        if (text == null)
            return null;
        boolean number = column.kind.code.equals("N") || column.kind == ValueKind.BOOLEAN;
        return SqlExportLiterals.value(session.dialect, text, number);
    }

    /** Ends the query; a transaction opened for it ends too. Harmless when called again. */
    public void close() {
        if (session == null)
            return;
        // The batches on their way end first: the cursor closes only once nothing reads from it.
        while (!ahead.isEmpty())
            await(ahead.poll(), "");
        if (reader != null) {
            reader.shutdown();
            packer.shutdown();
            reader = null;
            packer = null;
        }
        act(() -> {
            session.lock();
            try {
                closeQuietly();
            } finally {
                session.unlock();
            }
        });
    }

    private void closeQuietly() {
        Session.closeQuietly(cursor);
        Session.closeQuietly(statement);
        cursor = null;
        statement = null;
        if (ownTransaction) {
            ownTransaction = false;
            try {
                session.endCursorTransaction(false);
            } catch (SQLException e) {
                // A rollback of a read that changed nothing; the next action finds a broken connection.
            }
        }
    }

    /** The first failure of any call on this cursor; null while all went well. */
    public String failure() {
        return failure;
    }

    /** The column names in order; empty before begin for a query, known at once for a result set. */
    public Vector<String> columnNames() {
        Vector<String> names = new Vector<>();
        if (columns != null) {
            for (ResultColumn column : columns)
                names.add(column.name);
        }
        return names;
    }

    /** Column name to its type code ("S", "N", "D", "B", "C" or "O", see ValueKind). */
    public Hashtable<String, Object> columnTypes() {
        Hashtable<String, Object> types = new Hashtable<>();
        if (columns != null) {
            for (ResultColumn column : columns)
                types.put(column.name, column.kind.code);
        }
        return types;
    }

    /** One description per column, in order (name, label, typeName, type, precision, scale). */
    public Vector<Hashtable<String, Object>> getColumnInfo() {
        Vector<Hashtable<String, Object>> info = new Vector<>();
        if (columns != null) {
            for (ResultColumn column : columns)
                info.add(column.description());
        }
        return info;
    }

    /** A table name as the statements of an SQL export write it. */
    public String safeTableIdentifierForSqlExport(String name) {
        return identifier(name);
    }

    /** A column name as the statements of an SQL export write it. */
    public String safeColumnIdentifierForSqlExport(String name) {
        return identifier(name);
    }

    private String identifier(String name) {
        if (name == null || session == null)
            return name;
        return session.dialect.quoteIdentifier(name, session.metaData.reservedWordSet());
    }

    /** Runs one call; a failure is the root's outcome on this thread and, when it is the first, kept. */
    private void act(VornRoot.Action action) {
        root.perform(session, action);
        if (failure == null && !root.lastActionSuccessful()) {
            failure = root.lastErrorMessage();
            if (failure == null)
                failure = "The export failed.";
        }
    }
}
