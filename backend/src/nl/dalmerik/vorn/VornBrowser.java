package nl.dalmerik.vorn;

import java.util.Hashtable;
import java.util.Vector;

/**
 * The browser side of a connection: its schemas, the selected one, and the statement result it shows,
 * which can be fetched again or stopped while it runs.
 */
public class VornBrowser {
    private final VornRoot root;
    private final Session session;
    private volatile String selectedSchema;

    VornBrowser(VornRoot root, Session session) {
        this.root = root;
        this.session = session;
        this.selectedSchema = session.defaultSchema;
    }

    public VornRoot root() {
        return root;
    }

    public Vector<String> schemas() {
        return new Vector<>(session.schemas);
    }

    /** The connection's own schema until another is chosen. */
    public String selectedSchema() {
        return selectedSchema;
    }

    public boolean canStopStoppableStatement() {
        return session.statementRunning();
    }

    public void stopStoppableStatement() {
        session.cancel();
    }

    /** Only results of statements that change nothing can be fetched again. */
    public boolean canRefresh() {
        VornResultset shown = root.resultset();
        return shown != null && shown.session() == session && shown.refreshable();
    }

    /** Runs the shown result's statement again; the new result replaces it. */
    public void refresh() {
        VornResultset shown = root.resultset();
        root.perform(session, () -> {
            if (shown == null)
                throw new BackendException("There is no result to refresh.");
            if (!shown.refreshable())
                throw new BackendException("This result can't be refreshed: running its statement again would "
                                           + "change data.");
            root.sqlConnection().run(session, shown.selectStatement(), shown.parameters());
        });
    }

    // The loaded object. This browser shows statement results only, which have no object, no filter and
    // no sort; the quick-filter lists are empty.

    /** The loaded object's name; null for a statement's result. */
    public String name() {
        return null;
    }

    public String schema() {
        return selectedSchema;
    }

    /** The loaded object's type; null for a statement's result. */
    public String type() {
        return null;
    }

    /** The free filter text of the loaded object, or null. */
    public String filter() {
        return null;
    }

    /** The sort of the loaded object (VornSort in priority order), or null. */
    public Vector<VornSort> sort() {
        return null;
    }

    public Vector<Hashtable<String, Object>> quickFilterColumnInfo() {
        return new Vector<>();
    }

    public Vector<String> quickFilterColumns() {
        return new Vector<>();
    }

    public Vector<String> quickFilterOperators() {
        return new Vector<>();
    }

    public Vector<String> quickFilterValues() {
        return new Vector<>();
    }

    /** A new description of the object for the info column; null without a connection. No database work. */
    public VornInfo elementDescription(String schema, String type, String name) {
        return VornInfo.describe(root, schema, type, name);
    }

    /**
     * A new description of the object the synonym stands for; null when the database has no synonyms, the
     * target is unknown, or the connection is busy (the synonym's own description then stands).
     */
    public VornInfo elementDescriptionForReferringElement(String schema, String type, String name) {
        return VornInfo.describeSynonymTarget(root, schema, name);
    }
}
