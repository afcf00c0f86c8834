package nl.dalmerik.vorn;

import java.sql.DatabaseMetaData;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;

/**
 * The rows of one statement's result. Rows are fetched in portions as the native side preloads, never past
 * the root's row limit, and packed in their display shape until the native side takes them with takeRows:
 * from then on it keeps them, and nothing here holds them any more. The cursor is used only under the
 * session's lock; the rows not yet taken have their own short lock, so taking rows never waits for a fetch.
 * Once the native side preloads, the next portion is read ahead on a thread of its own while the native
 * side takes and shows the last one: rows read ahead (or the failure of that read) wait unseen until the
 * next preload hands them over, so the rows the native side counts change only when it preloads.
 */
public class VornResultset {
    static final int FIRST_PORTION = 100;
    /** Portions grow to this many cells (and at least 1,000 rows), which bounds the memory one takes. */
    static final int LARGEST_PORTION_CELLS = 100000;
    /** Characters of rows handed over in one piece: small enough to pass through ordinary memory. */
    static final int SLICE_CHARACTERS = 60000;
    private static final ExecutorService READ_AHEAD = Executors.newCachedThreadPool(Session.daemonThreads("Vorn result reader"));

    private final VornRoot root;
    private final Session session;
    private final String selectStatement;
    private final List<Object> parameters;
    private final String statementType;
    private final ResultColumn[] columns;
    private final TimestampFormat format;
    private final int rowLimit;
    private final int largestPortion;
    private final Object pendingLock = new Object();
    // Under pendingLock: the rows fetched, of which the first pendingTaken have been taken already, and how
    // many were taken in all.
    private EncodedRows pending;
    private int pendingTaken;
    private int takenRows;
    // A portion's buffer once its rows have crossed, for the next portion: portions are large, and a
    // fresh buffer each time is memory the VM must clear and often collect.
    private EncodedRows spare;
    private volatile int rowCount;
    // The cursor is closed: no more rows come from the database (some may still wait read ahead).
    private volatile boolean cursorClosed;
    private volatile boolean stoppedAtRowLimit;
    // The rows of a table with a primary key are edited by it; null for every other result.
    private volatile RowEditor editor;
    private volatile String tableName;
    private volatile String readOnlyReason = "NOSTATE";
    // Under pendingLock, while editable: the key of each row taken, as shown; null for a row not saved.
    private final ArrayList<String[]> keys = new ArrayList<>();

    // Touched only under the session lock.
    private Statement statement;
    private ResultSet cursor;
    private boolean holdsTransaction;
    private boolean readToEnd;
    // The portion read ahead, or the failure of that read, until the next preload hands it over.
    private EncodedRows aheadRows;
    private Throwable aheadFailure;
    // Read without the session lock: whether rows or a failure wait read ahead, and whether a read ahead
    // is on its way.
    private volatile boolean aheadWaiting;
    private volatile boolean aheadScheduled;

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
        this.largestPortion = Math.max(1000, LARGEST_PORTION_CELLS / Math.max(1, columns.length));
        this.pending = new EncodedRows(0, columns.length);
        session.openResult = this;
    }

    public int rowCount() {
        return rowCount;
    }

    /** No more rows will come: the cursor is closed and nothing waits read ahead. */
    public boolean fullyLoaded() {
        return cursorClosed && !aheadWaiting;
    }

    /** The row limit ended the result while the database had more rows (known once it is fully loaded). */
    public boolean stoppedAtRowLimit() {
        return stoppedAtRowLimit && fullyLoaded();
    }

    /**
     * Fetches the next portion of rows (or hands over the one read ahead), then reads the one after it
     * ahead; portions grow with the rows already read.
     */
    public void preload() {
        root.perform(session, () -> {
            if (fullyLoaded())
                return;
            session.lock();
            try {
                root.startAction(session);
                if (!takeAhead())
                    fetch(portionSize());
            } catch (SQLException | RuntimeException | Error e) {
                close(false);
                throw e;
            } finally {
                session.unlock();
            }
            readAhead();
        });
    }

    /** Under the session lock. */
    private int portionSize() {
        return Math.max(FIRST_PORTION, Math.min(rowCount + aheadRowCount(), largestPortion));
    }

    private int aheadRowCount() {
        return aheadRows == null ? 0 : aheadRows.rowCount();
    }

    /** Reads the next portion on a thread of its own, unless one is on its way or the cursor is closed. */
    private void readAhead() {
        if (cursorClosed || aheadScheduled)
            return;
        aheadScheduled = true;
        READ_AHEAD.execute(() -> {
            try {
                session.lock();
            } catch (SQLException e) {
                aheadScheduled = false;
                return; // the session has ended, and the result with it
            }
            try {
                if (aheadRows == null && aheadFailure == null)
                    readAheadUnderLock();
            } finally {
                aheadScheduled = false;
                session.unlock();
            }
        });
    }

    private void readAheadUnderLock() {
        try {
            EncodedRows batch = read(portionSize());
            if (batch == null)
                return;
            aheadRows = batch;
            aheadWaiting = true;
            closeIfReadToEnd();
        } catch (SQLException | RuntimeException | Error e) {
            // Kept for the next preload, which reports it: rows lost on the way must not pass unseen.
            aheadFailure = e;
            aheadWaiting = true;
            close(false);
        }
    }

    /**
     * Hands the rows read ahead over to those waiting to be taken (under the session lock); false when none
     * were read ahead. A failure of the read ahead is thrown instead.
     */
    private boolean takeAhead() throws SQLException {
        EncodedRows rows = aheadRows;
        Throwable failure = aheadFailure;
        aheadRows = null;
        aheadFailure = null;
        aheadWaiting = false;
        if (failure instanceof SQLException)
            throw (SQLException) failure;
        if (failure instanceof RuntimeException)
            throw (RuntimeException) failure;
        if (failure instanceof Error)
            throw (Error) failure;
        if (rows == null)
            return false;
        deliver(rows);
        return true;
    }

    /** Reads up to portion rows (fewer at the row limit); the cursor closes when nothing more can come. */
    void fetch(int portion) throws SQLException {
        EncodedRows batch = read(portion);
        if (batch == null)
            return;
        deliver(batch);
        closeIfReadToEnd();
    }

    /** Up to portion rows from the cursor; null when it is closed. Under the session lock. */
    private EncodedRows read(int portion) throws SQLException {
        if (cursor == null)
            return null;
        int wanted = rowLimit > 0 ? Math.min(portion, rowLimit - rowCount - aheadRowCount()) : portion;
        EncodedRows batch = spareOrNew(wanted);
        boolean exhausted = false;
        boolean atLimit = false;
        session.startStatement(statement, "LOADING_RESULTSET");
        try {
            setFetchSize(wanted);
            while (batch.rowCount() < wanted) {
                if (!cursor.next()) {
                    exhausted = true;
                    break;
                }
                readRow(batch);
            }
            atLimit = !exhausted && rowLimit > 0 && rowCount + aheadRowCount() + batch.rowCount() >= rowLimit;
            // The statement asks for one row beyond the limit: it tells whether the limit cut the result.
            if (atLimit)
                stoppedAtRowLimit = cursor.next();
            else if (!exhausted && closingEarlyStopsTheStatement())
                exhausted = lastRowRead();
        } finally {
            session.endStatement();
        }
        readToEnd = exhausted || atLimit;
        return batch;
    }

    /** The rows join those waiting to be taken. */
    private void deliver(EncodedRows batch) {
        synchronized (pendingLock) {
            if (pending.rowCount() == 0)
                pending = batch;
            else
                pending.append(batch);
            rowCount = takenRows + pending.rowCount() - pendingTaken;
        }
    }

    /** Closes the cursor once its last row (or the row limit) has been read. */
    private void closeIfReadToEnd() throws SQLException {
        if (readToEnd)
            closeCursor(true);
    }

    private void setFetchSize(int wanted) {
        try {
            cursor.setFetchSize(Math.max(1, Math.min(wanted, largestPortion)));
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

    private EncodedRows spareOrNew(int expectedRows) {
        synchronized (pendingLock) {
            EncodedRows reused = spare;
            spare = null;
            return reused != null ? reused : new EncodedRows(expectedRows, columns.length);
        }
    }

    private void readRow(EncodedRows batch) throws SQLException {
        batch.beginRow();
        for (int i = 0; i < columns.length; i++)
            batch.appendCell(session.dialect.readValue(cursor, i + 1, columns[i], format));
    }

    /** Reads every remaining row up to the row limit, so the result survives the end of its transaction. */
    void finish() throws SQLException {
        takeAhead();
        while (cursor != null)
            fetch(largestPortion);
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
        cursorClosed = true;
        synchronized (pendingLock) {
            spare = null;
        }
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

    /**
     * Hands the next of the rows fetched and not yet taken to the native side, which keeps them from then on:
     * as many rows as fit SLICE_CHARACTERS (at least one), in the order fetched, one cell per column, packed
     * as EncodedRows writes them; empty when none are waiting. The native side takes until it gets nothing.
     */
    public String takeRows() {
        synchronized (pendingLock) {
            if (pendingTaken == pending.rowCount())
                return "";
            int end = pending.sliceEnd(pendingTaken, SLICE_CHARACTERS);
            String text = pending.text(pendingTaken, end);
            RowEditor rows = editor;
            if (rows != null) {
                for (int i = pendingTaken; i < end; i++)
                    keys.add(shownKey(pending.row(i, columns), rows.keyColumns()));
            }
            takenRows += end - pendingTaken;
            pendingTaken = end;
            if (pendingTaken == pending.rowCount()) {
                spare = pending;
                spare.clear();
                pending = new EncodedRows(0, columns.length);
                pendingTaken = 0;
            }
            return text;
        }
    }

    /**
     * The row (1-based) keyed by unique column name; SQL NULL is an absent key. Null when not fetched, and
     * for rows already handed over with takeRows: those live on the native side only.
     */
    public Hashtable<String, Object> getRow(int row) {
        synchronized (pendingLock) {
            if (row <= takenRows || row > rowCount)
                return null;
            return pending.row(row - takenRows - 1 + pendingTaken, columns);
        }
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
        return tableName;
    }

    /** Identifies results of the same shape (the grid remembers column widths by it). */
    public String resultSetDescription() {
        return "SQL statement result (" + String.join(", ", columnNames()) + ")";
    }

    public String selectStatement() {
        return selectStatement;
    }

    public boolean readOnly() {
        return editor == null;
    }

    /**
     * A code the native side turns into its own text: "NOSTATE" for a statement's result, "VIEW", "NOPRIMARY"
     * for a table without a primary key; null when the rows can be edited.
     */
    public String readOnlyReason() {
        return editor == null ? readOnlyReason : null;
    }

    // Editing a table's rows, found by primary key (see RowEditor). Rows are 1-based.

    /**
     * The rows are those of the element: a table whose primary key columns are all in the result becomes
     * editable. Called before any row is taken, under no lock.
     */
    void editAs(String schema, String type, String name) {
        tableName = name;
        if (!"TABLE".equalsIgnoreCase(type) && !"SYSTEM TABLE".equalsIgnoreCase(type)) {
            readOnlyReason = "VIEW";
            return;
        }
        try {
            int[] keyColumns = primaryKey(schema, name);
            if (keyColumns == null) {
                readOnlyReason = "NOPRIMARY";
                return;
            }
            synchronized (pendingLock) {
                if (takenRows > 0)
                    return;
                String table = session.dialect.qualifiedName(schema, name, session.metaData.reservedWordSet());
                editor = new RowEditor(this, session, table, columns, keyColumns, format);
            }
        } catch (SQLException e) {
            readOnlyReason = "NOPRIMARY";
        }
    }

    /** The result's columns of the table's primary key, in key order; null without one. */
    private int[] primaryKey(String schema, String name) throws SQLException {
        ArrayList<String> names = new ArrayList<>();
        session.lock();
        try {
            DatabaseMetaData metaData = session.connection.getMetaData();
            String dialect = session.dialect.typeName();
            String catalog = dialect.equals("MySQL") ? schema : null;
            String inSchema = dialect.equals("MySQL") || dialect.equals("SQLite") ? null : schema;
            java.util.TreeMap<Integer, String> bySequence = new java.util.TreeMap<>();
            try (ResultSet rows = metaData.getPrimaryKeys(catalog, inSchema, name)) {
                while (rows.next())
                    bySequence.put(rows.getInt("KEY_SEQ"), rows.getString("COLUMN_NAME"));
            }
            names.addAll(bySequence.values());
        } finally {
            session.unlock();
        }
        if (names.isEmpty())
            return null;
        int[] indexes = new int[names.size()];
        for (int k = 0; k < indexes.length; k++) {
            indexes[k] = -1;
            for (int i = 0; i < columns.length; i++) {
                if (columns[i].label.equals(names.get(k)))
                    indexes[k] = i;
            }
            if (indexes[k] < 0 || columns[indexes[k]].kind == ValueKind.BINARY)
                return null;
        }
        return indexes;
    }

    private static String[] shownKey(Hashtable<String, Object> row, int[] keyColumns, ResultColumn[] columns) {
        String[] key = new String[keyColumns.length];
        for (int k = 0; k < keyColumns.length; k++) {
            Object cell = row.get(columns[keyColumns[k]].name);
            if (cell == null)
                return null;
            key[k] = cell.toString();
        }
        return key;
    }

    private String[] shownKey(Hashtable<String, Object> row, int[] keyColumns) {
        return shownKey(row, keyColumns, columns);
    }

    int columnIndex(String name) {
        for (int i = 0; i < columns.length; i++) {
            if (columns[i].name.equals(name))
                return i;
        }
        return -1;
    }

    /** The key of a row the native side holds; null for a row not saved or not there. */
    String[] key(int row) {
        synchronized (pendingLock) {
            return row >= 1 && row <= keys.size() ? keys.get(row - 1) : null;
        }
    }

    int keyCount() {
        synchronized (pendingLock) {
            return keys.size();
        }
    }

    void setKey(int row, String[] key) {
        synchronized (pendingLock) {
            if (row >= 1 && row <= keys.size())
                keys.set(row - 1, key);
        }
    }

    /** A new row before the row: the rows after it, here and natively, move down by one. */
    void insertRow(int row) {
        synchronized (pendingLock) {
            keys.add(row - 1, null);
            takenRows++;
            rowCount++;
        }
    }

    /** The row went: the rows after it move up by one. */
    void removeKey(int row) {
        synchronized (pendingLock) {
            if (row < 1 || row > keys.size())
                return;
            keys.remove(row - 1);
            takenRows--;
            rowCount--;
        }
    }

    private interface EditAction {
        void run(RowEditor rows) throws SQLException, BackendException;
    }

    private void edit(EditAction action) {
        root.perform(session, () -> {
            RowEditor rows = editor;
            if (rows == null)
                throw new BackendException(readOnlyReason);
            root.startAction(session);
            action.run(rows);
        });
    }

    /** The result's columns of the table's primary key; empty when the rows cannot be edited. */
    public Vector<String> primaryKeyColumnNames() {
        Vector<String> names = new Vector<>();
        RowEditor rows = editor;
        if (rows != null) {
            for (int index : rows.keyColumns())
                names.add(columns[index].name);
        }
        return names;
    }

    public boolean editing() {
        RowEditor rows = editor;
        return rows != null && rows.editing();
    }

    public boolean adding() {
        RowEditor rows = editor;
        return rows != null && rows.adding();
    }

    public boolean hasADirtyEdit() {
        RowEditor rows = editor;
        return rows != null && rows.dirty();
    }

    /** The row being edited, -1 when none. */
    public int editingOnRow() {
        RowEditor rows = editor;
        return rows == null ? -1 : rows.editingRow();
    }

    /** Starts editing the row's column (or allows it, on the row being edited). */
    public boolean canStartEditing(String column, Integer row) {
        RowEditor rows = editor;
        return rows != null && row != null && rows.start(column, row);
    }

    public boolean canStartEditingRow(Integer row) {
        RowEditor rows = editor;
        return rows != null && row != null && rows.start(row);
    }

    /** Keeps a value of the row being edited; null is SQL NULL. */
    public void setValueForColumnOnRow(String column, Integer row, String value) {
        RowEditor rows = editor;
        if (rows != null && row != null)
            rows.set(column, row, value);
    }

    /** Writes the row being edited; the edit stays open on failure. "INVALID_INPUT" for a value refused. */
    public void canEndEditing(Integer row) {
        edit(rows -> rows.end(row == null ? -1 : row));
    }

    /** The row read back after the last write, packed as takeRows packs rows; empty when none waits. */
    public String takeWrittenRow() {
        RowEditor rows = editor;
        return rows == null ? "" : rows.takeWrittenRow();
    }

    /** Drops the edit and a new row; whether a row was being edited. */
    public boolean cancel() {
        RowEditor rows = editor;
        return rows != null && rows.cancel();
    }

    /** Adds an empty row before the row and edits it; nothing is written until the edit ends. */
    public void addRow(Integer row) {
        edit(rows -> rows.add(row == null ? 1 : row));
    }

    /** Deletes the row in the database, then from the result. */
    public void removeRow(Integer row) {
        edit(rows -> rows.remove(row == null ? -1 : row));
    }

    public void uploadBlobForColumnOnRowFrom(String column, Integer row, String path) {
        edit(rows -> rows.writeBinary(column, row == null ? -1 : row, requirePath(path)));
    }

    public void downloadBlobForColumnOnRowTo(String column, Integer row, String path) {
        edit(rows -> rows.readBinary(column, row == null ? -1 : row, requirePath(path)));
    }

    public void clearBlobForColumnOnRow(String column, Integer row) {
        edit(rows -> rows.writeBinary(column, row == null ? -1 : row, null));
    }

    private static String requirePath(String path) throws BackendException {
        if (path == null || path.isEmpty())
            throw new BackendException("No file was given.");
        return path;
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

    ResultColumn[] columns() {
        return columns;
    }

    // Conditions on this result's columns as SQL text with literals, for drags and the filter sheet; null
    // when the condition cannot be written (an unknown operator, no column).

    public String queryPartForColumnValueAndOperator(String column, String value, String operator) {
        return conditionText(conditions -> conditions.quick(column, operator, value));
    }

    /** Equal to the value, or null for no value; negated when asked. */
    public String queryPartForColumnAndValue(String column, String value, boolean negative) {
        return conditionText(conditions -> conditions.equalsOrIn(column, value, negative));
    }

    public String inQueryForColumnAndValues(String column, Vector<Object> values, boolean negative) {
        return conditionText(conditions -> conditions.equalsOrIn(column, values == null ? new Vector<>() : values,
                                                                 negative));
    }

    private interface ConditionWriter {
        FilterConditions.Condition write(FilterConditions conditions) throws BackendException;
    }

    private String conditionText(ConditionWriter writer) {
        java.util.Map<String, ResultColumn> byName = new java.util.HashMap<>();
        for (ResultColumn column : columns)
            byName.put(column.name, column);
        try {
            FilterConditions.Condition condition = writer.write(
                new FilterConditions(session.dialect, session.metaData.reservedWordSet(), byName, format.input()));
            return condition == null ? null : condition.text;
        } catch (BackendException | RuntimeException e) {
            return null;
        }
    }

    public VornResultsetMetaData resultsetMetaData() {
        return new VornResultsetMetaData(columns);
    }

    /**
     * A cursor over all rows of this result for an export: its statement runs again, so a statement that
     * changes data is refused rather than repeated.
     */
    public VornExportCursor exportCursor() {
        String refused = refreshable() ? null : "This result comes from a statement that changes data; "
                                                    + "export the rows of a query instead.";
        return new VornExportCursor(root, session, selectStatement, parameters, columns, refused);
    }

    public VornRoot root() {
        return root;
    }
}
