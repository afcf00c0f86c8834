package nl.dalmerik.vorn;

/** What a connection goes to, as the user typed it; the password is kept only until connected. */
final class ConnectionTarget {
    final String server;
    final String port;
    final String database;
    final String user;
    final String password;
    final String clientName;
    final int timeoutSeconds;

    ConnectionTarget(String server, String port, String database, String user, String password,
                     String clientName, int timeoutSeconds) {
        this.server = trimmed(server);
        this.port = trimmed(port);
        this.database = database == null ? "" : database;
        this.user = user == null ? "" : user;
        this.password = password == null ? "" : password;
        this.clientName = clientName == null || clientName.isBlank() ? "Vorn" : clientName;
        this.timeoutSeconds = Math.max(0, timeoutSeconds);
    }

    /**
     * The time-out handed to the driver: longer than the wait for the connection, so that the wait
     * reports "TIME_OUT" itself, and a driver left waiting on an unanswering server still gives up. 0: none.
     */
    int driverTimeoutSeconds() {
        return timeoutSeconds > 0 ? timeoutSeconds + 5 : 0;
    }

    /**
     * Silence of the server on the backend's own round trips (connecting, metadata, pings) longer than this
     * means the network is gone; 0: no limit. Longer than the wait for a connection, like the driver's
     * time-out. Statements are never limited: the server may think for as long as it takes.
     */
    int silenceLimitSeconds() {
        return driverTimeoutSeconds();
    }

    private static String trimmed(String text) {
        return text == null ? "" : text.trim();
    }

    /** The port to use: the typed one, or the type's default when none was typed. */
    int portOr(int defaultPort) throws BackendException {
        if (port.isEmpty())
            return defaultPort;
        try {
            int value = Integer.parseInt(port);
            if (value > 0 && value < 65536)
                return value;
        } catch (NumberFormatException e) {
            // reported below
        }
        throw new BackendException("The port '" + port + "' is not a valid port number.");
    }

    /**
     * The server as it goes into a URL: a host name, an IPv4 address, or an IPv6 address (in brackets,
     * which are added when typed without). Anything else is refused before a driver sees it, so that
     * the server field can never carry further hosts or driver options into the address.
     */
    String urlHost(boolean ipv6) throws BackendException {
        if (server.isEmpty())
            throw new BackendException("No server was given.");
        boolean bracketed = server.startsWith("[") && server.endsWith("]");
        String bare = bracketed ? server.substring(1, server.length() - 1) : server;
        if (ipv6 && HostNames.isIPv6Address(bare))
            return "[" + bare + "]";
        if (!bracketed && (HostNames.isIPv4Address(server) || HostNames.isHostName(server)))
            return server;
        throw new BackendException("The server '" + server + "' is not a valid host name"
                                   + (ipv6 ? ", IPv4 address or IPv6 address."
                                           : " or IPv4 address (this database type takes no IPv6 address)."));
    }
}
