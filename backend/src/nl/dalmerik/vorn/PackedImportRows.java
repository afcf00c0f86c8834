package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;

/**
 * Rows for an import as the native side packs them, so that thousands cross in one call without a map
 * per row: the number of rows, then per row one cell per column. A cell is a tag character (0 for NULL,
 * 1 for text); text follows with its length and the characters. Numbers are written seven bits to a
 * character, lowest first, every character but the last marked with 0x80 (as EncodedRows writes them).
 */
final class PackedImportRows {
    static final char NULL = 0;
    static final char TEXT = 1;

    private PackedImportRows() {}

    /** The rows, each an array of the column count; refuses text that does not hold exactly that. */
    static List<String[]> unpack(String packed, int columns) throws BackendException {
        int[] position = {0};
        int rows = number(packed, position);
        List<String[]> unpacked = new ArrayList<>(rows);
        for (int row = 0; row < rows; row++) {
            String[] values = new String[columns];
            for (int column = 0; column < columns; column++) {
                char tag = at(packed, position[0]++);
                if (tag == TEXT) {
                    int length = number(packed, position);
                    int start = position[0];
                    if (length < 0 || start + length > packed.length())
                        throw broken();
                    values[column] = packed.substring(start, start + length);
                    position[0] = start + length;
                } else if (tag != NULL) {
                    throw broken();
                }
            }
            unpacked.add(values);
        }
        if (position[0] != packed.length())
            throw broken();
        return unpacked;
    }

    private static int number(String packed, int[] position) throws BackendException {
        int number = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            char part = at(packed, position[0]++);
            number |= (part & 0x7F) << shift;
            if (part < 0x80)
                return number;
        }
        throw broken();
    }

    private static char at(String packed, int index) throws BackendException {
        if (index >= packed.length())
            throw broken();
        return packed.charAt(index);
    }

    private static BackendException broken() {
        return new BackendException("The rows to import arrived damaged.");
    }
}
