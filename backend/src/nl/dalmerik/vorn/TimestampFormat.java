package nl.dalmerik.vorn;

import java.sql.Timestamp;
import java.text.SimpleDateFormat;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.ZoneId;
import java.time.ZoneOffset;
import java.util.ArrayList;
import java.util.Date;
import java.util.GregorianCalendar;
import java.util.List;
import java.util.TimeZone;

/**
 * Writes dates and times with the user's SimpleDateFormat pattern. Two things differ from a plain
 * SimpleDateFormat: a run of "S" is the fraction of the second (".5" is half a second, as the native
 * side reads it, not 5 milliseconds), written with as many digits as the value needs; and with rounding
 * at midnight a value at exactly 00:00:00 is written with the date part of the pattern only.
 */
final class TimestampFormat {
    static final String DEFAULT_PATTERN = "dd-MM-yyyy HH:mm:ss.S";
    private static final char FRACTION_MARK = '\uE000';

    private final Compiled full;
    private final Compiled date;
    private final Compiled time;
    private final boolean roundMidnight;
    private final ZoneId zone = ZoneId.systemDefault();

    /** Throws IllegalArgumentException for a pattern SimpleDateFormat does not accept. */
    TimestampFormat(String pattern, boolean roundMidnight) {
        this.full = new Compiled(pattern);
        int blank = firstBlankOutsideQuotes(pattern);
        this.date = blank < 0 ? full : new Compiled(pattern.substring(0, blank).trim());
        this.time = blank < 0 ? full : new Compiled(pattern.substring(blank + 1).trim());
        this.roundMidnight = roundMidnight;
    }

    /** The text of an instant in the VM's time zone; null when it lies outside the years 1 to 9999. */
    String format(Timestamp value) {
        // Timestamp.toLocalDateTime goes through a calendar per field; from the instant is much cheaper.
        return format(LocalDateTime.ofInstant(value.toInstant(), zone), value.getNanos());
    }

    /** The text of a date and time as it stands; null when it lies outside the years 1 to 9999. */
    synchronized String format(LocalDateTime local, int nanos) {
        if (local.getYear() < 1 || local.getYear() > 9999)
            return null;
        if (roundMidnight && local.toLocalTime().equals(LocalTime.MIDNIGHT))
            return date.format(local, 0);
        return full.format(local, nanos);
    }

    /** The text of a time of day, with the time part of the pattern. */
    synchronized String formatTime(LocalTime value) {
        return time.format(value.atDate(LocalDate.EPOCH), value.getNano());
    }

    /** The timestamp as text in the user's pattern, never shortened (for texts such as "connectedSince"). */
    synchronized String formatFull(Timestamp value) {
        return full.format(LocalDateTime.ofInstant(value.toInstant(), zone), value.getNanos());
    }

    private static int firstBlankOutsideQuotes(String pattern) {
        boolean quoted = false;
        for (int i = 0; i < pattern.length(); i++) {
            char c = pattern.charAt(i);
            if (c == '\'')
                quoted = !quoted;
            else if (c == ' ' && !quoted)
                return i;
        }
        return -1;
    }

    /** A pattern with its fraction runs taken out, so SimpleDateFormat never writes milliseconds itself. */
    private static final class Compiled {
        private final SimpleDateFormat format;
        private final List<Integer> fractionWidths = new ArrayList<>();

        Compiled(String pattern) {
            StringBuilder converted = new StringBuilder();
            boolean quoted = false;
            for (int i = 0; i < pattern.length(); i++) {
                char c = pattern.charAt(i);
                if (c == '\'')
                    quoted = !quoted;
                if (c != 'S' || quoted) {
                    converted.append(c);
                    continue;
                }
                int width = 1;
                while (i + 1 < pattern.length() && pattern.charAt(i + 1) == 'S') {
                    width++;
                    i++;
                }
                fractionWidths.add(width);
                converted.append('\'').append(FRACTION_MARK).append('\'');
            }
            format = new SimpleDateFormat(converted.toString());
            // Fields are written as they stand in UTC, where no hour is skipped, on the calendar LocalDate
            // uses (Gregorian also before 1582).
            GregorianCalendar calendar = new GregorianCalendar(TimeZone.getTimeZone(ZoneOffset.UTC));
            calendar.setGregorianChange(new Date(Long.MIN_VALUE));
            format.setCalendar(calendar);
        }

        String format(LocalDateTime value, int nanos) {
            String text = format.format(Date.from(value.toInstant(ZoneOffset.UTC)));
            if (fractionWidths.isEmpty())
                return text;
            StringBuilder result = new StringBuilder(text.length() + 8);
            int next = 0;
            for (int i = 0; i < text.length(); i++) {
                char c = text.charAt(i);
                if (c == FRACTION_MARK && next < fractionWidths.size())
                    result.append(fraction(nanos, fractionWidths.get(next++)));
                else
                    result.append(c);
            }
            return result.toString();
        }

        /** The digits after the decimal point: every significant digit, at least the pattern's width. */
        private static String fraction(int nanos, int width) {
            char[] digits = new char[9];
            for (int i = digits.length - 1, rest = nanos; i >= 0; i--, rest /= 10)
                digits[i] = (char) ('0' + rest % 10);
            int end = digits.length;
            while (end > width && digits[end - 1] == '0')
                end--;
            return new String(digits, 0, end);
        }
    }
}
