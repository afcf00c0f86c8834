package nl.dalmerik.vorn;

import java.sql.DatabaseMetaData;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.Vector;

/**
 * What the create assistants ask of the connected database: its column types, what its indexes and
 * constraints can do, its advanced options and their clauses, names as its DDL must write them, and the
 * running of a finished create script. Without a connection every answer is neutral (empty, false, null).
 */
public class VornAssistant {
    private final VornRoot root;

    VornAssistant(VornRoot root) {
        this.root = root;
    }

    public VornRoot root() {
        return root;
    }

    private AssistantRules rules() {
        Session session = root.session();
        return session == null ? null : AssistantRules.forDialect(session.dialect);
    }

    public Vector<String> types() {
        AssistantRules rules = rules();
        return rules == null ? new Vector<>() : new Vector<>(rules.types());
    }

    public String defaultColumnType() {
        AssistantRules rules = rules();
        return rules == null ? null : rules.defaultColumnType();
    }

    public boolean supportsAutoNumber() {
        return autoNumberClause() != null;
    }

    /** The clause that makes a column number itself; null where the database has none. */
    public String autoNumberClause() {
        AssistantRules rules = rules();
        return rules == null ? null : rules.autoNumberClause();
    }

    public boolean showSize(String type) {
        AssistantRules rules = rules();
        return rules != null && holds(rules.sizedTypes(), type);
    }

    public boolean showPrecision(String type) {
        AssistantRules rules = rules();
        return rules != null && holds(rules.precisionTypes(), type);
    }

    public boolean requireSize(String type) {
        AssistantRules rules = rules();
        return rules != null && holds(rules.sizeRequiredTypes(), type);
    }

    private static boolean holds(Set<String> types, String type) {
        return type != null && types.stream().anyMatch(type::equalsIgnoreCase);
    }

    public boolean constraintsSupportConditions() {
        AssistantRules rules = rules();
        return rules != null && rules.constraintsSupportConditions();
    }

    public boolean constraintsSupportForeignKeys() {
        AssistantRules rules = rules();
        return rules != null && rules.constraintsSupportForeignKeys();
    }

    public boolean indexesSupportBitmap() {
        AssistantRules rules = rules();
        return rules != null && rules.indexesSupportBitmap();
    }

    public boolean indexesAreLocalOnTable() {
        AssistantRules rules = rules();
        return rules != null && rules.indexesAreLocalOnTable();
    }

    public boolean indexesSupportDirection() {
        AssistantRules rules = rules();
        return rules != null && rules.indexesSupportDirection();
    }

    public String identifierQuoteString() {
        AssistantRules rules = rules();
        return rules == null ? "" : rules.identifierQuoteString();
    }

    public Vector<String> advancedOptions() {
        AssistantRules rules = rules();
        return rules == null ? new Vector<>() : new Vector<>(AssistantRules.names(rules.tableOptions()));
    }

    public Vector<String> advancedIndexOptions() {
        AssistantRules rules = rules();
        return rules == null ? new Vector<>() : new Vector<>(AssistantRules.names(rules.indexOptions()));
    }

    public Vector<String> advancedConstraintOptions() {
        AssistantRules rules = rules();
        return rules == null ? new Vector<>() : new Vector<>(AssistantRules.names(rules.constraintOptions()));
    }

    /** The choice titles of a table, index or constraint option, the database's default first. */
    public Vector<String> choicesForAdvancedOption(String option) {
        AssistantRules rules = rules();
        if (rules == null)
            return new Vector<>();
        for (Map<String, AssistantRules.Option> options :
             List.of(rules.tableOptions(), rules.indexOptions(), rules.constraintOptions())) {
            AssistantRules.Option found = options.get(option);
            if (found != null)
                return new Vector<>(found.choices);
        }
        return new Vector<>();
    }

    public String scriptForOptions3(Hashtable<String, Object> options) {
        AssistantRules rules = rules();
        return rules == null ? "" : AssistantRules.script(rules.tableOptions(), options);
    }

    public String scriptForIndexOptions3(Hashtable<String, Object> options) {
        AssistantRules rules = rules();
        return rules == null ? "" : AssistantRules.script(rules.indexOptions(), options);
    }

    public String scriptForConstraintOptions3(Hashtable<String, Object> options) {
        AssistantRules rules = rules();
        return rules == null ? "" : AssistantRules.script(rules.constraintOptions(), options);
    }

    /** The statement that sets the comment of the table (named as SQL writes it); null where none can. */
    public String commentSql(String qualifiedTable, String comment) {
        Session session = root.session();
        if (session == null || qualifiedTable == null || comment == null)
            return null;
        return AssistantRules.forDialect(session.dialect).commentSql(qualifiedTable, comment, session.defaultSchema);
    }

    /** A name as SQL writes it: quoted when it is a reserved word, starts with a digit or needs its case. */
    public String quotedIdentifier(String name) {
        Session session = root.session();
        if (session == null || name == null)
            return name;
        return session.dialect.quoteIdentifier(name, session.metaData.reservedWordSet());
    }

    /** The table after CREATE INDEX ... ON, as the database takes it there. */
    public String indexedTableName(String schema, String table) {
        AssistantRules rules = rules();
        if (rules == null)
            return table;
        if (rules.indexQualifiesIndexNotTable())
            return quotedIdentifier(table);
        return root.browser().qualifiedTableNameOfElement("TABLE", schema, table);
    }

    /** One entry ("schema", "table", "column") per primary key column of the schema's tables, or the table's. */
    public Vector<Hashtable<String, Object>> primaryKeysForSchemaTable(String schema, String table) {
        Session session = root.session();
        Vector<Hashtable<String, Object>> keys = new Vector<>();
        root.perform(session, () -> {
            if (session == null)
                throw new BackendException("Not connected to a database.");
            String owner = schema == null || schema.isEmpty() ? session.defaultSchema : schema;
            session.lock();
            try {
                List<String> tables = new ArrayList<>();
                if (table != null)
                    tables.add(table);
                else
                    tables.addAll(tableNames(session, owner));
                String[] place = InfoQueries.forDialect(session.dialect).exactPlace(owner);
                DatabaseMetaData metaData = session.connection.getMetaData();
                for (String name : tables)
                    keys.addAll(primaryKeys(metaData, place, owner, name));
            } finally {
                session.unlock();
            }
        });
        return keys;
    }

    private static List<String> tableNames(Session session, String schema) throws SQLException {
        List<String> names = new ArrayList<>();
        SchemaElements elements =
            session.dialect.schemaElements(session.connection, schema, session.metaData.reservedWordSet());
        names.addAll(elements.names("TABLE"));
        return names;
    }

    private static List<Hashtable<String, Object>> primaryKeys(DatabaseMetaData metaData, String[] place,
                                                              String schema, String table) throws SQLException {
        List<Hashtable<String, Object>> keys = new ArrayList<>();
        try (ResultSet rows = metaData.getPrimaryKeys(place[0], place[1], table)) {
            while (rows.next()) {
                Hashtable<String, Object> key = new Hashtable<>();
                key.put("schema", schema);
                key.put("table", table);
                key.put("column", rows.getString("COLUMN_NAME"));
                keys.add(key);
            }
        }
        return keys;
    }

    /** The table's column names in their order; empty when it has none or cannot be read. */
    public Vector<String> searchableColumnNamesForSchemaAndTable(String schema, String table) {
        Session session = root.session();
        Vector<String> columns = new Vector<>();
        root.perform(session, () -> {
            if (session == null)
                throw new BackendException("Not connected to a database.");
            String owner = schema == null || schema.isEmpty() ? session.defaultSchema : schema;
            session.lock();
            try {
                List<String> found = session.dialect.schemaObjects(session.connection, owner,
                                                                   session.metaData.reservedWordSet())
                                         .get(table);
                if (found != null)
                    columns.addAll(found);
            } finally {
                session.unlock();
            }
        });
        return columns;
    }

    /**
     * Runs the statements of one create in order and stops at the first failure, whose message is the
     * root's outcome. Answers how many statements' effects remain: where DDL is transactional all or none.
     */
    public int executeScript(Vector<String> statements) {
        Session session = root.session();
        int[] standing = {0};
        List<String> texts = statements == null ? List.of() : new ArrayList<>(statements);
        root.perform(session, () -> DdlScript.run(root, session, texts, standing));
        return standing[0];
    }
}
