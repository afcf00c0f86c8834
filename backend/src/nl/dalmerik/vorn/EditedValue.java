package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.sql.PreparedStatement;
import java.sql.SQLException;
import java.sql.Timestamp;
import java.sql.Types;
import java.time.LocalDateTime;
import java.util.Locale;

/**
 * Binds a value the user typed (or a key as it was shown) to a statement parameter of its column's type:
 * numbers as decimals, dates and times read with the shown pattern, truth values as booleans, the rest as
 * text. A text the column's type cannot take fails with "INVALID_INPUT", before the database is asked.
 */
final class EditedValue {
    static final String INVALID_INPUT = "INVALID_INPUT";

    private EditedValue() {}

    static void bind(PreparedStatement statement, int index, ResultColumn column, String text, DateInput dates)
        throws SQLException, BackendException {
        if (text == null) {
            statement.setNull(index, column.kind == ValueKind.BINARY ? Types.BINARY : Types.VARCHAR);
            return;
        }
        switch (column.kind) {
        case PLAIN_NUMBER:
        case EXACT_NUMBER:
        case SINGLE_FLOAT:
        case DOUBLE_FLOAT:
            statement.setBigDecimal(index, number(text));
            return;
        case DATE:
        case TIMESTAMP:
        case ZONED_TIMESTAMP:
            statement.setTimestamp(index, Timestamp.valueOf(moment(text, dates)));
            return;
        case TIME:
            statement.setTime(index, java.sql.Time.valueOf(moment(text, dates).toLocalTime()));
            return;
        case BOOLEAN:
            statement.setBoolean(index, truth(text));
            return;
        case BINARY:
            throw new BackendException(INVALID_INPUT);
        default:
            statement.setString(index, text);
        }
    }

    private static BigDecimal number(String text) throws BackendException {
        try {
            return new BigDecimal(text.trim());
        } catch (NumberFormatException e) {
            throw new BackendException(INVALID_INPUT);
        }
    }

    private static LocalDateTime moment(String text, DateInput dates) throws BackendException {
        LocalDateTime parsed = dates == null ? null : dates.parse(text);
        if (parsed == null)
            throw new BackendException(INVALID_INPUT);
        return parsed;
    }

    private static boolean truth(String text) throws BackendException {
        switch (text.trim().toLowerCase(Locale.ROOT)) {
        case "1":
        case "true":
        case "t":
        case "yes":
            return true;
        case "0":
        case "false":
        case "f":
        case "no":
            return false;
        default:
            throw new BackendException(INVALID_INPUT);
        }
    }
}
