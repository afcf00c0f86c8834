package nl.dalmerik.vorn;

import java.time.format.DateTimeFormatter;
import java.time.format.DateTimeFormatterBuilder;
import java.time.format.TextStyle;
import java.time.temporal.ChronoField;
import java.time.temporal.TemporalAccessor;
import java.time.temporal.TemporalField;
import java.time.temporal.WeekFields;
import java.util.ArrayList;
import java.util.List;
import java.util.Locale;

/**
 * A date pattern in SimpleDateFormat's letters (the form the preferences store), compiled once and written
 * from java.time values: what SimpleDateFormat writes, except that a run of "S" is the fraction of the second
 * with at least as many digits as the run and no trailing zeros beyond them. Numbers are written straight
 * from the value's fields (a result may hold a million dates); names, eras and zones by java.time's own
 * formatters in the default locale. Letters SimpleDateFormat refuses are refused here too. Immutable.
 */
final class DatePattern {
    /** One piece of the pattern, written from a value that has its fields. */
    private interface Part {
        void write(TemporalAccessor value, StringBuilder out);
    }

    private final Part[] parts;
    private final boolean needsZone;

    private DatePattern(List<Part> parts, boolean needsZone) {
        this.parts = parts.toArray(new Part[0]);
        this.needsZone = needsZone;
    }

    /** Throws IllegalArgumentException for a letter SimpleDateFormat does not know or an open quote. */
    static DatePattern compile(String pattern) {
        List<Part> parts = new ArrayList<>();
        boolean needsZone = false;
        int i = 0;
        while (i < pattern.length()) {
            char c = pattern.charAt(i);
            if (c == '\'') {
                StringBuilder literal = new StringBuilder();
                i = quoted(pattern, i, literal);
                parts.add(literal(literal.toString()));
            } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                int count = 1;
                while (i + count < pattern.length() && pattern.charAt(i + count) == c)
                    count++;
                parts.add(field(c, count));
                needsZone |= c == 'z' || c == 'Z' || c == 'X';
                i += count;
            } else {
                parts.add(literal(String.valueOf(c)));
                i++;
            }
        }
        return new DatePattern(parts, needsZone);
    }

    /** Whether the pattern writes a time zone or offset, which only a zoned value has. */
    boolean needsZone() {
        return needsZone;
    }

    /** Writes the value; throws DateTimeException when it lacks a field the pattern writes. */
    void write(TemporalAccessor value, StringBuilder out) {
        for (Part part : parts)
            part.write(value, out);
    }

    /** Text between quotes as it stands, "''" as one quote, into literal; the index after the closing quote. */
    private static int quoted(String pattern, int start, StringBuilder literal) {
        if (start + 1 < pattern.length() && pattern.charAt(start + 1) == '\'') {
            literal.append('\'');
            return start + 2;
        }
        int i = start + 1;
        while (true) {
            if (i >= pattern.length())
                throw new IllegalArgumentException("Unterminated quote");
            char c = pattern.charAt(i);
            if (c == '\'') {
                if (i + 1 < pattern.length() && pattern.charAt(i + 1) == '\'') {
                    literal.append('\'');
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            literal.append(c);
            i++;
        }
    }

    private static Part literal(String text) {
        return (value, out) -> out.append(text);
    }

    private static Part field(char letter, int count) {
        WeekFields weeks = WeekFields.of(Locale.getDefault(Locale.Category.FORMAT));
        switch (letter) {
        case 'G':
            return text(new DateTimeFormatterBuilder().appendText(ChronoField.ERA,
                                                                  count >= 4 ? TextStyle.FULL : TextStyle.SHORT));
        case 'y':
            return year(ChronoField.YEAR_OF_ERA, count);
        case 'Y':
            return year(weeks.weekBasedYear(), count);
        case 'M':
        case 'L':
            if (count < 3)
                return number(ChronoField.MONTH_OF_YEAR, count);
            return text(new DateTimeFormatterBuilder().appendText(ChronoField.MONTH_OF_YEAR,
                                                                  monthStyle(letter == 'L', count)));
        case 'w':
            return number(weeks.weekOfWeekBasedYear(), count);
        case 'W':
            return number(weeks.weekOfMonth(), count);
        case 'D':
            return number(ChronoField.DAY_OF_YEAR, count);
        case 'd':
            return number(ChronoField.DAY_OF_MONTH, count);
        case 'F':
            return number(ChronoField.ALIGNED_WEEK_OF_MONTH, count);
        case 'E':
            return text(new DateTimeFormatterBuilder().appendText(ChronoField.DAY_OF_WEEK,
                                                                  count >= 4 ? TextStyle.FULL : TextStyle.SHORT));
        case 'u':
            return number(ChronoField.DAY_OF_WEEK, count);
        case 'a':
            return text(new DateTimeFormatterBuilder().appendText(ChronoField.AMPM_OF_DAY, TextStyle.SHORT));
        case 'H':
            return number(ChronoField.HOUR_OF_DAY, count);
        case 'k':
            return number(ChronoField.CLOCK_HOUR_OF_DAY, count);
        case 'K':
            return number(ChronoField.HOUR_OF_AMPM, count);
        case 'h':
            return number(ChronoField.CLOCK_HOUR_OF_AMPM, count);
        case 'm':
            return number(ChronoField.MINUTE_OF_HOUR, count);
        case 's':
            return number(ChronoField.SECOND_OF_MINUTE, count);
        case 'S':
            return fraction(Math.min(count, 9));
        case 'z':
            return text(new DateTimeFormatterBuilder().appendZoneText(count >= 4 ? TextStyle.FULL : TextStyle.SHORT));
        case 'Z':
            return text(new DateTimeFormatterBuilder().appendOffset("+HHMM", "+0000"));
        case 'X':
            if (count > 3)
                throw new IllegalArgumentException("invalid ISO 8601 format: length=" + count);
            return text(new DateTimeFormatterBuilder().appendOffset(
                count == 1 ? "+HH" : count == 2 ? "+HHMM" : "+HH:MM", "Z"));
        default:
            throw new IllegalArgumentException("Illegal pattern character '" + letter + "'");
        }
    }

    private static TextStyle monthStyle(boolean standalone, int count) {
        if (standalone)
            return count >= 4 ? TextStyle.FULL_STANDALONE : TextStyle.SHORT_STANDALONE;
        return count >= 4 ? TextStyle.FULL : TextStyle.SHORT;
    }

    private static Part text(DateTimeFormatterBuilder builder) {
        DateTimeFormatter formatter = builder.toFormatter();
        return formatter::formatTo;
    }

    /** Two letters write the last two digits; any other count is the least number of digits. */
    private static Part year(TemporalField field, int count) {
        if (count != 2)
            return number(field, count);
        return (value, out) -> padded(out, Math.floorMod(value.getLong(field), 100), 2);
    }

    /** The number with at least count digits, zero-padded, as SimpleDateFormat writes numbers. */
    private static Part number(TemporalField field, int count) {
        return (value, out) -> padded(out, value.getLong(field), count);
    }

    /** The digits after the decimal point: every significant digit, at least width of them. */
    private static Part fraction(int width) {
        return (value, out) -> {
            int nanos = value.get(ChronoField.NANO_OF_SECOND);
            int digits = 9;
            while (digits > width && nanos % 10 == 0) {
                nanos /= 10;
                digits--;
            }
            padded(out, nanos, digits);
        };
    }

    private static void padded(StringBuilder out, long number, int width) {
        if (number < 0) {
            out.append('-');
            number = -number;
        }
        int digits = 1;
        for (long rest = number / 10; rest > 0; rest /= 10)
            digits++;
        for (int i = digits; i < width; i++)
            out.append('0');
        out.append(number);
    }
}
