package nl.dalmerik.vorn;

/** The recycle bin of dropped objects; no supported database offers one yet, so it stays empty. */
public class VornRecyclebin {
    public boolean isFilled() {
        return false;
    }
}
