package nl.dalmerik.vorn;

import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.AbstractMap;
import java.util.HashMap;
import java.util.Map;
import java.util.Set;

/**
 * The columns of a table by name, read from an empty query the first time a value must be bound to one;
 * empty when they cannot be read (values are then bound as text).
 */
final class TableColumns extends AbstractMap<String, ResultColumn> {
    private final Session session;
    private final String table;
    private Map<String, ResultColumn> read;

    TableColumns(Session session, String qualifiedTable) {
        this.session = session;
        this.table = qualifiedTable;
    }

    @Override
    public Set<Map.Entry<String, ResultColumn>> entrySet() {
        if (read == null)
            read = readColumns();
        return read.entrySet();
    }

    private Map<String, ResultColumn> readColumns() {
        Map<String, ResultColumn> columns = new HashMap<>();
        try {
            session.lock();
            try (Statement statement = session.connection.createStatement();
                 ResultSet rows = statement.executeQuery("SELECT * FROM " + table + " WHERE 1 = 0")) {
                for (ResultColumn column : ResultColumn.describe(rows.getMetaData(), session.dialect))
                    columns.put(column.name, column);
            } finally {
                session.unlock();
            }
        } catch (SQLException | RuntimeException e) {
            // The load that follows reports what is wrong with the table.
        }
        return columns;
    }
}
