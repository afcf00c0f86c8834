package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.sql.Savepoint;
import java.sql.Statement;
import java.util.List;

/**
 * Runs the statements of one create (the object, then its comment) in order, stopping at the first that
 * fails. Where DDL is transactional they succeed or fail together: in a transaction of their own in
 * auto-commit mode, behind a savepoint inside the user's open transaction, so a failed comment leaves no
 * object behind. Elsewhere each statement commits by itself and what ran before a failure stays.
 */
final class DdlScript {
    private DdlScript() {}

    /** Runs them; standing[0] is then the number of statements whose effect remains, also on failure. */
    static void run(VornRoot root, Session session, List<String> statements, int[] standing)
        throws SQLException, BackendException {
        if (session == null)
            throw new BackendException("Not connected to a database.");
        session.lock();
        try {
            root.startAction(session);
            root.replaceResultset(session, null);
            if (session.dialect.dataDefinitionCommits())
                runEach(session, statements, standing);
            else
                runTogether(session, statements, standing);
        } finally {
            session.unlock();
        }
    }

    private static void runEach(Session session, List<String> statements, int[] standing) throws SQLException {
        try {
            for (String sql : statements) {
                execute(session, sql);
                standing[0]++;
            }
        } finally {
            if (standing[0] > 0 && !session.autoCommit)
                session.markClean(); // the DDL committed the open transaction
        }
    }

    private static void runTogether(Session session, List<String> statements, int[] standing) throws SQLException {
        Connection connection = session.connection;
        boolean ownTransaction = session.autoCommit;
        if (ownTransaction)
            connection.setAutoCommit(false);
        Savepoint savepoint = ownTransaction ? null : connection.setSavepoint();
        try {
            int ran = 0;
            for (String sql : statements) {
                execute(session, sql);
                ran++;
            }
            if (ownTransaction) {
                session.endTransaction(true);
            } else {
                connection.releaseSavepoint(savepoint);
                session.markDirty();
            }
            standing[0] = ran;
        } catch (SQLException | RuntimeException | Error e) {
            try {
                if (ownTransaction)
                    connection.rollback();
                else
                    connection.rollback(savepoint);
            } catch (SQLException ignored) {
                // The statement's own failure is the one to report.
            }
            throw e;
        } finally {
            if (ownTransaction)
                connection.setAutoCommit(true);
        }
    }

    private static void execute(Session session, String sql) throws SQLException {
        try (Statement statement = session.connection.createStatement()) {
            session.startStatement(statement);
            try {
                statement.execute(sql);
            } finally {
                session.endStatement();
            }
        }
    }
}
