package nl.dalmerik.vorn;

import java.util.Hashtable;
import java.util.Vector;

/** The columns of a result: "name" (unique in the result), "label", "typeName", "type", "precision", "scale". */
public class VornResultsetMetaData {
    private final ResultColumn[] columns;

    VornResultsetMetaData(ResultColumn[] columns) {
        this.columns = columns;
    }

    public Vector<Hashtable<String, Object>> columns() {
        Vector<Hashtable<String, Object>> entries = new Vector<>(columns.length);
        for (ResultColumn column : columns)
            entries.add(column.description());
        return entries;
    }
}
