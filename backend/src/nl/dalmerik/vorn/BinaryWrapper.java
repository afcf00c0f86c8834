package nl.dalmerik.vorn;

/** A cell of a binary column: the native side shows a marker and offers upload and download. */
public class BinaryWrapper {
    private final boolean isNull;

    BinaryWrapper(boolean isNull) {
        this.isNull = isNull;
    }

    public boolean isNull() {
        return isNull;
    }
}
