package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.Collections;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.TreeSet;

/**
 * The elements of one schema as the browser lists them: the names of each type, in display order (by name,
 * case-sensitive), and for each synonym the type of what it refers to. Read once, then only read.
 */
final class SchemaElements {
    /** The order of the types the browser shows; types not listed follow in alphabetical order. */
    private static final List<String> TYPE_ORDER =
        List.of("TABLE", "VIEW", "SYSTEM TABLE", "SYSTEM VIEW", "INDEX", "CONSTRAINT", "TRIGGER", "FUNCTION",
                "PROCEDURE", "PACKAGE", "SEQUENCE", "SYNONYM");

    private final Map<String, List<String>> namesByType;
    private final Map<String, String> synonymTypes;

    private SchemaElements(Map<String, List<String>> namesByType, Map<String, String> synonymTypes) {
        this.namesByType = namesByType;
        this.synonymTypes = synonymTypes;
    }

    /** From catalogue rows of (type, name, referred type or null); a name listed twice for a type counts once. */
    static SchemaElements of(List<String[]> rows) {
        Map<String, TreeSet<String>> sorted = new HashMap<>();
        Map<String, String> synonymTypes = new HashMap<>();
        for (String[] row : rows) {
            if (row[0] == null || row[1] == null)
                continue;
            String type = row[0].toUpperCase(Locale.ROOT);
            sorted.computeIfAbsent(type, t -> new TreeSet<>()).add(row[1]);
            if (row[2] != null)
                synonymTypes.putIfAbsent(row[1], row[2].toUpperCase(Locale.ROOT));
        }
        List<String> types = new ArrayList<>(sorted.keySet());
        types.sort((a, b) -> {
            int rankA = rank(a);
            int rankB = rank(b);
            return rankA != rankB ? Integer.compare(rankA, rankB) : a.compareTo(b);
        });
        Map<String, List<String>> namesByType = new LinkedHashMap<>();
        for (String type : types)
            namesByType.put(type, List.copyOf(sorted.get(type)));
        return new SchemaElements(namesByType, synonymTypes);
    }

    private static int rank(String type) {
        int index = TYPE_ORDER.indexOf(type);
        return index < 0 ? TYPE_ORDER.size() : index;
    }

    /** The types that have elements, in the browser's order. */
    List<String> types() {
        return new ArrayList<>(namesByType.keySet());
    }

    List<String> names(String type) {
        List<String> names = namesByType.get(type);
        return names == null ? Collections.emptyList() : names;
    }

    /** The type (upper case) of what the synonym refers to; null when the database names none. */
    String referringType(String synonym) {
        return synonymTypes.get(synonym);
    }

    /** The type of a table or view of the schema; null for any other name. */
    String tableType(String name) {
        for (String type : TYPE_ORDER.subList(0, 4)) {
            if (Collections.binarySearch(names(type), name) >= 0)
                return type;
        }
        return null;
    }
}
