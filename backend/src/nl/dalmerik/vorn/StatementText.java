package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;
import java.util.Locale;
import java.util.Set;

/** What the backend needs to know of a statement's text without parsing it: its leading words. */
final class StatementText {
    private static final Set<String> MAIN_VERBS =
        Set.of("SELECT", "INSERT", "UPDATE", "DELETE", "MERGE", "VALUES", "TABLE");
    private static final Set<String> QUERY_VERBS = Set.of("SELECT", "VALUES", "TABLE");
    private static final Set<String> READ_ONLY_VERBS = Set.of("SELECT", "VALUES", "TABLE", "SHOW", "DESCRIBE",
                                                              "DESC", "PRAGMA", "SET", "USE", "BEGIN", "START",
                                                              "SAVEPOINT", "RELEASE");
    private static final Set<String> DEFINITION_VERBS = Set.of("CREATE", "ALTER", "DROP", "TRUNCATE", "RENAME",
                                                               "COMMENT", "GRANT", "REVOKE");

    private StatementText() {}

    /** Whether there is anything but white space and comments. */
    static boolean hasContent(String sql) {
        return sql != null && skipInsignificant(sql, 0) < sql.length();
    }

    /**
     * The statement's verb in upper case ("INSERT", "CREATE", ...). For WITH the verb of the main statement
     * after the common table expressions, so "WITH ... DELETE" counts as a DELETE.
     */
    static String type(String sql) {
        List<String> words = topLevelWords(sql, 2);
        if (words.isEmpty())
            return "";
        if (!words.get(0).equals("WITH"))
            return words.get(0);
        for (String word : topLevelWords(sql, Integer.MAX_VALUE)) {
            if (MAIN_VERBS.contains(word))
                return word;
        }
        return "WITH";
    }

    /** A statement whose rows can be read through a cursor without changing anything. */
    static boolean isQuery(String type) {
        return QUERY_VERBS.contains(type);
    }

    /** Statements that leave the transaction clean: reads, session settings and transaction control. */
    static boolean isReadOnly(String type, String sql) {
        if (type.equals("EXPLAIN"))
            return !hasWord(topLevelWords(sql, 3), "ANALYZE", "ANALYSE");
        return READ_ONLY_VERBS.contains(type);
    }

    static boolean isDataDefinition(String type) {
        return DEFINITION_VERBS.contains(type);
    }

    /** COMMIT, END and ROLLBACK end the transaction; ROLLBACK TO a savepoint does not. */
    static boolean endsTransaction(String type, String sql) {
        if (type.equals("COMMIT") || type.equals("END"))
            return true;
        return type.equals("ROLLBACK") && !hasWord(topLevelWords(sql, 3), "TO");
    }

    private static boolean hasWord(List<String> words, String... wanted) {
        for (String word : wanted) {
            if (words.contains(word))
                return true;
        }
        return false;
    }

    /** Words outside brackets, quotes and comments, upper-cased, at most limit of them. */
    static List<String> topLevelWords(String sql, int limit) {
        List<String> words = new ArrayList<>();
        if (sql == null)
            return words;
        int depth = 0;
        int i = skipInsignificant(sql, 0);
        // Leading brackets, as in "(SELECT ...) UNION ...", belong to the statement itself.
        while (i < sql.length() && sql.charAt(i) == '(')
            i = skipInsignificant(sql, i + 1);
        while (i < sql.length() && words.size() < limit) {
            char c = sql.charAt(i);
            if (Character.isLetter(c) || c == '_') {
                int end = i;
                while (end < sql.length() && isWordPart(sql.charAt(end)))
                    end++;
                if (depth == 0)
                    words.add(sql.substring(i, end).toUpperCase(Locale.ROOT));
                i = end;
            } else if (c == '(') {
                depth++;
                i++;
            } else if (c == ')') {
                depth = Math.max(0, depth - 1);
                i++;
            } else if (c == '\'' || c == '"' || c == '`') {
                i = skipQuoted(sql, i, c);
            } else if (c == '$') {
                i = skipDollarQuoted(sql, i);
            } else {
                i = Math.max(i + 1, skipInsignificant(sql, i));
            }
        }
        return words;
    }

    private static boolean isWordPart(char c) {
        return Character.isLetterOrDigit(c) || c == '_';
    }

    /** Skips white space and comments ("--", "#" and block comments) from position i. */
    private static int skipInsignificant(String sql, int i) {
        while (i < sql.length()) {
            char c = sql.charAt(i);
            if (Character.isWhitespace(c)) {
                i++;
            } else if (c == '-' && sql.startsWith("--", i) || c == '#') {
                int end = sql.indexOf('\n', i);
                i = end < 0 ? sql.length() : end + 1;
            } else if (c == '/' && sql.startsWith("/*", i) && !sql.startsWith("/*!", i)) {
                // A MySQL executable comment ("/*!40101 ... */") is text the server runs.
                int end = sql.indexOf("*/", i + 2);
                i = end < 0 ? sql.length() : end + 2;
            } else {
                return i;
            }
        }
        return i;
    }

    private static int skipQuoted(String sql, int start, char quote) {
        int i = start + 1;
        while (i < sql.length()) {
            if (sql.charAt(i) == quote) {
                if (i + 1 < sql.length() && sql.charAt(i + 1) == quote)
                    i += 2;
                else
                    return i + 1;
            } else {
                i++;
            }
        }
        return i;
    }

    /** PostgreSQL's $tag$ ... $tag$ strings; a lone $ (a parameter such as $1) is passed over. */
    private static int skipDollarQuoted(String sql, int start) {
        int tagEnd = start + 1;
        while (tagEnd < sql.length() && isWordPart(sql.charAt(tagEnd)))
            tagEnd++;
        if (tagEnd >= sql.length() || sql.charAt(tagEnd) != '$' || Character.isDigit(sql.charAt(start + 1)))
            return start + 1;
        String tag = sql.substring(start, tagEnd + 1);
        int end = sql.indexOf(tag, tagEnd + 1);
        return end < 0 ? sql.length() : end + tag.length();
    }
}
