package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.List;

/** Writes a batch of rows (value texts in column order) into the table, all of them or none. */
interface ImportWriter {
    void write(List<String[]> rows) throws SQLException;
}
