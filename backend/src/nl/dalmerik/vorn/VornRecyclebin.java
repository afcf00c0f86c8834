package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.Hashtable;
import java.util.Vector;

/**
 * The recycle bin of the connected user's dropped objects (Oracle's; other databases have none). The
 * listing is read by update and kept for items and isFilled. Restoring, purging and emptying leave their
 * outcome on the root like every action, so a failure reaches the user with the database's message.
 */
public class VornRecyclebin {
    private final VornRoot root;
    private volatile Vector<Hashtable<String, Object>> items = new Vector<>();

    VornRecyclebin(VornRoot root) {
        this.root = root;
    }

    /** Reads the bin again; on failure the listing is empty. */
    public void update() {
        Session session = root.session();
        items = new Vector<>();
        root.perform(session, () -> {
            requireBin(session);
            session.lock();
            try {
                session.showActivity("CHECK_RECYCLEBIN", null);
                try (Statement statement = session.connection.createStatement();
                     ResultSet rows = statement.executeQuery(RecyclebinStatements.LIST)) {
                    items = RecyclebinStatements.items(RecyclebinStatements.readRows(rows));
                }
            } finally {
                session.showActivity(VornActivityController.IDLE, null);
                session.unlock();
            }
        });
    }

    /** The bin as last read: per object "objectName", "originalName", "type", "dropTime", "canUndrop",
     * "canPurge" and, for objects that went with it, "children". */
    public Vector<Hashtable<String, Object>> items() {
        return new Vector<>(items);
    }

    /** The bin held objects when last read. */
    public boolean isFilled() {
        return !items.isEmpty();
    }

    /** Restores a dropped table under its original name. */
    public void flashBackObject(String type, String name) {
        run(() -> RecyclebinStatements.restore(type, name));
    }

    /** Removes one object from the bin for good. */
    public void purgeObject(String type, String name) {
        run(() -> RecyclebinStatements.purge(type, name));
    }

    /** Removes every object of the connected user's bin for good. */
    public void purgeBin() {
        run(() -> RecyclebinStatements.PURGE_ALL);
    }

    private interface StatementText {
        String get() throws BackendException;
    }

    private void run(StatementText text) {
        Session session = root.session();
        root.perform(session, () -> {
            requireBin(session);
            String sql = text.get();
            session.lock();
            try {
                root.startAction(session);
                session.showActivity("UPDATING_DATABASE", sql);
                try (Statement statement = session.connection.createStatement()) {
                    statement.execute(sql);
                }
            } finally {
                session.showActivity(VornActivityController.IDLE, null);
                session.unlock();
            }
        });
    }

    /**
     * For the background checker: whether the bin holds objects, read on a connection of its own so the
     * user's connection and its transaction are never touched; false when it cannot tell.
     */
    boolean backgroundIsFilled(Session session) {
        if (session == null || !session.dialect.hasRecycleBin())
            return false;
        try (Connection connection = session.dialect.connect(session.target);
             Statement statement = connection.createStatement();
             ResultSet rows = statement.executeQuery(RecyclebinStatements.COUNT)) {
            return rows.next() && rows.getLong(1) > 0;
        } catch (SQLException | BackendException | RuntimeException e) {
            return false;
        }
    }

    private static void requireBin(Session session) throws BackendException {
        if (session == null)
            throw new BackendException("Not connected to a database.");
        if (!session.dialect.hasRecycleBin())
            throw new BackendException(session.dialect.typeName() + " has no recycle bin.");
    }
}
