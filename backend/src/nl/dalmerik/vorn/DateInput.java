package nl.dalmerik.vorn;

import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.format.DateTimeFormatter;
import java.time.format.DateTimeFormatterBuilder;
import java.time.format.ResolverStyle;
import java.time.temporal.ChronoField;
import java.time.temporal.TemporalAccessor;
import java.util.Locale;

/**
 * Reads dates and times the user typed in the pattern the values are shown in (SimpleDateFormat's letters):
 * the whole pattern, or its date part alone for midnight, as rounding at midnight writes it. A run of "S" is
 * the fraction of the second, as it is written (".5" is half a second). Immutable.
 */
final class DateInput {
    private final DateTimeFormatter full;
    private final DateTimeFormatter date;

    /** Throws IllegalArgumentException for a pattern java.time cannot read. */
    DateInput(String pattern) {
        this.full = formatter(pattern);
        int blank = pattern.indexOf(' ');
        this.date = blank < 0 ? null : formatter(pattern.substring(0, blank).trim());
    }

    /** The moment the text names; null when it matches neither form. */
    LocalDateTime parse(String text) {
        String trimmed = text.trim();
        LocalDateTime whole = attempt(full, trimmed);
        if (whole != null || date == null)
            return whole;
        return attempt(date, trimmed);
    }

    private static LocalDateTime attempt(DateTimeFormatter formatter, String text) {
        try {
            TemporalAccessor parsed = formatter.parse(text);
            LocalDate day = parsed.isSupported(ChronoField.EPOCH_DAY) ? LocalDate.from(parsed) : LocalDate.EPOCH;
            LocalTime time = parsed.isSupported(ChronoField.NANO_OF_DAY) ? LocalTime.from(parsed) : LocalTime.MIDNIGHT;
            return LocalDateTime.of(day, time);
        } catch (java.time.DateTimeException e) {
            return null;
        }
    }

    /** SimpleDateFormat's letters as java.time reads them; quoted text stays literal. */
    private static DateTimeFormatter formatter(String pattern) {
        DateTimeFormatterBuilder builder = new DateTimeFormatterBuilder().parseCaseInsensitive();
        StringBuilder plain = new StringBuilder();
        for (int i = 0; i < pattern.length(); i++) {
            char letter = pattern.charAt(i);
            if (letter == 'S') {
                int end = i;
                while (end < pattern.length() && pattern.charAt(end) == 'S')
                    end++;
                flush(builder, plain);
                builder.appendFraction(ChronoField.NANO_OF_SECOND, 1, 9, false);
                i = end - 1;
            } else if (letter == 'y') {
                plain.append('u'); // the proleptic year, so no era is needed to resolve it
            } else {
                plain.append(letter);
            }
        }
        flush(builder, plain);
        return builder.toFormatter(Locale.getDefault()).withResolverStyle(ResolverStyle.STRICT);
    }

    private static void flush(DateTimeFormatterBuilder builder, StringBuilder plain) {
        if (plain.length() > 0)
            builder.appendPattern(plain.toString());
        plain.setLength(0);
    }
}
