package nl.dalmerik.vorn;

import java.util.Arrays;
import java.util.Hashtable;

/**
 * Rows of display values packed into text, so that many rows cross to the native side in one call and no
 * object per row or cell is kept. A packed text starts with its number of rows; then come the cells, row
 * by row. Each cell is one tag character; a cell with text follows its tag with the text's length and the
 * text itself. Numbers are written seven bits to a character, lowest first, every character but the last
 * marked with 0x80: so the tags and numbers keep a text of Latin-1 characters compact.
 */
final class EncodedRows {
    static final char NULL = 0;
    static final char TEXT = 1;
    static final char CHARACTER_LOB = 2;
    static final char CHARACTER_LOB_NULL = 3;
    static final char BINARY = 4;
    static final char BINARY_NULL = 5;

    private final StringBuilder cells;
    private int[] rowStarts = new int[16];
    private int rowCount;

    EncodedRows(int expectedRows, int columns) {
        // About a dozen characters a cell; the text grows beyond that when it must.
        cells = new StringBuilder((int) Math.max(16, Math.min((long) expectedRows * (columns * 12L + 2), 1 << 21)));
    }

    int rowCount() {
        return rowCount;
    }

    /** The characters of the packed cells so far. */
    int characterCount() {
        return cells.length();
    }

    /** Forgets the rows, keeping the room they took for the next ones. */
    void clear() {
        cells.setLength(0);
        rowCount = 0;
    }

    /** Starts the next row; its cells follow, one per column. */
    void beginRow() {
        if (rowCount == rowStarts.length)
            rowStarts = Arrays.copyOf(rowStarts, rowCount * 2);
        rowStarts[rowCount++] = cells.length();
    }

    /** A cell as the dialects read it: text, a large-object wrapper, or null for SQL NULL. */
    void appendCell(Object value) {
        if (value == null) {
            cells.append(NULL);
        } else if (value instanceof CharacterWrapper) {
            String content = ((CharacterWrapper) value).stringValue();
            if (content == null)
                cells.append(CHARACTER_LOB_NULL);
            else
                appendText(CHARACTER_LOB, content);
        } else if (value instanceof BinaryWrapper) {
            cells.append(((BinaryWrapper) value).isNull() ? BINARY_NULL : BINARY);
        } else {
            appendText(TEXT, value.toString());
        }
    }

    private void appendText(char tag, String content) {
        cells.append(tag);
        appendNumber(cells, content.length());
        cells.append(content);
    }

    private static void appendNumber(StringBuilder out, int number) {
        while (number >= 0x80) {
            out.append((char) (0x80 | (number & 0x7F)));
            number >>>= 7;
        }
        out.append((char) number);
    }

    /** Adds the other rows after these; the other is not used afterwards. */
    void append(EncodedRows other) {
        int offset = cells.length();
        cells.append(other.cells);
        if (rowCount + other.rowCount > rowStarts.length)
            rowStarts = Arrays.copyOf(rowStarts, Math.max(rowStarts.length * 2, rowCount + other.rowCount));
        for (int i = 0; i < other.rowCount; i++)
            rowStarts[rowCount + i] = other.rowStarts[i] + offset;
        rowCount += other.rowCount;
    }

    /**
     * The end of a slice from the row: the rows after it as long as their cells stay within the number of
     * characters, and at least one.
     */
    int sliceEnd(int from, int characters) {
        int end = from + 1;
        while (end < rowCount && rowStart(end + 1) - rowStarts[from] <= characters)
            end++;
        return end;
    }

    /** The rows from one (0-based) to another, packed as described above. */
    String text(int from, int to) {
        StringBuilder count = new StringBuilder(5);
        appendNumber(count, to - from);
        // Two copies of whole arrays: appending a slice of one builder to another copies char by char.
        return count.toString().concat(cells.substring(rowStarts[from], rowStart(to)));
    }

    private int rowStart(int row) {
        return row < rowCount ? rowStarts[row] : cells.length();
    }

    /** The row (0-based) keyed by column name, SQL NULL left out; cells become strings and wrappers. */
    Hashtable<String, Object> row(int index, ResultColumn[] columns) {
        Hashtable<String, Object> table = new Hashtable<>(columns.length * 2);
        int position = rowStarts[index];
        for (ResultColumn column : columns) {
            char tag = cells.charAt(position++);
            Object value = null;
            if (tag == TEXT || tag == CHARACTER_LOB) {
                int length = 0;
                for (int shift = 0;; shift += 7) {
                    char part = cells.charAt(position++);
                    length |= (part & 0x7F) << shift;
                    if (part < 0x80)
                        break;
                }
                String content = cells.substring(position, position + length);
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
