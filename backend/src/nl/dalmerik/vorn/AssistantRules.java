package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.Collections;
import java.util.Hashtable;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * The DDL rules of one database type: the column types it offers, what its indexes and constraints can
 * do, its advanced options with the clause each choice writes, and how it empties, drops and comments.
 * The assistants write their statements from these answers, so that the text is valid for the database.
 */
abstract class AssistantRules {
    /** An advanced option: its choices, the first one leaving the matter to the database. */
    static final class Option {
        final List<String> choices;
        final String clause; // filled with the chosen choice

        Option(String clause, String... choices) {
            this.clause = clause;
            this.choices = List.of(choices);
        }
    }

    final Dialect dialect;

    AssistantRules(Dialect dialect) {
        this.dialect = dialect;
    }

    static AssistantRules forDialect(Dialect dialect) {
        switch (dialect.typeName()) {
        case "Oracle":
            return new OracleAssistantRules(dialect);
        case "PostgreSQL":
            return new PostgreSQLAssistantRules(dialect);
        case "MySQL":
            return new MySQLAssistantRules(dialect);
        case "SQL Server":
            return new SQLServerAssistantRules(dialect);
        default:
            return new SQLiteAssistantRules(dialect);
        }
    }

    abstract List<String> types();

    abstract String defaultColumnType();

    abstract Set<String> sizedTypes();

    Set<String> precisionTypes() {
        return Set.of();
    }

    Set<String> sizeRequiredTypes() {
        return Set.of();
    }

    /** The clause that makes a column number itself; null where the database has none for such a column. */
    abstract String autoNumberClause();

    boolean constraintsSupportConditions() {
        return true;
    }

    boolean constraintsSupportForeignKeys() {
        return true;
    }

    boolean indexesSupportBitmap() {
        return false;
    }

    /** The index's own name is written bare (unqualified): it lives in its table's schema. */
    boolean indexesAreLocalOnTable() {
        return true;
    }

    boolean indexesSupportDirection() {
        return true;
    }

    /** The index is qualified with the schema, and the table after ON is not (SQLite's way). */
    boolean indexQualifiesIndexNotTable() {
        return false;
    }

    abstract String identifierQuoteString();

    Map<String, Option> tableOptions() {
        return Map.of();
    }

    Map<String, Option> indexOptions() {
        return Map.of();
    }

    Map<String, Option> constraintOptions() {
        return Map.of();
    }

    /** One statement that sets the table's comment; null where tables have none. */
    abstract String commentSql(String qualifiedTable, String comment, String defaultSchema);

    /** The statement that empties a table. */
    String truncateSql(String qualifiedTable, boolean cascade) {
        return "TRUNCATE TABLE " + qualifiedTable;
    }

    // What every database shares.

    static Map<String, Option> options(Object... nameThenOption) {
        Map<String, Option> options = new LinkedHashMap<>();
        for (int i = 0; i + 1 < nameThenOption.length; i += 2)
            options.put((String) nameThenOption[i], (Option) nameThenOption[i + 1]);
        return Collections.unmodifiableMap(options);
    }

    static List<String> names(Map<String, Option> options) {
        return new ArrayList<>(options.keySet());
    }

    /**
     * The clauses of the chosen values, in the options' own order, joined by a blank. A value left at the
     * first choice writes nothing; a value that is not one of the option's choices, an unknown option and
     * an option without choices are skipped, so nothing but the rules' own text reaches the statement.
     */
    static String script(Map<String, Option> options, Hashtable<String, Object> chosen) {
        if (chosen == null)
            return "";
        StringBuilder text = new StringBuilder();
        for (Map.Entry<String, Option> entry : options.entrySet()) {
            Option option = entry.getValue();
            Object value = chosen.get(entry.getKey());
            if (option.choices.isEmpty() || !(value instanceof String) || !option.choices.contains(value)
                || value.equals(option.choices.get(0)))
                continue;
            if (text.length() > 0)
                text.append(' ');
            text.append(String.format(option.clause, value));
        }
        return text.toString();
    }
}
