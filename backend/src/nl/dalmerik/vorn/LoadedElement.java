package nl.dalmerik.vorn;

import java.util.List;
import java.util.Vector;

/** An element whose rows the browser loaded, with the filter and sort they were read with. */
final class LoadedElement {
    final String schema;
    final String type;
    final String name;
    final String filter;
    final List<VornSort> sort;
    final List<String> quickFilterColumns;
    final List<String> quickFilterOperators;
    final List<Object> quickFilterValues;
    /** The result these rows are; the element is shown only while the root shows it. */
    final VornResultset result;

    LoadedElement(String schema, String type, String name, String filter, List<VornSort> sort,
                  List<String> quickFilterColumns, List<String> quickFilterOperators,
                  List<Object> quickFilterValues, VornResultset result) {
        this.schema = schema;
        this.type = type;
        this.name = name;
        this.filter = filter;
        this.sort = sort;
        this.quickFilterColumns = quickFilterColumns;
        this.quickFilterOperators = quickFilterOperators;
        this.quickFilterValues = quickFilterValues;
        this.result = result;
    }

    /** The same element read again into another result. */
    LoadedElement showing(VornResultset again) {
        return new LoadedElement(schema, type, name, filter, sort, quickFilterColumns, quickFilterOperators,
                                 quickFilterValues, again);
    }

    static <T> Vector<T> vector(List<T> list) {
        return list == null ? null : new Vector<>(list);
    }
}
