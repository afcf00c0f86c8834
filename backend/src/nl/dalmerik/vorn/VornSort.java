package nl.dalmerik.vorn;

/** One sort of a result: a column name and "ASC" or "DESC". */
public class VornSort {
    private String name;
    private String direction = "ASC";

    public VornSort() {}

    /** Any direction other than "DESC" (in any case) sorts ascending. */
    public void initSort(String name, String direction) {
        this.name = name;
        this.direction = "DESC".equalsIgnoreCase(direction) ? "DESC" : "ASC";
    }

    public String name() {
        return name;
    }

    public String direction() {
        return direction;
    }
}
