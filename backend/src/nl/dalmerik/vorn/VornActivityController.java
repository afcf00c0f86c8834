package nl.dalmerik.vorn;

import java.lang.ref.WeakReference;
import java.util.Hashtable;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.Set;
import java.util.HashSet;
import java.util.Vector;

/**
 * What every backend connection is doing right now, for the activity viewer: one entry per root (its own
 * connection) and one per helper connection opened on its behalf, which names the root's entry as its
 * parent. Entries change from any thread; the viewer polls changed() and reads a copy.
 */
public final class VornActivityController {
    static final String IDLE = "IDLE";

    private static final VornActivityController INSTANCE = new VornActivityController();

    private final Map<Integer, Entry> entries = new LinkedHashMap<>();
    private int nextUid = 1;
    private boolean changed = true;

    private VornActivityController() {}

    public static VornActivityController getInstance() {
        return INSTANCE;
    }

    /** Whether anything changed since the last call; asking clears it. */
    public synchronized boolean changed() {
        boolean was = changed;
        changed = false;
        return was;
    }

    /**
     * The entries in the order they came, each a table with "settings": "uid", "root", "state" and, when
     * known, "parentUid", "connectionInfo", "activity" and "progress". With onlyActive the idle ones are
     * left out, except the parents of busy children, so a child never stands without its connection.
     */
    public synchronized Vector<Hashtable<String, Object>> rootSettingsIncludeParents(boolean onlyActive) {
        forgetCollectedRoots();
        Set<Integer> shown = new HashSet<>();
        for (Entry entry : entries.values()) {
            if (!onlyActive || entry.active()) {
                shown.add(entry.uid);
                if (entry.parentUid != null)
                    shown.add(entry.parentUid);
            }
        }
        Vector<Hashtable<String, Object>> list = new Vector<>();
        for (Entry entry : entries.values()) {
            if (shown.contains(entry.uid)) {
                Hashtable<String, Object> item = new Hashtable<>();
                item.put("settings", entry.settings());
                list.add(item);
            }
        }
        return list;
    }

    /** Connections that are open. */
    public synchronized int connectedCount() {
        forgetCollectedRoots();
        int count = 0;
        for (Entry entry : entries.values()) {
            if (entry.connectionInfo != null)
                count++;
        }
        return count;
    }

    /** Connections busy with something. */
    public synchronized int activeCount() {
        forgetCollectedRoots();
        int count = 0;
        for (Entry entry : entries.values()) {
            if (entry.active())
                count++;
        }
        return count;
    }

    /** A root nobody ended and nobody holds any more has no connection left to show. */
    private void forgetCollectedRoots() {
        if (entries.values().removeIf(entry -> entry.root != null && entry.root.get() == null))
            changed = true;
    }

    synchronized int register(VornRoot root, Integer parentUid, String connectionInfo) {
        Entry entry = new Entry(nextUid++, parentUid, root);
        entry.connectionInfo = connectionInfo;
        entries.put(entry.uid, entry);
        changed = true;
        return entry.uid;
    }

    synchronized void unregister(int uid) {
        if (entries.remove(uid) != null)
            changed = true;
    }

    /** The entry's state; activity and progress may be null. Unknown uids are ignored. */
    synchronized void update(int uid, String state, String activity, Double progress) {
        Entry entry = entries.get(uid);
        if (entry == null)
            return;
        entry.state = state;
        entry.activity = activity;
        entry.progress = progress;
        changed = true;
    }

    synchronized void setConnectionInfo(int uid, String connectionInfo) {
        Entry entry = entries.get(uid);
        if (entry == null)
            return;
        entry.connectionInfo = connectionInfo;
        changed = true;
    }

    /** The entry's state, for the tests of the backend. */
    synchronized String state(int uid) {
        Entry entry = entries.get(uid);
        return entry == null ? null : entry.state;
    }

    private static final class Entry {
        final int uid;
        final Integer parentUid;
        // Weak: the viewer must not keep a root (and its connection) alive that its owner let go.
        final WeakReference<VornRoot> root;
        String state = IDLE;
        String connectionInfo;
        String activity;
        Double progress;

        Entry(int uid, Integer parentUid, VornRoot root) {
            this.uid = uid;
            this.parentUid = parentUid;
            this.root = root == null ? null : new WeakReference<>(root);
        }

        boolean active() {
            return !IDLE.equals(state);
        }

        Hashtable<String, Object> settings() {
            Hashtable<String, Object> settings = new Hashtable<>();
            settings.put("uid", uid);
            if (parentUid != null)
                settings.put("parentUid", parentUid);
            VornRoot shown = root == null ? null : root.get();
            if (shown != null)
                settings.put("root", shown);
            settings.put("state", state);
            if (connectionInfo != null)
                settings.put("connectionInfo", connectionInfo);
            if (activity != null)
                settings.put("activity", activity);
            if (progress != null)
                settings.put("progress", progress);
            return settings;
        }
    }
}
