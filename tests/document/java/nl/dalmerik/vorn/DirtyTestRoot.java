package nl.dalmerik.vorn;

/**
 * A root whose open transaction and its age the test sets, for the document's reminder, and that
 * remembers how it was last asked to connect.
 */
public class DirtyTestRoot extends VornRoot {
    private volatile boolean fakeDirty;
    private volatile String lastConnect = "";
    private volatile int fakeDirtySeconds;
    private volatile int resets;

    public void setFakeDirtySeconds(Integer seconds) {
        fakeDirty = seconds != null && seconds >= 0;
        fakeDirtySeconds = seconds == null ? 0 : seconds;
    }

    /** "client name|time-out|flags" of the last connection start. */
    public String lastConnect() {
        return lastConnect;
    }

    @Override
    public void startNewConnection(String server, String port, String database, String user, String password,
                                   String databaseType, String clientName, int timeoutSeconds, int flags) {
        lastConnect = clientName + "|" + timeoutSeconds + "|" + flags;
        super.startNewConnection(server, port, database, user, password, databaseType, clientName, timeoutSeconds,
                                 flags);
    }

    public int resetCount() {
        return resets;
    }

    @Override
    public boolean hasConnection() {
        return fakeDirty || super.hasConnection();
    }

    @Override
    public boolean dirty() {
        return fakeDirty || super.dirty();
    }

    @Override
    public int dirtySeconds() {
        return fakeDirty ? fakeDirtySeconds : super.dirtySeconds();
    }

    @Override
    public void resetDirtySeconds() {
        resets++;
        fakeDirtySeconds = 0;
        super.resetDirtySeconds();
    }
}
