package nl.dalmerik.vorn;

import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.format.DateTimeFormatter;
import java.time.format.DateTimeFormatterBuilder;
import java.time.format.DateTimeParseException;

/** Reads the text databases write for a date ("2024-03-31") or a date and time ("2024-03-31 02:30:00.25"). */
final class LocalText {
    private static final DateTimeFormatter DATE_AND_TIME = new DateTimeFormatterBuilder()
        .append(DateTimeFormatter.ISO_LOCAL_DATE)
        .appendLiteral(' ')
        .append(DateTimeFormatter.ISO_LOCAL_TIME)
        .toFormatter();

    /** The date and time the text names; null for any other text. */
    LocalDateTime parse(String text) {
        try {
            if (text.length() == 10)
                return LocalDate.parse(text).atStartOfDay();
            return LocalDateTime.parse(text, DATE_AND_TIME);
        } catch (DateTimeParseException e) {
            return null;
        }
    }
}
