package nl.dalmerik.vorn;

import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/**
 * The rows of one statement's result. Rows are fetched in portions as the native side preloads, never past
 * the root's row limit, and kept here converted to their display shape; getRow answers from what is
 * fetched without touching the database. The cursor is used only under the session's lock; the row store
 * has its own short lock, so reading rows never waits for a fetch.
 */
public class VornResultset {
    static final int FIRST_PORTION = 100;
    static final int LARGEST_PORTION = 10000;

    private final VornRoot root;
    private final Session session;
    private final String selectStatement;
    private final List<Object> parameters;
    private final String statementType;
    private final ResultColumn[] columns;
    private final TimestampFormat format;
    private final int rowLimit;
    private final ArrayList<Object[]> rows = new ArrayList<>();
    private volatile int rowCount;
    private volatile boolean fullyLoaded;

    // Touched only under the session lock.
    private Statement statement;
    private ResultSet cursor;
    private boolean holdsTransaction;
    private boolean readToEnd;

    VornResultset(VornRoot root, Session session, Statement statement, String selectStatement,
                  List<Object> parameters, boolean holdsTransaction) throws SQLException {
        this.root = root;
        this.session = session;
        this.statement = statement;
        this.cursor = statement.getResultSet();
        this.selectStatement = selectStatement;
        this.parameters = parameters;
        this.statementType = StatementText.type(selectStatement);
        this.holdsTransaction = holdsTransaction;
        this.format = root.settings().format;
        this.rowLimit = root.settings().rowLimit;
        this.columns = ResultColumn.describe(cursor.getMetaData(), session.dialect);
        session.openResult = this;
    }

    public int rowCount() {
        return rowCount;
    }

    public boolean fullyLoaded() {
        return fullyLoaded;
    }

    /** Fetches the next portion of rows; portions grow with the rows already read. */
    public void preload() {
        root.perform(session, () -> {
            if (fullyLoaded)
                return;
            session.lock();
            try {
                root.startAction(session);
                fetch(Math.max(FIRST_PORTION, Math.min(rowCount, LARGEST_PORTION)));
            } catch (SQLException | RuntimeException | Error e) {
                close(false);
                throw e;
            } finally {
                session.unlock();
            }
        });
    }

    /** Reads up to portion rows (fewer at the row limit); the cursor closes when nothing more can come. */
    void fetch(int portion) throws SQLException {
        if (cursor == null)
            return;
        int wanted = rowLimit > 0 ? Math.min(portion, rowLimit - rowCount) : portion;
        List<Object[]> batch = new ArrayList<>(Math.max(0, Math.min(wanted, LARGEST_PORTION)));
        boolean exhausted = false;
        session.startStatement(statement);
        try {
            setFetchSize(wanted);
            while (batch.size() < wanted) {
                if (!cursor.next()) {
                    exhausted = true;
                    break;
                }
                batch.add(readRow());
            }
            if (!exhausted && closingEarlyStopsTheStatement())
                exhausted = lastRowRead();
        } finally {
            session.endStatement();
        }
        synchronized (rows) {
            rows.addAll(batch);
            rowCount = rows.size();
        }
        readToEnd = exhausted;
        if (exhausted || (rowLimit > 0 && rowCount >= rowLimit))
            closeCursor(true);
    }

    private void setFetchSize(int wanted) {
        try {
            cursor.setFetchSize(Math.max(1, Math.min(wanted, LARGEST_PORTION)));
        } catch (SQLException e) {
            // Drivers that cannot change it mid-way keep the statement's fetch size.
        }
    }

    /**
     * Whether the row just read was the last. A driver learns that a result ended only by reading past its
     * last row, so a result that ends exactly with a portion would look unfinished and be stopped needlessly
     * when closed. One packet more settles it: the end, or a row the driver keeps for the next portion.
     */
    private boolean lastRowRead() throws SQLException {
        setFetchSize(1);
        return cursor.isLast();
    }

    /** Without a row limit the rows still on the way may be unbounded: closing early stops the statement. */
    private boolean closingEarlyStopsTheStatement() {
        return rowLimit == 0 && session.dialect.cancelBeforeClosingCursor();
    }

    private Object[] readRow() throws SQLException {
        Object[] values = new Object[columns.length];
        for (int i = 0; i < columns.length; i++)
            values[i] = session.dialect.readValue(cursor, i + 1, columns[i], format);
        return values;
    }

    /** Reads every remaining row up to the row limit, so the result survives the end of its transaction. */
    void finish() throws SQLException {
        while (cursor != null)
            fetch(LARGEST_PORTION);
    }

    /**
     * Closes the cursor (under the session lock). A transaction held only for the cursor ends with it:
     * committed after a complete read, so statements with side effects keep them, rolled back after a failure.
     */
    void close(boolean complete) {
        try {
            closeCursor(complete);
        } catch (SQLException e) {
            // Only the read-to-the-end close of fetch commits a transaction that may hold changes.
        }
    }

    /** As close; a transaction held for the cursor that fails to commit is thrown. */
    private void closeCursor(boolean complete) throws SQLException {
        fullyLoaded = true;
        if (cursor != null && !readToEnd && closingEarlyStopsTheStatement()) {
            try {
                statement.cancel();
            } catch (SQLException e) {
                // Then the close reads the rest.
            }
        }
        Session.closeQuietly(cursor);
        Session.closeQuietly(statement);
        cursor = null;
        statement = null;
        if (session.openResult == this)
            session.openResult = null;
        if (holdsTransaction) {
            holdsTransaction = false;
            session.endCursorTransaction(complete);
        }
    }

    /** Closes the cursor as soon as the connection is free; callable from any thread. */
    void discard() {
        session.runWhenIdle(() -> close(true));
    }

    Session session() {
        return session;
    }

    /** Rows of statements that change nothing can be fetched again by re-running the statement. */
    boolean refreshable() {
        return StatementText.isReadOnly(statementType, selectStatement);
    }

    List<Object> parameters() {
        return parameters;
    }

    /** The row (1-based) keyed by unique column name; SQL NULL is an absent key. Null when not fetched. */
    public Hashtable<String, Object> getRow(int row) {
        Object[] values;
        synchronized (rows) {
            if (row < 1 || row > rows.size())
                return null;
            values = rows.get(row - 1);
        }
        Hashtable<String, Object> table = new Hashtable<>(columns.length * 2);
        for (int i = 0; i < columns.length; i++) {
            if (values[i] != null)
                table.put(columns[i].name, values[i]);
        }
        return table;
    }

    public Vector<String> columnNames() {
        Vector<String> names = new Vector<>(columns.length);
        for (ResultColumn column : columns)
            names.add(column.name);
        return names;
    }

    public Vector<String> columnLabels() {
        Vector<String> labels = new Vector<>(columns.length);
        for (ResultColumn column : columns)
            labels.add(column.label);
        return labels;
    }

    /** The table a result comes from; a statement's result has none. */
    public String tableName() {
        return null;
    }

    /** Identifies results of the same shape (the grid remembers column widths by it). */
    public String resultSetDescription() {
        return "SQL statement result (" + String.join(", ", columnNames()) + ")";
    }

    public String selectStatement() {
        return selectStatement;
    }

    public boolean readOnly() {
        return true;
    }

    /** A code the native side turns into its own text; a statement's result is never editable. */
    public String readOnlyReason() {
        return "NOSTATE";
    }

    public Vector<String> searchableColumnNames() {
        Vector<String> names = new Vector<>();
        for (ResultColumn column : columns) {
            if (column.kind.searchable())
                names.add(column.name);
        }
        return names;
    }

    /** "S", "N", "D", "B", "C" or "O" (see ValueKind); null for a name the result does not have. */
    public String primaryColumnTypeForColumn(String name) {
        for (ResultColumn column : columns) {
            if (column.name.equals(name))
                return column.kind.code;
        }
        return null;
    }

    public VornResultsetMetaData resultsetMetaData() {
        return new VornResultsetMetaData(columns);
    }

    public VornRoot root() {
        return root;
    }
}
