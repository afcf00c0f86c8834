package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.Hashtable;
import java.util.Properties;

/** Microsoft SQL Server through jTDS. */
final class SQLServerDialect extends Dialect {
    @Override
    String typeName() {
        return "SQL Server";
    }

    @Override
    String driverClassName() {
        return "net.sourceforge.jtds.jdbc.Driver";
    }

    @Override
    String url(ConnectionTarget target) throws BackendException {
        // The database goes in the properties: jTDS would read a ';' in its name as a property. Its address
        // parser knows no brackets, so no IPv6 address either.
        return "jdbc:jtds:sqlserver://" + target.urlHost(false) + ":" + target.portOr(1433);
    }

    @Override
    Properties properties(ConnectionTarget target) {
        Properties properties = credentials(target);
        properties.setProperty("APPNAME", target.clientName);
        if (!target.database.isEmpty())
            properties.setProperty("DATABASENAME", target.database);
        // jTDS takes no socket factory and limits silence for statements too: the system's keep-alive is
        // what it can have.
        properties.setProperty("SOCKETKEEPALIVE", "true");
        if (target.driverTimeoutSeconds() > 0)
            properties.setProperty("LOGINTIMEOUT", Integer.toString(target.driverTimeoutSeconds()));
        return properties;
    }

    @Override
    boolean maxRowsLimitsOnlyResults() {
        return false;
    }

    @Override
    String defaultSchema(Connection connection) throws SQLException {
        return queryText(connection, "SELECT SCHEMA_NAME()");
    }

    @Override
    boolean isCharacterLargeObject(String typeName) {
        String name = upper(typeName);
        return name.equals("TEXT") || name.equals("NTEXT");
    }

    @Override
    void addConnectionFacts(Connection connection, Hashtable<String, Object> info) {
        // Vorn logs in with the server's own user names.
        info.put("connectedUsingWindowsAuthentication", false);
    }
}
