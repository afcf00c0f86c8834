package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.sql.Savepoint;
import java.util.Locale;

/**
 * The text the content pane shows for a loaded object that has neither rows nor editable code (an index,
 * a constraint, a trigger, a sequence, a synonym of such an object): its definition as the database keeps
 * it. Oracle and SQL Server texts, and MySQL's constraints, are put together from their catalogue views;
 * the others come from what the database itself answers (SHOW CREATE, pg_get_*def, the SQLite schema table).
 */
final class ObjectDescription {
    private ObjectDescription() {}

    /**
     * The definition, read on the session's connection under its lock; an object the database cannot
     * describe (or that is gone) fails with a message that names it. In an open transaction a failed
     * read must not end the user's transaction: a savepoint takes it back where a failure would.
     */
    static String read(Session session, String schema, String type, String name)
        throws SQLException, BackendException {
        String[] parts = session.dialect.namesPerTable(type) ? ElementNames.split(name) : null;
        String ownName = parts == null ? name : parts[1];
        String table = parts == null ? null : parts[0];
        String text;
        session.lock();
        try {
            Connection connection = session.connection;
            boolean guard = !connection.getAutoCommit() && session.dialect.failedStatementAbortsTransaction();
            Savepoint savepoint = guard ? connection.setSavepoint() : null;
            try {
                text = definition(session.dialect,
                                  new InfoQueries.Target(connection, schema, type, ownName, table));
                if (savepoint != null)
                    connection.releaseSavepoint(savepoint);
            } catch (SQLException | RuntimeException e) {
                if (savepoint != null)
                    connection.rollback(savepoint);
                throw e;
            }
        } finally {
            session.unlock();
        }
        if (text == null || text.isBlank())
            throw new BackendException("The definition of the " + type.toLowerCase(Locale.ROOT) + " '" + ownName
                                       + "' could not be read.");
        return text.strip();
    }

    private static String definition(Dialect dialect, InfoQueries.Target target) throws SQLException {
        switch (dialect.typeName()) {
        case "Oracle":
            return OracleObjectDescription.read(dialect, target);
        case "SQL Server":
            return SQLServerObjectDescription.read(dialect, target);
        case "MySQL":
            return MySQLObjectDescription.read(dialect, target);
        default:
            break;
        }
        InfoQueries queries = InfoQueries.forDialect(dialect);
        if (queries == null)
            return null;
        return queries.ddl(target);
    }
}
