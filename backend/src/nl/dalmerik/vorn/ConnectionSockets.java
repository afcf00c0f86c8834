package nl.dalmerik.vorn;

import java.io.IOException;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.net.Socket;
import javax.net.SocketFactory;
import jdk.net.ExtendedSocketOptions;

/**
 * The sockets of server connections. They probe a silent connection with TCP keep-alive after 30 seconds,
 * every 10 seconds, and give up after 3 unanswered probes: a dead network path is noticed within about a
 * minute, also while a statement runs, and a server that is merely busy is not, as its system answers
 * the probes. The drivers that take a socket factory by name make theirs here.
 */
final class ConnectionSockets {
    static final int KEEP_ALIVE_IDLE_SECONDS = 30;
    static final int KEEP_ALIVE_INTERVAL_SECONDS = 10;
    static final int KEEP_ALIVE_PROBES = 3;
    /** The name drivers make the factory by. */
    static final String FACTORY = Factory.class.getName();

    private ConnectionSockets() {}

    static Socket newSocket() throws IOException {
        Socket socket = new Socket();
        socket.setKeepAlive(true);
        socket.setOption(ExtendedSocketOptions.TCP_KEEPIDLE, KEEP_ALIVE_IDLE_SECONDS);
        socket.setOption(ExtendedSocketOptions.TCP_KEEPINTERVAL, KEEP_ALIVE_INTERVAL_SECONDS);
        socket.setOption(ExtendedSocketOptions.TCP_KEEPCOUNT, KEEP_ALIVE_PROBES);
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
        public Socket createSocket(String host, int port, InetAddress localHost, int localPort) throws IOException {
            return connected(new InetSocketAddress(host, port), new InetSocketAddress(localHost, localPort));
        }

        @Override
        public Socket createSocket(InetAddress host, int port) throws IOException {
            return connected(new InetSocketAddress(host, port), null);
        }

        @Override
        public Socket createSocket(InetAddress address, int port, InetAddress localAddress, int localPort)
            throws IOException {
            return connected(new InetSocketAddress(address, port), new InetSocketAddress(localAddress, localPort));
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
