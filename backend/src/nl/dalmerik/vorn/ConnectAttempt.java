package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.concurrent.Callable;
import java.util.concurrent.TimeUnit;

/**
 * Opens a session on a thread of its own, so that the caller can give up on a time-out or a cancel while
 * the driver is still waiting for the server. A session that arrives after the caller gave up is closed.
 */
final class ConnectAttempt implements Runnable {
    static final String TIME_OUT = "TIME_OUT";
    static final String CANCEL_CONNECT = "CANCEL_CONNECT";

    private final Callable<Session> opener;
    private Session session;
    private Exception failure;
    private String abandoned;
    private boolean done;

    ConnectAttempt(Callable<Session> opener) {
        this.opener = opener;
    }

    void start(String name) {
        Thread thread = new Thread(this, name);
        thread.setDaemon(true);
        thread.start();
    }

    @Override
    public void run() {
        Session opened = null;
        Exception error = null;
        try {
            opened = opener.call();
        } catch (Exception e) {
            error = e;
        } catch (LinkageError e) {
            error = new BackendException("The database driver could not be loaded: " + Errors.message(e));
        }
        boolean keep;
        synchronized (this) {
            keep = abandoned == null;
            if (keep) {
                session = opened;
                failure = error;
            }
            done = true;
            notifyAll();
        }
        if (!keep && opened != null)
            opened.end();
    }

    /** Waits for the session; 0 seconds waits for as long as it takes. */
    synchronized Session await(int timeoutSeconds) throws SQLException, BackendException {
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(timeoutSeconds);
        while (!done && abandoned == null) {
            long remaining = deadline - System.nanoTime();
            if (timeoutSeconds > 0 && remaining <= 0) {
                abandoned = TIME_OUT;
                break;
            }
            try {
                if (timeoutSeconds > 0)
                    TimeUnit.NANOSECONDS.timedWait(this, remaining);
                else
                    wait();
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
                abandoned = CANCEL_CONNECT;
            }
        }
        if (abandoned != null)
            throw new BackendException(abandoned);
        if (failure instanceof SQLException)
            throw (SQLException) failure;
        if (failure instanceof BackendException)
            throw (BackendException) failure;
        if (failure != null)
            throw new BackendException(Errors.message(failure));
        return session;
    }

    /** Gives up on the attempt unless it has already finished. */
    synchronized void cancel() {
        if (!done && abandoned == null) {
            abandoned = CANCEL_CONNECT;
            notifyAll();
        }
    }
}
