package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Savepoint;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/**
 * One import into one table. Rows wait in a batch; a full batch is written by the bulk writer inside a
 * transaction of its own (on a connection that commits by itself), or inside a savepoint of the user's
 * open transaction otherwise. SQLite, whose every commit waits for the disk, keeps one transaction for the
 * whole run with a savepoint per batch, and commits when the run ends. A refused batch is undone and its
 * rows written one by one, each inside a savepoint, so that only the rows at fault are refused.
 */
final class ImportRun {
    static final int BATCH_ROWS = 10000;

    private final Session session;
    private final List<ImportTargetColumn> columns;
    private final ImportWriter bulk;
    private final InsertImportWriter single;
    /** The connection committed by itself before the run: the run commits, and so it is left again. */
    private final boolean ownsTransaction;
    /** Whether each batch commits (otherwise a savepoint holds it, and the run or the user commits). */
    private final boolean commitsEachBatch;
    /** The columns that take a value from the row (not from a sequence), in order. */
    private final List<ImportTargetColumn> valued = new ArrayList<>();
    /** Waiting rows: the given text of each valued column, null for NULL. */
    private final List<String[]> batch = new ArrayList<>();
    private final Vector<Hashtable<String, Object>> refused = new Vector<>();
    private int rowsTaken;
    private volatile boolean stopOnError;
    private volatile boolean stopped;
    private boolean ended;

    private ImportRun(Session session, List<ImportTargetColumn> columns, ImportWriter bulk,
                      InsertImportWriter single, boolean ownsTransaction) {
        this.session = session;
        this.columns = columns;
        this.bulk = bulk;
        this.single = single;
        this.ownsTransaction = ownsTransaction;
        this.commitsEachBatch = ownsTransaction && !session.dialect.typeName().equals("SQLite");
        for (ImportTargetColumn column : columns) {
            if (!column.fromSequence())
                valued.add(column);
        }
    }

    /** Checks the table and its columns and readies the writers; the caller holds the session's lock. */
    static ImportRun start(Session session, String schema, String table, List<ImportTargetColumn> columns)
        throws SQLException {
        String qualifiedTable = VornImporter.qualified(session, schema, table);
        learnTypes(session.connection, qualifiedTable, columns);
        List<ImportTargetColumn> valued = new ArrayList<>();
        for (ImportTargetColumn column : columns) {
            if (!column.fromSequence())
                valued.add(column);
        }
        Connection connection = session.connection;
        InsertImportWriter single = new InsertImportWriter(session, qualifiedTable, columns);
        ImportWriter bulk = single;
        // A sequence's next value is an expression: only the INSERT can take it.
        if (valued.size() == columns.size()) {
            String type = session.dialect.typeName();
            if (type.equals("PostgreSQL") && CopyImportWriter.available(connection))
                bulk = new CopyImportWriter(connection, qualifiedTable, columns);
            else if (type.equals("MySQL") && LoadDataImportWriter.available(connection))
                bulk = new LoadDataImportWriter(connection, qualifiedTable, columns);
        }
        boolean owns = connection.getAutoCommit();
        if (owns)
            connection.setAutoCommit(false);
        return new ImportRun(session, columns, bulk, single, owns);
    }

    private static void learnTypes(Connection connection, String qualifiedTable, List<ImportTargetColumn> columns)
        throws SQLException {
        StringBuilder names = new StringBuilder();
        for (ImportTargetColumn column : columns)
            names.append(names.length() > 0 ? ", " : "").append(column.quoted);
        try (Statement statement = connection.createStatement();
             ResultSet rows = statement.executeQuery("SELECT " + names + " FROM " + qualifiedTable + " WHERE 1=0")) {
            ResultSetMetaData meta = rows.getMetaData();
            for (int i = 0; i < columns.size(); i++)
                columns.get(i).sqlType = meta.getColumnType(i + 1);
        }
    }

    void setStopOnError(boolean stop) {
        stopOnError = stop;
    }

    boolean stopped() {
        return stopped;
    }

    /** Takes a row keyed by column name; a full batch is written. False once the run stopped at a refused row. */
    boolean add(Hashtable<String, Object> row) throws SQLException {
        String[] given = new String[valued.size()];
        for (int i = 0; i < given.length && row != null; i++) {
            Object value = row.get(valued.get(i).name);
            given[i] = value == null ? null : value.toString();
        }
        return addGiven(given);
    }

    /**
     * Takes rows with one value per prepared column, in their order (those of sequence columns are not
     * used); full batches are written. Answers how many were taken: fewer once the run stopped at a
     * refused row.
     */
    int addAll(List<String[]> rows) throws SQLException {
        int taken = 0;
        for (String[] row : rows) {
            String[] given = new String[valued.size()];
            for (int i = 0, v = 0; i < columns.size(); i++) {
                if (!columns.get(i).fromSequence())
                    given[v++] = row[i];
            }
            if (!addGiven(given))
                break;
            taken++;
        }
        return taken;
    }

    int columnCount() {
        return columns.size();
    }

    private boolean addGiven(String[] given) throws SQLException {
        if (stopped)
            return false;
        batch.add(given);
        rowsTaken++;
        if (batch.size() >= BATCH_ROWS)
            flush();
        return true;
    }

    /** Writes the waiting rows and hands the connection back as it was. */
    void finish() throws SQLException {
        try {
            flush();
            if (ownsTransaction && !commitsEachBatch)
                session.connection.commit();
        } finally {
            end();
        }
    }

    /** Ends a run that will not be finished: what it has not committed is undone. */
    void abandon() {
        batch.clear();
        try {
            if (ownsTransaction)
                session.connection.rollback();
        } catch (SQLException e) {
            // The run is dropped either way.
        }
        end();
    }

    Vector<Hashtable<String, Object>> takeRefused() {
        synchronized (refused) {
            Vector<Hashtable<String, Object>> taken = new Vector<>(refused);
            refused.clear();
            return taken;
        }
    }

    private void end() {
        if (ended)
            return;
        ended = true;
        try {
            single.close();
            if (ownsTransaction)
                session.connection.setAutoCommit(true);
        } catch (SQLException e) {
            // A connection that fails here fails the next action, which reports it.
        }
    }

    private void flush() throws SQLException {
        if (batch.isEmpty())
            return;
        int firstRow = rowsTaken - batch.size() + 1;
        List<String[]> values = new ArrayList<>(batch.size());
        for (String[] given : batch)
            values.add(values(given));
        session.lock();
        try {
            Savepoint before = commitsEachBatch ? null : session.connection.setSavepoint();
            try {
                bulk.write(values);
            } catch (SQLException e) {
                if (session.broken())
                    throw e;
                // Rolling back to a savepoint keeps it: the rows written one by one stay inside it.
                undo(before);
                single.renew();
                writeOneByOne(values, firstRow);
            }
            if (commitsEachBatch)
                session.connection.commit();
            else if (ownsTransaction)
                session.connection.releaseSavepoint(before);
            else
                session.markDirty();
        } finally {
            batch.clear();
            session.unlock();
        }
    }

    private void undo(Savepoint before) throws SQLException {
        if (before == null)
            session.connection.rollback();
        else
            session.connection.rollback(before);
    }

    private void writeOneByOne(List<String[]> values, int firstRow) throws SQLException {
        Connection connection = session.connection;
        for (int i = 0; i < values.size() && !stopped; i++) {
            Savepoint before = connection.setSavepoint();
            try {
                single.writeOne(values.get(i));
                connection.releaseSavepoint(before);
            } catch (SQLException e) {
                if (session.broken())
                    throw e;
                connection.rollback(before);
                single.renew();
                Hashtable<String, Object> entry = refuse(firstRow + i, asGiven(batch.get(i)), Errors.message(e));
                stopped = stopOnError;
                // The rows after it were taken, and counted as imported, but are not written.
                if (stopped)
                    entry.put("rowsNotWritten", values.size() - i - 1);
            }
        }
    }

    private Hashtable<String, Object> refuse(int row, Hashtable<String, Object> given, String message) {
        Hashtable<String, Object> entry = new Hashtable<>();
        entry.put("row", row);
        entry.put("message", message == null ? "" : message);
        entry.put("values", given);
        refused.add(entry);
        return entry;
    }

    private String[] values(String[] given) {
        String[] texts = new String[given.length];
        for (int i = 0; i < given.length; i++)
            texts[i] = ImportValues.text(given[i], valued.get(i).sqlType);
        return texts;
    }

    /** A row as it was given, keyed by column name (NULL left out), for the refused rows. */
    private Hashtable<String, Object> asGiven(String[] given) {
        Hashtable<String, Object> row = new Hashtable<>();
        for (int i = 0; i < given.length; i++) {
            if (given[i] != null)
                row.put(valued.get(i).name, given[i]);
        }
        return row;
    }
}
