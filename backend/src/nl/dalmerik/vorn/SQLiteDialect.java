package nl.dalmerik.vorn;

import java.io.File;
import java.net.URI;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.Properties;

/** Local SQLite database files through the xerial driver. */
final class SQLiteDialect extends Dialect {
    /** SQLITE_OPEN_READWRITE without SQLITE_OPEN_CREATE: connecting never creates a file. */
    private static final String OPEN_READ_WRITE = "2";

    @Override
    String typeName() {
        return "SQLite";
    }

    @Override
    String driverClassName() {
        return "org.sqlite.JDBC";
    }

    @Override
    boolean localDatabaseFile() {
        return true;
    }

    @Override
    String url(ConnectionTarget target) throws BackendException {
        return "jdbc:sqlite:" + databaseFile(target);
    }

    @Override
    Properties properties(ConnectionTarget target) {
        Properties properties = new Properties();
        properties.setProperty("open_mode", OPEN_READ_WRITE);
        return properties;
    }

    @Override
    String describeTarget(ConnectionTarget target) {
        return target.database;
    }

    @Override
    Connection connect(ConnectionTarget target) throws SQLException, BackendException {
        Path file = databaseFile(target);
        if (!Files.exists(file))
            throw new BackendException("The database file '" + file + "' does not exist.");
        if (!Files.isRegularFile(file))
            throw new BackendException("'" + file + "' is not a database file.");
        return super.connect(target);
    }

    /** The database argument is a path; a file URL is accepted too. */
    private static Path databaseFile(ConnectionTarget target) throws BackendException {
        String database = target.database.trim();
        if (database.isEmpty())
            throw new BackendException("No database file was given.");
        try {
            if (database.startsWith("file:"))
                return Paths.get(new URI(database));
            return new File(database).getAbsoluteFile().toPath();
        } catch (Exception e) {
            throw new BackendException("'" + database + "' is not a valid database file path.");
        }
    }

    /** No stored routines and no data-changing WITH: a query never writes. */
    @Override
    boolean queriesMayWrite() {
        return false;
    }

    @Override
    String defaultSchema(Connection connection) {
        return "main";
    }

    @Override
    List<String> schemas(Connection connection) throws SQLException {
        List<String> names = new ArrayList<>();
        try (Statement statement = connection.createStatement();
             ResultSet rows = statement.executeQuery("PRAGMA database_list")) {
            while (rows.next())
                names.add(rows.getString("name"));
        }
        return names;
    }

    @Override
    boolean ping(Connection connection) throws SQLException {
        return !connection.isClosed();
    }

    /**
     * SQLite types belong to values, not to columns: a column declared INTEGER may hold text. The kind
     * follows the declared type's affinity, and values are read by what they are. Dates are text to
     * SQLite and stay text.
     */
    @Override
    ValueKind kindOf(int jdbcType, String typeName, int precision) {
        String declared = upper(typeName);
        if (declared.isEmpty())
            return ValueKind.OTHER;
        if (declared.contains("INT"))
            return ValueKind.EXACT_NUMBER;
        if (declared.contains("CHAR") || declared.contains("CLOB") || declared.contains("TEXT")
            || declared.contains("DATE") || declared.contains("TIME"))
            return ValueKind.TEXT;
        if (declared.contains("BLOB"))
            return ValueKind.BINARY;
        return ValueKind.EXACT_NUMBER;
    }

    @Override
    Object readValue(ResultSet rows, int index, ResultColumn column, TimestampFormat format)
        throws SQLException {
        Object value = rows.getObject(index);
        if (value == null)
            return column.kind == ValueKind.BINARY ? new BinaryWrapper(true) : null;
        if (value instanceof byte[])
            return new BinaryWrapper(false);
        if (value instanceof Double || value instanceof Float)
            return ValueReader.plainDouble(((Number) value).doubleValue());
        return value.toString();
    }

    /** SQLite does not name foreign keys: they are called "fk" and their number, per table. */
    @Override
    boolean namesPerTable(String type) {
        return type.equals("CONSTRAINT");
    }

    /** The schema is an attached database, named in the statement itself. */
    @Override
    String elementsSql(String quotedSchema) {
        return "SELECT CASE WHEN type = 'table' AND name LIKE 'sqlite\\_%' ESCAPE '\\' THEN 'SYSTEM TABLE' "
            + "ELSE upper(type) END, name, NULL FROM " + quotedSchema + ".sqlite_master";
    }

    @Override
    String columnsSql(String quotedSchema) {
        return "SELECT m.name, p.name FROM " + quotedSchema + ".sqlite_master m "
            + "JOIN pragma_table_info(m.name, ?) p WHERE m.type IN ('table', 'view') ORDER BY m.name, p.cid";
    }

    /** A key that names no referenced columns references the primary key. */
    @Override
    String foreignKeysSql(String quotedSchema) {
        return "SELECT 'fk' || (f.id + 1), m.name, f.\"from\", f.\"table\", "
            + "coalesce(f.\"to\", (SELECT p.name FROM pragma_table_info(f.\"table\", ?) p WHERE p.pk = f.seq + 1)) "
            + "FROM " + quotedSchema + ".sqlite_master m JOIN pragma_foreign_key_list(m.name, ?) f "
            + "WHERE m.type = 'table' ORDER BY m.name, f.id, f.seq";
    }
}
