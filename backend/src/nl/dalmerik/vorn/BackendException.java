package nl.dalmerik.vorn;

/** A failure whose message is meant for the user as it stands. */
final class BackendException extends Exception {
    private static final long serialVersionUID = 1L;

    BackendException(String message) {
        super(message);
    }
}
