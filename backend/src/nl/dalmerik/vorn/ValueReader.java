package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Timestamp;

/**
 * Reads one cell into the shape the native side shows: exact text for numbers (no exponent, no grouping,
 * every digit the database has), the user's pattern for dates, wrappers for large objects, null for NULL.
 */
final class ValueReader {
    private ValueReader() {}

    static Object read(ResultSet rows, int index, ValueKind kind, TimestampFormat format) throws SQLException {
        Object value;
        try {
            value = convert(rows, index, kind, format);
        } catch (SQLException | RuntimeException e) {
            // Values the driver cannot convert (PostgreSQL's NaN numeric, MySQL's zero dates) as the
            // database writes them. A broken connection fails here again and is reported.
            return rows.getString(index);
        }
        if (value == null && !rows.wasNull())
            return rows.getString(index);
        return value;
    }

    private static Object convert(ResultSet rows, int index, ValueKind kind, TimestampFormat format)
        throws SQLException {
        switch (kind) {
        case CHARACTER_LOB:
            return new CharacterWrapper(rows.getString(index));
        case BINARY:
            return new BinaryWrapper(rows.getObject(index) == null);
        case EXACT_NUMBER: {
            BigDecimal number = rows.getBigDecimal(index);
            return number == null ? null : number.toPlainString();
        }
        case SINGLE_FLOAT: {
            float number = rows.getFloat(index);
            return rows.wasNull() ? null : plainDouble(Double.parseDouble(Float.toString(number)));
        }
        case DOUBLE_FLOAT: {
            double number = rows.getDouble(index);
            return rows.wasNull() ? null : plainDouble(number);
        }
        case TIMESTAMP: {
            Timestamp timestamp = rows.getTimestamp(index);
            if (timestamp == null)
                return null;
            String text = format.format(timestamp);
            return text != null ? text : rows.getString(index);
        }
        case TIME: {
            Timestamp timestamp = rows.getTimestamp(index);
            return timestamp == null ? null : format.formatTime(timestamp);
        }
        case BOOLEAN: {
            boolean flag = rows.getBoolean(index);
            return rows.wasNull() ? null : Boolean.toString(flag);
        }
        default:
            return rows.getString(index);
        }
    }

    /** The shortest text that reads back as the same double, without an exponent. */
    static String plainDouble(double number) {
        if (Double.isNaN(number) || Double.isInfinite(number))
            return Double.toString(number);
        return new BigDecimal(Double.toString(number)).toPlainString();
    }
}
