package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.sql.Statement;

/** Empties or drops one schema object, with the statement its database takes. */
final class ElementActions {
    private ElementActions() {}

    static void truncate(VornRoot root, Session session, String schema, String type, String name,
                         boolean cascade) throws SQLException, BackendException {
        if (!"TABLE".equals(type))
            throw new BackendException("Only tables can be truncated.");
        AssistantRules rules = AssistantRules.forDialect(requireSession(session).dialect);
        run(root, session, rules.truncateSql(qualified(session, schema, name), cascade));
    }

    static void drop(VornRoot root, Session session, String schema, String type, String name)
        throws SQLException, BackendException {
        run(root, requireSession(session), dropSql(session, schema, type, name));
    }

    /**
     * DROP of the type and the qualified name. Objects named per table (MySQL's and SQL Server's indexes)
     * arrive as "table.name" and are dropped ON their table.
     */
    static String dropSql(Session session, String schema, String type, String name) throws BackendException {
        if (type == null || name == null || !type.matches("[A-Z][A-Z ]*"))
            throw new BackendException("Vorn cannot drop an object of type '" + type + "'.");
        String[] perTable = session.dialect.namesPerTable(type) ? ElementNames.split(name) : null;
        if (perTable != null)
            return "DROP " + type + " " + session.dialect.quoteIdentifier(perTable[1], reserved(session)) + " ON "
                + qualified(session, schema, perTable[0]);
        return "DROP " + type + " " + qualified(session, schema, name);
    }

    static String qualified(Session session, String schema, String name) {
        String owner = schema == null || schema.isEmpty() ? session.defaultSchema : schema;
        return session.dialect.qualifiedName(owner, name, reserved(session));
    }

    private static java.util.Set<String> reserved(Session session) {
        return session.metaData.reservedWordSet();
    }

    private static Session requireSession(Session session) throws BackendException {
        if (session == null)
            throw new BackendException("Not connected to a database.");
        return session;
    }

    private static void run(VornRoot root, Session session, String sql) throws SQLException {
        session.lock();
        try {
            root.startAction(session);
            root.replaceResultset(session, null);
            try (Statement statement = session.connection.createStatement()) {
                session.startStatement(statement);
                try {
                    statement.execute(sql);
                } finally {
                    session.endStatement();
                }
            }
            if (!session.autoCommit) {
                if (session.dialect.dataDefinitionCommits())
                    session.markClean();
                else
                    session.markDirty();
            }
        } finally {
            session.unlock();
        }
    }
}
