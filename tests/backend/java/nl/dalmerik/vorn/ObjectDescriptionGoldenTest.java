package nl.dalmerik.vorn;

import java.math.BigDecimal;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.List;

/**
 * The Oracle and SQL Server definitions the content pane shows, built from catalogue rows shaped as
 * their drivers answer them (no such server runs here), compared with the texts expected.
 */
public final class ObjectDescriptionGoldenTest {
    private static final Dialect ORACLE = Dialect.forType("Oracle");
    private static final Dialect SQL_SERVER = Dialect.forType("SQL Server");
    private static final List<String> failures = new ArrayList<>();

    public static void main(String[] args) {
        oracle();
        sqlServer();
        for (String failure : failures)
            System.err.println(failure);
        System.out.println(failures.isEmpty() ? "all definitions as expected" : failures.size() + " failed");
        System.exit(failures.isEmpty() ? 0 : 1);
    }

    private static void oracle() {
        expect("Oracle unique index with a descending column",
               OracleObjectDescription.index(ORACLE, "SHOP", "ORDERS_IX",
                                             row("table_owner", "SHOP", "table_name", "ORDERS", "uniqueness",
                                                 "UNIQUE", "index_type", "NORMAL"),
                                             List.of(row("column_name", "CUSTOMER", "descend", "ASC"),
                                                     row("column_name", "PLACED", "descend", "DESC"))),
               "CREATE UNIQUE INDEX \"SHOP\".\"ORDERS_IX\" ON \"SHOP\".\"ORDERS\" (\"CUSTOMER\", \"PLACED\" DESC)");
        expect("Oracle bitmap index on another owner's table",
               OracleObjectDescription.index(ORACLE, "SHOP", "Kind_bx",
                                             row("table_owner", "STOCK", "table_name", "ITEMS", "uniqueness",
                                                 "NONUNIQUE", "index_type", "BITMAP"),
                                             List.of(row("column_name", "KIND", "descend", "ASC"))),
               "CREATE BITMAP INDEX \"SHOP\".\"Kind_bx\" ON \"STOCK\".\"ITEMS\" (\"KIND\")");
        Hashtable<String, Object> none = new Hashtable<>();
        expect("Oracle primary key",
               OracleObjectDescription.constraint(ORACLE, "SHOP", "ORDERS_PK",
                                                  row("table_name", "ORDERS", "constraint_type", "P", "status",
                                                      "ENABLED", "deferrable", "NOT DEFERRABLE"),
                                                  List.of("ID", "LINE"), none, List.of()),
               "ALTER TABLE \"SHOP\".\"ORDERS\" ADD CONSTRAINT \"ORDERS_PK\" PRIMARY KEY (\"ID\", \"LINE\")");
        expect("Oracle deferred foreign key with cascade",
               OracleObjectDescription.constraint(ORACLE, "SHOP", "LINES_FK",
                                                  row("table_name", "LINES", "constraint_type", "R", "delete_rule",
                                                      "CASCADE", "status", "ENABLED", "deferrable", "DEFERRABLE",
                                                      "deferred", "DEFERRED"),
                                                  List.of("ORDER_ID"),
                                                  row("owner", "SHOP", "table_name", "ORDERS"), List.of("ID")),
               "ALTER TABLE \"SHOP\".\"LINES\" ADD CONSTRAINT \"LINES_FK\" FOREIGN KEY (\"ORDER_ID\") REFERENCES "
                   + "\"SHOP\".\"ORDERS\" (\"ID\") ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED");
        expect("Oracle disabled check",
               OracleObjectDescription.constraint(ORACLE, "SHOP", "QTY_CK",
                                                  row("table_name", "LINES", "constraint_type", "C",
                                                      "search_condition", "qty > 0", "status", "DISABLED"),
                                                  List.of("QTY"), none, List.of()),
               "ALTER TABLE \"SHOP\".\"LINES\" ADD CONSTRAINT \"QTY_CK\" CHECK (qty > 0) DISABLE");
        expect("Oracle view constraint has no text of its own",
               OracleObjectDescription.constraint(ORACLE, "SHOP", "SYS_C1",
                                                  row("table_name", "V", "constraint_type", "O"), List.of(), none,
                                                  List.of()),
               null);
        expect("Oracle sequence in full digits",
               OracleObjectDescription.sequence(ORACLE, "SHOP", "ORDER_SEQ",
                                                row("min_value", new BigDecimal("1"), "max_value",
                                                    new BigDecimal("9999999999999999999999999999"),
                                                    "increment_by", new BigDecimal("1"), "cycle_flag", "N",
                                                    "order_flag", "N", "cache_size", new BigDecimal("20"),
                                                    "last_number", new BigDecimal("41"))),
               "CREATE SEQUENCE \"SHOP\".\"ORDER_SEQ\"\n    START WITH 41\n    INCREMENT BY 1\n    MINVALUE 1\n"
                   + "    MAXVALUE 9999999999999999999999999999\n    NOCYCLE\n    CACHE 20\n    NOORDER");
        expect("Oracle cycling ordered sequence without a cache",
               OracleObjectDescription.sequence(ORACLE, "SHOP", "TICK",
                                                row("min_value", new BigDecimal("-5"), "max_value",
                                                    new BigDecimal("5"), "increment_by", new BigDecimal("-1"),
                                                    "cycle_flag", "Y", "order_flag", "Y", "cache_size",
                                                    new BigDecimal("0"), "last_number", new BigDecimal("5"))),
               "CREATE SEQUENCE \"SHOP\".\"TICK\"\n    START WITH 5\n    INCREMENT BY -1\n    MINVALUE -5\n"
                   + "    MAXVALUE 5\n    CYCLE\n    NOCACHE\n    ORDER");
        expect("Oracle trigger with a WHEN condition",
               OracleObjectDescription.trigger(row("description",
                                                   "orders_bi\nBEFORE INSERT ON orders\nFOR EACH ROW\n",
                                                   "when_clause", "new.id IS NULL", "trigger_body",
                                                   "BEGIN\n  :new.id := order_seq.NEXTVAL;\nEND;\n")),
               "CREATE OR REPLACE TRIGGER orders_bi\nBEFORE INSERT ON orders\nFOR EACH ROW\n"
                   + "WHEN (new.id IS NULL)\nBEGIN\n  :new.id := order_seq.NEXTVAL;\nEND;");
        expect("Oracle synonym over a database link",
               OracleObjectDescription.synonym(ORACLE, "SHOP", "REMOTE_ORDERS",
                                               row("table_owner", "SALES", "table_name", "ORDERS", "db_link",
                                                   "HQ.EXAMPLE.COM")),
               "CREATE SYNONYM \"SHOP\".\"REMOTE_ORDERS\" FOR \"SALES\".\"ORDERS\"@HQ.EXAMPLE.COM");
        expect("Oracle public synonym",
               OracleObjectDescription.synonym(ORACLE, "PUBLIC", "ORDERS",
                                               row("table_owner", "SHOP", "table_name", "ORDERS")),
               "CREATE PUBLIC SYNONYM \"ORDERS\" FOR \"SHOP\".\"ORDERS\"");
    }

    private static void sqlServer() {
        expect("SQL Server filtered index with included columns",
               SQLServerObjectDescription.index(SQL_SERVER, "dbo", "orders", "orders_open",
                                                row("is_unique", Boolean.FALSE, "type_desc", "NONCLUSTERED",
                                                    "filter_definition", "([closed]=(0))"),
                                                List.of(row("column_name", "customer", "is_descending_key", false,
                                                            "is_included_column", false),
                                                        row("column_name", "placed", "is_descending_key", true,
                                                            "is_included_column", false),
                                                        row("column_name", "total", "is_descending_key", false,
                                                            "is_included_column", true))),
               "CREATE NONCLUSTERED INDEX [orders_open] ON [dbo].[orders] ([customer], [placed] DESC) "
                   + "INCLUDE ([total]) WHERE ([closed]=(0))");
        expect("SQL Server unique clustered index",
               SQLServerObjectDescription.index(SQL_SERVER, "sales", "odd]name", "ux",
                                                row("is_unique", Boolean.TRUE, "type_desc", "CLUSTERED"),
                                                List.of(row("column_name", "id", "is_descending_key", 0,
                                                            "is_included_column", 0))),
               "CREATE UNIQUE CLUSTERED INDEX [ux] ON [sales].[odd]]name] ([id])");
        Hashtable<String, Object> pk = row("kind", "PK", "table_name", "orders");
        expect("SQL Server primary key",
               SQLServerObjectDescription.constraint(SQL_SERVER, "dbo", "orders_pk", pk,
                                                     row("type_desc", "CLUSTERED"),
                                                     List.of(row("column_name", "id", "is_descending_key", false))),
               "ALTER TABLE [dbo].[orders] ADD CONSTRAINT [orders_pk] PRIMARY KEY CLUSTERED ([id])");
        expect("SQL Server unique key",
               SQLServerObjectDescription.constraint(SQL_SERVER, "dbo", "code_uq",
                                                     row("kind", "UQ", "table_name", "items"),
                                                     row("type_desc", "NONCLUSTERED"),
                                                     List.of(row("column_name", "code", "is_descending_key", true))),
               "ALTER TABLE [dbo].[items] ADD CONSTRAINT [code_uq] UNIQUE NONCLUSTERED ([code] DESC)");
        expect("SQL Server foreign key with actions (a one-letter kind padded as sys.objects answers it)",
               SQLServerObjectDescription.constraint(SQL_SERVER, "dbo", "lines_fk",
                                                     row("kind", "F ", "table_name", "lines"),
                                                     row("referenced_schema", "dbo", "referenced_table", "orders",
                                                         "on_delete", "CASCADE", "on_update", "SET_NULL"),
                                                     List.of(row("column_name", "order_id", "referenced_column",
                                                                 "id"))),
               "ALTER TABLE [dbo].[lines] ADD CONSTRAINT [lines_fk] FOREIGN KEY ([order_id]) REFERENCES "
                   + "[dbo].[orders] ([id]) ON DELETE CASCADE ON UPDATE SET NULL");
        expect("SQL Server foreign key without actions",
               SQLServerObjectDescription.constraint(SQL_SERVER, "dbo", "lines_fk",
                                                     row("kind", "F ", "table_name", "lines"),
                                                     row("referenced_schema", "stock", "referenced_table", "items",
                                                         "on_delete", "NO_ACTION", "on_update", "NO_ACTION"),
                                                     List.of(row("column_name", "a", "referenced_column", "x"),
                                                             row("column_name", "b", "referenced_column", "y"))),
               "ALTER TABLE [dbo].[lines] ADD CONSTRAINT [lines_fk] FOREIGN KEY ([a], [b]) REFERENCES "
                   + "[stock].[items] ([x], [y])");
        expect("SQL Server check",
               SQLServerObjectDescription.constraint(SQL_SERVER, "dbo", "qty_ck",
                                                     row("kind", "C ", "table_name", "lines"),
                                                     row("definition", "([qty]>(0))"), List.of()),
               "ALTER TABLE [dbo].[lines] ADD CONSTRAINT [qty_ck] CHECK ([qty]>(0))");
        expect("SQL Server default",
               SQLServerObjectDescription.constraint(SQL_SERVER, "dbo", "df_status",
                                                     row("kind", "D ", "table_name", "orders"),
                                                     row("definition", "('new')", "column_name", "status"),
                                                     List.of()),
               "ALTER TABLE [dbo].[orders] ADD CONSTRAINT [df_status] DEFAULT ('new') FOR [status]");
        expect("SQL Server sequence",
               SQLServerObjectDescription.sequence(SQL_SERVER, "dbo", "order_seq",
                                                   row("type_name", "bigint", "start_value", new BigDecimal("1"),
                                                       "increment", new BigDecimal("1"), "minimum_value",
                                                       new BigDecimal("-9223372036854775808"), "maximum_value",
                                                       new BigDecimal("9223372036854775807"), "is_cycling", false,
                                                       "is_cached", true, "cache_size", 50)),
               "CREATE SEQUENCE [dbo].[order_seq]\n    AS bigint\n    START WITH 1\n    INCREMENT BY 1\n"
                   + "    MINVALUE -9223372036854775808\n    MAXVALUE 9223372036854775807\n    NO CYCLE\n"
                   + "    CACHE 50");
        expect("SQL Server cycling sequence without a cache",
               SQLServerObjectDescription.sequence(SQL_SERVER, "dbo", "tick",
                                                   row("type_name", "int", "start_value", new BigDecimal("0"),
                                                       "increment", new BigDecimal("5"), "minimum_value",
                                                       new BigDecimal("0"), "maximum_value", new BigDecimal("100"),
                                                       "is_cycling", true, "is_cached", false)),
               "CREATE SEQUENCE [dbo].[tick]\n    AS int\n    START WITH 0\n    INCREMENT BY 5\n    MINVALUE 0\n"
                   + "    MAXVALUE 100\n    CYCLE\n    NO CACHE");
        expect("SQL Server synonym",
               SQLServerObjectDescription.synonym(SQL_SERVER, "dbo", "all_orders",
                                                  row("base_object_name", "[hq].[sales].[dbo].[orders]")),
               "CREATE SYNONYM [dbo].[all_orders] FOR [hq].[sales].[dbo].[orders]");
    }

    private static Hashtable<String, Object> row(Object... keysAndValues) {
        Hashtable<String, Object> row = new Hashtable<>();
        for (int i = 0; i + 1 < keysAndValues.length; i += 2)
            row.put((String) keysAndValues[i], keysAndValues[i + 1]);
        return row;
    }

    private static void expect(String name, String actual, String expected) {
        boolean same = expected == null ? actual == null : expected.equals(actual);
        if (!same)
            failures.add(name + ":\n  expected: " + expected + "\n  actual:   " + actual);
    }
}
