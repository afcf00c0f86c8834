package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.Hashtable;
import java.util.Locale;
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

    @Override
    boolean hasRecycleBin() {
        return true;
    }

    /** Unquoted names are folded to upper case. */
    @Override
    boolean keepsCaseUnquoted(String name) {
        return name.equals(name.toUpperCase(Locale.ROOT));
    }

    /** Objects in the recycle bin (named BIN$...) are not the schema's any more. */
    @Override
    String elementsSql(String quotedSchema) {
        return "SELECT OBJECT_TYPE, OBJECT_NAME, NULL FROM ALL_OBJECTS WHERE OWNER = ? AND OBJECT_TYPE IN "
            + "('TABLE', 'VIEW', 'INDEX', 'TRIGGER', 'FUNCTION', 'PROCEDURE', 'PACKAGE', 'SEQUENCE') "
            + "AND OBJECT_NAME NOT LIKE 'BIN$%' "
            + "UNION ALL SELECT 'CONSTRAINT', CONSTRAINT_NAME, NULL FROM ALL_CONSTRAINTS WHERE OWNER = ? "
            + "AND CONSTRAINT_NAME NOT LIKE 'BIN$%' "
            + "UNION ALL SELECT 'SYNONYM', s.SYNONYM_NAME, o.OBJECT_TYPE FROM ALL_SYNONYMS s "
            + "LEFT JOIN ALL_OBJECTS o ON o.OWNER = s.TABLE_OWNER AND o.OBJECT_NAME = s.TABLE_NAME "
            + "AND o.OBJECT_TYPE IN ('TABLE', 'VIEW', 'SEQUENCE', 'FUNCTION', 'PROCEDURE', 'PACKAGE') "
            + "WHERE s.OWNER = ?";
    }

    @Override
    String columnsSql(String quotedSchema) {
        return "SELECT TABLE_NAME, COLUMN_NAME FROM ALL_TAB_COLUMNS WHERE OWNER = ? ORDER BY TABLE_NAME, COLUMN_ID";
    }

    @Override
    String foreignKeysSql(String quotedSchema) {
        return "SELECT c.CONSTRAINT_NAME, c.TABLE_NAME, cc.COLUMN_NAME, rc.TABLE_NAME, rcc.COLUMN_NAME "
            + "FROM ALL_CONSTRAINTS c "
            + "JOIN ALL_CONS_COLUMNS cc ON cc.OWNER = c.OWNER AND cc.CONSTRAINT_NAME = c.CONSTRAINT_NAME "
            + "JOIN ALL_CONSTRAINTS rc ON rc.OWNER = c.R_OWNER AND rc.CONSTRAINT_NAME = c.R_CONSTRAINT_NAME "
            + "JOIN ALL_CONS_COLUMNS rcc ON rcc.OWNER = rc.OWNER AND rcc.CONSTRAINT_NAME = rc.CONSTRAINT_NAME "
            + "AND rcc.POSITION = cc.POSITION WHERE c.OWNER = ? AND c.CONSTRAINT_TYPE = 'R' "
            + "ORDER BY c.TABLE_NAME, c.CONSTRAINT_NAME, cc.POSITION";
    }
}
