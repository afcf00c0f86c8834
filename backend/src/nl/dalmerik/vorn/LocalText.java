package nl.dalmerik.vorn;

import java.time.DateTimeException;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;

/**
 * Reads the text databases write for a date ("2024-03-31"), a date and time ("2024-03-31 02:30:00.25") or
 * a time of day ("02:30:00"): a four-digit year, two-digit fields, seconds and up to nine fraction digits
 * optional. Read by hand: a result may hold a million of them.
 */
final class LocalText {
    private LocalText() {}

    /** The date and time the text names; null for any other text. */
    static LocalDateTime parseDateTime(String text) {
        int length = text.length();
        if (length < 10 || text.charAt(4) != '-' || text.charAt(7) != '-')
            return null;
        int year = digits(text, 0, 4);
        int month = digits(text, 5, 2);
        int day = digits(text, 8, 2);
        if (year < 0 || month < 0 || day < 0)
            return null;
        LocalTime time = LocalTime.MIDNIGHT;
        if (length > 10) {
            if (text.charAt(10) != ' ')
                return null;
            time = parseTime(text, 11);
            if (time == null)
                return null;
        }
        try {
            return LocalDateTime.of(LocalDate.of(year, month, day), time);
        } catch (DateTimeException e) {
            return null;
        }
    }

    /** The time of day the text names; null for any other text (such as "24:00:00" or "838:59:59"). */
    static LocalTime parseTime(String text) {
        return parseTime(text, 0);
    }

    private static LocalTime parseTime(String text, int start) {
        int length = text.length() - start;
        if (length < 5 || text.charAt(start + 2) != ':')
            return null;
        int hour = digits(text, start, 2);
        int minute = digits(text, start + 3, 2);
        int second = 0;
        int nano = 0;
        if (length > 5) {
            if (length < 8 || text.charAt(start + 5) != ':')
                return null;
            second = digits(text, start + 6, 2);
            if (length > 8) {
                int fractionDigits = length - 9;
                if (text.charAt(start + 8) != '.' || fractionDigits < 1 || fractionDigits > 9)
                    return null;
                nano = digits(text, start + 9, fractionDigits);
                for (int i = fractionDigits; i < 9 && nano >= 0; i++)
                    nano *= 10;
            }
        }
        if (hour < 0 || minute < 0 || second < 0 || nano < 0)
            return null;
        try {
            return LocalTime.of(hour, minute, second, nano);
        } catch (DateTimeException e) {
            return null;
        }
    }

    /** The number written by count ASCII digits from start; -1 when one is no digit. */
    private static int digits(String text, int start, int count) {
        int value = 0;
        for (int i = start; i < start + count; i++) {
            char c = text.charAt(i);
            if (c < '0' || c > '9')
                return -1;
            value = value * 10 + (c - '0');
        }
        return value;
    }
}
