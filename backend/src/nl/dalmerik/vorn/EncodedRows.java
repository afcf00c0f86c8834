package nl.dalmerik.vorn;

import java.util.Arrays;
import java.util.Hashtable;

/**
 * Rows of display values packed into one text, so that a whole portion crosses to the native side in one
 * call and no object per row or cell is kept. The text starts with the number of rows; then come the cells,
 * row by row. Each cell is one tag character; a cell with text follows its tag with the text's length and
 * the text itself. Numbers are written seven bits to a character, lowest first, every character but the
 * last marked with 0x80: so the tags and numbers keep a text of Latin-1 characters compact.
 */
final class EncodedRows {
    static final char NULL = 0;
    static final char TEXT = 1;
    static final char CHARACTER_LOB = 2;
    static final char CHARACTER_LOB_NULL = 3;
    static final char BINARY = 4;
    static final char BINARY_NULL = 5;
    /** The row count's place: five characters hold any int. */
    private static final int COUNT_LENGTH = 5;

    private final StringBuilder text;
    private int[] rowStarts = new int[16];
    private int rowCount;

    EncodedRows(int expectedRows, int columns) {
        text = new StringBuilder(Math.max(16, Math.min(expectedRows, 10000) * (columns * 16 + 4)));
        text.setLength(COUNT_LENGTH);
    }

    int rowCount() {
        return rowCount;
    }

    /** Starts the next row; its cells follow, one per column. */
    void beginRow() {
        if (rowCount == rowStarts.length)
            rowStarts = Arrays.copyOf(rowStarts, rowCount * 2);
        rowStarts[rowCount++] = text.length();
    }

    /** A cell as the dialects read it: text, a large-object wrapper, or null for SQL NULL. */
    void appendCell(Object value) {
        if (value == null) {
            text.append(NULL);
        } else if (value instanceof CharacterWrapper) {
            String content = ((CharacterWrapper) value).stringValue();
            if (content == null)
                text.append(CHARACTER_LOB_NULL);
            else
                appendText(CHARACTER_LOB, content);
        } else if (value instanceof BinaryWrapper) {
            text.append(((BinaryWrapper) value).isNull() ? BINARY_NULL : BINARY);
        } else {
            appendText(TEXT, value.toString());
        }
    }

    private void appendText(char tag, String content) {
        text.append(tag);
        int length = content.length();
        while (length >= 0x80) {
            text.append((char) (0x80 | (length & 0x7F)));
            length >>>= 7;
        }
        text.append((char) length).append(content);
    }

    /** Adds the other rows after these; the other is not used afterwards. */
    void append(EncodedRows other) {
        int offset = text.length() - COUNT_LENGTH;
        text.append(other.text, COUNT_LENGTH, other.text.length());
        if (rowCount + other.rowCount > rowStarts.length)
            rowStarts = Arrays.copyOf(rowStarts, Math.max(rowStarts.length * 2, rowCount + other.rowCount));
        for (int i = 0; i < other.rowCount; i++)
            rowStarts[rowCount + i] = other.rowStarts[i] + offset;
        rowCount += other.rowCount;
    }

    /** All rows as one text, in the format described above. */
    String text() {
        for (int i = 0; i < COUNT_LENGTH; i++)
            text.setCharAt(i, (char) (((rowCount >>> (7 * i)) & 0x7F) | (i < COUNT_LENGTH - 1 ? 0x80 : 0)));
        return text.toString();
    }

    /** The row (0-based) keyed by column name, SQL NULL left out; cells become strings and wrappers. */
    Hashtable<String, Object> row(int index, ResultColumn[] columns) {
        Hashtable<String, Object> table = new Hashtable<>(columns.length * 2);
        int position = rowStarts[index];
        for (ResultColumn column : columns) {
            char tag = text.charAt(position++);
            Object value = null;
            if (tag == TEXT || tag == CHARACTER_LOB) {
                int length = 0;
                for (int shift = 0;; shift += 7) {
                    char part = text.charAt(position++);
                    length |= (part & 0x7F) << shift;
                    if (part < 0x80)
                        break;
                }
                String content = text.substring(position, position + length);
                position += length;
                value = tag == TEXT ? content : new CharacterWrapper(content);
            } else if (tag == CHARACTER_LOB_NULL) {
                value = new CharacterWrapper(null);
            } else if (tag == BINARY || tag == BINARY_NULL) {
                value = new BinaryWrapper(tag == BINARY_NULL);
            }
            if (value != null)
                table.put(column.name, value);
        }
        return table;
    }
}
