package nl.dalmerik.vorn;

import java.util.Hashtable;

/**
 * The root's analyser: the execution plan of one statement, without running it. Its actions leave their
 * outcome on the root, as every action does.
 */
public class VornAnalyser {
    private final VornRoot root;
    private volatile String query;

    VornAnalyser(VornRoot root) {
        this.root = root;
    }

    /** Whether the database has where plans are written; asked of the server only for Oracle. */
    public boolean planTableAvailable() {
        Session session = root.session();
        boolean[] available = {false};
        root.perform(session, () -> {
            requireConnection(session);
            session.lock();
            try {
                available[0] = ExecutionPlans.planTableAvailable(session);
            } finally {
                session.unlock();
            }
        });
        return available[0];
    }

    /** The plan tree of the statement: {"info": fields, "children": steps}; null on failure. */
    public Hashtable<String, Object> getPlanTable(String sql) {
        Session session = root.session();
        query = sql;
        Object[] plan = {null};
        root.perform(session, () -> {
            requireConnection(session);
            session.lock();
            try {
                root.startAction(session);
                plan[0] = ExecutionPlans.plan(session, sql).tree();
            } catch (java.sql.SQLException e) {
                // As for a statement that fails: the transaction may now have to be ended.
                if (session.dialect.failedStatementAbortsTransaction())
                    session.markDirty();
                throw e;
            } finally {
                session.unlock();
            }
        });
        @SuppressWarnings("unchecked")
        Hashtable<String, Object> tree = (Hashtable<String, Object>) plan[0];
        return tree;
    }

    /** The statement last analysed. */
    public String query() {
        return query;
    }

    /** Creates the plan table as the given administrator, on the server the root is connected to. */
    public void createPlanTable(String user, String password, String server, String port, String database) {
        Session session = root.session();
        root.perform(session, () -> {
            requireConnection(session);
            ExecutionPlans.createPlanTable(
                session.dialect, new ConnectionTarget(server, port, database, user, password, "Vorn", 30));
        });
    }

    private static void requireConnection(Session session) throws BackendException {
        if (session == null)
            throw new BackendException("Not connected to a database.");
    }
}
