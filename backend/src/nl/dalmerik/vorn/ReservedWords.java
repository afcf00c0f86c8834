package nl.dalmerik.vorn;

import java.util.Vector;

/** The reserved words of standard SQL, in lower case; each connection adds its driver's own. */
public class ReservedWords {
    private static final String[] WORDS = {
        "absolute", "action", "add", "all", "allocate", "alter", "and", "any", "are", "array", "as", "asc",
        "asensitive", "assertion", "asymmetric", "at", "atomic", "authorization", "avg", "begin", "between",
        "bigint", "binary", "bit", "blob", "boolean", "both", "by", "call", "called", "cascade", "cascaded",
        "case", "cast", "catalog", "char", "character", "check", "clob", "close", "coalesce", "collate",
        "column", "commit", "condition", "connect", "connection", "constraint", "constraints", "continue",
        "convert", "corresponding", "count", "create", "cross", "cube", "current", "current_date",
        "current_path", "current_role", "current_time", "current_timestamp", "current_user", "cursor", "cycle",
        "date", "day", "deallocate", "dec", "decimal", "declare", "default", "deferrable", "deferred", "delete",
        "deref", "desc", "describe", "descriptor", "deterministic", "diagnostics", "disconnect", "distinct",
        "do", "domain", "double", "drop", "dynamic", "each", "element", "else", "elseif", "end", "escape",
        "except", "exception", "exec", "execute", "exists", "exit", "external", "extract", "false", "fetch",
        "filter", "first", "float", "for", "foreign", "found", "free", "from", "full", "function", "get",
        "global", "go", "goto", "grant", "group", "grouping", "handler", "having", "hold", "hour", "identity",
        "if", "immediate", "in", "indicator", "initially", "inner", "inout", "input", "insensitive", "insert",
        "int", "integer", "intersect", "interval", "into", "is", "isolation", "join", "key", "language",
        "large", "last", "lateral", "leading", "leave", "left", "level", "like", "limit", "local", "localtime",
        "localtimestamp", "loop", "lower", "match", "max", "member", "merge", "method", "min", "minute",
        "modifies", "module", "month", "multiset", "names", "national", "natural", "nchar", "nclob", "new",
        "next", "no", "none", "not", "null", "nullif", "numeric", "object", "octet_length", "of", "offset",
        "old", "on", "only", "open", "option", "or", "order", "out", "outer", "output", "over", "overlaps",
        "pad", "parameter", "partial", "partition", "position", "precision", "prepare", "preserve", "primary",
        "prior", "privileges", "procedure", "public", "range", "read", "reads", "real", "recursive", "ref",
        "references", "referencing", "relative", "release", "repeat", "resignal", "restrict", "result",
        "return", "returns", "revoke", "right", "role", "rollback", "rollup", "routine", "row", "rows",
        "savepoint", "schema", "scope", "scroll", "search", "second", "section", "select", "sensitive",
        "session", "session_user", "set", "signal", "similar", "size", "smallint", "some", "space", "specific",
        "sql", "sqlexception", "sqlstate", "sqlwarning", "start", "static", "submultiset", "substring", "sum",
        "symmetric", "system", "system_user", "table", "tablesample", "temporary", "then", "time", "timestamp",
        "timezone_hour", "timezone_minute", "to", "trailing", "transaction", "translate", "translation",
        "treat", "trigger", "trim", "true", "truncate", "undo", "union", "unique", "unknown", "unnest", "until",
        "update", "upper", "usage", "user", "using", "value", "values", "varchar", "varying", "view", "when",
        "whenever", "where", "while", "window", "with", "within", "without", "work", "write", "year", "zone"};

    /** The standard reserved words in lower case. */
    public static Vector<String> getReservedWords() {
        Vector<String> words = new Vector<>(WORDS.length);
        for (String word : WORDS)
            words.add(word);
        return words;
    }
}
