package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Timestamp;
import java.util.ArrayList;
import java.util.Collections;
import java.util.Hashtable;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.concurrent.ConcurrentLinkedQueue;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.ScheduledExecutorService;
import java.util.concurrent.ScheduledFuture;
import java.util.concurrent.ThreadFactory;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.locks.ReentrantLock;

/**
 * One open database connection of a root. JDBC work on it runs under its lock, one action at a time. The
 * state the native side polls (dirty, broken, the running statement) lives in volatile fields, so it is
 * answered at once while another thread holds the lock. Closing waits for the lock holder: work that must
 * not run while an action is busy is queued, and runs on a background thread once the lock is free, or
 * first thing in the next action.
 */
final class Session {
    /** Flag bits of startNewConnection. */
    static final int FLAG_AUTO_COMMIT = 1;
    static final int FLAG_KEEP_ALIVE = 2;
    static final int FLAG_INDEX_HINTS = 4;

    private static final long KEEP_ALIVE_SECONDS = 240;
    private static final long CANCEL_REPEAT_MILLISECONDS = 500;
    /** Schedules keep-alive pings and repeated cancels. */
    private static final ScheduledExecutorService TIMER =
        Executors.newSingleThreadScheduledExecutor(daemonThreads("Vorn backend timer"));
    /**
     * Runs cancels and deferred closes, which talk to the server: the threads that ask for them (the main
     * thread among them) never wait for the database.
     */
    private static final ExecutorService BACKGROUND =
        Executors.newCachedThreadPool(daemonThreads("Vorn backend"));

    final Dialect dialect;
    final Connection connection;
    /** The connection's sockets and its cancels', where the driver makes them through ConnectionSockets. */
    private final ConnectionSockets.Sockets sockets;
    final ConnectionTarget target;
    final boolean autoCommit;
    /** Index hints in the queries the Oracle dialect builds for browsing. */
    final boolean indexHints;
    final Hashtable<String, Object> info;
    final VornConnectionMetaData metaData;
    final String defaultSchema;
    volatile List<String> schemas;

    private final ReentrantLock lock = new ReentrantLock();
    private final ConcurrentLinkedQueue<Runnable> whenIdle = new ConcurrentLinkedQueue<>();
    private final ScheduledFuture<?> keepAlive;
    private volatile boolean broken;
    private volatile boolean ended;
    private volatile Statement running;
    private volatile boolean cancelRequested;
    private volatile String readOnlyQuery;
    // Queries whose words only read but which wrote: they run as writers (the most recent few are kept).
    private final Set<String> writingQueries = Collections.newSetFromMap(new LinkedHashMap<>() {
        @Override
        protected boolean removeEldestEntry(Map.Entry<String, Boolean> eldest) {
            return size() > 64;
        }
    });
    /** The limit of the server's silence on the backend's own round trips; 0: none. */
    private final int silenceMillis;
    /** MySQL's count of rows written when the current transaction began; -1 while unknown. */
    long writesBeforeTransaction = -1;
    /** Milliseconds of the first uncommitted change, 0 while clean. */
    private volatile long dirtySince;
    /** The result whose cursor is still open on this connection, if any. */
    volatile VornResultset openResult;
    /** The connection's entry with the activity controller; 0 while it has none. */
    volatile int activityUid;
    /** What the next statement is, for the activity viewer. */
    private volatile String activityText;

    private Session(Dialect dialect, Connection connection, ConnectionSockets.Sockets sockets,
                    ConnectionTarget target, int flags, TimestampFormat format) throws SQLException {
        this.dialect = dialect;
        this.connection = connection;
        this.sockets = sockets;
        this.target = target;
        this.autoCommit = (flags & FLAG_AUTO_COMMIT) != 0;
        this.indexHints = (flags & FLAG_INDEX_HINTS) != 0;
        this.silenceMillis = dialect.limitsSilence() ? target.silenceLimitSeconds() * 1000 : 0;
        connection.setAutoCommit(autoCommit);
        dialect.prepareConnection(connection, target);
        this.defaultSchema = dialect.defaultSchema(connection);
        this.schemas = dialect.schemas(connection);
        this.info = describe(format);
        DatabaseMetaData driverMetaData = connection.getMetaData();
        this.metaData = VornConnectionMetaData.forTarget(dialect.typeName(), target, driverMetaData);
        if (!autoCommit)
            learnTransactionWork(false); // where the server's counts stand before the first statement
        this.keepAlive = (flags & FLAG_KEEP_ALIVE) != 0 ? TIMER.scheduleWithFixedDelay(
                             this::pingIfIdle, KEEP_ALIVE_SECONDS, KEEP_ALIVE_SECONDS, TimeUnit.SECONDS)
                                                        : null;
    }

    /** Connects and prepares a session; the connection is closed again when preparing fails. */
    static Session open(Dialect dialect, ConnectionTarget target, int flags, TimestampFormat format)
        throws SQLException, BackendException {
        ConnectionSockets.Sockets sockets = new ConnectionSockets.Sockets();
        Connection connection;
        try (ConnectionSockets.Scope scope = sockets.collect()) {
            connection = dialect.connect(target);
        }
        try {
            return new Session(dialect, connection, sockets, target, flags, format);
        } catch (SQLException | RuntimeException e) {
            closeQuietly(connection);
            throw e;
        }
    }

    private Hashtable<String, Object> describe(TimestampFormat format) throws SQLException {
        DatabaseMetaData driver = connection.getMetaData();
        Hashtable<String, Object> facts = new Hashtable<>();
        facts.put("connectedAs", target.user);
        facts.put("connectedTo", dialect.describeTarget(target));
        facts.put("connectedSince", format.formatFull(new Timestamp(System.currentTimeMillis())));
        putIfPresent(facts, "dbDriverName", driver.getDriverName());
        putIfPresent(facts, "dbDriverVersion", driver.getDriverVersion());
        putIfPresent(facts, "dbProductName", driver.getDatabaseProductName());
        putIfPresent(facts, "dbProductVersion", driver.getDatabaseProductVersion());
        dialect.addConnectionFacts(connection, facts);
        return facts;
    }

    private static void putIfPresent(Hashtable<String, Object> table, String key, String value) {
        if (value != null)
            table.put(key, value);
    }

    /** Takes the connection for one action; also runs what was queued while it was busy. */
    void lock() throws SQLException {
        lock.lock();
        drain();
        if (ended) {
            unlock();
            throw new SQLException("The connection has been closed.", "08003");
        }
    }

    void unlock() {
        lock.unlock();
        runQueuedIfIdle();
    }

    /** Takes the connection only when no action holds it; false (and nothing taken) otherwise. */
    boolean tryLock() {
        if (!lock.tryLock())
            return false;
        drain();
        if (ended) {
            unlock();
            return false;
        }
        return true;
    }

    /**
     * Runs the task on a background thread as soon as no action holds the connection; the next action
     * runs it first if it is still waiting.
     */
    void runWhenIdle(Runnable task) {
        whenIdle.add(task);
        BACKGROUND.execute(this::runQueuedIfIdle);
    }

    private void runQueuedIfIdle() {
        while (!whenIdle.isEmpty() && lock.tryLock()) {
            try {
                drain();
            } finally {
                lock.unlock();
            }
        }
    }

    private void drain() {
        for (Runnable task = whenIdle.poll(); task != null; task = whenIdle.poll()) {
            try {
                task.run();
            } catch (RuntimeException e) {
                // Closing is best effort; a driver's complaint must not keep the lock taken.
            }
        }
    }

    /** Ends the session: stops a running statement and closes the connection once it is free. */
    void end() {
        finish(true);
    }

    /**
     * Drops the connection at once, for a server that answers no cancel (a stalled network): its sockets
     * close, so a statement waiting on them fails now, as stopped, and the session ends without another
     * word to the server. Drivers whose sockets Vorn does not make are asked to abort instead.
     */
    void drop() {
        cancelRequested = true;
        broken = true;
        boolean ownSockets = !sockets.isEmpty();
        sockets.closeAll();
        if (!ownSockets) {
            try {
                connection.abort(BACKGROUND);
            } catch (SQLException | RuntimeException | LinkageError e) {
                // A driver without abort: the close below is all there is.
            }
        }
        finish(false);
    }

    private void finish(boolean stopStatement) {
        if (ended)
            return;
        ended = true;
        metaData.release();
        if (keepAlive != null)
            keepAlive.cancel(false);
        if (stopStatement)
            cancel();
        runWhenIdle(() -> {
            VornResultset result = openResult;
            if (result != null)
                result.close(true);
            closeQuietly(connection);
        });
    }

    boolean ended() {
        return ended;
    }

    boolean broken() {
        return broken;
    }

    /**
     * Marks the start of a statement that cancel() may stop; fails at once when a cancel came first. While
     * it runs the server may be silent for as long as it takes.
     */
    void startStatement(Statement statement) throws SQLException {
        startStatement(statement, "EXECUTING_QUERY");
    }

    /** As startStatement, shown in the activity viewer with the state given. */
    void startStatement(Statement statement, String activityState) throws SQLException {
        showActivity(activityState, activityText);
        running = statement;
        limitSilence(false);
        if (cancelRequested)
            throw new SQLException("Statement cancelled.", "57014");
    }

    void endStatement() {
        running = null;
        activityText = null;
        showActivity(VornActivityController.IDLE, null);
        limitSilence(true);
    }

    /** Commits or rolls back; the server may take its time over deferred checks and triggers. */
    void endTransaction(boolean commit) throws SQLException {
        limitSilence(false);
        try {
            if (commit)
                connection.commit();
            else
                connection.rollback();
        } finally {
            limitSilence(true);
        }
    }

    /**
     * A statement, a fetch or a commit is work the server does for the user, and the user decides how long
     * to wait for it (keep-alive still finds a dead network). The backend's own round trips are limited:
     * silence past the limit there means the network is gone.
     */
    private void limitSilence(boolean limited) {
        if (silenceMillis <= 0)
            return;
        try {
            connection.setNetworkTimeout(BACKGROUND, limited ? silenceMillis : 0);
        } catch (SQLException | RuntimeException e) {
            // The connection is closed; the action that needs it finds out.
        }
    }

    /** Names the statement about to run for the activity viewer. */
    void describeActivity(String text) {
        activityText = text;
    }

    void showActivity(String state, String text) {
        int uid = activityUid;
        if (uid != 0)
            VornActivityController.getInstance().update(uid, state, text, null);
    }

    /** Clears an earlier cancel request before a new action starts. */
    void resetCancel() {
        cancelRequested = false;
    }

    boolean cancelRequested() {
        return cancelRequested;
    }

    /** Asks the database to stop the running statement; callable from any thread. */
    void cancel() {
        cancelRequested = true;
        Statement statement = running;
        if (statement != null)
            showActivity("CANCEL_EXECUTING_QUERY", activityText);
        if (statement != null)
            BACKGROUND.execute(() -> cancelUntilStopped(statement));
    }

    /**
     * A cancel that reaches the server just before the statement starts there is lost, so it is repeated
     * while the same statement still runs.
     */
    private void cancelUntilStopped(Statement statement) {
        if (statement == null || running != statement || !cancelRequested)
            return;
        // A cancel goes to the server on a connection of its own, which a drop closes too.
        try (ConnectionSockets.Scope scope = sockets.collect()) {
            statement.cancel();
        } catch (SQLException | RuntimeException e) {
            // The statement ended meanwhile, or the driver cannot cancel: nothing more to do.
            return;
        }
        TIMER.schedule(() -> BACKGROUND.execute(() -> cancelUntilStopped(statement)), CANCEL_REPEAT_MILLISECONDS,
                       TimeUnit.MILLISECONDS);
    }

    boolean statementRunning() {
        return running != null;
    }

    /** After a failed action: is the connection still usable? Asked only on the failing thread. */
    void noteFailure(SQLException error) {
        if (cancelRequested || ended)
            return;
        if (dialect.connectionLost(error)) {
            broken = true;
            return;
        }
        try {
            broken = connection.isClosed() || !connection.isValid(5);
        } catch (SQLException e) {
            broken = true;
        }
    }

    /** Notes the text of a query that streams in a read-only transaction of its own, or null for any other. */
    void startQuery(String readOnlyText) {
        readOnlyQuery = readOnlyText;
    }

    /** Whether a query with these words turned out to write; it then runs as a writer. */
    boolean wroteAsQuery(String sql) {
        synchronized (writingQueries) {
            return writingQueries.contains(sql);
        }
    }

    /**
     * After a failure of the read-only query: was it the server refusing a write? Then the query runs as a
     * writer from now on.
     */
    boolean noteRefusedWrite(SQLException error) {
        String text = readOnlyQuery;
        if (text == null || !dialect.writeRefusedAsReadOnly(error))
            return false;
        synchronized (writingQueries) {
            writingQueries.add(text);
        }
        return true;
    }

    boolean dirty() {
        return dirtySince != 0;
    }

    int dirtySeconds() {
        long since = dirtySince;
        return since == 0 ? 0 : (int) Math.min(Integer.MAX_VALUE, (System.currentTimeMillis() - since) / 1000);
    }

    void resetDirtySeconds() {
        if (dirtySince != 0)
            dirtySince = System.currentTimeMillis();
    }

    /**
     * Follows what the server says of the open transaction in manual-commit mode; answers whether it could
     * say. The caller holds the lock.
     */
    boolean learnTransactionWork(boolean unboundedResultOpen) {
        switch (dialect.transactionWork(this, unboundedResultOpen)) {
        case CHANGES:
            markDirty();
            return true;
        case NONE:
            markClean();
            return true;
        default:
            return false;
        }
    }

    void markDirty() {
        if (!autoCommit && dirtySince == 0)
            dirtySince = System.currentTimeMillis();
    }

    void markClean() {
        dirtySince = 0;
    }

    /** Keeps an idle connection from being dropped by servers and firewalls; finds broken ones early. */
    private void pingIfIdle() {
        if (ended || openResult != null || !lock.tryLock())
            return;
        try {
            if (!ended && !dialect.ping(connection))
                broken = true;
        } catch (SQLException | RuntimeException e) {
            broken = true;
        } finally {
            unlock();
        }
    }

    /**
     * Ends a transaction that was opened only to stream a cursor, and returns to auto-commit. A commit that
     * fails is rolled back and thrown: what the statement changed did not happen.
     */
    void endCursorTransaction(boolean commit) throws SQLException {
        SQLException failure = null;
        try {
            endTransaction(commit);
        } catch (SQLException e) {
            failure = e;
            try {
                connection.rollback();
            } catch (SQLException ignored) {
                // The connection is broken; the next action finds out.
            }
        }
        try {
            connection.setAutoCommit(true);
            connection.setReadOnly(false);
        } catch (SQLException e) {
            // As above.
        }
        if (commit && failure != null)
            throw failure;
    }

    void reloadSchemas() throws SQLException {
        schemas = new ArrayList<>(dialect.schemas(connection));
    }

    static ThreadFactory daemonThreads(String name) {
        return task -> {
            Thread thread = new Thread(task, name);
            thread.setDaemon(true);
            return thread;
        };
    }

    static void closeQuietly(AutoCloseable resource) {
        if (resource == null)
            return;
        try {
            resource.close();
        } catch (Exception e) {
            // Closing is best effort: the resource is gone either way.
        }
    }
}
