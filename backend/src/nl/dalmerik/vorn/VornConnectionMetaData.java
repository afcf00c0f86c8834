package nl.dalmerik.vorn;

import java.sql.DatabaseMetaData;
import java.sql.SQLException;
import java.util.HashMap;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Objects;
import java.util.Set;
import java.util.Vector;
import java.util.concurrent.ConcurrentHashMap;

/**
 * What the editor and the browser need to know of a connection: its reserved words (lower case, as the
 * editor looks them up), the names of the objects loaded so far (context words), and the database's words
 * for schema and catalog. Two metadata objects are equal when they describe the same connection target.
 */
public class VornConnectionMetaData {
    static final VornConnectionMetaData DISCONNECTED = new VornConnectionMetaData();
    private static final Map<String, VornConnectionMetaData> SHARED = new HashMap<>();

    private final String identity;
    /** Open connections using this metadata; guarded by SHARED. */
    private int users;
    private final String description;
    private final String schemaTerm;
    private final String catalogTerm;
    private final boolean recycleBin;
    private final Vector<String> reservedWords;
    private final Set<String> reservedWordSet;
    // Per schema: its tables' columns (a fully loaded schema), its elements, its foreign keys.
    private final Map<String, Map<String, List<String>>> schemaObjects = new ConcurrentHashMap<>();
    private final Map<String, SchemaElements> schemaElements = new ConcurrentHashMap<>();
    private final Map<String, List<ForeignKeyColumn>> foreignKeys = new ConcurrentHashMap<>();

    private VornConnectionMetaData() {
        identity = "";
        description = "Not connected";
        schemaTerm = "schema";
        catalogTerm = "catalog";
        recycleBin = false;
        reservedWords = ReservedWords.getReservedWords();
        reservedWordSet = Set.copyOf(reservedWords);
    }

    VornConnectionMetaData(String type, ConnectionTarget target, DatabaseMetaData driver) throws SQLException {
        identity = identityOf(type, target);
        Dialect dialect = Dialect.forType(type);
        String where = dialect.describeTarget(target);
        recycleBin = dialect.hasRecycleBin();
        description = target.user.isEmpty() ? type + " " + where : type + " " + target.user + "@" + where;
        schemaTerm = termOr(driver.getSchemaTerm(), "schema");
        catalogTerm = termOr(driver.getCatalogTerm(), "catalog");
        Set<String> words = new LinkedHashSet<>(ReservedWords.getReservedWords());
        String keywords = driver.getSQLKeywords();
        if (keywords != null) {
            for (String word : keywords.split(",")) {
                if (!word.isBlank())
                    words.add(word.trim().toLowerCase(Locale.ROOT));
            }
        }
        reservedWords = new Vector<>(words);
        reservedWordSet = Set.copyOf(words);
    }

    private static String termOr(String term, String fallback) {
        return term == null || term.isEmpty() ? fallback : term.toLowerCase(Locale.ROOT);
    }

    public Vector<String> reservedWords() {
        return new Vector<>(reservedWords);
    }

    /** Names of the tables, views and columns of every schema loaded so far. */
    public Vector<String> contextWords() {
        Set<String> names = new LinkedHashSet<>();
        for (Map<String, List<String>> tables : schemaObjects.values()) {
            for (Map.Entry<String, List<String>> table : tables.entrySet()) {
                names.add(table.getKey());
                names.addAll(table.getValue());
            }
        }
        return new Vector<>(names);
    }

    public String schemaTerm() {
        return schemaTerm;
    }

    public String catalogTerm() {
        return catalogTerm;
    }

    /** The database keeps dropped objects in a recycle bin (Oracle). */
    public boolean supportsRecycleBin() {
        return recycleBin;
    }

    boolean fullyLoaded(String schema) {
        return schema != null && schemaObjects.containsKey(schema);
    }

    void storeSchema(String schema, Map<String, List<String>> tables) {
        schemaObjects.put(schema, tables);
    }

    /** The columns of each table and view of a fully loaded schema; null otherwise. */
    Map<String, List<String>> schemaObjects(String schema) {
        return schema == null ? null : schemaObjects.get(schema);
    }

    /** The reserved words in lower case, which names must not be written as they are. */
    Set<String> reservedWordSet() {
        return reservedWordSet;
    }

    /** The elements of a schema, when read; null otherwise. */
    SchemaElements elements(String schema) {
        return schema == null ? null : schemaElements.get(schema);
    }

    void storeElements(String schema, SchemaElements elements) {
        schemaElements.put(schema, elements);
    }

    List<ForeignKeyColumn> foreignKeys(String schema) {
        return schema == null ? null : foreignKeys.get(schema);
    }

    void storeForeignKeys(String schema, List<ForeignKeyColumn> keys) {
        foreignKeys.put(schema, List.copyOf(keys));
    }

    /** Forgets a schema's foreign keys, which are read again when next asked for. */
    void forgetForeignKeys(String schema) {
        foreignKeys.remove(schema);
    }

    /**
     * The metadata of a target, shared by the connections to it that are open together: what one of them
     * (or the background checker) learns of the schemas is what all of them show. Once the last of them has
     * ended, the next connection starts afresh.
     */
    static VornConnectionMetaData forTarget(String type, ConnectionTarget target, DatabaseMetaData driver)
        throws SQLException {
        String identity = identityOf(type, target);
        synchronized (SHARED) {
            VornConnectionMetaData shared = SHARED.get(identity);
            if (shared == null) {
                shared = new VornConnectionMetaData(type, target, driver);
                SHARED.put(identity, shared);
            }
            shared.users++;
            return shared;
        }
    }

    /** A connection that used this metadata has ended. */
    void release() {
        synchronized (SHARED) {
            if (users > 0 && --users == 0)
                SHARED.remove(identity, this);
        }
    }

    private static String identityOf(String type, ConnectionTarget target) {
        return String.join("\n", type, target.server, target.port, target.database, target.user);
    }

    void clearSchemas() {
        schemaObjects.clear();
        schemaElements.clear();
        foreignKeys.clear();
    }

    @Override
    public String toString() {
        return description;
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof VornConnectionMetaData
            && ((VornConnectionMetaData) other).identity.equals(identity);
    }

    @Override
    public int hashCode() {
        return Objects.hashCode(identity);
    }
}
