package nl.dalmerik.vorn;

/** A cell of a character large object: the native side shows its text and edits it in a larger editor. */
public class CharacterWrapper {
    private final String text;

    CharacterWrapper(String text) {
        this.text = text;
    }

    /** The text, or null for SQL NULL. */
    public String stringValue() {
        return text;
    }
}
