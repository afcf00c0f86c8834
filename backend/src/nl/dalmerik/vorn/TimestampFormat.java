package nl.dalmerik.vorn;

import java.sql.Timestamp;
import java.time.DateTimeException;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.ZoneId;
import java.time.ZonedDateTime;
import java.time.temporal.TemporalAccessor;

/**
 * Writes dates and times with the user's pattern, in SimpleDateFormat's letters, through java.time (see
 * DatePattern). A run of "S" is the fraction of the second (".5" is half a second, as the native side reads
 * it, not 5 milliseconds), written with as many digits as the value needs; and with rounding at midnight a
 * value at exactly 00:00:00 is written with the date part of the pattern only. Values without a time zone
 * are written as they stand (zone letters show UTC, where no hour is skipped); instants in the VM's time
 * zone. Safe for any thread.
 */
final class TimestampFormat {
    static final String DEFAULT_PATTERN = "dd-MM-yyyy HH:mm:ss.S";
    private static final ZoneId NO_ZONE = ZoneId.of("UTC");

    private final DatePattern full;
    private final DatePattern date;
    private final DatePattern time;
    private final boolean roundMidnight;
    private final String pattern;
    private volatile DateInput input;

    /** Throws IllegalArgumentException for a pattern SimpleDateFormat does not accept. */
    TimestampFormat(String pattern, boolean roundMidnight) {
        this.full = DatePattern.compile(pattern);
        int blank = firstBlankOutsideQuotes(pattern);
        this.date = blank < 0 ? full : DatePattern.compile(pattern.substring(0, blank).trim());
        this.time = blank < 0 ? full : DatePattern.compile(pattern.substring(blank + 1).trim());
        this.roundMidnight = roundMidnight;
        this.pattern = pattern;
    }

    /** Reads typed dates in this pattern; null when java.time cannot read the pattern. */
    DateInput input() {
        DateInput made = input;
        if (made == null) {
            try {
                made = new DateInput(pattern);
            } catch (IllegalArgumentException e) {
                return null;
            }
            input = made;
        }
        return made;
    }

    /** The text of an instant in the VM's time zone; null when it lies outside the years 1 to 9999. */
    String format(Timestamp value) {
        ZonedDateTime moment = ZonedDateTime.ofInstant(value.toInstant(), ZoneId.systemDefault());
        return inRange(moment.getYear()) ? written(roundedPattern(moment.toLocalTime()), moment) : null;
    }

    /** The text of a date and time as it stands; null when it lies outside the years 1 to 9999. */
    String format(LocalDateTime value) {
        return inRange(value.getYear()) ? local(roundedPattern(value.toLocalTime()), value) : null;
    }

    /** The text of a time of day, with the time part of the pattern; null when the pattern cannot write it. */
    String formatTime(LocalTime value) {
        return local(time, value.atDate(LocalDate.EPOCH));
    }

    /**
     * The timestamp as text in the user's pattern, never shortened (for texts such as "connectedSince"); in
     * ISO form where the pattern cannot write it.
     */
    String formatFull(Timestamp value) {
        ZonedDateTime moment = ZonedDateTime.ofInstant(value.toInstant(), ZoneId.systemDefault());
        String text = written(full, moment);
        return text != null ? text : moment.toOffsetDateTime().toString();
    }

    private static boolean inRange(int year) {
        return year >= 1 && year <= 9999;
    }

    private DatePattern roundedPattern(LocalTime value) {
        return roundMidnight && value.equals(LocalTime.MIDNIGHT) ? date : full;
    }

    /** A value without a zone: only a pattern that writes one needs it, and gets UTC. */
    private static String local(DatePattern pattern, LocalDateTime value) {
        return written(pattern, pattern.needsZone() ? value.atZone(NO_ZONE) : value);
    }

    /** Null for a field the value cannot give (the caller then shows the database's own text). */
    private static String written(DatePattern pattern, TemporalAccessor value) {
        StringBuilder text = new StringBuilder(32);
        try {
            pattern.write(value, text);
        } catch (DateTimeException e) {
            return null;
        }
        return text.toString();
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
}
