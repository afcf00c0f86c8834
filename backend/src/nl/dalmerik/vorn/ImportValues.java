package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.sql.PreparedStatement;
import java.sql.SQLException;
import java.sql.Timestamp;
import java.sql.Types;

/**
 * Imported values on their way into a column. They come as text: numbers with "." as decimal separator,
 * dates as "yyyy-MM-dd HH:mm:ss.SSS" (milliseconds kept), anything else as it is.
 */
final class ImportValues {
    /** The shape of a timestamp with milliseconds: 0 a digit, anything else itself. */
    private static final String TIMESTAMP_SHAPE = "0000-00-00 00:00:00.000";

    private ImportValues() {}

    /** The value type code of a column: "N" number, "D" date or time, "S" anything else. */
    static char typeCode(int sqlType) {
        switch (sqlType) {
        case Types.TINYINT:
        case Types.SMALLINT:
        case Types.INTEGER:
        case Types.BIGINT:
        case Types.REAL:
        case Types.FLOAT:
        case Types.DOUBLE:
        case Types.NUMERIC:
        case Types.DECIMAL:
            return 'N';
        case Types.DATE:
        case Types.TIME:
        case Types.TIME_WITH_TIMEZONE:
        case Types.TIMESTAMP:
        case Types.TIMESTAMP_WITH_TIMEZONE:
            return 'D';
        default:
            return 'S';
        }
    }

    static boolean isNumber(String typeCode) {
        return "N".equals(typeCode);
    }

    /** The text as a loader reads it for the column: a timestamp cut to what a date or time column holds. */
    static String text(Object value, int sqlType) {
        if (value == null)
            return null;
        String text = value.toString();
        if (typeCode(sqlType) != 'D' || !isTimestamp(text))
            return text;
        if (sqlType == Types.DATE)
            return text.substring(0, 10);
        if (sqlType == Types.TIME || sqlType == Types.TIME_WITH_TIMEZONE)
            return text.substring(11);
        return text;
    }

    /** Whether the text is "yyyy-MM-dd HH:mm:ss.SSS" (checked for every date of an import, so by hand). */
    static boolean isTimestamp(String text) {
        if (text.length() != TIMESTAMP_SHAPE.length())
            return false;
        for (int i = 0; i < text.length(); i++) {
            char shape = TIMESTAMP_SHAPE.charAt(i);
            char c = text.charAt(i);
            if (shape == '0' ? c < '0' || c > '9' : c != shape)
                return false;
        }
        return true;
    }

    /** The literal of a number, or null when the text is no number. */
    static String numberLiteral(String value) {
        try {
            return new BigDecimal(value.trim()).toString();
        } catch (NumberFormatException e) {
            return null;
        }
    }

    /** Binds a value text to a parameter of the given column type; SQLite keeps dates as their text. */
    static void bind(PreparedStatement statement, int index, String text, int sqlType, boolean sqlite)
        throws SQLException {
        if (text == null) {
            statement.setNull(index, sqlite ? Types.NULL : sqlType);
            return;
        }
        switch (typeCode(sqlType)) {
        case 'N':
            bindNumber(statement, index, text, sqlite);
            return;
        case 'D':
            if (!sqlite && isTimestamp(text)) {
                bindTimestamp(statement, index, text, sqlType);
                return;
            }
            break;
        default:
            if (sqlType == Types.OTHER && !sqlite) {
                statement.setObject(index, text, Types.OTHER);
                return;
            }
        }
        statement.setString(index, text);
    }

    private static void bindNumber(PreparedStatement statement, int index, String text, boolean sqlite)
        throws SQLException {
        BigDecimal number;
        try {
            number = new BigDecimal(text.trim());
        } catch (NumberFormatException e) {
            throw new SQLException("'" + text + "' is not a number.", "22018");
        }
        if (!sqlite) {
            statement.setBigDecimal(index, number);
        } else if (number.scale() <= 0 && number.abs().compareTo(BigDecimal.valueOf(Long.MAX_VALUE)) <= 0) {
            statement.setLong(index, number.longValueExact());
        } else {
            statement.setDouble(index, number.doubleValue());
        }
    }

    private static void bindTimestamp(PreparedStatement statement, int index, String text, int sqlType)
        throws SQLException {
        Timestamp timestamp = Timestamp.valueOf(text);
        if (sqlType == Types.DATE)
            statement.setDate(index, java.sql.Date.valueOf(text.substring(0, 10)));
        else
            statement.setTimestamp(index, timestamp);
    }
}
