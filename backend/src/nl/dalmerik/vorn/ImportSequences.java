package nl.dalmerik.vorn;

import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.List;

/** Sequences as each database that has them names and advances them. */
final class ImportSequences {
    private ImportSequences() {}

    static boolean supported(String databaseType) {
        return listSql(databaseType) != null;
    }

    private static String listSql(String databaseType) {
        switch (databaseType) {
        case "PostgreSQL":
            return "SELECT sequence_name FROM information_schema.sequences WHERE sequence_schema = ? ORDER BY 1";
        case "Oracle":
            return "SELECT sequence_name FROM all_sequences WHERE sequence_owner = ? ORDER BY 1";
        case "SQL Server":
            return "SELECT s.name FROM sys.sequences s JOIN sys.schemas c ON s.schema_id = c.schema_id "
                + "WHERE c.name = ? ORDER BY 1";
        default:
            return null;
        }
    }

    /** The sequence names of the schema; the caller holds the session's lock. */
    static List<String> list(Session session, String schema) throws SQLException, BackendException {
        String sql = listSql(session.dialect.typeName());
        if (sql == null)
            throw new BackendException("This database has no sequences.");
        List<String> names = new ArrayList<>();
        try (PreparedStatement statement = session.connection.prepareStatement(sql)) {
            statement.setString(1, schema);
            try (ResultSet rows = statement.executeQuery()) {
                while (rows.next())
                    names.add(rows.getString(1));
            }
        }
        return names;
    }

    /** The expression that takes the next value of the (qualified, quoted) sequence. */
    static String nextValue(String databaseType, String qualifiedSequence) {
        switch (databaseType) {
        case "PostgreSQL":
            return "nextval('" + qualifiedSequence.replace("'", "''") + "')";
        case "Oracle":
            return qualifiedSequence + ".nextval";
        case "SQL Server":
            return "NEXT VALUE FOR " + qualifiedSequence;
        default:
            return null;
        }
    }
}
