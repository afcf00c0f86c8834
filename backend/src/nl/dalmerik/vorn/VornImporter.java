package nl.dalmerik.vorn;

import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Vector;

/**
 * Writes imported rows into one table of the root's connection. A run is prepareImport, then addRow for
 * every row, then closeImport; rows are written in batches, each inside a transaction of its own, through
 * the database's bulk path where it has one. A batch the database refuses is written again row by row, so
 * that only the rows at fault are refused; refused rows are handed out by takeRefusedRows.
 *
 * Values arrive as text: numbers with "." as decimal separator, dates and times as
 * "yyyy-MM-dd HH:mm:ss.SSS". Each public method leaves the root's outcome behind instead of throwing.
 */
public class VornImporter {
    private final VornRoot root;
    private volatile ImportRun run;
    /** The refused rows of the last batch of a closed run, until taken. */
    private volatile Vector<Hashtable<String, Object>> refusedAfterClose = new Vector<>();

    VornImporter(VornRoot root) {
        this.root = root;
    }

    /** The table's columns in table order: maps of "name" and "type" ("S", "N" or "D"). */
    public Vector<Hashtable<String, Object>> columnsOfTable(String schema, String table) {
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        Session current = root.session();
        root.perform(current, () -> {
            Session session = requireSession(current);
            session.lock();
            try (Statement statement = session.connection.createStatement();
                 ResultSet rows = statement.executeQuery(
                     "SELECT * FROM " + qualified(session, schema, table) + " WHERE 1=0")) {
                ResultSetMetaData meta = rows.getMetaData();
                for (int i = 1; i <= meta.getColumnCount(); i++) {
                    Hashtable<String, Object> column = new Hashtable<>();
                    column.put("name", meta.getColumnName(i));
                    column.put("type", String.valueOf(ImportValues.typeCode(meta.getColumnType(i))));
                    columns.add(column);
                }
            } finally {
                session.unlock();
            }
        });
        return columns;
    }

    /**
     * Readies the table for rows. Each column map holds "name" (the target column) and, for a column that
     * takes the next value of a sequence, "sequenceName". Answers whether rows may come.
     */
    public boolean prepareImport(String schema, String table, Vector<Hashtable<String, Object>> columns) {
        Session current = root.session();
        boolean[] prepared = {false};
        root.perform(current, () -> {
            Session session = requireSession(current);
            if (columns == null || columns.isEmpty())
                throw new BackendException("No columns were chosen to import into.");
            List<ImportTargetColumn> targets = new ArrayList<>();
            session.lock();
            try {
                for (Hashtable<String, Object> column : columns)
                    targets.add(targetColumn(session, schema, column));
                ImportRun started = ImportRun.start(session, schema, table, targets);
                ImportRun previous = run;
                run = started;
                if (previous != null)
                    previous.abandon();
            } finally {
                session.unlock();
            }
            prepared[0] = true;
        });
        return prepared[0];
    }

    /** Stop writing at the first refused row (1) or go on with the next (0). */
    public void setStopOnError(Integer stop) {
        ImportRun current = run;
        if (current != null)
            current.setStopOnError(stop != null && stop != 0);
    }

    /**
     * Takes one row: target column name to value text (a column without a value is NULL). Answers whether
     * the row was taken; a row of a batch the database refuses later is handed out by takeRefusedRows.
     */
    public boolean addRow(Hashtable<String, Object> row) {
        Session current = root.session();
        boolean[] taken = {false};
        root.perform(current, () -> {
            ImportRun active = requireRun();
            taken[0] = active.add(row);
        });
        return taken[0];
    }

    /**
     * Takes rows packed as PackedImportRows reads them, one value per column of prepareImport in its
     * order (values of sequence columns are not used). Answers how many were taken: fewer once the run
     * stopped at a refused row; rows of a batch the database refuses later are handed out by
     * takeRefusedRows.
     */
    public int addRows(String packed) {
        Session current = root.session();
        int[] taken = {0};
        root.perform(current, () -> {
            ImportRun active = requireRun();
            taken[0] = active.addAll(PackedImportRows.unpack(packed == null ? "" : packed, active.columnCount()));
        });
        return taken[0];
    }

    /** Writes what is still waiting and ends the run; its last refused rows stay for takeRefusedRows. */
    public boolean closeImport() {
        Session current = root.session();
        boolean[] closed = {false};
        root.perform(current, () -> {
            ImportRun active = requireRun();
            try {
                active.finish();
            } finally {
                run = null;
                refusedAfterClose = active.takeRefused();
            }
            closed[0] = true;
        });
        return closed[0];
    }

    /**
     * Rows refused since the last call, in row order: maps of "row" (the row's number in this run, from 1),
     * "message" (the database's reason) and "values" (the row as given); the row a run stopped at (stop on
     * error) also holds "rowsNotWritten", the rows after it that were taken but not written.
     */
    public Vector<Hashtable<String, Object>> takeRefusedRows() {
        ImportRun current = run;
        if (current != null)
            return current.takeRefused();
        Vector<Hashtable<String, Object>> refused = refusedAfterClose;
        refusedAfterClose = new Vector<>();
        return refused;
    }

    /** Whether the run stopped writing at a refused row (stop on error). */
    public boolean stoppedOnError() {
        ImportRun current = run;
        return current != null && current.stopped();
    }

    public String qualifiedTableNameFor(String schema, String name) {
        Session current = root.session();
        return current == null ? name : qualified(current, schema, name);
    }

    public String qualifiedColumnName(String name) {
        Session current = root.session();
        return current == null ? name : current.dialect.quoteIdentifier(name, current.metaData.reservedWordSet());
    }

    /**
     * The value as an SQL literal for a column of the type code ("S", "N", "D"): NULL for no value, a number
     * as it is, anything else quoted.
     */
    public String safeColumnValue(String value, String type) {
        if (value == null)
            return "NULL";
        String number = ImportValues.isNumber(type) ? ImportValues.numberLiteral(value) : null;
        if (number != null)
            return number;
        Session current = root.session();
        Dialect dialect = current != null ? current.dialect : Dialect.forType("PostgreSQL");
        return dialect.quoteLiteral(value);
    }

    public boolean supportsSequences() {
        Session current = root.session();
        return current != null && ImportSequences.supported(current.dialect.typeName());
    }

    /** The sequences of the schema (the connection's default schema when none is given). */
    public Vector<String> sequences(String schema) {
        Vector<String> names = new Vector<>();
        Session current = root.session();
        root.perform(current, () -> {
            Session session = requireSession(current);
            session.lock();
            try {
                names.addAll(ImportSequences.list(session, schemaOrDefault(session, schema)));
            } finally {
                session.unlock();
            }
        });
        return names;
    }

    /** The SQL expression that takes the next value of the sequence. */
    public String nextValueExpression(String schema, String sequence) {
        Session current = root.session();
        if (current == null)
            return null;
        return ImportSequences.nextValue(current.dialect.typeName(),
                                         qualified(current, schemaOrDefault(current, schema), sequence));
    }

    private ImportTargetColumn targetColumn(Session session, String schema, Hashtable<String, Object> column)
        throws BackendException {
        Object name = column.get("name");
        if (!(name instanceof String) || ((String) name).isEmpty())
            throw new BackendException("An import column has no target column.");
        Object sequence = column.get("sequenceName");
        String nextValue = null;
        if (sequence instanceof String && !((String) sequence).isEmpty()) {
            if (!ImportSequences.supported(session.dialect.typeName()))
                throw new BackendException("This database has no sequences.");
            nextValue = ImportSequences.nextValue(
                session.dialect.typeName(), qualified(session, schemaOrDefault(session, schema), (String) sequence));
        }
        String quoted = session.dialect.quoteIdentifier((String) name, session.metaData.reservedWordSet());
        return new ImportTargetColumn((String) name, quoted, nextValue);
    }

    private ImportRun requireRun() throws BackendException {
        ImportRun current = run;
        if (current == null)
            throw new BackendException("No import has been prepared.");
        return current;
    }

    private static Session requireSession(Session current) throws BackendException {
        if (current == null)
            throw new BackendException("Not connected to a database.");
        return current;
    }

    private static String schemaOrDefault(Session session, String schema) {
        return schema == null || schema.isEmpty() ? session.defaultSchema : schema;
    }

    static String qualified(Session session, String schema, String name) {
        if (schema == null || schema.isEmpty())
            return session.dialect.quoteIdentifier(name, session.metaData.reservedWordSet());
        return session.dialect.qualifiedName(schema, name, session.metaData.reservedWordSet());
    }
}
