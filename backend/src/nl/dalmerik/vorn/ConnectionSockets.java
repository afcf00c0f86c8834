package nl.dalmerik.vorn;

import java.io.IOException;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.net.Socket;
import java.util.ArrayList;
import java.util.List;
import javax.net.SocketFactory;
import jdk.net.ExtendedSocketOptions;

/**
 * The sockets of server connections. They probe a silent connection with TCP keep-alive after 30 seconds,
 * every 10 seconds, and give up after 3 unanswered probes: a dead network path is noticed within about a
 * minute, also while a statement runs, and a server that is merely busy is not, as its system answers
 * the probes. The drivers that take a socket factory by name make theirs here.
 *
 * The sockets a session's connect and its cancels make are also collected for the session, which can then
 * close them at once when the user drops a connection whose server no longer answers.
 */
final class ConnectionSockets {
    static final int KEEP_ALIVE_IDLE_SECONDS = 30;
    static final int KEEP_ALIVE_INTERVAL_SECONDS = 10;
    static final int KEEP_ALIVE_PROBES = 3;
    /** The name drivers make the factory by. */
    static final String FACTORY = Factory.class.getName();

    /** Inherited, so a driver that connects on a thread of its own still reports to the connecting one. */
    private static final InheritableThreadLocal<Scope> COLLECTING = new InheritableThreadLocal<>();

    private ConnectionSockets() {}

    /** The sockets of one session: its connection's, and those of the cancels sent for it. */
    static final class Sockets {
        private final List<Socket> sockets = new ArrayList<>();
        private boolean closed;

        /** Collects the sockets made on this thread (and threads it starts) until the scope is closed. */
        Scope collect() {
            Scope scope = new Scope(this);
            COLLECTING.set(scope);
            return scope;
        }

        /** A socket that comes after closeAll (a cancel still on its way) is closed at once. */
        synchronized void add(Socket socket) {
            if (closed) {
                Session.closeQuietly(socket);
                return;
            }
            sockets.removeIf(Socket::isClosed);
            sockets.add(socket);
        }

        synchronized boolean isEmpty() {
            return sockets.isEmpty();
        }

        /** Closes every socket, and each one made for the session later: what waits on one fails at once. */
        synchronized void closeAll() {
            closed = true;
            for (Socket socket : sockets)
                Session.closeQuietly(socket);
            sockets.clear();
        }
    }

    /** One time of collecting; sockets made after it closed (on threads it started) are not collected. */
    static final class Scope implements AutoCloseable {
        private final Sockets target;
        private volatile boolean closed;

        private Scope(Sockets target) {
            this.target = target;
        }

        private void add(Socket socket) {
            if (!closed)
                target.add(socket);
        }

        @Override
        public void close() {
            closed = true;
            if (COLLECTING.get() == this)
                COLLECTING.remove();
        }
    }

    static Socket newSocket() throws IOException {
        Socket socket = new Socket();
        socket.setKeepAlive(true);
        socket.setOption(ExtendedSocketOptions.TCP_KEEPIDLE, KEEP_ALIVE_IDLE_SECONDS);
        socket.setOption(ExtendedSocketOptions.TCP_KEEPINTERVAL, KEEP_ALIVE_INTERVAL_SECONDS);
        socket.setOption(ExtendedSocketOptions.TCP_KEEPCOUNT, KEEP_ALIVE_PROBES);
        Scope scope = COLLECTING.get();
        if (scope != null)
            scope.add(socket);
        return socket;
    }

    /**
     * The factory drivers make by name. Public, as they must be able to construct it; nested, as the native
     * side never calls it.
     */
    public static final class Factory extends SocketFactory {
        public Factory() {}

        /** The form pgjdbc uses when given a factory argument; there is none to use. */
        public Factory(String unused) {}

        @Override
        public Socket createSocket() throws IOException {
            return newSocket();
        }

        @Override
        public Socket createSocket(String host, int port) throws IOException {
            return connected(new InetSocketAddress(host, port), null);
        }

        @Override
        public Socket createSocket(String host, int port, InetAddress localHost, int localPort)
            throws IOException {
            return connected(new InetSocketAddress(host, port), new InetSocketAddress(localHost, localPort));
        }

        @Override
        public Socket createSocket(InetAddress host, int port) throws IOException {
            return connected(new InetSocketAddress(host, port), null);
        }

        @Override
        public Socket createSocket(InetAddress address, int port, InetAddress localAddress, int localPort)
            throws IOException {
            return connected(new InetSocketAddress(address, port),
                             new InetSocketAddress(localAddress, localPort));
        }

        private static Socket connected(InetSocketAddress remote, InetSocketAddress local) throws IOException {
            Socket socket = newSocket();
            try {
                if (local != null)
                    socket.bind(local);
                socket.connect(remote);
                return socket;
            } catch (IOException e) {
                socket.close();
                throw e;
            }
        }
    }
}
