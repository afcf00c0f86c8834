package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.Hashtable;
import java.util.Properties;

/** Oracle through an Oracle JDBC driver, when one is on the class path. */
final class OracleDialect extends Dialect {
    @Override
    String typeName() {
        return "Oracle";
    }

    @Override
    String driverClassName() {
        return "oracle.jdbc.OracleDriver";
    }

    @Override
    String url(ConnectionTarget target) throws BackendException {
        return "jdbc:oracle:thin:@//" + target.urlHost(true) + ":" + target.portOr(1521) + "/"
            + serviceName(target.database);
    }

    /** The address takes the service name as it is, so only a name's own characters may be in it. */
    private static String serviceName(String database) throws BackendException {
        for (char c : database.toCharArray()) {
            boolean allowed = c >= 'a' && c <= 'z' || c >= 'A' && c <= 'Z' || c >= '0' && c <= '9'
                              || "._-$#".indexOf(c) >= 0;
            if (!allowed)
                throw new BackendException("The service name '" + database + "' is not a valid Oracle service "
                                           + "name.");
        }
        return database;
    }

    @Override
    Properties properties(ConnectionTarget target) {
        Properties properties = credentials(target);
        properties.setProperty("v$session.program", target.clientName);
        properties.setProperty("oracle.net.keepAlive", "true");
        // The keep-alive timing of the other server connections, for drivers that know these properties.
        properties.setProperty("oracle.net.TCP_KEEPIDLE",
                               Integer.toString(ConnectionSockets.KEEP_ALIVE_IDLE_SECONDS));
        properties.setProperty("oracle.net.TCP_KEEPINTERVAL",
                               Integer.toString(ConnectionSockets.KEEP_ALIVE_INTERVAL_SECONDS));
        properties.setProperty("oracle.net.TCP_KEEPCOUNT", Integer.toString(ConnectionSockets.KEEP_ALIVE_PROBES));
        int timeout = target.driverTimeoutSeconds();
        if (timeout > 0)
            properties.setProperty("oracle.net.CONNECT_TIMEOUT", Integer.toString(timeout * 1000));
        return properties;
    }

    @Override
    boolean dataDefinitionCommits() {
        return true;
    }

    /** Oracle's own message carries ORA-01013, which the native side recognises. */
    @Override
    String cancelledMessage(SQLException error) {
        return Errors.message(error);
    }

    /**
     * Session killed (ORA-00028), end of file on the channel (ORA-03113), not connected (ORA-03114), lost
     * contact (ORA-03135), and the thin driver's own I/O failures (17002 I/O error, 17008 closed
     * connection, 17410 no more data from the socket).
     */
    @Override
    boolean connectionLostCode(SQLException error) {
        switch (error.getErrorCode()) {
        case 28:
        case 3113:
        case 3114:
        case 3135:
        case 17002:
        case 17008:
        case 17410:
            return true;
        default:
            return false;
        }
    }

    /** A transaction exists only once something wrote (or locked rows). */
    @Override
    TransactionWork transactionWork(Session session, boolean unboundedResultOpen) {
        try {
            String id = queryText(session.connection, "SELECT DBMS_TRANSACTION.LOCAL_TRANSACTION_ID FROM DUAL");
            return id != null ? TransactionWork.CHANGES : TransactionWork.NONE;
        } catch (SQLException e) {
            return TransactionWork.UNKNOWN;
        }
    }

    @Override
    String defaultSchema(Connection connection) throws SQLException {
        return queryText(connection, "SELECT SYS_CONTEXT('USERENV', 'CURRENT_SCHEMA') FROM DUAL");
    }

    @Override
    boolean isCharacterLargeObject(String typeName) {
        String name = upper(typeName);
        return name.equals("CLOB") || name.equals("NCLOB") || name.equals("LONG");
    }

    @Override
    void addConnectionFacts(Connection connection, Hashtable<String, Object> info) {
        // Connections go to a service name; TNS aliases are not offered.
        info.put("connectedUsingTns", false);
    }
}
