package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.sql.Savepoint;
import java.util.Hashtable;
import java.util.Locale;
import java.util.Vector;

/**
 * What the info column shows about one database object. Made at once without database work: the
 * type and subtype of genericInfo and the couldContain answers are known from the object's type. The
 * rest is fetched once, on the caller's worker thread, after a reservation: of a connection of the
 * info's own (background) or of the document's root (foreground); asked again later, each part
 * answers what was fetched. A part that cannot be read answers empty (no DDL: null).
 */
public class VornInfo {
    private final VornRoot root;
    private final Session session;
    private final InfoQueries queries;
    private final String schema;
    private final String type;
    private final String ownName;
    private final String table;
    private final Hashtable<String, Object> generic = new Hashtable<>();

    private Connection background;
    private boolean foreground;
    private boolean genericFilled;
    private volatile Vector<Hashtable<String, Object>> columns;
    private volatile Hashtable<String, Object> indexes;
    private volatile Vector<Hashtable<String, Object>> constraints;
    private Vector<String> triggers;
    private String ddl;
    private boolean ddlFetched;

    private VornInfo(VornRoot root, Session session, InfoQueries queries, String schema, String type,
                     String name) {
        this.root = root;
        this.session = session;
        this.queries = queries;
        this.schema = schema;
        this.type = type;
        String[] parts = session.dialect.namesPerTable(type) ? ElementNames.split(name) : null;
        this.ownName = parts == null ? name : parts[1];
        this.table = parts == null ? null : parts[0];
        generic.put("name", name);
        generic.put("type", type);
        if (schema != null)
            generic.put("schema", schema);
        generic.put("subtype", subtypeOf(type));
        generic.put("schemaTerm", queries.schemaTerm(session.metaData.schemaTerm()));
        generic.put("catalogTerm", session.metaData.catalogTerm());
    }

    /** The info of an object of the root's connection; null without a connection or a known object. */
    static VornInfo describe(VornRoot root, String schema, String type, String name) {
        Session session = root.session();
        if (session == null || type == null || name == null)
            return null;
        InfoQueries queries = InfoQueries.forDialect(session.dialect);
        if (queries == null)
            return null;
        String place = schema == null || schema.isEmpty() ? session.defaultSchema : schema;
        return new VornInfo(root, session, queries, place, type, name);
    }

    /** The info of database sessions, whose pages the management resources describe. */
    static VornInfo describeSession(VornRoot root) {
        return describe(root, null, "SESSION", "Session");
    }

    /** The rows of a session page's query; null when it cannot be read. */
    public synchronized Vector<Hashtable<String, Object>> sessionData(String query, String first, String second,
                                                                      boolean transpose, float waitSeconds) {
        return read(target -> SessionQueries.rows(target.connection, query, first, second, transpose,
                                                  waitSeconds));
    }

    /** Runs a session action (cancel, terminate, ...); its outcome is the root's last outcome. */
    public synchronized void sessionAction(String query, String first, String second) {
        root.perform(session, () -> {
            if (background != null) {
                SessionQueries.act(background, query, first, second);
                return;
            }
            session.lock();
            try {
                Connection connection = session.connection;
                boolean guard = !connection.getAutoCommit() && session.dialect.failedStatementAbortsTransaction();
                Savepoint savepoint = guard ? connection.setSavepoint() : null;
                try {
                    SessionQueries.act(connection, query, first, second);
                    if (savepoint != null)
                        connection.releaseSavepoint(savepoint);
                } catch (SQLException | BackendException | RuntimeException e) {
                    if (savepoint != null)
                        connection.rollback(savepoint);
                    throw e;
                }
            } finally {
                session.unlock();
            }
        });
    }

    /** The info of what a synonym stands for, looked up only while the connection is free. */
    static VornInfo describeSynonymTarget(VornRoot root, String schema, String name) {
        Session session = root.session();
        if (session == null || name == null || !session.tryLock())
            return null;
        String place = schema == null || schema.isEmpty() ? session.defaultSchema : schema;
        String[] target;
        try {
            switch (session.dialect.typeName()) {
            case "Oracle":
                target = OracleInfoQueries.synonymTarget(session.connection, place, name);
                break;
            case "SQL Server":
                target = SQLServerInfoQueries.synonymTarget(session.connection, place, name);
                break;
            default:
                target = null;
                break;
            }
        } catch (SQLException | RuntimeException e) {
            target = null;
        } finally {
            session.unlock();
        }
        return target == null ? null : describe(root, target[0], target[1], target[2]);
    }

    /** The kind of description an object type gets: table-like, procedure-like, index, or its own. */
    static String subtypeOf(String type) {
        switch (type) {
        case "TABLE":
        case "SYSTEM TABLE":
        case "VIEW":
        case "SYSTEM VIEW":
        case "MATERIALIZED VIEW":
        case "SYNONYM":
            return "table";
        case "PROCEDURE":
        case "FUNCTION":
            return "procedure";
        default:
            return type.toLowerCase(Locale.ROOT);
        }
    }

    public VornRoot root() {
        return root;
    }

    public Hashtable<String, Object> genericInfo() {
        return generic;
    }

    // --- What the object can have; no database work.

    private boolean tableLike() {
        return type.equals("TABLE") || type.equals("SYSTEM TABLE");
    }

    public boolean couldContainTriggerInfo() {
        return tableLike() || (type.contains("VIEW") && queries.triggersOnViews());
    }

    public boolean couldContainIndexInfo() {
        return tableLike();
    }

    public boolean couldContainConstraintInfo() {
        return tableLike();
    }

    public boolean couldContainPartitionInfo() {
        return queries.partitionsOn(type);
    }

    public boolean couldContainDdlInfo() {
        return true;
    }

    public boolean couldContainIndexColumnInfo() {
        return type.equals("INDEX");
    }

    // --- Reservations.

    /** Opens (or keeps) a connection of the info's own; false when it cannot be opened. */
    public synchronized boolean reserveBackgroundRoot(String reason) {
        if (background != null)
            return true;
        Connection opened = null;
        try {
            opened = session.dialect.connect(session.target);
            session.dialect.prepareConnection(opened, session.target);
            opened.setAutoCommit(true);
            background = opened;
            return true;
        } catch (SQLException | BackendException | RuntimeException e) {
            if (opened != null)
                closeQuietly(opened);
            return false;
        }
    }

    /** Takes the document's root for the load; false while another action holds it. */
    public synchronized boolean reserveForegroundRoot(String reason) {
        if (session.ended() || !root.reserveRoot(reason))
            return false;
        foreground = true;
        return true;
    }

    public synchronized void releaseReservedRoot() {
        if (foreground) {
            foreground = false;
            root.releaseReservedRoot();
        }
    }

    /** Closes the info's own connection, if it has one. */
    public synchronized void endConnection() {
        if (background != null) {
            closeQuietly(background);
            background = null;
        }
    }

    private static void closeQuietly(Connection connection) {
        try {
            connection.close();
        } catch (SQLException | RuntimeException e) {
            // Nothing more to do for a connection that is going away.
        }
    }

    // --- Details, fetched once.

    public synchronized void fillOutGenericInfo() {
        if (genericFilled)
            return;
        genericFilled = true;
        read(target -> {
            queries.fillGeneric(target, generic);
            return null;
        });
    }

    public synchronized Vector<Hashtable<String, Object>> columns() {
        if (columns == null) {
            columns = read(target -> {
                if (subtypeOf(type).equals("procedure"))
                    return queries.routineColumns(target);
                if (type.equals("INDEX"))
                    return queries.indexColumns(target);
                return queries.tableColumns(target);
            });
            if (columns == null)
                columns = new Vector<>();
        }
        return columns;
    }

    public synchronized Hashtable<String, Object> indexes() {
        if (indexes == null) {
            indexes = couldContainIndexInfo() ? read(queries::indexes) : null;
            if (indexes == null)
                indexes = InfoQueries.indexTable(new Vector<>(), new Hashtable<>(), new Hashtable<>(),
                                                 new Hashtable<>());
        }
        return indexes;
    }

    public synchronized Vector<Hashtable<String, Object>> constraints() {
        if (constraints == null) {
            constraints = couldContainConstraintInfo() ? read(queries::constraints) : null;
            if (constraints == null)
                constraints = new Vector<>();
        }
        return constraints;
    }

    public synchronized Vector<String> triggers() {
        if (triggers == null) {
            triggers = couldContainTriggerInfo() ? read(queries::triggers) : null;
            if (triggers == null)
                triggers = new Vector<>();
        }
        return triggers;
    }

    public synchronized String ddl() {
        if (!ddlFetched) {
            ddlFetched = true;
            ddl = read(queries::ddl);
        }
        return ddl;
    }

    /**
     * Whether the info column can describe the named object of the type ("TABLE", "INDEX" or
     * "CONSTRAINT"): answered from what was fetched, without waiting for a fetch under way, so the main
     * thread never waits for the database.
     */
    public boolean canObtainInfoFor(String otherName, String otherType) {
        if (otherName == null || otherName.isEmpty() || otherType == null)
            return false;
        Hashtable<String, Object> fetchedIndexes = indexes;
        Vector<Hashtable<String, Object>> fetchedConstraints = constraints;
        switch (otherType) {
        case "INDEX":
            return fetchedIndexes != null && ((Vector<?>) fetchedIndexes.get("names")).contains(otherName);
        case "CONSTRAINT":
            return fetchedConstraints != null
                && fetchedConstraints.stream().anyMatch(c -> otherName.equals(c.get("name")));
        case "TABLE":
            if (otherName.equals(generic.get("tablename")) || otherName.equals(generic.get("referencetable")))
                return true;
            return fetchedConstraints != null
                && fetchedConstraints.stream().anyMatch(c -> otherName.equals(c.get("othertable")));
        default:
            return false;
        }
    }

    private interface Reader<T> {
        T read(InfoQueries.Target target) throws SQLException;
    }

    /**
     * Reads on the info's own connection, or on the root's under its lock. On the root's connection in
     * a transaction a failed read must not end the user's transaction: a savepoint takes it back.
     */
    private <T> T read(Reader<T> reader) {
        try {
            if (background != null)
                return reader.read(new InfoQueries.Target(background, schema, type, ownName, table));
            session.lock();
            try {
                Connection connection = session.connection;
                boolean guard = !connection.getAutoCommit() && session.dialect.failedStatementAbortsTransaction();
                Savepoint savepoint = guard ? connection.setSavepoint() : null;
                try {
                    T result = reader.read(new InfoQueries.Target(connection, schema, type, ownName, table));
                    if (savepoint != null)
                        connection.releaseSavepoint(savepoint);
                    return result;
                } catch (SQLException | RuntimeException e) {
                    if (savepoint != null)
                        connection.rollback(savepoint);
                    throw e;
                }
            } finally {
                session.unlock();
            }
        } catch (SQLException | RuntimeException e) {
            return null;
        }
    }
}
