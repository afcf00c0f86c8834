package nl.dalmerik.vorn;

import java.util.regex.Pattern;

/**
 * Values as SQL literals for the INSERT statements of an export, in the form the exported database reads
 * back as the same value. Numbers stay bare only when their text is a plain number (SQLite lets any value
 * into a numeric column); everything else is a quoted text the database converts to the column's type.
 */
final class SqlExportLiterals {
    private static final Pattern NUMBER = Pattern.compile("[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?");
    private static final char[] HEX = "0123456789ABCDEF".toCharArray();

    private SqlExportLiterals() {}

    static String value(Dialect dialect, String text, boolean number) {
        if (number && NUMBER.matcher(text).matches())
            return text;
        String quoted = dialect.quoteLiteral(text);
        // SQL Server keeps characters outside the database's code page only in national literals.
        return dialect instanceof SQLServerDialect ? "N" + quoted : quoted;
    }

    static String bool(Dialect dialect, boolean flag) {
        if (dialect instanceof SQLServerDialect || dialect instanceof OracleDialect)
            return flag ? "1" : "0";
        return flag ? "TRUE" : "FALSE";
    }

    static String binary(Dialect dialect, byte[] bytes) {
        String hex = hex(bytes);
        if (dialect instanceof PostgreSQLDialect)
            return "decode('" + hex + "', 'hex')";
        if (dialect instanceof SQLServerDialect)
            return "0x" + hex;
        if (dialect instanceof OracleDialect)
            return bytes.length == 0 ? "EMPTY_BLOB()" : "hextoraw('" + hex + "')";
        return "X'" + hex + "'";
    }

    private static String hex(byte[] bytes) {
        char[] digits = new char[bytes.length * 2];
        for (int i = 0; i < bytes.length; i++) {
            digits[2 * i] = HEX[(bytes[i] >> 4) & 0xF];
            digits[2 * i + 1] = HEX[bytes[i] & 0xF];
        }
        return new String(digits);
    }
}
