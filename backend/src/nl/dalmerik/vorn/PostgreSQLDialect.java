package nl.dalmerik.vorn;

import java.net.URLEncoder;
import java.nio.charset.StandardCharsets;
import java.sql.Connection;
import java.sql.SQLException;
import java.util.Hashtable;
import java.util.List;
import java.util.Locale;
import java.util.Properties;

/** PostgreSQL through pgjdbc. */
final class PostgreSQLDialect extends Dialect {
    @Override
    String typeName() {
        return "PostgreSQL";
    }

    @Override
    String driverClassName() {
        return "org.postgresql.Driver";
    }

    @Override
    String url(ConnectionTarget target) throws BackendException {
        // The driver URL-decodes the database name.
        String database = URLEncoder.encode(target.database, StandardCharsets.UTF_8).replace("+", "%20");
        return "jdbc:postgresql://" + target.urlHost(true) + ":" + target.portOr(5432) + "/" + database;
    }

    @Override
    Properties properties(ConnectionTarget target) {
        Properties properties = credentials(target);
        properties.setProperty("ApplicationName", target.clientName);
        // Parameters arrive as text; let the server type them as it would a literal.
        properties.setProperty("stringtype", "unspecified");
        properties.setProperty("socketFactory", ConnectionSockets.FACTORY);
        properties.setProperty("tcpKeepAlive", "true");
        if (target.driverTimeoutSeconds() > 0) {
            properties.setProperty("connectTimeout", Integer.toString(target.driverTimeoutSeconds()));
            properties.setProperty("loginTimeout", Integer.toString(target.driverTimeoutSeconds()));
            properties.setProperty("socketTimeout", Integer.toString(target.silenceLimitSeconds()));
        }
        return properties;
    }

    /** pgjdbc reports timestamptz as a plain TIMESTAMP: it is an instant, shown in the VM's time zone. */
    @Override
    ValueKind kindOf(int jdbcType, String typeName, int precision) {
        if (typeName.equalsIgnoreCase("timestamptz"))
            return ValueKind.ZONED_TIMESTAMP;
        return super.kindOf(jdbcType, typeName, precision);
    }

    @Override
    boolean decimalTextIsPlain() {
        return true;
    }

    @Override
    boolean limitsSilence() {
        return true;
    }

    @Override
    boolean cursorNeedsTransaction() {
        return true;
    }

    @Override
    boolean failedStatementAbortsTransaction() {
        return true;
    }

    /** The server ends the session: an administrator, a crash of another backend, a shutdown. */
    @Override
    boolean connectionLostCode(SQLException error) {
        String state = error.getSQLState();
        return "57P01".equals(state) || "57P02".equals(state) || "57P03".equals(state);
    }

    @Override
    boolean writeRefusedAsReadOnly(SQLException error) {
        return "25006".equals(error.getSQLState());
    }

    /** A transaction gets an id when it first writes (PostgreSQL 10 and later can be asked without taking one). */
    @Override
    TransactionWork transactionWork(Session session, boolean unboundedResultOpen) {
        try {
            // Asking an older server would fail the statement, and with it the user's transaction.
            if (session.connection.getMetaData().getDatabaseMajorVersion() < 10)
                return TransactionWork.UNKNOWN;
            String id = queryText(session.connection, "SELECT txid_current_if_assigned()");
            return id != null ? TransactionWork.CHANGES : TransactionWork.NONE;
        } catch (SQLException e) {
            return TransactionWork.UNKNOWN;
        }
    }

    @Override
    String defaultSchema(Connection connection) throws SQLException {
        return queryText(connection, "SELECT current_schema()");
    }

    @Override
    List<String> schemas(Connection connection) throws SQLException {
        List<String> names = super.schemas(connection);
        names.removeIf(name -> name.startsWith("pg_toast") || name.startsWith("pg_temp_"));
        return names;
    }

    @Override
    void addConnectionFacts(Connection connection, Hashtable<String, Object> info) {
        try {
            String ssl = queryText(connection, "SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()");
            if (ssl != null)
                info.put("connectedUsingSsl", ssl.startsWith("t"));
        } catch (SQLException e) {
            // Only a detail of the connection details sheet; leave it out.
        }
    }

    /** Unquoted names are folded to lower case. */
    @Override
    boolean keepsCaseUnquoted(String name) {
        return name.equals(name.toLowerCase(Locale.ROOT));
    }

    /** Constraint and trigger names are unique only within their table. */
    @Override
    boolean namesPerTable(String type) {
        return type.equals("CONSTRAINT") || type.equals("TRIGGER");
    }

    @Override
    String elementsSql(String quotedSchema) {
        return "SELECT CASE c.relkind WHEN 'v' THEN 'VIEW' WHEN 'm' THEN 'VIEW' WHEN 'i' THEN 'INDEX' "
            + "WHEN 'I' THEN 'INDEX' WHEN 'S' THEN 'SEQUENCE' ELSE 'TABLE' END, c.relname, NULL, NULL "
            + "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            + "WHERE n.nspname = ? AND c.relkind IN ('r', 'p', 'f', 'v', 'm', 'i', 'I', 'S') "
            + "UNION ALL SELECT 'CONSTRAINT', k.conname, NULL, t.relname "
            + "FROM pg_catalog.pg_constraint k JOIN pg_catalog.pg_class t ON t.oid = k.conrelid "
            + "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = ? "
            + "UNION ALL SELECT 'TRIGGER', g.tgname, NULL, t.relname "
            + "FROM pg_catalog.pg_trigger g JOIN pg_catalog.pg_class t ON t.oid = g.tgrelid "
            + "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = ? AND NOT g.tgisinternal "
            + "UNION ALL SELECT CASE p.prokind WHEN 'p' THEN 'PROCEDURE' ELSE 'FUNCTION' END, p.proname, NULL, NULL "
            + "FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace "
            + "WHERE n.nspname = ?";
    }

    @Override
    String columnsSql(String quotedSchema) {
        return "SELECT c.relname, a.attname FROM pg_catalog.pg_attribute a "
            + "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
            + "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            + "WHERE n.nspname = ? AND c.relkind IN ('r', 'p', 'f', 'v', 'm') AND a.attnum > 0 "
            + "AND NOT a.attisdropped ORDER BY c.relname, a.attnum";
    }

    @Override
    String foreignKeysSql(String quotedSchema) {
        return "SELECT k.conname, t.relname, a.attname, f.relname, fa.attname "
            + "FROM pg_catalog.pg_constraint k JOIN pg_catalog.pg_class t ON t.oid = k.conrelid "
            + "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace "
            + "JOIN pg_catalog.pg_class f ON f.oid = k.confrelid "
            + "CROSS JOIN LATERAL unnest(k.conkey, k.confkey) AS u(col, fcol) "
            + "JOIN pg_catalog.pg_attribute a ON a.attrelid = k.conrelid AND a.attnum = u.col "
            + "JOIN pg_catalog.pg_attribute fa ON fa.attrelid = k.confrelid AND fa.attnum = u.fcol "
            + "WHERE k.contype = 'f' AND n.nspname = ?";
    }

    @Override
    String nextValueSql(String qualifiedSequence) {
        return "SELECT nextval(" + quoteLiteral(qualifiedSequence) + "::regclass)";
    }
}
