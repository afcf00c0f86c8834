package nl.dalmerik.vorn;

import java.nio.charset.StandardCharsets;
import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.ResultSet;
import java.sql.SQLException;
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
        byte[] text = rows.getBytes(index);
        return text == null ? null
                            : ValueReader.localDateTime(new String(text, StandardCharsets.US_ASCII), format);
    }

    @Override
    String url(ConnectionTarget target) throws BackendException {
        // The database is chosen after connecting, so no name needs escaping inside the URL.
        return "jdbc:mariadb://" + target.urlHost() + ":" + target.portOr(3306) + "/";
    }

    @Override
    Properties properties(ConnectionTarget target, boolean keepAlive) {
        Properties properties = credentials(target);
        properties.setProperty("connectionAttributes",
                               "program_name:" + target.clientName.replaceAll("[,:]", " "));
        // TINYINT(1) and YEAR hold numbers; show them as numbers, not as booleans and dates.
        properties.setProperty("tinyInt1isBit", "false");
        properties.setProperty("yearIsDateType", "false");
        properties.setProperty("tcpKeepAlive", Boolean.toString(keepAlive));
        if (target.driverTimeoutSeconds() > 0)
            properties.setProperty("connectTimeout", Integer.toString(target.driverTimeoutSeconds() * 1000));
        return properties;
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
    String[] catalogAndSchemaPattern(DatabaseMetaData metaData, String schema) {
        return new String[] {schema, null};
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
}
