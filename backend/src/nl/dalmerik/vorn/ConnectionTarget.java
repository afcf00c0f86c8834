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

    /** The server as it goes into a URL: IPv6 addresses in brackets. */
    String urlHost() throws BackendException {
        if (server.isEmpty())
            throw new BackendException("No server was given.");
        if (server.contains(":") && !server.startsWith("["))
            return "[" + server + "]";
        return server;
    }
}
