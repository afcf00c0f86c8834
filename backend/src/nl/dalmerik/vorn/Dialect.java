package nl.dalmerik.vorn;

import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.Driver;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.SQLNonTransientConnectionException;
import java.sql.SQLRecoverableException;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Properties;
import java.util.Set;

/**
 * Everything that differs between database types: how to reach the driver, what the connection can do,
 * how values and metadata are read. One subclass per type; the rest of the backend asks it instead of
 * branching on the type name.
 */
abstract class Dialect {
    /** The database type names the native side passes, in the order it lists them. */
    static Dialect forType(String type) {
        if (type == null)
            return null;
        switch (type) {
        case "Oracle":
            return new OracleDialect();
        case "MySQL":
            return new MySQLDialect();
        case "PostgreSQL":
            return new PostgreSQLDialect();
        case "SQL Server":
            return new SQLServerDialect();
        case "SQLite":
            return new SQLiteDialect();
        default:
            return null;
        }
    }

    abstract String typeName();

    abstract String driverClassName();

    abstract String url(ConnectionTarget target) throws BackendException;

    /** Driver properties: credentials, client name, time-outs and keep-alive. */
    abstract Properties properties(ConnectionTarget target);

    /**
     * The driver limits silence on the socket (socket time-out) and lets the limit change on an open
     * connection (Connection.setNetworkTimeout), so it can be lifted while a statement runs.
     */
    boolean limitsSilence() {
        return false;
    }

    /** The user name and password, as server drivers take them. */
    static Properties credentials(ConnectionTarget target) {
        Properties properties = new Properties();
        properties.setProperty("user", target.user);
        properties.setProperty("password", target.password);
        return properties;
    }

    /** Human-readable description of what the connection goes to ("connectedTo"). */
    String describeTarget(ConnectionTarget target) {
        return target.database + " on " + target.server + (target.port.isEmpty() ? "" : ":" + target.port);
    }

    boolean localDatabaseFile() {
        return false;
    }

    /** The database keeps dropped objects in a recycle bin they can be restored from. */
    boolean hasRecycleBin() {
        return false;
    }

    boolean dedicatedTransactionSupport() {
        return true;
    }

    /** DDL ends the open transaction (implicit commit). */
    boolean dataDefinitionCommits() {
        return false;
    }

    /** The driver streams rows only inside a transaction (pgjdbc ignores the fetch size otherwise). */
    boolean cursorNeedsTransaction() {
        return false;
    }

    /** After a failed statement the open transaction must be ended before anything else runs. */
    boolean failedStatementAbortsTransaction() {
        return false;
    }

    /**
     * Statement.setMaxRows limits only the rows a query returns. Not so with jTDS, which sends
     * SET ROWCOUNT and would silently cut UPDATE and DELETE short.
     */
    boolean maxRowsLimitsOnlyResults() {
        return true;
    }

    /**
     * Closing a cursor before its end makes the driver read and drop every row still on the way (MySQL's
     * protocol has no way to stop a result half-way); stopping the query first saves reading them.
     */
    boolean cancelBeforeClosingCursor() {
        return false;
    }

    /**
     * Whether the failure says that the connection is gone (the network, the server or an administrator
     * ended it), known without a round trip. SQLState class 08 is the standard's word for it.
     */
    boolean connectionLost(SQLException error) {
        for (Throwable cause = error; cause != null; cause = cause.getCause()) {
            if (cause instanceof SQLNonTransientConnectionException || cause instanceof SQLRecoverableException)
                return true;
            if (cause instanceof SQLException) {
                String state = ((SQLException) cause).getSQLState();
                if (state != null && state.startsWith("08"))
                    return true;
                if (connectionLostCode((SQLException) cause))
                    return true;
            }
        }
        return false;
    }

    /** The database's own codes for an ended connection, beside the standard's. */
    boolean connectionLostCode(SQLException error) {
        return false;
    }

    /**
     * What the server says of the open transaction, asked after each statement in manual-commit mode and in
     * a transaction of the backend's own. A dialect whose question would first read the rest of an open
     * result (MySQL's protocol has one channel) answers UNKNOWN while an unbounded one is open. The question
     * never fails the transaction.
     */
    /** Whether the failure is the server refusing a write inside a read-only transaction. */
    boolean writeRefusedAsReadOnly(SQLException error) {
        return false;
    }

    TransactionWork transactionWork(Session session, boolean unboundedResultOpen) {
        return TransactionWork.UNKNOWN;
    }

    /**
     * A query may change data (a function with side effects, a data-changing WITH, SELECT ... INTO); where the
     * server cannot say whether one did, it counts as uncommitted work.
     */
    boolean queriesMayWrite() {
        return true;
    }

    /** The message of a statement stopped by cancelQuery. */
    String cancelledMessage(SQLException error) {
        return "CANCELLED";
    }

    Connection connect(ConnectionTarget target) throws SQLException, BackendException {
        Driver driver = loadDriver();
        Connection connection = driver.connect(url(target), properties(target));
        if (connection == null)
            throw new BackendException("The " + typeName() + " driver did not accept the connection address.");
        return connection;
    }

    private Driver loadDriver() throws BackendException {
        Class<?> driverClass;
        try {
            driverClass = Class.forName(driverClassName(), true, ClassLoader.getSystemClassLoader());
        } catch (ClassNotFoundException | LinkageError e) {
            throw new BackendException(missingDriverMessage());
        }
        try {
            return (Driver) driverClass.getDeclaredConstructor().newInstance();
        } catch (ReflectiveOperationException | ClassCastException e) {
            throw new BackendException("The " + typeName() + " JDBC driver (" + driverClassName()
                                       + ") could not be loaded: " + Errors.message(e));
        }
    }

    /** Names the driver class and the folder its jar goes in; the class path is read only at start. */
    String missingDriverMessage() {
        String folder = System.getProperty("vorn.drivers.folder");
        String missing = "No " + typeName() + " JDBC driver (" + driverClassName() + ") was found. ";
        if (folder == null || folder.isEmpty())
            return missing + "Add the driver's jar to Vorn's Java libraries and restart Vorn.";
        return missing + "Put the driver's jar in the folder " + folder + " and restart Vorn.";
    }

    /** Runs after connecting and before anything else, e.g. to choose the database. */
    void prepareConnection(Connection connection, ConnectionTarget target) throws SQLException {}

    abstract String defaultSchema(Connection connection) throws SQLException;

    List<String> schemas(Connection connection) throws SQLException {
        List<String> names = new ArrayList<>();
        try (ResultSet rows = connection.getMetaData().getSchemas()) {
            while (rows.next())
                names.add(rows.getString("TABLE_SCHEM"));
        }
        return names;
    }

    // Names in SQL. Every statement the backend writes from names quotes them here; values are bound as
    // parameters, or quoted as literals only where a text shows a condition to the user.

    /**
     * A name as SQL writes it: as it is where the database reads it back unchanged (letters, digits and
     * underscores, in the case the database folds to, and no reserved word), otherwise quoted.
     */
    final String quoteIdentifier(String name, Set<String> reservedWords) {
        if (isPlainIdentifier(name) && !reservedWords.contains(name.toLowerCase(Locale.ROOT)))
            return name;
        return quoted(name);
    }

    /** The schema and the name, each as SQL writes it. */
    final String qualifiedName(String schema, String name, Set<String> reservedWords) {
        return quoteIdentifier(schema, reservedWords) + "." + quoteIdentifier(name, reservedWords);
    }

    private boolean isPlainIdentifier(String name) {
        if (name.isEmpty() || !keepsCaseUnquoted(name))
            return false;
        for (int i = 0; i < name.length(); i++) {
            char c = name.charAt(i);
            boolean letter = c >= 'a' && c <= 'z' || c >= 'A' && c <= 'Z' || c == '_';
            if (!letter && (i == 0 || c < '0' || c > '9'))
                return false;
        }
        return true;
    }

    /** Unquoted, the database reads the name in its own case (databases that fold names say otherwise). */
    boolean keepsCaseUnquoted(String name) {
        return true;
    }

    /** The name between the database's identifier quotes, quotes inside doubled. */
    String quoted(String name) {
        return "\"" + name.replace("\"", "\"\"") + "\"";
    }

    /** The name as a metadata search pattern that matches only itself ("_" and "%" escaped). */
    static String escapePattern(DatabaseMetaData metaData, String name) throws SQLException {
        if (name == null)
            return null;
        String escape = metaData.getSearchStringEscape();
        if (escape == null || escape.isEmpty())
            return name;
        StringBuilder escaped = new StringBuilder();
        for (char c : name.toCharArray()) {
            if (c == '_' || c == '%' || escape.equals(String.valueOf(c)))
                escaped.append(escape);
            escaped.append(c);
        }
        return escaped.toString();
    }

    /** A text value as an SQL literal, for conditions shown to the user. */
    String quoteLiteral(String value) {
        return "'" + value.replace("'", "''") + "'";
    }

    // The catalogue of one schema. Each query binds the schema's name to every "?" it has.

    /**
     * Rows of (type, name, type of what a synonym refers to or null) for every element of the schema, and a
     * fourth column, the table, for elements whose names are unique only within their table; those are
     * listed under ElementNames.join of both.
     */
    abstract String elementsSql(String quotedSchema);

    /** Whether elements of the type are named per table, listed under ElementNames.join. */
    boolean namesPerTable(String type) {
        return false;
    }

    /** Rows of (table or view, column) for the schema, columns in their table's order. */
    abstract String columnsSql(String quotedSchema);

    /**
     * Rows of (constraint, table, column, referenced table, referenced column), one per column of each
     * foreign key of the schema's tables; the constraint's own name, listed under ElementNames.join when the
     * database names constraints per table.
     */
    abstract String foreignKeysSql(String quotedSchema);

    SchemaElements schemaElements(Connection connection, String schema, Set<String> reservedWords)
        throws SQLException {
        List<String[]> rows = catalogRows(connection, elementsSql(quoteIdentifier(schema, reservedWords)), schema, 4);
        for (String[] row : rows) {
            if (row[3] != null && row[1] != null)
                row[1] = ElementNames.join(row[3], row[1]);
        }
        return SchemaElements.of(rows);
    }

    /** Tables and views of a schema with their column names, in the database's order. */
    Map<String, List<String>> schemaObjects(Connection connection, String schema, Set<String> reservedWords)
        throws SQLException {
        Map<String, List<String>> tables = new LinkedHashMap<>();
        for (String[] row : catalogRows(connection, columnsSql(quoteIdentifier(schema, reservedWords)), schema, 2))
            tables.computeIfAbsent(row[0], table -> new ArrayList<>()).add(row[1]);
        return tables;
    }

    List<ForeignKeyColumn> foreignKeys(Connection connection, String schema, Set<String> reservedWords)
        throws SQLException {
        List<ForeignKeyColumn> keys = new ArrayList<>();
        for (String[] row : catalogRows(connection, foreignKeysSql(quoteIdentifier(schema, reservedWords)),
                                        schema, 5))
            keys.add(new ForeignKeyColumn(namesPerTable("CONSTRAINT") ? ElementNames.join(row[1], row[0]) : row[0],
                                          row[1], row[2], row[3], row[4]));
        return keys;
    }

    /** Rows of the query's first columns, up to width; columns the query lacks stay null. */
    private static List<String[]> catalogRows(Connection connection, String sql, String schema, int width)
        throws SQLException {
        List<String[]> found = new ArrayList<>();
        try (PreparedStatement statement = connection.prepareStatement(sql)) {
            int parameters = (int) sql.chars().filter(c -> c == '?').count();
            for (int i = 1; i <= parameters; i++)
                statement.setString(i, schema);
            try (ResultSet rows = statement.executeQuery()) {
                while (rows.next()) {
                    String[] row = new String[width];
                    int read = Math.min(width, rows.getMetaData().getColumnCount());
                    for (int i = 0; i < read; i++)
                        row[i] = rows.getString(i + 1);
                    found.add(row);
                }
            }
        }
        return found;
    }

    /** Facts for the connection details that only this type knows, such as the kind of login. */
    void addConnectionFacts(Connection connection, Hashtable<String, Object> info) {}

    /** A round trip that proves the connection still works. */
    boolean ping(Connection connection) throws SQLException {
        return connection.isValid(10);
    }

    /** The kind of values a column holds, by its JDBC type and the database's own type name. */
    ValueKind kindOf(int jdbcType, String typeName, int precision) {
        switch (jdbcType) {
        case Types.CHAR:
        case Types.VARCHAR:
        case Types.NCHAR:
        case Types.NVARCHAR:
            return isCharacterLargeObject(typeName) ? ValueKind.CHARACTER_LOB : ValueKind.TEXT;
        case Types.CLOB:
        case Types.NCLOB:
        case Types.LONGVARCHAR:
        case Types.LONGNVARCHAR:
            return ValueKind.CHARACTER_LOB;
        case Types.BINARY:
        case Types.VARBINARY:
        case Types.LONGVARBINARY:
        case Types.BLOB:
            return ValueKind.BINARY;
        case Types.TINYINT:
        case Types.SMALLINT:
        case Types.INTEGER:
        case Types.BIGINT:
            return ValueKind.PLAIN_NUMBER;
        case Types.DECIMAL:
        case Types.NUMERIC:
            return decimalTextIsPlain() ? ValueKind.PLAIN_NUMBER : ValueKind.EXACT_NUMBER;
        case Types.REAL:
            return ValueKind.SINGLE_FLOAT;
        case Types.FLOAT:
        case Types.DOUBLE:
            return ValueKind.DOUBLE_FLOAT;
        case Types.DATE:
            return ValueKind.DATE;
        case Types.TIMESTAMP:
            return ValueKind.TIMESTAMP;
        case Types.TIMESTAMP_WITH_TIMEZONE:
            return ValueKind.ZONED_TIMESTAMP;
        case Types.TIME:
        case Types.TIME_WITH_TIMEZONE:
            return ValueKind.TIME;
        case Types.BOOLEAN:
            return ValueKind.BOOLEAN;
        case Types.BIT:
            return precision <= 1 ? ValueKind.BOOLEAN : ValueKind.OTHER;
        default:
            return ValueKind.OTHER;
        }
    }

    /**
     * The driver writes decimals as the database does, every digit and never an exponent, so that its text
     * can be shown as it is. Otherwise they are read as BigDecimal and written out plainly.
     */
    boolean decimalTextIsPlain() {
        return false;
    }

    /** Character types the database's own type name marks as large objects (MySQL's TEXT family). */
    boolean isCharacterLargeObject(String typeName) {
        return false;
    }

    /** One cell of the current row as the native side gets it: text, a wrapper, or null for SQL NULL. */
    Object readValue(ResultSet rows, int index, ResultColumn column, TimestampFormat format)
        throws SQLException {
        return ValueReader.read(rows, index, column.kind, format);
    }

    /**
     * One cell as the driver gives it, before the display step (ValueReader.display): dates and times as
     * the text the database wrote, every other value as readValue reads it. Reading and showing can then
     * run on different threads.
     */
    Object readRawValue(ResultSet rows, int index, ResultColumn column, TimestampFormat format)
        throws SQLException {
        if (ValueReader.shownLater(column.kind))
            return rows.getString(index);
        return readValue(rows, index, column, format);
    }

    /** Runs one statement that answers a single text value, or null. */
    static String queryText(Connection connection, String sql) throws SQLException {
        try (Statement statement = connection.createStatement(); ResultSet rows = statement.executeQuery(sql)) {
            return rows.next() ? rows.getString(1) : null;
        }
    }

    static String upper(String text) {
        return text == null ? "" : text.toUpperCase(Locale.ROOT);
    }

    /** The query that takes the next value of a sequence (its name as written in SQL); null without sequences. */
    String nextValueSql(String qualifiedSequence) {
        return null;
    }
}
