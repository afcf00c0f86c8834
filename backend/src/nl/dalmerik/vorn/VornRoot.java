package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.Hashtable;
import java.util.Vector;

/**
 * The backend of one document (or one connection test): its connection, the SQL connection that runs
 * statements, the current result set, the reservation that lets one action at a time use it, and the
 * outcome of the last action.
 *
 * Every public method catches its own failures: an action leaves lastActionSuccessful and
 * lastErrorMessage behind instead of throwing. Those two answer the calling thread's own last action on
 * this root, or, for a thread that made none, the latest action of any thread; so a main-thread check
 * cannot overwrite the outcome a worker is about to read. State getters, cancelConnecting and
 * sqlConnection().cancelQuery() never wait for a running action.
 */
public class VornRoot {
    private static final Outcome SUCCESS = new Outcome(true, null);

    private final Object stateLock = new Object();
    private final VornSqlConnection sqlConnection = new VornSqlConnection(this);
    private final VornRecyclebin recyclebin = new VornRecyclebin(this);
    private final VornAssistant assistant = new VornAssistant(this);
    private final VornAnalyser analyser = new VornAnalyser(this);
    private final VornImporter importer = new VornImporter(this);
    private final ThreadLocal<Outcome> threadOutcome = new ThreadLocal<>();
    private volatile Outcome lastOutcome = SUCCESS;
    private volatile RootSettings settings = RootSettings.defaults();
    private volatile String reservation;
    private volatile boolean deinitialized;
    private volatile boolean needsRefreshAfterCommit;
    // Written under stateLock, read without it.
    private volatile Session session;
    private volatile VornBrowser browser;
    private volatile VornResultset resultset;
    private volatile VornProcedure procedure;
    private volatile String contentDescription;
    private volatile ConnectAttempt connectAttempt;
    /** The root's entry with the activity controller, from the first initRoot to deInitialize; 0 outside. */
    private volatile int activityUid;

    public VornRoot() {}

    /**
     * Prepares the root. The numbers: LIKE for quick filters on text, LIKE also on numbers, round midnight
     * (a timestamp at 00:00:00 shows as a date), the row limit of a result (0 or less: none), and one
     * reserved for later use.
     */
    public void initRoot(String supportFolder, String timestampPattern, Integer quickFilterUseLike,
                         Integer quickFilterUseLikeMatchOnNumeric, Integer timestampRoundMidnight,
                         Integer rowLimit, Integer reserved) {
        perform(null, () -> {
            boolean noPattern = timestampPattern == null || timestampPattern.isBlank();
            String pattern = noPattern ? TimestampFormat.DEFAULT_PATTERN : timestampPattern;
            TimestampFormat format;
            try {
                format = new TimestampFormat(pattern, isSet(timestampRoundMidnight));
            } catch (IllegalArgumentException e) {
                throw new BackendException("The timestamp format '" + pattern + "' is not valid: "
                                           + e.getMessage());
            }
            synchronized (stateLock) {
                settings = new RootSettings(supportFolder, format, isSet(quickFilterUseLike),
                                            isSet(quickFilterUseLikeMatchOnNumeric),
                                            rowLimit == null ? 0 : rowLimit);
                deinitialized = false;
                if (activityUid == 0)
                    activityUid = VornActivityController.getInstance().register(this, null, null);
            }
        });
    }

    private static boolean isSet(Integer flag) {
        return flag != null && flag != 0;
    }

    /** Ends the connection and any connect in progress; the root does nothing more until initialised again. */
    public void deInitialize() {
        perform(null, () -> {
            synchronized (stateLock) {
                deinitialized = true;
            }
            end();
            int uid;
            synchronized (stateLock) {
                uid = activityUid;
                activityUid = 0;
            }
            VornActivityController.getInstance().unregister(uid);
        });
    }

    /**
     * Connects, blocking until connected, failed, timed out ("TIME_OUT"; 0 seconds waits without limit)
     * or cancelled ("CANCEL_CONNECT"). Flags: 1 auto-commit, 2 keep the connection alive, 4 index hints.
     */
    public void startNewConnection(String server, String port, String database, String user, String password,
                                   String databaseType, String clientName, int timeoutSeconds, int flags) {
        perform(null, () -> {
            Dialect dialect = Dialect.forType(databaseType);
            if (dialect == null)
                throw new BackendException("Vorn cannot connect to databases of type '" + databaseType + "'.");
            end();
            ConnectionTarget target = new ConnectionTarget(server, port, database, user, password, clientName,
                                                           timeoutSeconds);
            // A value the address cannot take is refused before the driver is even loaded.
            dialect.url(target);
            RootSettings current = settings;
            ConnectAttempt attempt =
                new ConnectAttempt(() -> Session.open(dialect, target, flags, current.format));
            synchronized (stateLock) {
                if (deinitialized)
                    throw new BackendException("This connection has been closed.");
                connectAttempt = attempt;
            }
            String described = describe(dialect, target);
            VornActivityController activity = VornActivityController.getInstance();
            activity.setConnectionInfo(activityUid, described);
            activity.update(activityUid, "CONNECT", null, null);
            attempt.start("Vorn connect " + dialect.typeName());
            Session opened;
            try {
                opened = attempt.await(target.timeoutSeconds);
                publish(attempt, opened);
            } catch (SQLException | BackendException | RuntimeException e) {
                forget(attempt);
                activity.setConnectionInfo(activityUid, null);
                throw e;
            } finally {
                activity.update(activityUid, VornActivityController.IDLE, null, null);
            }
        });
    }

    private void forget(ConnectAttempt attempt) {
        synchronized (stateLock) {
            if (connectAttempt == attempt)
                connectAttempt = null;
        }
    }

    /** Makes the new session the root's, unless the attempt was given up meanwhile. */
    private void publish(ConnectAttempt attempt, Session opened) throws BackendException {
        boolean keep;
        synchronized (stateLock) {
            keep = connectAttempt == attempt && !deinitialized;
            if (keep) {
                opened.activityUid = activityUid;
                session = opened;
                browser = new VornBrowser(this, opened);
                needsRefreshAfterCommit = false;
            }
        }
        forget(attempt);
        if (!keep) {
            opened.end();
            throw new BackendException(ConnectAttempt.CANCEL_CONNECT);
        }
    }

    /** Gives up a connect in progress; it then fails with "CANCEL_CONNECT". */
    public void cancelConnecting() {
        ConnectAttempt attempt = connectAttempt;
        if (attempt != null)
            attempt.cancel();
    }

    /** Closes the connection (after the running statement, which is cancelled); safe without one. */
    public void endConnection() {
        perform(null, this::end);
    }

    private void end() {
        ConnectAttempt attempt;
        synchronized (stateLock) {
            attempt = connectAttempt;
            connectAttempt = null;
        }
        if (attempt != null)
            attempt.cancel();
        Session ended = takeSession();
        if (ended != null) {
            VornActivityController activity = VornActivityController.getInstance();
            activity.update(activityUid, "DISCONNECT", null, null);
            ended.end();
            activity.setConnectionInfo(activityUid, null);
            activity.update(activityUid, VornActivityController.IDLE, null, null);
        }
    }

    /** How the activity viewer names a connection: "PostgreSQL scott@sales on db:5432". */
    private static String describe(Dialect dialect, ConnectionTarget target) {
        String where = dialect.describeTarget(target);
        return target.user.isEmpty() ? dialect.typeName() + " " + where
                                     : dialect.typeName() + " " + target.user + "@" + where;
    }

    /**
     * Drops the connection at once, without waiting on the server: for a statement whose server answers no
     * cancel. The statement fails as stopped, and the root has no connection afterwards.
     */
    public void dropConnection() {
        perform(null, () -> {
            Session dropped = takeSession();
            if (dropped != null)
                dropped.drop();
        });
    }

    private Session takeSession() {
        synchronized (stateLock) {
            Session taken = session;
            session = null;
            browser = null;
            resultset = null;
            procedure = null;
            contentDescription = null;
            return taken;
        }
    }

    public boolean hasConnection() {
        return session != null;
    }

    /** Whether the connection has not been found broken; answered without a round trip. */
    public boolean isConnected() {
        Session current = session;
        return current != null && !current.broken();
    }

    /**
     * Takes the root for one action; refused only while another action holds it. A Stop (cancelQuery) that
     * comes while the root is reserved belongs to the action: it stops the action's statement also when it
     * comes before the statement reached the server.
     */
    public boolean reserveRoot(String activity) {
        synchronized (stateLock) {
            if (reservation != null)
                return false;
            reservation = activity == null ? "" : activity;
        }
        forgetCancel();
        return true;
    }

    public void releaseReservedRoot() {
        reservation = null;
        forgetCancel();
    }

    private void forgetCancel() {
        Session current = session;
        if (current != null)
            current.resetCancel();
    }

    /**
     * An action starts on the session: a Stop that came for an earlier one is forgotten, unless the root is
     * reserved, whose reservation began the action (see reserveRoot).
     */
    void startAction(Session current) {
        if (!reserved())
            current.resetCancel();
    }

    public boolean reserved() {
        return reservation != null;
    }

    public boolean lastActionSuccessful() {
        return outcome().successful;
    }

    public String lastErrorMessage() {
        return outcome().message;
    }

    public boolean localDatabaseFileConnection() {
        Session current = session;
        return current != null && current.dialect.localDatabaseFile();
    }

    /** "Oracle", "MySQL", "PostgreSQL", "SQL Server" or "SQLite"; null without a connection. */
    public String connectionType() {
        Session current = session;
        return current == null ? null : current.dialect.typeName();
    }

    public String server() {
        Session current = session;
        return current == null ? null : current.target.server;
    }

    public String database() {
        Session current = session;
        return current == null ? null : current.target.database;
    }

    public String username() {
        Session current = session;
        return current == null ? null : current.target.user;
    }

    /** Facts for the connection details sheet ("connectedAs", "connectedTo", "dbDriverName", ...). */
    public Hashtable<String, Object> connectionInfo() {
        Session current = session;
        return current == null ? null : new Hashtable<>(current.info);
    }

    /** Uncommitted changes are waiting. */
    public boolean dirty() {
        Session current = session;
        return current != null && current.dirty();
    }

    /** Seconds since the first uncommitted change, or since the count was last reset. */
    public int dirtySeconds() {
        Session current = session;
        return current == null ? 0 : current.dirtySeconds();
    }

    public void resetDirtySeconds() {
        Session current = session;
        if (current != null)
            current.resetDirtySeconds();
    }

    public void commit() {
        Session current = session;
        perform(current, () -> endTransaction(current, true));
    }

    public void rollback() {
        Session current = session;
        perform(current, () -> endTransaction(current, false));
    }

    /**
     * A result still reading from a cursor inside the transaction is read to its end first: the cursor does
     * not survive the transaction.
     */
    private void endTransaction(Session current, boolean commit) throws SQLException, BackendException {
        requireConnection(current);
        current.lock();
        try {
            startAction(current);
            VornResultset open = current.openResult;
            boolean finished = open != null && !current.autoCommit;
            if (finished)
                open.finish();
            if (commit)
                needsRefreshAfterCommit = finished;
            if (!current.autoCommit)
                current.endTransaction(commit);
            current.markClean();
            if (!current.autoCommit)
                current.learnTransactionWork(false); // MySQL counts writes from here
        } finally {
            current.unlock();
        }
    }

    public boolean dataDefinitionCausesTransactionCommit() {
        Session current = session;
        return current != null && current.dialect.dataDefinitionCommits();
    }

    /** The last commit changed the shown result set (it read the rest of its rows). */
    public boolean needsRefreshAfterCommit() {
        return needsRefreshAfterCommit;
    }

    /** Forgets the cached schema contents and reads the list of schemas again. */
    public void reloadConnectionMetaDataCache() {
        Session current = session;
        perform(current, () -> {
            requireConnection(current);
            current.lock();
            try {
                current.metaData.clearSchemas();
                current.reloadSchemas();
            } finally {
                current.unlock();
            }
        });
    }

    /** Edited stored code that is neither built nor reverted keeps the focus, so the edits are not lost. */
    public boolean allowFocusChange() {
        VornProcedure current = procedure;
        boolean allowed = current == null || !current.sourceIsDirty();
        perform(null, () -> {
            if (!allowed)
                throw new BackendException("PROCEDURE_NEEDS_COMMIT_OR_REVERT");
        });
        return allowed;
    }

    /** Drops the current result set; its cursor is closed as soon as the connection is free. */
    public void clearResultset() {
        perform(null, () -> {
            VornResultset cleared;
            synchronized (stateLock) {
                cleared = resultset;
                resultset = null;
                procedure = null;
                contentDescription = null;
            }
            if (cleared != null)
                cleared.discard();
        });
    }

    public VornResultset resultset() {
        return resultset;
    }

    public VornSqlConnection sqlConnection() {
        return sqlConnection;
    }

    /** The connection's metadata; without a connection, one with the standard reserved words only. */
    public VornConnectionMetaData connectionMetaData() {
        Session current = session;
        return current == null ? VornConnectionMetaData.DISCONNECTED : current.metaData;
    }

    public VornBrowser browser() {
        return browser;
    }

    public boolean fullyLoadedForSchema(String schema) {
        Session current = session;
        return current != null && current.metaData.fullyLoaded(schemaOrDefault(current, schema));
    }

    /** Reads the tables and views of the schema with their columns into the metadata cache. */
    public void fullyLoadForSchema(String schema) {
        Session current = session;
        perform(current, () -> {
            requireConnection(current);
            String name = schemaOrDefault(current, schema);
            current.lock();
            try {
                current.showActivity("CONNECTION_META_DATA_TABLES", name);
                current.metaData.storeSchema(
                    name, current.dialect.schemaObjects(current.connection, name, current.metaData.reservedWordSet()));
            } finally {
                current.showActivity(VornActivityController.IDLE, null);
                current.unlock();
            }
        });
    }

    private static String schemaOrDefault(Session current, String schema) {
        return schema == null || schema.isEmpty() ? current.defaultSchema : schema;
    }

    public boolean supportsRecycleBin() {
        return connectionMetaData().supportsRecycleBin();
    }

    /**
     * For the background checker: whether the recycle bin holds objects. A root that an action holds is not
     * asked (false), so the check never waits for or disturbs the user's work.
     */
    public boolean backgroundCheckRecycleBin(String activity) {
        Session current = session;
        if (current == null || !supportsRecycleBin() || reserved())
            return false;
        VornActivityController activities = VornActivityController.getInstance();
        activities.update(activityUid, "CHECK_RECYCLEBIN", activity, null);
        try {
            return recyclebin.backgroundIsFilled(current);
        } finally {
            activities.update(activityUid, VornActivityController.IDLE, null, null);
        }
    }

    /**
     * For the background checker: reads the given schemas' tables and columns again and stores what changed
     * in the connection's metadata (shared by every root on the same target); answers whether anything was
     * renewed. With dirtyOnly the caller knows the schemas changed, so their cached elements are read again
     * in any case. The reading runs on a connection of its own, listed as a child of this root's: the user's
     * connection, and any transaction open on it, is never touched, and a failing query ends only this check.
     */
    public boolean backgroundCheckValidAndUpdateMetaData(String activity, Vector<Object> schemas,
                                                         boolean dirtyOnly) {
        Session current = session;
        if (current == null || current.ended())
            return false;
        // Not an action of the root: its outcome must not become the one the user's threads read.
        return MetaDataCheck.run(this, current, activity, schemas, dirtyOnly);
    }

    /** Whether the connected database explains statements. */
    public boolean analysisSupported() {
        Session current = session;
        return current != null && ExecutionPlans.supported(current.dialect);
    }

    public VornAnalyser analyse() {
        return analyser;
    }

    /**
     * Whether the browser loaded an object that is shown as its text (an index, a constraint, a trigger, a
     * sequence, ...) rather than as rows or as editable stored code; statements never are.
     */
    public boolean hasContentDescription() {
        return contentDescription != null;
    }

    /** The loaded object's text; null once rows, stored code or a statement's result took its place. */
    public String contentDescription() {
        return contentDescription;
    }

    /** The stored code the browser loaded last; null once rows or a statement's result took its place. */
    public VornProcedure procedure() {
        return procedure;
    }

    /** Makes the stored code the current object in place of any result set. */
    void showProcedure(Session owner, VornProcedure next) {
        VornResultset previous;
        synchronized (stateLock) {
            if (session != owner)
                return;
            previous = resultset;
            resultset = null;
            procedure = next;
            contentDescription = null;
        }
        if (previous != null)
            previous.discard();
    }

    /** Makes an object's text (its definition) the current object in place of any result or stored code. */
    void showContentDescription(Session owner, String text) {
        VornResultset previous;
        synchronized (stateLock) {
            if (session != owner)
                return;
            previous = resultset;
            resultset = null;
            procedure = null;
            contentDescription = text;
        }
        if (previous != null)
            previous.discard();
    }

    /** A build renamed the stored code: the root no longer has it. */
    void forgetProcedure(VornProcedure gone) {
        synchronized (stateLock) {
            if (procedure == gone)
                procedure = null;
        }
    }

    public VornRecyclebin recyclebin() {
        return recyclebin;
    }

    /** The create assistants' questions about the connected database. */
    public VornAssistant assistant() {
        return assistant;
    }

    /** Writes imported rows into a table of the connection. */
    public VornImporter importer() {
        return importer;
    }

    public static boolean databaseTypeHasLocalDatabaseFileConnection(String databaseType) {
        Dialect dialect = Dialect.forType(databaseType);
        return dialect != null && dialect.localDatabaseFile();
    }

    public static boolean databaseTypeHasDedicatedTransactionSupport(String databaseType) {
        Dialect dialect = Dialect.forType(databaseType);
        return dialect != null && dialect.dedicatedTransactionSupport();
    }

    Session session() {
        return session;
    }

    int activityUid() {
        return activityUid;
    }

    RootSettings settings() {
        return settings;
    }

    /**
     * Makes a result the current one (the caller holds the session's lock). A result of a session that
     * has ended meanwhile is closed instead; the result it replaces is closed when it belongs to this session.
     */
    void replaceResultset(Session owner, VornResultset next) {
        VornResultset previous;
        boolean current;
        synchronized (stateLock) {
            current = session == owner;
            previous = resultset;
            if (current) {
                resultset = next;
                procedure = null;
                contentDescription = null;
            }
        }
        if (!current) {
            if (next != null)
                next.close(true);
            return;
        }
        if (previous != null && previous != next && previous.session() == owner)
            previous.close(true);
    }

    private static void requireConnection(Session current) throws BackendException {
        if (current == null)
            throw new BackendException("Not connected to a database.");
    }

    /** Work that throws; perform turns its outcome into the root's state. */
    interface Action {
        void run() throws SQLException, BackendException;
    }

    void perform(Session current, Action action) {
        try {
            action.run();
            record(SUCCESS);
        } catch (SQLException e) {
            record(new Outcome(false, failureMessage(current, e)));
        } catch (BackendException e) {
            record(new Outcome(false, e.getMessage()));
        } catch (RuntimeException | Error e) {
            // An Error (out of memory, a stack overflow, a driver class that fails to load) fails the
            // action all the same: the caller must never read it as success.
            record(new Outcome(false, Errors.message(e)));
        }
    }

    static final String WROTE_AFTER_FIRST_ROWS =
        "The query wrote to the database after its first rows. Run it again to let it write.";

    private static String failureMessage(Session current, SQLException error) {
        if (current == null)
            return Errors.message(error);
        if (current.cancelRequested())
            return current.dialect.cancelledMessage(error);
        if (current.noteRefusedWrite(error))
            return Errors.message(error) + "\n" + WROTE_AFTER_FIRST_ROWS;
        current.noteFailure(error);
        return current.broken() ? Errors.connectionLost(error) : Errors.message(error);
    }

    private void record(Outcome outcome) {
        threadOutcome.set(outcome);
        lastOutcome = outcome;
    }

    private Outcome outcome() {
        Outcome own = threadOutcome.get();
        return own != null ? own : lastOutcome;
    }

    private static final class Outcome {
        final boolean successful;
        final String message;

        Outcome(boolean successful, String message) {
            this.successful = successful;
            this.message = message;
        }
    }
}
