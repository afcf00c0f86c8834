package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.Hashtable;
import java.util.List;
import java.util.Locale;
import java.util.Vector;

/**
 * The stored function, procedure or package the browser loaded: its source as stored and as edited, the
 * warnings of the last build, and a run with input values that gives the output values. The edited text is
 * held here until it is committed or reverted, so a failed build keeps the edits.
 */
public class VornProcedure {
    private final VornRoot root;
    private final Session session;
    private final StoredCode code;
    private final String schema;
    private final String type;
    private final String name;
    private String storedSource = "";
    private String storedBody = "";
    private volatile String source = "";
    private volatile String body = "";
    private volatile List<Hashtable<String, Object>> warnings = List.of();
    private volatile List<StoredCode.Parameter> parameters = List.of();
    private volatile String[] values = new String[0];
    private volatile String[] results = new String[0];
    private volatile List<String> packageMembers = List.of();
    private volatile String selectedMember;
    private volatile boolean running;
    private volatile boolean cancelling;

    private VornProcedure(VornRoot root, Session session, StoredCode code, String schema, String type,
                          String name) {
        this.root = root;
        this.session = session;
        this.code = code;
        this.schema = schema;
        this.type = type.toUpperCase(Locale.ROOT);
        this.name = name;
    }

    /** Reads the object's source and parameters; the caller performs this as the root's action. */
    static VornProcedure load(VornRoot root, Session session, String schema, String type, String name)
        throws SQLException, BackendException {
        VornProcedure procedure =
            new VornProcedure(root, session, StoredCode.forDialect(session.dialect), schema, type, name);
        if (procedure.code == null)
            return procedure;
        session.lock();
        try {
            procedure.readStored();
            if (procedure.isPackage()) {
                procedure.packageMembers = procedure.code.packageMembers(session.connection, schema, name);
                if (!procedure.packageMembers.isEmpty())
                    procedure.selectedMember = procedure.packageMembers.get(0);
            }
            procedure.readParameters();
        } finally {
            session.unlock();
        }
        return procedure;
    }

    private void readStored() throws SQLException, BackendException {
        String[] texts = code.source(session.connection, schema, type, name);
        storedSource = texts[0];
        storedBody = texts[1];
        source = storedSource;
        body = storedBody;
    }

    private void readParameters() throws SQLException, BackendException {
        List<StoredCode.Parameter> read = isPackage() && selectedMember == null
                                              ? List.of()
                                              : code.parameters(session.connection, schema, type, name, selectedMember);
        parameters = read;
        values = new String[read.size()];
        results = new String[read.size()];
    }

    public String name() {
        return name;
    }

    public boolean supportSourceEdit() {
        return code != null;
    }

    public String getSource() {
        return source;
    }

    public String getBodySource() {
        return body;
    }

    public void updateSource(String text) {
        source = text == null ? "" : text;
    }

    public void updateBodySource(String text) {
        body = text == null ? "" : text;
    }

    public synchronized boolean sourceIsDirty() {
        return code != null && (!source.equals(storedSource) || !body.equals(storedBody));
    }

    /**
     * Builds the held text in the database. Refused, the edits stay held and the warnings say why; built, the
     * stored text is read back, and an object that no longer goes by its name is no longer the root's.
     */
    public void commitSource() {
        root.perform(session, () -> {
            if (code == null)
                throw new BackendException("The source of " + name + " cannot be edited.");
            String header = source;
            String bodyText = body;
            session.lock();
            try {
                List<Hashtable<String, Object>> built;
                try {
                    built = code.replace(session.connection, schema, type, name, header, bodyText);
                } catch (SQLException e) {
                    warnings = code.warningsOf(e, header);
                    throw e;
                }
                warnings = built;
                if (!code.exists(session.connection, schema, type, name)) {
                    root.forgetProcedure(this);
                    return;
                }
                synchronized (this) {
                    readStored();
                }
                readParameters();
            } finally {
                session.unlock();
            }
        });
    }

    public synchronized void revert() {
        source = storedSource;
        body = storedBody;
        warnings = List.of();
    }

    /** The messages of the last build, each with "position" ("line:column") and "message". */
    public Vector<Hashtable<String, Object>> getWarnings() {
        return StoredCode.vectorOf(warnings);
    }

    public boolean isFunction() {
        return type.equals("FUNCTION");
    }

    public boolean isProcedure() {
        return type.equals("PROCEDURE");
    }

    public boolean isPackage() {
        return type.equals("PACKAGE");
    }

    public boolean isPackageFunction() {
        return isPackage() && parameters.stream().anyMatch(p -> p.direction == StoredCode.Parameter.Direction.RETURN);
    }

    public boolean isPackageProcedure() {
        return isPackage() && selectedMember != null && !isPackageFunction();
    }

    public Vector<String> getPackageProcedures() {
        return new Vector<>(packageMembers);
    }

    public String getSelectedPackageProcedure() {
        return selectedMember;
    }

    public void setSelectedPackageProcedure(String member) {
        root.perform(session, () -> {
            if (!packageMembers.contains(member))
                throw new BackendException("The package " + name + " has no member " + member + ".");
            selectedMember = member;
            session.lock();
            try {
                readParameters();
            } finally {
                session.unlock();
            }
        });
    }

    /** One table per parameter in call order (the return value first): "name", "type" and "direction". */
    public Vector<Hashtable<String, Object>> inputOutputColumns() {
        Vector<Hashtable<String, Object>> columns = new Vector<>();
        for (StoredCode.Parameter parameter : parameters) {
            Hashtable<String, Object> column = new Hashtable<>();
            column.put("name", parameter.name);
            column.put("type", parameter.typeName == null ? "" : parameter.typeName);
            column.put("direction", parameter.direction.name());
            columns.add(column);
        }
        return columns;
    }

    public boolean isInputColumn(int index) {
        return index >= 0 && index < parameters.size() && parameters.get(index).isInput();
    }

    public boolean isOutputColumn(int index) {
        return index >= 0 && index < parameters.size() && parameters.get(index).isOutput();
    }

    public boolean isReturnColumn(int index) {
        return index >= 0 && index < parameters.size()
            && parameters.get(index).direction == StoredCode.Parameter.Direction.RETURN;
    }

    public void setValueForColumn(int index, Object value) {
        String[] current = values;
        if (index >= 0 && index < current.length)
            current[index] = value == null ? null : value.toString();
    }

    /** Runs the object (a package's selected member) with the values set; "INVALID_INPUT" for a bad value. */
    public void doExecute() {
        root.perform(session, () -> {
            if (code == null)
                throw new BackendException("This object cannot be run.");
            session.lock();
            running = true;
            try {
                session.resetCancel();
                results = code.execute(session, schema, type, name, selectedMember, parameters, values.clone());
            } catch (SQLException e) {
                String state = e.getSQLState();
                if (state != null && state.startsWith("22"))
                    throw new BackendException("INVALID_INPUT");
                throw e;
            } finally {
                running = false;
                cancelling = false;
                session.unlock();
            }
        });
    }

    /** The value of an output parameter or the return value after the last run; null when there is none. */
    public String value(int index) {
        String[] current = results;
        return index >= 0 && index < current.length ? current[index] : null;
    }

    public boolean running() {
        return running;
    }

    public boolean cancelling() {
        return cancelling;
    }

    /** Asks the running call to stop; callable while another thread runs it. */
    public void cancelQuery() {
        if (!running)
            return;
        cancelling = true;
        session.cancel();
    }
}
