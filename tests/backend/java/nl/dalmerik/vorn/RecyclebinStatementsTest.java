package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;
import java.util.Objects;
import java.util.Vector;

/**
 * The Oracle recycle bin's statements and listing, built without a server (none runs here): names are
 * quoted and cannot break out of their quotes, only the types a statement takes become keywords, and rows
 * of USER_RECYCLEBIN become entries with their dependants as children.
 */
public final class RecyclebinStatementsTest {
    private static final List<String> failures = new ArrayList<>();

    public static void main(String[] args) {
        statements();
        refusals();
        listing();
        support();
        for (String failure : failures)
            System.err.println(failure);
        System.out.println(failures.isEmpty() ? "recycle bin statements as expected" : failures.size() + " failed");
        System.exit(failures.isEmpty() ? 0 : 1);
    }

    private static void statements() {
        String bin = "BIN$yrMKlZaLMhfgNAgAIMenRA==$0";
        expectSql("restore a table", () -> RecyclebinStatements.restore("TABLE", bin),
                  "FLASHBACK TABLE \"BIN$yrMKlZaLMhfgNAgAIMenRA==$0\" TO BEFORE DROP");
        expectSql("purge a table", () -> RecyclebinStatements.purge("TABLE", bin),
                  "PURGE TABLE \"BIN$yrMKlZaLMhfgNAgAIMenRA==$0\"");
        expectSql("purge an index, type in any case", () -> RecyclebinStatements.purge(" index ", bin),
                  "PURGE INDEX \"BIN$yrMKlZaLMhfgNAgAIMenRA==$0\"");
        expectSql("a name with a space and a semicolon stays one quoted name",
                  () -> RecyclebinStatements.purge("TABLE", "a b; DROP USER x"), "PURGE TABLE \"a b; DROP USER x\"");
        expect("empty the bin", RecyclebinStatements.PURGE_ALL, "PURGE RECYCLEBIN");
    }

    private static void refusals() {
        String[][] names = {{"quote breaks out", "BIN$x\" PURGE RECYCLEBIN --"},
                            {"NUL", "BIN$x\0y"},
                            {"empty", ""},
                            {"missing", null}};
        for (String[] name : names) {
            expectRefused("restore refuses a name: " + name[0], () -> RecyclebinStatements.restore("TABLE", name[1]));
            expectRefused("purge refuses a name: " + name[0], () -> RecyclebinStatements.purge("TABLE", name[1]));
        }
        expectRefused("only tables are restored", () -> RecyclebinStatements.restore("INDEX", "BIN$a"));
        expectRefused("a type is never a keyword of its own",
                      () -> RecyclebinStatements.purge("TABLE \"BIN$a\"; PURGE RECYCLEBIN", "BIN$a"));
        expectRefused("a LOB goes with its table", () -> RecyclebinStatements.purge("LOB", "BIN$a"));
        expectRefused("no type", () -> RecyclebinStatements.restore(null, "BIN$a"));
    }

    private static void listing() {
        List<RecyclebinStatements.Row> rows = List.of(
            row("BIN$t1", "ORDERS", "TABLE", "2026-12-01:10:00:00", "YES", "YES", "100", "100"),
            row("BIN$i1", "ORDERS_PK", "INDEX", "2026-12-01:10:00:00", "NO", "YES", "100", "101"),
            row("BIN$l1", "SYS_LOB01", "LOB", "2026-12-01:10:00:00", "NO", "NO", "100", "102"),
            row("BIN$t2", "LINES", "TABLE", "2026-11-30:09:00:00", "YES", "YES", "200", "200"),
            row("BIN$i9", "GONE_IX", "INDEX", null, null, "YES", "300", "301"));
        Vector<Hashtable<String, Object>> items = RecyclebinStatements.items(rows);
        expect("tables and an orphaned index at the top", names(items), List.of("BIN$t1", "BIN$t2", "BIN$i9"));
        Hashtable<String, Object> orders = items.get(0);
        expect("original name", orders.get("originalName"), "ORDERS");
        expect("drop time unchanged", orders.get("dropTime"), "2026-12-01:10:00:00");
        expect("can undrop", orders.get("canUndrop"), "YES");
        @SuppressWarnings("unchecked")
        Vector<Hashtable<String, Object>> children = (Vector<Hashtable<String, Object>>) orders.get("children");
        expect("dependants under their table", children == null ? null : names(children),
               List.of("BIN$i1", "BIN$l1"));
        expect("a dependant that cannot be restored", children == null ? null : children.get(0).get("canUndrop"), "NO");
        expect("a leaf has no children key", items.get(1).containsKey("children"), false);
        Hashtable<String, Object> orphan = items.get(2);
        expect("missing flags read as NO", orphan.get("canUndrop"), "NO");
        expect("missing drop time reads empty", orphan.get("dropTime"), "");
        expect("an empty bin lists nothing", RecyclebinStatements.items(List.of()).size(), 0);
    }

    private static void support() {
        for (String type : new String[] {"MySQL", "PostgreSQL", "SQL Server", "SQLite"})
            expect(type + " has no recycle bin", Dialect.forType(type).hasRecycleBin(), false);
        expect("Oracle has a recycle bin", Dialect.forType("Oracle").hasRecycleBin(), true);
    }

    private static RecyclebinStatements.Row row(String object, String original, String type, String dropTime,
                                                String canUndrop, String canPurge, String base, String purge) {
        return new RecyclebinStatements.Row(object, original, type, dropTime, canUndrop, canPurge, base, purge);
    }

    private static List<Object> names(Vector<Hashtable<String, Object>> entries) {
        List<Object> names = new ArrayList<>();
        for (Hashtable<String, Object> entry : entries)
            names.add(entry.get("objectName"));
        return names;
    }

    private interface Build {
        String sql() throws BackendException;
    }

    private static void expectSql(String what, Build build, String expected) {
        try {
            expect(what, build.sql(), expected);
        } catch (BackendException e) {
            failures.add(what + ": refused with " + e.getMessage());
        }
    }

    private static void expectRefused(String what, Build build) {
        try {
            failures.add(what + ": built " + build.sql());
        } catch (BackendException e) {
            if (e.getMessage() == null || e.getMessage().isEmpty())
                failures.add(what + ": refused without a message");
        }
    }

    private static void expect(String what, Object actual, Object expected) {
        if (!Objects.equals(actual, expected))
            failures.add(what + ": expected <" + expected + "> but was <" + actual + ">");
    }
}
