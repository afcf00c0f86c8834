package nl.dalmerik.vorn;

import java.util.Hashtable;
import java.util.Vector;

/**
 * A root that looks connected to a database that keeps a recycle bin, held in memory: two dropped tables, the first with its index.
 * Restoring "BIN$taken" fails as Oracle does when the original name is in use again.
 */
public class RecyclebinTestRoot extends VornRoot {
    private final MemoryBin bin = new MemoryBin(this);

    /** Connected as far as the document asks: the bin's actions need the root's reservation. */
    @Override
    public boolean hasConnection() {
        return true;
    }

    @Override
    public boolean isConnected() {
        return true;
    }

    @Override
    public boolean supportsRecycleBin() {
        return true;
    }

    @Override
    public VornRecyclebin recyclebin() {
        return bin;
    }

    static final class MemoryBin extends VornRecyclebin {
        private final VornRoot owner;
        private final Vector<Hashtable<String, Object>> contents = new Vector<>();
        private volatile Vector<Hashtable<String, Object>> listed = new Vector<>();

        MemoryBin(VornRoot owner) {
            super(owner);
            this.owner = owner;
            Hashtable<String, Object> orders = entry("BIN$t1", "ORDERS", "TABLE", "YES");
            Vector<Hashtable<String, Object>> children = new Vector<>();
            children.add(entry("BIN$i1", "ORDERS_PK", "INDEX", "NO"));
            orders.put("children", children);
            contents.add(orders);
            contents.add(entry("BIN$taken", "LINES", "TABLE", "YES"));
        }

        private static Hashtable<String, Object> entry(String object, String original, String type, String undrop) {
            Hashtable<String, Object> entry = new Hashtable<>();
            entry.put("objectName", object);
            entry.put("originalName", original);
            entry.put("type", type);
            entry.put("dropTime", "2026-12-01:10:00:00");
            entry.put("canUndrop", undrop);
            entry.put("canPurge", "YES");
            return entry;
        }

        @Override
        public synchronized void update() {
            owner.perform(null, () -> listed = new Vector<>(contents));
        }

        @Override
        public Vector<Hashtable<String, Object>> items() {
            return new Vector<>(listed);
        }

        @Override
        public boolean isFilled() {
            return !listed.isEmpty();
        }

        @Override
        public synchronized void flashBackObject(String type, String name) {
            owner.perform(null, () -> {
                if (name.equals("BIN$taken"))
                    throw new BackendException("ORA-38312: original name is used by an existing object");
                contents.removeIf(entry -> entry.get("objectName").equals(name));
            });
        }

        @Override
        public synchronized void purgeObject(String type, String name) {
            owner.perform(null, () -> contents.removeIf(entry -> entry.get("objectName").equals(name)));
        }

        @Override
        public synchronized void purgeBin() {
            owner.perform(null, contents::clear);
        }
    }
}
