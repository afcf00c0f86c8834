package nl.dalmerik.vorn;

import java.util.Hashtable;
import java.util.Vector;

/**
 * One step of an execution plan as the editor receives it: "info" holds the step's fields as text
 * (OPERATION, OPTIONS, OBJECT_NAME, OBJECT_TYPE, OPTIMIZER, COST, CARDINALITY, BYTES, COST_COLLECTION),
 * "children" its sub-steps in order.
 */
final class PlanStep {
    private final Hashtable<String, Object> info = new Hashtable<>();
    private final Vector<Object> children = new Vector<>();
    private final Hashtable<String, Object> tree = new Hashtable<>();

    PlanStep(String operation) {
        tree.put("info", info);
        tree.put("children", children);
        put("OPERATION", operation);
    }

    /** Absent and empty values are left out. */
    PlanStep put(String field, Object value) {
        if (value != null && !value.toString().isEmpty())
            info.put(field, value.toString());
        return this;
    }

    String get(String field) {
        Object value = info.get(field);
        return value == null ? null : value.toString();
    }

    /** The child's tree shares its fields and children: what is added to it later shows. */
    PlanStep add(PlanStep child) {
        children.add(child.tree);
        return this;
    }

    Hashtable<String, Object> tree() {
        return tree;
    }
}
