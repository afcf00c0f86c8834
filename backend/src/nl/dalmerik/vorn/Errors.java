package nl.dalmerik.vorn;

import java.sql.SQLException;

/** Turns exceptions into the texts the root reports as lastErrorMessage. */
final class Errors {
    static final String CONNECTION_LOST = "The connection to the server was lost";

    private Errors() {}

    /** A failure that cost the connection: said in words, with the driver's own text as the detail. */
    static String connectionLost(Throwable error) {
        return CONNECTION_LOST + ": " + message(error);
    }

    /**
     * The exception's own message, followed by the messages of its causes where they add something:
     * drivers often say only "The connection attempt failed." and keep the reason in the cause.
     */
    static String message(Throwable error) {
        StringBuilder text = new StringBuilder(ownMessage(error));
        Throwable cause = error.getCause();
        for (int depth = 0; cause != null && cause != error && depth < 4; depth++) {
            String causeText = ownMessage(cause);
            if (text.indexOf(causeText) < 0)
                text.append(" (").append(causeText).append(')');
            error = cause;
            cause = cause.getCause();
        }
        return text.toString();
    }

    private static String ownMessage(Throwable error) {
        String message = error.getMessage();
        if (error instanceof BackendException || error instanceof SQLException)
            return message == null || message.isBlank() ? error.getClass().getSimpleName() : message.trim();
        String name = error.getClass().getSimpleName();
        return message == null || message.isBlank() ? name : name + ": " + message.trim();
    }
}
