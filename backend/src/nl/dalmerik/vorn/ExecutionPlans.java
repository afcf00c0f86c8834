package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;

/**
 * Asks the database how it would run one statement and turns its answer into a plan tree of PlanSteps. The
 * statement itself is never run: PostgreSQL and MariaDB explain it without ANALYZE, SQLite gives its query
 * plan, Oracle writes it to its plan table. The root step stands for the whole statement.
 */
final class ExecutionPlans {
    private ExecutionPlans() {}

    /** Whether plans can be asked of this type of database at all. */
    static boolean supported(Dialect dialect) {
        switch (dialect.typeName()) {
        case "PostgreSQL":
        case "MySQL":
        case "SQLite":
        case "Oracle":
            return true;
        default:
            return false;
        }
    }

    /** Only Oracle writes plans to a table of its own, which may be missing. */
    static boolean planTableAvailable(Session session) {
        if (!"Oracle".equals(session.dialect.typeName()))
            return true;
        try (Statement statement = session.connection.createStatement()) {
            statement.executeQuery("SELECT COUNT(*) FROM PLAN_TABLE WHERE 1 = 0").close();
            return true;
        } catch (SQLException e) {
            return false;
        }
    }

    static PlanStep plan(Session session, String sql) throws SQLException, BackendException {
        String trimmed = sql == null ? "" : sql.trim();
        if (!StatementText.hasContent(trimmed))
            throw new BackendException("There is no SQL statement to analyse.");
        PlanStep root = new PlanStep(StatementText.type(trimmed) + " STATEMENT");
        switch (session.dialect.typeName()) {
        case "PostgreSQL":
            return postgreSQL(session.connection, trimmed, root);
        case "MySQL":
            return mariaDB(session.connection, trimmed, root);
        case "SQLite":
            return sqlite(session.connection, trimmed, root);
        case "Oracle":
            return oracle(session.connection, trimmed);
        default:
            throw new BackendException("Execution plans are not available for this connection.");
        }
    }

    private static String firstValue(Connection connection, String sql) throws SQLException {
        StringBuilder text = new StringBuilder();
        try (Statement statement = connection.createStatement(); ResultSet rows = statement.executeQuery(sql)) {
            while (rows.next())
                text.append(rows.getString(1));
        }
        return text.toString();
    }

    // PostgreSQL: [{"Plan": {"Node Type": ..., "Plans": [...]}}].
    private static PlanStep postgreSQL(Connection connection, String sql, PlanStep root)
        throws SQLException, BackendException {
        Object answer = PlanJson.parse(firstValue(connection, "EXPLAIN (FORMAT JSON) " + sql));
        if (answer instanceof List)
            for (Object query : (List<?>) answer)
                if (query instanceof Map && ((Map<?, ?>) query).get("Plan") instanceof Map)
                    root.add(postgreSQLNode((Map<?, ?>) ((Map<?, ?>) query).get("Plan")));
        return root;
    }

    private static PlanStep postgreSQLNode(Map<?, ?> node) {
        PlanStep step = new PlanStep(text(node.get("Node Type")));
        String options = firstOf(node, "Join Type", "Strategy", "Operation", "Scan Direction");
        if ("Forward".equals(options))
            options = null;
        String relation = text(node.get("Relation Name"));
        String index = text(node.get("Index Name"));
        if (relation != null && index != null)
            options = options == null ? "USING " + index : options + " USING " + index;
        step.put("OPTIONS", options);
        if (relation != null) {
            step.put("OBJECT_NAME", relation).put("OBJECT_TYPE", "TABLE");
        } else if (index != null) {
            step.put("OBJECT_NAME", index).put("OBJECT_TYPE", "INDEX");
        } else {
            step.put("OBJECT_NAME", firstOf(node, "CTE Name", "Function Name", "Subplan Name"));
        }
        step.put("COST", node.get("Total Cost"));
        String rows = text(node.get("Plan Rows"));
        String width = text(node.get("Plan Width"));
        step.put("CARDINALITY", rows);
        if (rows != null && width != null) {
            try {
                step.put("BYTES", new BigDecimal(rows).multiply(new BigDecimal(width)).toPlainString());
            } catch (NumberFormatException e) {
                // a plan without sizes shows none
            }
        }
        if (node.get("Plans") instanceof List)
            for (Object child : (List<?>) node.get("Plans"))
                if (child instanceof Map)
                    step.add(postgreSQLNode((Map<?, ?>) child));
        return step;
    }

    // MariaDB and MySQL: {"query_block": {"table": {...}} or {"nested_loop": [{"table": ...}, ...]} ...}.
    private static PlanStep mariaDB(Connection connection, String sql, PlanStep root)
        throws SQLException, BackendException {
        Object answer = PlanJson.parse(firstValue(connection, "EXPLAIN FORMAT=JSON " + sql));
        if (answer instanceof Map)
            addMariaDBChildren(root, (Map<?, ?>) answer);
        return root;
    }

    private static PlanStep mariaDBNode(String name, Map<?, ?> node) {
        PlanStep step;
        if (name.equals("table")) {
            step = new PlanStep("TABLE ACCESS");
            String access = text(node.get("access_type"));
            String key = text(node.get("key"));
            step.put("OPTIONS", access == null ? null : access.toUpperCase(Locale.ROOT) + (key == null ? "" : " " + key));
            step.put("OBJECT_NAME", node.get("table_name")).put("OBJECT_TYPE", key == null ? "TABLE" : "INDEX");
            step.put("CARDINALITY", node.get("rows"));
        } else {
            step = new PlanStep(name.toUpperCase(Locale.ROOT).replace('_', ' '));
            step.put("OPTIONS", node.get("select_id") == null ? null : "SELECT " + text(node.get("select_id")));
        }
        step.put("COST", firstOf(node, "cost", "query_cost"));
        addMariaDBChildren(step, node);
        return step;
    }

    private static void addMariaDBChildren(PlanStep step, Map<?, ?> node) {
        for (Map.Entry<?, ?> entry : node.entrySet()) {
            String key = String.valueOf(entry.getKey());
            Object value = entry.getValue();
            if (value instanceof Map) {
                step.add(mariaDBNode(key, (Map<?, ?>) value));
            } else if (value instanceof List) {
                for (Object element : (List<?>) value) {
                    if (!(element instanceof Map))
                        continue;
                    Map<?, ?> map = (Map<?, ?>) element;
                    // An array element that only wraps one block ({"table": {...}}) is that block.
                    if (map.size() == 1 && map.values().iterator().next() instanceof Map)
                        addMariaDBChildren(step, map);
                    else
                        step.add(mariaDBNode(key, map));
                }
            }
        }
    }

    // SQLite: rows of (id, parent, notused, detail); parent 0 is the top.
    private static PlanStep sqlite(Connection connection, String sql, PlanStep root) throws SQLException {
        Map<Integer, PlanStep> steps = new HashMap<>();
        steps.put(0, root);
        try (Statement statement = connection.createStatement();
             ResultSet rows = statement.executeQuery("EXPLAIN QUERY PLAN " + sql)) {
            List<Object[]> all = new ArrayList<>();
            while (rows.next())
                all.add(new Object[] {rows.getInt(1), rows.getInt(2), rows.getString(4)});
            for (Object[] row : all) {
                PlanStep step = sqliteStep((String) row[2]);
                steps.put((Integer) row[0], step);
            }
            // A parent's row comes before its children's.
            for (Object[] row : all)
                steps.getOrDefault((Integer) row[1], root).add(steps.get((Integer) row[0]));
        }
        return root;
    }

    // "SCAN t", "SCAN TABLE t", "SEARCH t USING INDEX i (a=?)", "USE TEMP B-TREE FOR ORDER BY", ...
    static PlanStep sqliteStep(String detail) {
        String[] words = detail.trim().split("\\s+", 3);
        if (words.length < 2 || !(words[0].equals("SCAN") || words[0].equals("SEARCH")))
            return new PlanStep(detail.trim());
        String rest = words.length > 2 ? words[2] : "";
        String object = words[1];
        if (object.equals("TABLE") && !rest.isEmpty()) {
            String[] more = rest.split("\\s+", 2);
            object = more[0];
            rest = more.length > 1 ? more[1] : "";
        }
        if (object.equals("CONSTANT") && rest.equals("ROW"))
            return new PlanStep(detail.trim());
        PlanStep step = new PlanStep(words[0]).put("OBJECT_NAME", object);
        if (words[0].equals("SCAN") && rest.isEmpty())
            step.put("OPTIONS", "FULL");
        else
            step.put("OPTIONS", rest);
        return step;
    }

    // Oracle: EXPLAIN PLAN writes the rows under a statement id of ours; they are read back and removed.
    private static PlanStep oracle(Connection connection, String sql) throws SQLException {
        String id = "VORN" + Long.toHexString(System.nanoTime());
        try (Statement statement = connection.createStatement()) {
            statement.execute("EXPLAIN PLAN SET STATEMENT_ID = '" + id + "' FOR " + sql);
        }
        Map<String, PlanStep> steps = new HashMap<>();
        List<String[]> links = new ArrayList<>();
        PlanStep root = null;
        String query = "SELECT ID, PARENT_ID, OPERATION, OPTIMIZER, OBJECT_NAME, OPTIONS, BYTES, CARDINALITY, "
                       + "COST, OBJECT_TYPE FROM PLAN_TABLE WHERE STATEMENT_ID = ? ORDER BY ID";
        try (PreparedStatement statement = connection.prepareStatement(query)) {
            statement.setString(1, id);
            try (ResultSet rows = statement.executeQuery()) {
                while (rows.next()) {
                    PlanStep step = new PlanStep(rows.getString(3));
                    step.put("OPTIMIZER", rows.getString(4)).put("OBJECT_NAME", rows.getString(5));
                    step.put("OPTIONS", rows.getString(6)).put("BYTES", rows.getString(7));
                    step.put("CARDINALITY", rows.getString(8)).put("COST", rows.getString(9));
                    step.put("OBJECT_TYPE", rows.getString(10));
                    steps.put(rows.getString(1), step);
                    links.add(new String[] {rows.getString(1), rows.getString(2)});
                    if (root == null)
                        root = step;
                }
            }
        } finally {
            try (PreparedStatement statement =
                     connection.prepareStatement("DELETE FROM PLAN_TABLE WHERE STATEMENT_ID = ?")) {
                statement.setString(1, id);
                statement.executeUpdate();
            }
        }
        for (String[] link : links) {
            PlanStep parent = link[1] == null ? null : steps.get(link[1]);
            if (parent != null)
                parent.add(steps.get(link[0]));
        }
        return root == null ? new PlanStep(StatementText.type(sql) + " STATEMENT") : root;
    }

    /**
     * Creates the plan table on an Oracle database as an administrator: a shared temporary table that every
     * user writes their own plans to, through a public synonym.
     */
    static void createPlanTable(Dialect dialect, ConnectionTarget administrator) throws SQLException, BackendException {
        if (!"Oracle".equals(dialect.typeName()))
            throw new BackendException("This database keeps no plan table.");
        try (Connection connection = dialect.connect(administrator);
             Statement statement = connection.createStatement()) {
            statement.execute(
                "CREATE GLOBAL TEMPORARY TABLE SYS.PLAN_TABLE$ (STATEMENT_ID VARCHAR2(30), PLAN_ID NUMBER, "
                + "TIMESTAMP DATE, REMARKS VARCHAR2(4000), OPERATION VARCHAR2(30), OPTIONS VARCHAR2(255), "
                + "OBJECT_NODE VARCHAR2(128), OBJECT_OWNER VARCHAR2(30), OBJECT_NAME VARCHAR2(30), "
                + "OBJECT_ALIAS VARCHAR2(65), OBJECT_INSTANCE NUMERIC, OBJECT_TYPE VARCHAR2(30), "
                + "OPTIMIZER VARCHAR2(255), SEARCH_COLUMNS NUMBER, ID NUMERIC, PARENT_ID NUMERIC, DEPTH NUMERIC, "
                + "POSITION NUMERIC, COST NUMERIC, CARDINALITY NUMERIC, BYTES NUMERIC, OTHER_TAG VARCHAR2(255), "
                + "PARTITION_START VARCHAR2(255), PARTITION_STOP VARCHAR2(255), PARTITION_ID NUMERIC, OTHER LONG, "
                + "OTHER_XML CLOB, DISTRIBUTION VARCHAR2(30), CPU_COST NUMERIC, IO_COST NUMERIC, "
                + "TEMP_SPACE NUMERIC, ACCESS_PREDICATES VARCHAR2(4000), FILTER_PREDICATES VARCHAR2(4000), "
                + "PROJECTION VARCHAR2(4000), TIME NUMERIC, QBLOCK_NAME VARCHAR2(30)) ON COMMIT PRESERVE ROWS");
            statement.execute("GRANT ALL ON SYS.PLAN_TABLE$ TO PUBLIC");
            statement.execute("CREATE OR REPLACE PUBLIC SYNONYM PLAN_TABLE FOR SYS.PLAN_TABLE$");
        }
    }

    private static String firstOf(Map<?, ?> node, String... keys) {
        for (String key : keys) {
            String value = text(node.get(key));
            if (value != null)
                return value;
        }
        return null;
    }

    private static String text(Object value) {
        return value == null || value instanceof Map || value instanceof List ? null : value.toString();
    }
}
