package nl.dalmerik.vorn;

/** How the values of a column are read and what type code the native side sees for it. */
enum ValueKind {
    TEXT("S"),
    CHARACTER_LOB("C"),
    BINARY("B"),
    PLAIN_NUMBER("N"),
    EXACT_NUMBER("N"),
    SINGLE_FLOAT("N"),
    DOUBLE_FLOAT("N"),
    DATE("D"),
    TIMESTAMP("D"),
    ZONED_TIMESTAMP("D"),
    TIME("D"),
    BOOLEAN("O"),
    OTHER("O");

    /** "S" string, "N" number, "D" date and time, "B" binary, "C" character large object, "O" other. */
    final String code;

    ValueKind(String code) {
        this.code = code;
    }

    /** Values a sort or a comparison can use; large objects cannot be ordered everywhere. */
    boolean searchable() {
        return this != BINARY && this != CHARACTER_LOB;
    }
}
