package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Reads the JSON that PostgreSQL and MariaDB give for an execution plan: objects become ordered maps,
 * arrays lists, numbers and strings their text, true/false/null Boolean or null. Nothing more is needed of
 * it, so it stays this small.
 */
final class PlanJson {
    private final String text;
    private int at;

    private PlanJson(String text) {
        this.text = text;
    }

    static Object parse(String text) throws BackendException {
        PlanJson reader = new PlanJson(text == null ? "" : text);
        Object value = reader.value();
        reader.skipSpace();
        if (reader.at != reader.text.length())
            throw reader.error();
        return value;
    }

    private Object value() throws BackendException {
        skipSpace();
        if (at >= text.length())
            throw error();
        char c = text.charAt(at);
        switch (c) {
        case '{':
            return object();
        case '[':
            return array();
        case '"':
            return string();
        default:
            return word();
        }
    }

    private Map<String, Object> object() throws BackendException {
        Map<String, Object> map = new LinkedHashMap<>();
        at++;
        skipSpace();
        if (peek() == '}') {
            at++;
            return map;
        }
        while (true) {
            skipSpace();
            if (peek() != '"')
                throw error();
            String key = string();
            skipSpace();
            expect(':');
            map.put(key, value());
            skipSpace();
            if (peek() == ',') {
                at++;
                continue;
            }
            expect('}');
            return map;
        }
    }

    private List<Object> array() throws BackendException {
        List<Object> list = new ArrayList<>();
        at++;
        skipSpace();
        if (peek() == ']') {
            at++;
            return list;
        }
        while (true) {
            list.add(value());
            skipSpace();
            if (peek() == ',') {
                at++;
                continue;
            }
            expect(']');
            return list;
        }
    }

    private String string() throws BackendException {
        StringBuilder out = new StringBuilder();
        at++;
        while (at < text.length()) {
            char c = text.charAt(at++);
            if (c == '"')
                return out.toString();
            if (c != '\\') {
                out.append(c);
                continue;
            }
            if (at >= text.length())
                break;
            char escaped = text.charAt(at++);
            switch (escaped) {
            case 'n': out.append('\n'); break;
            case 't': out.append('\t'); break;
            case 'r': out.append('\r'); break;
            case 'b': out.append('\b'); break;
            case 'f': out.append('\f'); break;
            case 'u':
                if (at + 4 > text.length())
                    throw error();
                try {
                    out.append((char) Integer.parseInt(text.substring(at, at + 4), 16));
                } catch (NumberFormatException e) {
                    throw error();
                }
                at += 4;
                break;
            default: out.append(escaped);
            }
        }
        throw error();
    }

    private Object word() throws BackendException {
        int start = at;
        while (at < text.length() && ",:]} \t\r\n".indexOf(text.charAt(at)) < 0)
            at++;
        String word = text.substring(start, at);
        switch (word) {
        case "true": return Boolean.TRUE;
        case "false": return Boolean.FALSE;
        case "null": return null;
        default:
            if (word.isEmpty() || !word.matches("-?[0-9][0-9.eE+-]*"))
                throw error();
            return word;
        }
    }

    private void expect(char c) throws BackendException {
        if (peek() != c)
            throw error();
        at++;
    }

    private char peek() {
        return at < text.length() ? text.charAt(at) : '\0';
    }

    private void skipSpace() {
        while (at < text.length() && Character.isWhitespace(text.charAt(at)))
            at++;
    }

    private BackendException error() {
        return new BackendException("The database's execution plan could not be read (at character " + at + ").");
    }
}
