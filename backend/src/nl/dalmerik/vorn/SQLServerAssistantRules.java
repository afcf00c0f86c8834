package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.Set;

/** SQL Server's DDL: index names per table, identity columns, comments as extended properties. */
final class SQLServerAssistantRules extends AssistantRules {
    SQLServerAssistantRules(Dialect dialect) {
        super(dialect);
    }

    @Override
    List<String> types() {
        return List.of("varchar", "nvarchar", "char", "nchar", "int", "bigint", "smallint", "tinyint", "bit",
                       "decimal", "numeric", "float", "real", "money", "date", "datetime", "datetime2", "time",
                       "uniqueidentifier", "binary", "varbinary");
    }

    @Override
    String defaultColumnType() {
        return "varchar";
    }

    @Override
    Set<String> sizedTypes() {
        return Set.of("varchar", "nvarchar", "char", "nchar", "decimal", "numeric", "float", "datetime2", "time",
                      "binary", "varbinary");
    }

    @Override
    Set<String> precisionTypes() {
        return Set.of("decimal", "numeric");
    }

    /** Without a size these hold one character or byte, which would cut every longer value. */
    @Override
    Set<String> sizeRequiredTypes() {
        return Set.of("varchar", "nvarchar", "varbinary");
    }

    @Override
    String autoNumberClause() {
        return "IDENTITY(1,1)";
    }

    @Override
    String identifierQuoteString() {
        return "\"";
    }

    @Override
    Map<String, Option> tableOptions() {
        return options("Compression", new Option("WITH (DATA_COMPRESSION = %s)", "Default", "NONE", "ROW", "PAGE"));
    }

    @Override
    Map<String, Option> indexOptions() {
        return options("Fill factor", new Option("WITH (FILLFACTOR = %s)", "Default", "100", "90", "80", "70", "50"));
    }

    @Override
    String commentSql(String qualifiedTable, String comment, String defaultSchema) {
        List<String> parts = bracketedParts(qualifiedTable);
        String schema = parts.size() > 1 ? parts.get(parts.size() - 2) : defaultSchema;
        String table = parts.get(parts.size() - 1);
        return "EXEC sys.sp_addextendedproperty @name = N'MS_Description', @value = N" + dialect.quoteLiteral(comment)
            + ", @level0type = N'SCHEMA', @level0name = N" + dialect.quoteLiteral(schema)
            + ", @level1type = N'TABLE', @level1name = N" + dialect.quoteLiteral(table);
    }

    /** The names of a dotted name as written, brackets taken off and doubled closing brackets undone. */
    static List<String> bracketedParts(String dotted) {
        List<String> parts = new ArrayList<>();
        StringBuilder part = new StringBuilder();
        boolean inBrackets = false;
        for (int i = 0; i < dotted.length(); i++) {
            char c = dotted.charAt(i);
            if (inBrackets && c == ']' && i + 1 < dotted.length() && dotted.charAt(i + 1) == ']') {
                part.append(']');
                i++;
            } else if (c == '[' && !inBrackets) {
                inBrackets = true;
            } else if (c == ']' && inBrackets) {
                inBrackets = false;
            } else if (c == '.' && !inBrackets) {
                parts.add(part.toString());
                part.setLength(0);
            } else {
                part.append(c);
            }
        }
        parts.add(part.toString());
        return parts;
    }
}
