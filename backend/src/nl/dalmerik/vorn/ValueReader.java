package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.math.MathContext;
import java.math.RoundingMode;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Timestamp;
import java.time.LocalDateTime;
import java.time.LocalTime;

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
        // Numbers whose text from the driver is already plain: every digit there is, no exponent.
        case PLAIN_NUMBER:
            return rows.getString(index);
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
        // Dates and timestamps without a zone are read from the database's own text: through the VM's time
        // zone a value in a daylight saving gap would move. Text that is no ordinary date (MySQL's zero
        // dates, PostgreSQL's infinity and BC dates) shows as it is.
        case DATE:
        case TIMESTAMP:
            return localDateTime(rows.getString(index), format);
        case ZONED_TIMESTAMP: {
            Timestamp timestamp = rows.getTimestamp(index);
            String shown = timestamp == null ? null : format.format(timestamp);
            return shown != null || timestamp == null ? shown : rows.getString(index);
        }
        case TIME:
            return time(rows.getString(index), format);
        case BOOLEAN: {
            boolean flag = rows.getBoolean(index);
            return rows.wasNull() ? null : Boolean.toString(flag);
        }
        default:
            return rows.getString(index);
        }
    }

    /** Kinds whose raw value (Dialect.readRawValue) is the database's text, shown by display. */
    static boolean shownLater(ValueKind kind) {
        return kind == ValueKind.DATE || kind == ValueKind.TIMESTAMP || kind == ValueKind.TIME;
    }

    /** A raw value (Dialect.readRawValue) as readValue reads it. */
    static Object display(Object raw, ValueKind kind, TimestampFormat format) {
        if (!shownLater(kind) || raw == null)
            return raw;
        return kind == ValueKind.TIME ? time((String) raw, format) : localDateTime((String) raw, format);
    }

    /** A date or a date and time as the database wrote it, in the user's pattern where it can show it. */
    static String localDateTime(String text, TimestampFormat format) {
        LocalDateTime moment = text == null ? null : LocalText.parseDateTime(text);
        return moment == null ? text : formatted(text, format.format(moment));
    }

    /** The value in the user's pattern, or the database's text where the pattern cannot show it. */
    private static String formatted(String databaseText, String patternText) {
        return patternText != null ? patternText : databaseText;
    }

    /**
     * A time of day in the user's pattern; anything else as the database writes it: MySQL's TIME is a
     * duration ("838:59:59", "-01:00:00") and PostgreSQL knows "24:00:00".
     */
    private static String time(String text, TimestampFormat format) {
        LocalTime time = text == null ? null : LocalText.parseTime(text);
        return time == null ? text : formatted(text, format.formatTime(time));
    }

    /** The shortest text that reads back as the same double, without an exponent. */
    static String plainDouble(double number) {
        if (Double.isNaN(number) || Double.isInfinite(number))
            return Double.toString(number);
        if (number == 0)
            return 1 / number < 0 ? "-0.0" : "0.0";
        String quick = Double.toString(number);
        if (isShortestPlain(quick))
            return quick;
        // Double.toString is not always the shortest text (8.41e21 gave spurious digits): the fewest
        // significant digits that read back as the same double are. A normal double is within less than
        // half a unit of the 15th digit of any decimal of up to 15 digits that reads back as it: so when the
        // value rounded to 15 digits reads back, its digits are the fewest, and otherwise 16 or 17 are needed.
        BigDecimal exact = new BigDecimal(number);
        BigDecimal shortest = exact;
        int fewest = Math.abs(number) >= Double.MIN_NORMAL ? 15 : 1;
        for (int digits = fewest; digits <= 17; digits++) {
            BigDecimal rounded = exact.round(new MathContext(digits, RoundingMode.HALF_EVEN));
            if (rounded.doubleValue() == number) {
                shortest = rounded;
                break;
            }
        }
        String plain = shortest.stripTrailingZeros().toPlainString();
        // Whole numbers of an ordinary size keep their ".0", as they always showed.
        boolean whole = plain.indexOf('.') < 0;
        return whole && Math.abs(number) < 1e7 ? plain + ".0" : plain;
    }

    /**
     * Whether Double.toString's text is already what plainDouble writes: without an exponent, and with at
     * most 15 significant digits. Two different decimals of at most 15 digits never read back as the same
     * double, so no shorter text does, and Double.toString writes no trailing zeros but the ".0" of a whole
     * number (which plainDouble keeps below 1e7, where Double.toString has no exponent).
     */
    private static boolean isShortestPlain(String text) {
        int digits = 0;
        boolean leading = true;
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c == 'E')
                return false;
            if (c < '0' || c > '9')
                continue;
            if (c != '0')
                leading = false;
            if (!leading)
                digits++;
        }
        return digits <= 15;
    }
}
