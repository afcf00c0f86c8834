package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayList;
import java.util.List;
import java.util.Vector;

/** Runs the user's statements on the root's connection. */
public class VornSqlConnection {
    private final VornRoot root;
    private volatile String statementType = "";
    private volatile int resultCount = -1;

    VornSqlConnection(VornRoot root) {
        this.root = root;
    }

    /** Whether the text holds a statement at all (not only white space and comments). */
    public boolean executable(String sql) {
        return StatementText.hasContent(sql);
    }

    /**
     * Runs a statement whose "?" markers take the values in order, one per occurrence. Answers whether it
     * produced rows; those become the root's result set. The outcome is on the root.
     */
    public boolean executeQuery(String sql, Vector<Object> parameters) {
        Session session = root.session();
        List<Object> values = parameters == null ? new ArrayList<>() : new ArrayList<>(parameters);
        boolean[] producedRows = {false};
        root.perform(session, () -> producedRows[0] = run(session, sql, values));
        return producedRows[0];
    }

    /** Rows affected by the last statement that produced no rows; -1 when it reports none. */
    public int resultCount() {
        return resultCount;
    }

    /** The verb of the last statement in upper case, e.g. "INSERT". */
    public String statementType() {
        return statementType;
    }

    /**
     * Stops the running statement from another thread; it then fails with "CANCELLED". While the root is
     * reserved the Stop holds for the reserved action: a statement that has not reached the server yet is
     * stopped as it starts. Asking again sends the cancel again.
     */
    public void cancelQuery() {
        Session session = root.session();
        if (session != null)
            session.cancel();
    }

    /** A cursor that streams the query's rows for an export; nothing runs before its begin. */
    public VornExportCursor exportCursorForQuery(String sql, Vector<Object> parameters) {
        return new VornExportCursor(root, root.session(), sql, parameters, null, null);
    }

    boolean run(Session session, String sql, List<Object> parameters) throws SQLException, BackendException {
        if (session == null)
            throw new BackendException("Not connected to a database.");
        if (!StatementText.hasContent(sql))
            throw new BackendException("There is no SQL statement to execute.");
        String type = StatementText.type(sql);
        session.lock();
        try {
            root.startAction(session);
            statementType = type;
            resultCount = -1;
            root.replaceResultset(session, null);
            return execute(session, sql, type, parameters, readOnlyFirst(session, type, sql));
        } finally {
            session.unlock();
        }
    }

    /**
     * A query that reads by its words runs first in a read-only transaction of its own: the server then
     * refuses any write hidden in a function, so the rows need no extra round trip to learn whether it
     * wrote. One that is refused runs again as a writer.
     */
    private boolean readOnlyFirst(Session session, String type, String sql) {
        return session.dialect.cursorNeedsTransaction() && session.autoCommit && StatementText.isQuery(type)
               && StatementText.isReadOnly(type, sql) && !session.wroteAsQuery(sql);
    }

    private boolean execute(Session session, String sql, String type, List<Object> parameters, boolean readOnly)
        throws SQLException {
        try {
            return executeOnce(session, sql, type, parameters, readOnly);
        } catch (SQLException e) {
            if (!readOnly || session.cancelRequested() || !session.noteRefusedWrite(e))
                throw e;
            return executeOnce(session, sql, type, parameters, false);
        }
    }

    private boolean executeOnce(Session session, String sql, String type, List<Object> parameters,
                                boolean readOnly) throws SQLException {
        Connection connection = session.connection;
        // pgjdbc streams rows only inside a transaction: a query in auto-commit mode gets one of its own
        // for as long as its cursor is open.
        boolean cursorTransaction = session.dialect.cursorNeedsTransaction() && session.autoCommit
                                    && StatementText.isQuery(type);
        Statement statement = null;
        try {
            session.startQuery(readOnly ? sql : null);
            if (cursorTransaction) {
                connection.setAutoCommit(false);
                connection.setReadOnly(readOnly);
            }
            statement = prepare(session, sql, parameters);
            session.describeActivity(sql);
            session.startStatement(statement);
            boolean hasRows = statement instanceof PreparedStatement ? ((PreparedStatement) statement).execute()
                                                                     : statement.execute(sql);
            int count = hasRows ? -1 : statement.getUpdateCount();
            resultCount = count;
            while (!hasRows && count != -1) {
                hasRows = statement.getMoreResults();
                count = hasRows ? -1 : statement.getUpdateCount();
            }
            session.endStatement();
            if (!hasRows) {
                statement.close();
                if (cursorTransaction) {
                    cursorTransaction = false;
                    // A commit that fails fails the statement.
                    session.endCursorTransaction(true);
                }
                noteTransaction(session, type, sql);
                return false;
            }
            boolean ownTransaction = cursorTransaction;
            VornResultset result =
                new VornResultset(root, session, statement, sql, parameters, cursorTransaction);
            statement = null;
            cursorTransaction = false;
            try {
                result.fetch(VornResultset.FIRST_PORTION);
                // A query that wrote in a transaction of the backend's own succeeds only once that commits:
                // its rows are read now, and a commit that fails (a deferred constraint) fails it, rows and
                // all.
                if (ownTransaction && !readOnly
                    && session.dialect.transactionWork(session, false) != TransactionWork.NONE)
                    result.finish();
                noteTransaction(session, type, sql);
            } catch (SQLException | RuntimeException | Error e) {
                result.close(false);
                throw e;
            }
            root.replaceResultset(session, result);
            return true;
        } catch (SQLException | RuntimeException | Error e) {
            session.endStatement();
            Session.closeQuietly(statement);
            if (cursorTransaction)
                session.endCursorTransaction(false);
            if (session.dialect.failedStatementAbortsTransaction())
                session.markDirty();
            throw e;
        }
    }

    private Statement prepare(Session session, String sql, List<Object> parameters) throws SQLException {
        Connection connection = session.connection;
        Statement statement;
        if (parameters.isEmpty()) {
            statement = connection.createStatement(ResultSet.TYPE_FORWARD_ONLY, ResultSet.CONCUR_READ_ONLY);
        } else {
            PreparedStatement prepared = connection.prepareStatement(sql, ResultSet.TYPE_FORWARD_ONLY,
                                                                     ResultSet.CONCUR_READ_ONLY);
            for (int i = 0; i < parameters.size(); i++)
                bind(prepared, i + 1, parameters.get(i));
            statement = prepared;
        }
        statement.setFetchSize(VornResultset.FIRST_PORTION);
        // One row beyond the limit tells the result set whether the limit cut the result short.
        int rowLimit = root.settings().rowLimit;
        if (rowLimit > 0 && rowLimit < Integer.MAX_VALUE && session.dialect.maxRowsLimitsOnlyResults())
            statement.setMaxRows(rowLimit + 1);
        return statement;
    }

    private static void bind(PreparedStatement statement, int index, Object value) throws SQLException {
        if (value == null)
            statement.setNull(index, Types.VARCHAR);
        else if (value instanceof String)
            statement.setString(index, (String) value);
        else
            statement.setObject(index, value);
    }

    /**
     * Keeps the root's idea of uncommitted changes in step with what the statement did, in manual-commit mode:
     * as the server says where it can. Otherwise the statement's words decide, and in doubt (a query that may
     * have written) it counts.
     */
    private void noteTransaction(Session session, String type, String sql) {
        if (session.autoCommit)
            return;
        boolean unboundedResultOpen = session.openResult != null && root.settings().rowLimit <= 0;
        if (session.learnTransactionWork(unboundedResultOpen))
            return;
        if (StatementText.endsTransaction(type, sql))
            session.markClean();
        else if (StatementText.isDataDefinition(type) && session.dialect.dataDefinitionCommits())
            session.markClean();
        else if (!StatementText.isReadOnly(type, sql)
                 || StatementText.isQuery(type) && session.dialect.queriesMayWrite())
            session.markDirty();
    }
}
