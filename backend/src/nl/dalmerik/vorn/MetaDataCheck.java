package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.Vector;

/**
 * The background checker's validation of a connection's cached metadata. It reads on a connection of its
 * own, registered with the activity controller as a child of the root's connection, so the user's
 * connection and its open transaction are never touched; any failure ends the check quietly.
 */
final class MetaDataCheck {
    private MetaDataCheck() {}

    static boolean run(VornRoot root, Session session, String activity, Vector<Object> schemas, boolean dirtyOnly) {
        if (session.dialect.localDatabaseFile())
            return onOwnConnection(session, schemas, dirtyOnly);
        VornActivityController activities = VornActivityController.getInstance();
        int uid = activities.register(null, root.activityUid() == 0 ? null : root.activityUid(),
                                      session.metaData.toString());
        activities.update(uid, "CHECK_META_DATA", activity, null);
        try (Connection connection = session.dialect.connect(session.target)) {
            readOnly(connection);
            boolean renewed = false;
            for (String schema : names(session, schemas))
                renewed |= renew(session, connection, schema, dirtyOnly);
            return renewed;
        } catch (SQLException | BackendException | RuntimeException e) {
            return false;
        } finally {
            activities.unregister(uid);
        }
    }

    /** The check only reads; a driver that cannot say so beforehand (SQLite) reads all the same. */
    private static void readOnly(Connection connection) {
        try {
            connection.setReadOnly(true);
        } catch (SQLException e) {
            // Nothing it writes anyway.
        }
    }

    /**
     * A database file: a second connection would only contend for the file's locks with the user's, so the
     * check reads on the session's own connection, and only while no action holds it and no transaction is
     * open there.
     */
    private static boolean onOwnConnection(Session session, Vector<Object> schemas, boolean dirtyOnly) {
        if (session.dirty() || !session.tryLock())
            return false;
        try {
            session.showActivity("CHECK_META_DATA", null);
            boolean renewed = false;
            for (String schema : names(session, schemas))
                renewed |= renew(session, session.connection, schema, dirtyOnly);
            return renewed;
        } catch (SQLException | RuntimeException e) {
            return false;
        } finally {
            session.showActivity(VornActivityController.IDLE, null);
            session.unlock();
        }
    }

    private static Set<String> names(Session session, Vector<Object> schemas) {
        Set<String> names = new LinkedHashSet<>();
        if (schemas != null) {
            for (Object schema : schemas) {
                if (schema instanceof String && !((String) schema).isEmpty())
                    names.add((String) schema);
            }
        }
        if (names.isEmpty() && session.defaultSchema != null)
            names.add(session.defaultSchema);
        return names;
    }

    private static boolean renew(Session session, Connection connection, String schema, boolean dirtyOnly)
        throws SQLException {
        VornConnectionMetaData metaData = session.metaData;
        Map<String, List<String>> read = session.dialect.schemaObjects(connection, schema, metaData.reservedWordSet());
        Map<String, List<String>> cached = metaData.schemaObjects(schema);
        boolean changed = dirtyOnly || !read.equals(cached);
        if (!changed)
            return false;
        metaData.storeSchema(schema, read);
        // Element lists already known are renewed here too, so the browser shows them again without
        // taking the user's connection; keys are read again when next asked for.
        if (cached != null && metaData.elements(schema) != null) {
            metaData.storeElements(schema, session.dialect.schemaElements(connection, schema, metaData.reservedWordSet()));
            metaData.forgetForeignKeys(schema);
        }
        return true;
    }
}
