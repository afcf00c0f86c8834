package nl.dalmerik.vorn;

import java.util.ArrayList;
import java.util.List;

/** Comparing and keeping the parallel lists of a quick filter. */
final class QuickFilterLists {
    private QuickFilterLists() {}

    /** The conditions that ask something, one text each: a row left empty filters nothing. */
    static List<String> asked(List<String> columns, List<String> operators, List<?> values) {
        List<String> asked = new ArrayList<>();
        int count = columns == null ? 0 : columns.size();
        for (int i = 0; i < count; i++) {
            String column = columns.get(i);
            String operator = operators != null && i < operators.size() ? operators.get(i) : null;
            Object value = values != null && i < values.size() ? values.get(i) : null;
            String text = value == null ? "" : value.toString();
            boolean nullTest = "IS NULL".equals(operator) || "NOT IS NULL".equals(operator)
                               || "IS NOT NULL".equals(operator);
            if (column == null || !nullTest && text.isBlank())
                continue;
            asked.add(column + "\u0000" + operator + "\u0000" + (nullTest ? "" : text));
        }
        return asked;
    }

    static List<String> sortText(List<VornSort> sort) {
        List<String> text = new ArrayList<>();
        if (sort != null) {
            for (VornSort one : sort)
                text.add(one.name() + " " + one.direction());
        }
        return text;
    }

    static StoredFilters.Stored stored(String name, LoadedElement element) {
        List<String> columns = new ArrayList<>();
        List<String> operators = new ArrayList<>();
        List<String> values = new ArrayList<>();
        int count = element.quickFilterColumns == null ? 0 : element.quickFilterColumns.size();
        for (int i = 0; i < count; i++) {
            Object value = element.quickFilterValues.get(i);
            columns.add(element.quickFilterColumns.get(i));
            operators.add(element.quickFilterOperators.get(i) == null ? "" : element.quickFilterOperators.get(i));
            values.add(value == null ? "" : value.toString());
        }
        List<VornSort> sort = new ArrayList<>();
        if (element.sort != null) {
            for (VornSort one : element.sort) {
                VornSort copy = new VornSort();
                copy.initSort(one.name(), one.direction());
                sort.add(copy);
            }
        }
        return new StoredFilters.Stored(name, columns, operators, values, sort);
    }
}
