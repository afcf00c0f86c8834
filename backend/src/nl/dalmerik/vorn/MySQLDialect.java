package nl.dalmerik.vorn;

import java.nio.charset.StandardCharsets;
import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Properties;

/** MySQL and MariaDB through MariaDB Connector/J. MySQL calls its schemas databases (JDBC catalogs). */
final class MySQLDialect extends Dialect {
    @Override
    String typeName() {
        return "MySQL";
    }

    @Override
    String driverClassName() {
        return "org.mariadb.jdbc.Driver";
    }

    /**
     * Connector/J writes a date's text through a java.sql.Timestamp in the VM's time zone, which moves a
     * value in a daylight saving gap; the bytes the server sent are the value as it is stored.
     */
    @Override
    Object readValue(ResultSet rows, int index, ResultColumn column, TimestampFormat format)
        throws SQLException {
        if (column.kind != ValueKind.DATE && column.kind != ValueKind.TIMESTAMP)
            return super.readValue(rows, index, column, format);
        return ValueReader.display(readRawValue(rows, index, column, format), column.kind, format);
    }

    @Override
    Object readRawValue(ResultSet rows, int index, ResultColumn column, TimestampFormat format)
        throws SQLException {
        if (column.kind != ValueKind.DATE && column.kind != ValueKind.TIMESTAMP)
            return super.readRawValue(rows, index, column, format);
        byte[] text = rows.getBytes(index);
        return text == null ? null : new String(text, StandardCharsets.US_ASCII);
    }

    @Override
    String url(ConnectionTarget target) throws BackendException {
        // The database is chosen after connecting, so no name needs escaping inside the URL.
        return "jdbc:mariadb://" + target.urlHost(true) + ":" + target.portOr(3306) + "/";
    }

    @Override
    Properties properties(ConnectionTarget target) {
        Properties properties = credentials(target);
        properties.setProperty("connectionAttributes",
                               "program_name:" + target.clientName.replaceAll("[,:]", " "));
        // TINYINT(1) and YEAR hold numbers; show them as numbers, not as booleans and dates.
        properties.setProperty("tinyInt1isBit", "false");
        properties.setProperty("yearIsDateType", "false");
        properties.setProperty("socketFactory", ConnectionSockets.FACTORY);
        properties.setProperty("tcpKeepAlive", "true");
        // Imports load rows from a stream the client sends (LOAD DATA LOCAL), never from a file the server names.
        properties.setProperty("allowLocalInfile", "true");
        if (target.driverTimeoutSeconds() > 0) {
            properties.setProperty("connectTimeout", Integer.toString(target.driverTimeoutSeconds() * 1000));
            properties.setProperty("socketTimeout", Integer.toString(target.silenceLimitSeconds() * 1000));
        }
        return properties;
    }

    @Override
    boolean limitsSilence() {
        return true;
    }

    @Override
    void prepareConnection(Connection connection, ConnectionTarget target) throws SQLException {
        if (!target.database.isEmpty())
            connection.setCatalog(target.database);
    }

    @Override
    boolean decimalTextIsPlain() {
        return true;
    }

    @Override
    boolean cancelBeforeClosingCursor() {
        return true;
    }

    @Override
    boolean dedicatedTransactionSupport() {
        // Whether a table takes part in transactions depends on its storage engine.
        return false;
    }

    @Override
    boolean dataDefinitionCommits() {
        return true;
    }

    /**
     * Server gone away, lost during a query, killed, shutting down, ended for inactivity (ER_CONNECTION_KILLED
     * 1927, ER_SERVER_SHUTDOWN 1053, CR_SERVER_GONE_ERROR 2006, CR_SERVER_LOST 2013, 4031).
     */
    @Override
    boolean connectionLostCode(SQLException error) {
        switch (error.getErrorCode()) {
        case 1053:
        case 1927:
        case 2006:
        case 2013:
        case 4031:
            return true;
        default:
            return false;
        }
    }

    /**
     * The server's in-transaction flag, and the session's counts of rows written, changed and deleted since
     * the transaction began: a transaction that is open but wrote nothing (after a SELECT on InnoDB tables)
     * holds no change.
     */
    @Override
    TransactionWork transactionWork(Session session, boolean unboundedResultOpen) {
        if (unboundedResultOpen)
            return TransactionWork.UNKNOWN;
        try (Statement statement = session.connection.createStatement();
             ResultSet row = statement.executeQuery(
                 "SELECT @@in_transaction, (SELECT COALESCE(SUM(VARIABLE_VALUE), 0) FROM "
                 + "information_schema.SESSION_STATUS WHERE VARIABLE_NAME IN ('HANDLER_WRITE', "
                 + "'HANDLER_UPDATE', 'HANDLER_DELETE'))")) {
            if (!row.next())
                return TransactionWork.UNKNOWN;
            boolean inTransaction = row.getInt(1) != 0;
            long writes = row.getLong(2);
            if (!inTransaction) {
                session.writesBeforeTransaction = writes;
                return TransactionWork.NONE;
            }
            long before = session.writesBeforeTransaction;
            if (before < 0)
                return TransactionWork.UNKNOWN;
            return writes != before ? TransactionWork.CHANGES : TransactionWork.NONE;
        } catch (SQLException e) {
            return TransactionWork.UNKNOWN;
        }
    }

    @Override
    String defaultSchema(Connection connection) throws SQLException {
        return connection.getCatalog();
    }

    @Override
    List<String> schemas(Connection connection) throws SQLException {
        List<String> names = new ArrayList<>();
        try (ResultSet rows = connection.getMetaData().getCatalogs()) {
            while (rows.next())
                names.add(rows.getString("TABLE_CAT"));
        }
        return names;
    }

    @Override
    boolean isCharacterLargeObject(String typeName) {
        return upper(typeName).endsWith("TEXT");
    }

    @Override
    void addConnectionFacts(Connection connection, Hashtable<String, Object> info) {
        try {
            String cipher = queryText(connection, "SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                                                  + "WHERE VARIABLE_NAME = 'SSL_CIPHER'");
            if (cipher != null)
                info.put("connectedUsingSsl", !cipher.isEmpty());
        } catch (SQLException e) {
            // Only a detail of the connection details sheet; leave it out.
        }
    }

    @Override
    String quoted(String name) {
        return "`" + name.replace("`", "``") + "`";
    }

    /** Backslashes escape in literals unless the server runs with NO_BACKSLASH_ESCAPES. */
    @Override
    String quoteLiteral(String value) {
        return "'" + value.replace("\\", "\\\\").replace("'", "''") + "'";
    }

    /** Index and constraint names are unique only within their table. */
    @Override
    boolean namesPerTable(String type) {
        return type.equals("INDEX") || type.equals("CONSTRAINT");
    }

    @Override
    String elementsSql(String quotedSchema) {
        return "SELECT CASE TABLE_TYPE WHEN 'VIEW' THEN 'VIEW' WHEN 'SYSTEM VIEW' THEN 'SYSTEM VIEW' "
            + "WHEN 'SEQUENCE' THEN 'SEQUENCE' ELSE 'TABLE' END, TABLE_NAME, NULL, NULL "
            + "FROM information_schema.TABLES WHERE TABLE_SCHEMA = ? "
            + "UNION ALL SELECT DISTINCT 'INDEX', INDEX_NAME, NULL, TABLE_NAME "
            + "FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = ? "
            + "UNION ALL SELECT 'CONSTRAINT', CONSTRAINT_NAME, NULL, TABLE_NAME "
            + "FROM information_schema.TABLE_CONSTRAINTS WHERE CONSTRAINT_SCHEMA = ? "
            + "UNION ALL SELECT 'TRIGGER', TRIGGER_NAME, NULL, NULL FROM information_schema.TRIGGERS "
            + "WHERE TRIGGER_SCHEMA = ? "
            + "UNION ALL SELECT ROUTINE_TYPE, ROUTINE_NAME, NULL, NULL FROM information_schema.ROUTINES "
            + "WHERE ROUTINE_SCHEMA = ? AND ROUTINE_TYPE IN ('FUNCTION', 'PROCEDURE', 'PACKAGE')";
    }

    @Override
    String columnsSql(String quotedSchema) {
        return "SELECT TABLE_NAME, COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = ? "
            + "ORDER BY TABLE_NAME, ORDINAL_POSITION";
    }

    @Override
    String foreignKeysSql(String quotedSchema) {
        return "SELECT CONSTRAINT_NAME, TABLE_NAME, COLUMN_NAME, REFERENCED_TABLE_NAME, "
            + "REFERENCED_COLUMN_NAME FROM information_schema.KEY_COLUMN_USAGE "
            + "WHERE TABLE_SCHEMA = ? AND REFERENCED_TABLE_NAME IS NOT NULL ORDER BY ORDINAL_POSITION";
    }

    @Override
    String nextValueSql(String qualifiedSequence) {
        return "SELECT NEXTVAL(" + qualifiedSequence + ")";
    }
}
