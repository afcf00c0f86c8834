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

    @Override
    String quoted(String name) {
        return "[" + name.replace("]", "]]") + "]";
    }

    /** Index names are unique only within their table; constraints are objects of the schema. */
    @Override
    boolean namesPerTable(String type) {
        return type.equals("INDEX");
    }

    @Override
    String elementsSql(String quotedSchema) {
        return "SELECT CASE o.type WHEN 'U' THEN 'TABLE' WHEN 'V' THEN 'VIEW' WHEN 'P' THEN 'PROCEDURE' "
            + "WHEN 'PC' THEN 'PROCEDURE' WHEN 'TR' THEN 'TRIGGER' WHEN 'SO' THEN 'SEQUENCE' "
            + "WHEN 'SN' THEN 'SYNONYM' WHEN 'PK' THEN 'CONSTRAINT' WHEN 'UQ' THEN 'CONSTRAINT' "
            + "WHEN 'F' THEN 'CONSTRAINT' WHEN 'C' THEN 'CONSTRAINT' WHEN 'D' THEN 'CONSTRAINT' "
            + "ELSE 'FUNCTION' END, o.name, "
            + "(SELECT CASE t.type WHEN 'U' THEN 'TABLE' WHEN 'V' THEN 'VIEW' WHEN 'P' THEN 'PROCEDURE' "
            + "WHEN 'SO' THEN 'SEQUENCE' WHEN 'SN' THEN 'SYNONYM' ELSE 'FUNCTION' END "
            + "FROM sys.synonyms y JOIN sys.objects t ON t.object_id = OBJECT_ID(y.base_object_name) "
            + "WHERE y.object_id = o.object_id), NULL "
            + "FROM sys.objects o JOIN sys.schemas s ON s.schema_id = o.schema_id WHERE s.name = ? "
            + "AND o.is_ms_shipped = 0 AND o.type IN ('U', 'V', 'P', 'PC', 'FN', 'IF', 'TF', 'FS', 'FT', 'TR', "
            + "'SO', 'SN', 'PK', 'UQ', 'F', 'C', 'D') "
            + "UNION ALL SELECT 'INDEX', i.name, NULL, t.name FROM sys.indexes i "
            + "JOIN sys.objects t ON t.object_id = i.object_id JOIN sys.schemas s ON s.schema_id = t.schema_id "
            + "WHERE s.name = ? AND i.name IS NOT NULL AND t.is_ms_shipped = 0";
    }

    @Override
    String columnsSql(String quotedSchema) {
        return "SELECT TABLE_NAME, COLUMN_NAME FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_SCHEMA = ? "
            + "ORDER BY TABLE_NAME, ORDINAL_POSITION";
    }

    @Override
    String foreignKeysSql(String quotedSchema) {
        return "SELECT k.name, t.name, c.name, rt.name, rc.name FROM sys.foreign_key_columns fc "
            + "JOIN sys.foreign_keys k ON k.object_id = fc.constraint_object_id "
            + "JOIN sys.tables t ON t.object_id = fc.parent_object_id "
            + "JOIN sys.schemas s ON s.schema_id = t.schema_id "
            + "JOIN sys.columns c ON c.object_id = fc.parent_object_id AND c.column_id = fc.parent_column_id "
            + "JOIN sys.tables rt ON rt.object_id = fc.referenced_object_id "
            + "JOIN sys.columns rc ON rc.object_id = fc.referenced_object_id "
            + "AND rc.column_id = fc.referenced_column_id WHERE s.name = ? "
            + "ORDER BY t.name, k.name, fc.constraint_column_id";
    }
}
