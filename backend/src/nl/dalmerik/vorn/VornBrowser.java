package nl.dalmerik.vorn;

import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Hashtable;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Objects;
import java.util.Set;
import java.util.Vector;
import java.util.concurrent.ConcurrentHashMap;

/**
 * The browser side of a connection: its schemas, the selected one, the elements of each schema, and what
 * the root shows: an element's rows (with their filter and sort) or a statement's result, which can be
 * fetched again or stopped while it runs.
 */
public class VornBrowser {
    /** The schema the controller passes for management views; the name is then the view's query. */
    private static final String MANAGEMENT_SCHEMA = "__VORN__MANAGEMENT__|__VORN__MANAGEMENT__";
    /** The failure of a filtered load whose values the database could not use; the caller loads unfiltered. */
    private static final String INVALID_INPUT = "INVALID_INPUT";
    private static final Set<String> ROW_TYPES = Set.of("TABLE", "VIEW", "SYSTEM TABLE", "SYSTEM VIEW");
    private static final Set<String> STORED_CODE_TYPES = Set.of("FUNCTION", "PROCEDURE", "PACKAGE");

    private final VornRoot root;
    private final Session session;
    private volatile String selectedSchema;
    private volatile LoadedElement loaded;
    private final Map<String, Boolean> filteredOrSorted = new ConcurrentHashMap<>();
    private final Map<String, String> lastSequences = new ConcurrentHashMap<>();
    // The stored filter the shown rows were loaded with; any other load forgets it.
    private volatile String storedFilterName;

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

    // The schema's elements. Loading them is an action with an outcome; the questions after it answer from
    // what is cached, and what they may read themselves they read only while no action holds the connection,
    // so that a question from the interface never waits for a running statement.

    /** Null or empty: the connection's own schema. */
    public void setSelectedSchema(String schema) {
        selectedSchema = schema == null || schema.isEmpty() ? session.defaultSchema : schema;
    }

    public boolean hasCachedTypesOfSchema(String schema) {
        return session.metaData.elements(schemaOrSelected(schema)) != null;
    }

    /** Reads the schema's elements when they are not cached; the types that have elements, in display order. */
    public Vector<String> typesInSchema(String schema) {
        Vector<String> types = new Vector<>();
        root.perform(session, () -> types.addAll(elements(schemaOrSelected(schema)).types()));
        return types;
    }

    /** The cached types only; empty while the schema's elements have not been read. */
    public Vector<String> typesInSchema(String schema, Integer unused) {
        SchemaElements cached = session.metaData.elements(schemaOrSelected(schema));
        return cached == null ? new Vector<>() : new Vector<>(cached.types());
    }

    /**
     * The names of the type's elements in display order, from the cache (empty when not read yet). An empty
     * pattern is every name; otherwise the names that contain it, in any case.
     */
    public Vector<String> elementsOfTypeInSchemaLike(String type, String schema, String pattern) {
        SchemaElements cached = session.metaData.elements(schemaOrSelected(schema));
        Vector<String> names = new Vector<>();
        if (cached == null || type == null)
            return names;
        String part = pattern == null ? "" : pattern.toLowerCase(Locale.ROOT);
        for (String name : cached.names(type.toUpperCase(Locale.ROOT))) {
            if (part.isEmpty() || name.toLowerCase(Locale.ROOT).contains(part))
                names.add(name);
        }
        return names;
    }

    /** The type of what a synonym refers to; null when none is known. */
    public String referringTypeOfElementOfTypeInSchemaWithName(String schema, String type, String name) {
        SchemaElements cached = session.metaData.elements(schemaOrSelected(schema));
        return cached == null ? null : cached.referringType(name);
    }

    /**
     * Reads the schema's elements into the cache unless they are there; only while no action holds the
     * connection, so completion never waits behind a statement. Whether they are cached now.
     */
    public boolean readElementsOfSchemaWhenFree(String schema) {
        String name = schemaOrSelected(schema);
        if (name == null)
            return false;
        if (session.metaData.elements(name) != null)
            return true;
        return whenFree(() -> {
            SchemaElements read =
                session.dialect.schemaElements(session.connection, name, session.metaData.reservedWordSet());
            session.metaData.storeElements(name, read);
            return read;
        }) != null;
    }

    public Vector<String> allColumnsInTable(String schema, String table) {
        Map<String, List<String>> tables = columns(schemaOrSelected(schema));
        List<String> columns = tables == null ? null : tables.get(table);
        return columns == null ? new Vector<>() : new Vector<>(columns);
    }

    /** The column names of every table and view of the schema, each once. */
    public Vector<String> allColumnsInSchema(String schema) {
        Map<String, List<String>> tables = columns(schemaOrSelected(schema));
        Set<String> names = new LinkedHashSet<>();
        if (tables != null)
            tables.values().forEach(names::addAll);
        return new Vector<>(names);
    }

    /** The tables and views with a column of the name (in any case): "name" and "type". */
    public Vector<Hashtable<String, Object>> tablesWithColumnsNamed(String schema, String column) {
        String name = schemaOrSelected(schema);
        Map<String, List<String>> tables = columns(name);
        SchemaElements elements = session.metaData.elements(name);
        Vector<Hashtable<String, Object>> found = new Vector<>();
        if (tables == null || column == null)
            return found;
        for (Map.Entry<String, List<String>> table : tables.entrySet()) {
            if (table.getValue().stream().noneMatch(column::equalsIgnoreCase))
                continue;
            String type = elements == null ? null : elements.tableType(table.getKey());
            Hashtable<String, Object> entry = new Hashtable<>();
            entry.put("name", table.getKey());
            entry.put("type", type == null ? "TABLE" : type);
            found.add(entry);
        }
        return found;
    }

    /**
     * The foreign keys between a column of the table (null or empty: any table) and another table, from
     * either side: "column" is the asked table's column, "foreignname" and "foreigncolumn" the other's.
     */
    public Vector<Hashtable<String, Object>> exportedKeysForColumnInSchemaAndTable(String column, String schema,
                                                                                   String table) {
        return keys(schema, table, column);
    }

    public Vector<Hashtable<String, Object>> exportedKeysInSchemaAndTable(String schema, String table) {
        return keys(schema, table, null);
    }

    private Vector<Hashtable<String, Object>> keys(String schema, String table, String column) {
        Vector<Hashtable<String, Object>> entries = new Vector<>();
        List<ForeignKeyColumn> keys = foreignKeys(schemaOrSelected(schema));
        if (keys == null)
            return entries;
        boolean anyTable = table == null || table.isEmpty();
        for (ForeignKeyColumn key : keys) {
            if ((anyTable || key.table.equals(table)) && (column == null || key.column.equalsIgnoreCase(column)))
                entries.add(ForeignKeyColumn.entry(key.constraint, key.column, key.referencedTable,
                                                   key.referencedColumn));
            if ((anyTable || key.referencedTable.equals(table))
                && (column == null || key.referencedColumn.equalsIgnoreCase(column)))
                entries.add(ForeignKeyColumn.entry(key.constraint, key.referencedColumn, key.table, key.column));
        }
        return entries;
    }

    /** The name as SQL writes it, with its schema unless that is the selected one. */
    public String qualifiedTableNameOfElement(String type, String schema, String name) {
        if (name == null)
            return null;
        if (schema == null || schema.isEmpty() || schema.equals(selectedSchema))
            return session.dialect.quoteIdentifier(name, session.metaData.reservedWordSet());
        return session.dialect.qualifiedName(schema, name, session.metaData.reservedWordSet());
    }

    /** The name as SQL writes it, always with its schema. */
    public String fullyQualifiedTableNameOfElement(String type, String schema, String name) {
        if (name == null)
            return null;
        return session.dialect.qualifiedName(schemaOrSelected(schema), name, session.metaData.reservedWordSet());
    }

    // Loading an element's rows as the root's current result set.

    public void selectElement(String schema, String type, String name) {
        load(schema, type, name, query -> {}, null, null, null, null);
    }

    /**
     * Rows whose column holds the value (a single value), one of the values (a vector of two or more), or
     * null (null); negated when asked. A value the database cannot compare with the column fails the load
     * with "INVALID_INPUT".
     */
    public void selectElementWithFilter(String schema, String type, String name, String column, Object values,
                                        boolean negate) {
        load(schema, type, name, query -> query.whereColumn(column, values, negate), null, null, null, null);
    }

    /** Rows that meet every quick-filter condition (column, operator, value), in the order of the sorts. */
    public void selectElementWithQuickFiltersAndSort(String schema, String type, String name,
                                                     Vector<String> columns, Vector<String> operators,
                                                     Vector<Object> values, Vector<VornSort> sort) {
        List<String> filterColumns = columns == null ? List.of() : new ArrayList<>(columns);
        List<String> filterOperators = operators == null ? List.of() : new ArrayList<>(operators);
        List<Object> filterValues = values == null ? List.of() : new ArrayList<>(values);
        List<VornSort> sorts = new ArrayList<>();
        if (sort != null)
            sort.stream().filter(Objects::nonNull).forEach(sorts::add);
        load(schema, type, name, query -> {
            if (filterColumns.size() != filterOperators.size() || filterColumns.size() != filterValues.size())
                throw new BackendException("Each quick filter needs a column, an operator and a value.");
            for (int i = 0; i < filterColumns.size(); i++)
                query.quickFilter(filterColumns.get(i), filterOperators.get(i), filterValues.get(i));
            for (VornSort one : sorts)
                query.orderBy(one);
        }, sorts, filterColumns, filterOperators, filterValues);
    }

    /** The element was last loaded with a filter or a sort. */
    public boolean previousStateHadFilterOrSort(String schema, String type, String name) {
        return filteredOrSorted.getOrDefault(elementKey(schemaOrSelected(schema), type, name), false);
    }

    private interface Conditions {
        void addTo(ElementQuery query) throws BackendException;
    }

    private void load(String schema, String type, String name, Conditions conditions, List<VornSort> sort,
                      List<String> quickFilterColumns, List<String> quickFilterOperators,
                      List<Object> quickFilterValues) {
        if (MANAGEMENT_SCHEMA.equals(schema)) {
            loadManagementView(type, name, sort, quickFilterColumns, quickFilterOperators, quickFilterValues);
            return;
        }
        root.perform(session, () -> {
            String schemaName = schemaOrSelected(schema);
            if (type != null && STORED_CODE_TYPES.contains(type.toUpperCase(Locale.ROOT))) {
                root.showProcedure(session, VornProcedure.load(root, session, schemaName, type, name));
                loaded = new LoadedElement(schemaName, type, name, null, sort, quickFilterColumns,
                                           quickFilterOperators, quickFilterValues, null);
                return;
            }
            if (!hasRows(schemaName, type, name)) {
                root.showContentDescription(session, ObjectDescription.read(session, schemaName,
                                                                            type.toUpperCase(Locale.ROOT), name));
                loaded = new LoadedElement(schemaName, type, name, null, sort, quickFilterColumns,
                                           quickFilterOperators, quickFilterValues, null);
                return;
            }
            ElementQuery query = new ElementQuery(session.dialect, session.metaData.reservedWordSet(),
                                                  filterConditions(schemaName, name), schemaName, name);
            conditions.addTo(query);
            LoadedElement before = shown();
            try {
                root.sqlConnection().run(session, query.sql(), query.parameters());
            } catch (SQLException e) {
                showAgain(before, schemaName, type, name);
                if (query.bindsValues() && isDataException(e))
                    throw new BackendException(INVALID_INPUT);
                throw e;
            }
            filteredOrSorted.put(elementKey(schemaName, type, name), query.filteredOrSorted());
            editable(root.resultset(), schemaName, type, name);
            loaded = new LoadedElement(schemaName, type, name, query.shownFilter(), sort, quickFilterColumns,
                                       quickFilterOperators, quickFilterValues, root.resultset());
            storedFilterName = null;
        });
    }

    /**
     * A refused filter or sort keeps the object's rows as they were shown, so the next condition still
     * applies to them (a custom condition is refused many times while it is being typed). When they
     * cannot be read again either, the first refusal is the one to report.
     */
    private void showAgain(LoadedElement before, String schema, String type, String name) {
        if (before == null || !before.schema.equals(schema) || !before.name.equals(name)
            || !before.result.refreshable())
            return;
        try {
            root.sqlConnection().run(session, before.result.selectStatement(), before.result.parameters());
            editable(root.resultset(), schema, type, name);
            loaded = before.showing(root.resultset());
        } catch (SQLException | BackendException ignored) {
            // The refusal that brought us here is reported.
        }
    }

    private void loadManagementView(String type, String query, List<VornSort> sort, List<String> columns,
                                    List<String> operators, List<Object> values) {
        root.perform(session, () -> {
            ManagementQuery view = new ManagementQuery(session.dialect, session.metaData.reservedWordSet(), query);
            int filters = columns == null ? 0 : columns.size();
            int operatorCount = operators == null ? 0 : operators.size();
            if (filters != operatorCount || filters != (values == null ? 0 : values.size()))
                throw new BackendException("Each quick filter needs a column, an operator and a value.");
            for (int i = 0; i < filters; i++)
                view.filter(columns.get(i), operators.get(i), values.get(i));
            if (sort != null)
                for (VornSort one : sort)
                    view.orderBy(one);
            root.sqlConnection().run(session, view.sql(), view.parameters());
            filteredOrSorted.put(elementKey(MANAGEMENT_SCHEMA, type, query), view.filteredOrSorted());
            loaded = new LoadedElement(MANAGEMENT_SCHEMA, type, query, view.shownFilter(), sort, columns, operators,
                                       values, root.resultset());
        });
    }

    /** Values are bound as the table's columns take them: the shown result's columns, else read. */
    private FilterConditions filterConditions(String schema, String name) {
        LoadedElement element = shown();
        Map<String, ResultColumn> columns;
        if (element != null && element.schema.equals(schema) && element.name.equals(name)) {
            columns = new java.util.HashMap<>();
            for (ResultColumn column : element.result.columns())
                columns.put(column.name, column);
        } else {
            columns = new TableColumns(session, session.dialect.qualifiedName(schema, name,
                                                                              session.metaData.reservedWordSet()));
        }
        return new FilterConditions(session.dialect, session.metaData.reservedWordSet(), columns,
                                    root.settings().format.input());
    }

    /** An element's rows can be edited where its table has a primary key (see VornResultset.editAs). */
    private static void editable(VornResultset result, String schema, String type, String name) {
        if (result != null)
            result.editAs(schema, type, name);
    }

    /**
     * Only tables and views, and synonyms of them, have rows to show; any other object is shown as its
     * definition.
     */
    private boolean hasRows(String schema, String type, String name) throws BackendException {
        if (name == null || name.isEmpty() || type == null)
            throw new BackendException("No element was given to load.");
        String kind = type.toUpperCase(Locale.ROOT);
        if (kind.equals("SYNONYM")) {
            String referred = referringTypeOfElementOfTypeInSchemaWithName(schema, type, name);
            kind = referred == null ? "TABLE" : referred;
        }
        return ROW_TYPES.contains(kind);
    }

    /** SQLSTATE class 22: the data does not suit the operation (a value the column's type cannot take). */
    private static boolean isDataException(SQLException error) {
        for (Throwable cause = error; cause != null; cause = cause.getCause()) {
            if (cause instanceof SQLException) {
                String state = ((SQLException) cause).getSQLState();
                if (state != null && state.startsWith("22"))
                    return true;
            }
        }
        return false;
    }

    private static String elementKey(String schema, String type, String name) {
        return schema + "\n" + type + "\n" + name;
    }

    private String schemaOrSelected(String schema) {
        return schema == null || schema.isEmpty() ? selectedSchema : schema;
    }

    /** The schema's elements, read under the connection's lock when they are not cached. */
    private SchemaElements elements(String schema) throws SQLException, BackendException {
        SchemaElements cached = session.metaData.elements(schema);
        if (cached != null)
            return cached;
        session.lock();
        try {
            SchemaElements read =
                session.dialect.schemaElements(session.connection, schema, session.metaData.reservedWordSet());
            session.metaData.storeElements(schema, read);
            return read;
        } finally {
            session.unlock();
        }
    }

    /** The columns of a fully loaded schema, loading it when the connection is free; null otherwise. */
    private Map<String, List<String>> columns(String schema) {
        Map<String, List<String>> cached = session.metaData.schemaObjects(schema);
        if (cached != null || schema == null)
            return cached;
        return whenFree(() -> {
            Map<String, List<String>> read =
                session.dialect.schemaObjects(session.connection, schema, session.metaData.reservedWordSet());
            session.metaData.storeSchema(schema, read);
            return read;
        });
    }

    private List<ForeignKeyColumn> foreignKeys(String schema) {
        List<ForeignKeyColumn> cached = session.metaData.foreignKeys(schema);
        if (cached != null || schema == null)
            return cached;
        return whenFree(() -> {
            List<ForeignKeyColumn> read =
                session.dialect.foreignKeys(session.connection, schema, session.metaData.reservedWordSet());
            session.metaData.storeForeignKeys(schema, read);
            return read;
        });
    }

    private interface CatalogRead<T> {
        T read() throws SQLException;
    }

    /** Reads from the catalogue unless an action holds the connection; null then, or when reading fails. */
    private <T> T whenFree(CatalogRead<T> read) {
        try {
            if (!session.tryLock())
                return null;
            try {
                return read.read();
            } finally {
                session.unlock();
            }
        } catch (SQLException | RuntimeException e) {
            return null;
        }
    }

    // Sequences offered for a column of the shown table; the one chosen last is remembered per column.

    /** The sequences of the shown element's schema; empty where the database has none. */
    public Vector<String> sequencesForColumn(String column) {
        LoadedElement element = shown();
        SchemaElements cached = element == null ? null : session.metaData.elements(element.schema);
        if (cached == null && element != null) {
            try {
                cached = elements(element.schema);
            } catch (SQLException | BackendException | RuntimeException e) {
                cached = null;
            }
        }
        return cached == null ? new Vector<>() : new Vector<>(cached.names("SEQUENCE"));
    }

    public String lastSequenceForColumn(String column) {
        LoadedElement element = shown();
        return element == null ? null : lastSequences.get(sequenceKey(element, column));
    }

    public void storeLastSequenceForColumn(String column, String sequence) {
        LoadedElement element = shown();
        if (element != null && column != null && sequence != null)
            lastSequences.put(sequenceKey(element, column), sequence);
    }

    /** Takes the sequence's next value (so the sequence moves on); null with the failure on the root. */
    public String nextValueForSequence(String sequence) {
        LoadedElement element = shown();
        String[] value = new String[1];
        root.perform(session, () -> {
            if (element == null || sequence == null)
                throw new BackendException("There is no table to take a sequence value for.");
            String sql = session.dialect.nextValueSql(
                session.dialect.qualifiedName(element.schema, sequence, session.metaData.reservedWordSet()));
            if (sql == null)
                throw new BackendException("This database has no sequences.");
            session.lock();
            try {
                root.startAction(session);
                value[0] = Dialect.queryText(session.connection, sql);
            } finally {
                session.unlock();
            }
        });
        return value[0];
    }

    private static String sequenceKey(LoadedElement element, String column) {
        return elementKey(element.schema, element.type, element.name) + "\n" + column;
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
        LoadedElement element = loaded;
        root.perform(session, () -> {
            if (shown == null)
                throw new BackendException("There is no result to refresh.");
            if (!shown.refreshable())
                throw new BackendException("This result can't be refreshed: running its statement again would "
                                           + "change data.");
            root.sqlConnection().run(session, shown.selectStatement(), shown.parameters());
            if (element != null && element.result == shown) {
                editable(root.resultset(), element.schema, element.type, element.name);
                loaded = element.showing(root.resultset());
            }
        });
    }

    // The loaded element, while the root shows its rows; a statement's result has no element, no filter and
    // no sort.

    private LoadedElement shown() {
        LoadedElement element = loaded;
        return element != null && element.result != null && element.result == root.resultset() ? element : null;
    }

    /** The loaded element's name; null for a statement's result. */
    public String name() {
        LoadedElement element = shown();
        return element == null ? null : element.name;
    }

    public String schema() {
        LoadedElement element = shown();
        return element == null ? selectedSchema : element.schema;
    }

    /** The loaded element's type; null for a statement's result. */
    public String type() {
        LoadedElement element = shown();
        return element == null ? null : element.type;
    }

    /** The conditions of the loaded element's rows as text, or null. */
    public String filter() {
        LoadedElement element = shown();
        return element == null ? null : element.filter;
    }

    /** The sort of the loaded element (VornSort in priority order), or null. */
    public Vector<VornSort> sort() {
        LoadedElement element = shown();
        return element == null ? null : LoadedElement.vector(element.sort);
    }

    public Vector<Hashtable<String, Object>> quickFilterColumnInfo() {
        LoadedElement element = shown();
        return element == null ? new Vector<>() : QuickFilterColumns.info(element.result.columns(), root.settings());
    }

    public Vector<String> quickFilterColumns() {
        LoadedElement element = shown();
        return element == null || element.quickFilterColumns == null ? new Vector<>()
                                                                       : new Vector<>(element.quickFilterColumns);
    }

    public Vector<String> quickFilterOperators() {
        LoadedElement element = shown();
        return element == null || element.quickFilterOperators == null
            ? new Vector<>()
            : new Vector<>(element.quickFilterOperators);
    }

    /** The values of the quick filter in force; null when none was applied to the shown element. */
    public Vector<Object> quickFilterValues() {
        LoadedElement element = shown();
        return element == null ? new Vector<>() : LoadedElement.vector(element.quickFilterValues);
    }

    // Quick filters and sorts of the shown element: each change loads its rows again, keeping whichever of
    // the two did not change.

    /** Whether the conditions ask something other than the shown rows were read with. */
    public boolean needsUpdateForQuickFilter(Vector<String> columns, Vector<String> operators, Vector<Object> values) {
        LoadedElement element = shown();
        if (element == null)
            return false;
        return !QuickFilterLists.asked(columns, operators, values)
                    .equals(QuickFilterLists.asked(element.quickFilterColumns, element.quickFilterOperators,
                                                   element.quickFilterValues));
    }

    public void updateQuickFilter(Vector<String> columns, Vector<String> operators, Vector<Object> values) {
        LoadedElement element = shownOrFail();
        if (element != null)
            reload(element, columns, operators, values, element.sort, storedFilterName);
    }

    public void updateSort(Vector<VornSort> sort) {
        LoadedElement element = shownOrFail();
        if (element == null)
            return;
        if (element.quickFilterColumns == null && element.filter != null)
            reload(element, List.of(ElementQuery.CUSTOM_FILTER), List.of(ElementQuery.CUSTOM_FILTER),
                   List.of(element.filter), sort, storedFilterName);
        else
            reload(element, element.quickFilterColumns, element.quickFilterOperators, element.quickFilterValues,
                   sort, storedFilterName);
    }

    /** Null filter: every row; otherwise the filter is an SQL condition, shown as one custom quick filter. */
    public void updateFilterAndSort(String filter, Vector<VornSort> sort) {
        LoadedElement element = shownOrFail();
        if (element == null)
            return;
        if (filter == null || filter.isBlank())
            reload(element, List.of(), List.of(), List.of(), sort, null);
        else
            reload(element, List.of(ElementQuery.CUSTOM_FILTER), List.of(ElementQuery.CUSTOM_FILTER),
                   List.of(filter), sort, null);
    }

    /** The conditions of the last quick filter as text; null when it asked nothing. */
    public String lastFilterUsedForQuickFilter() {
        return filter();
    }

    /** Empty, or a number as the quick filter binds it. */
    public boolean isNumberCompleteOrEmpty(String value) {
        return value == null || value.isBlank() || FilterConditions.number(value) != null;
    }

    /** Empty, or a moment in the pattern values are shown in (or its date part alone). */
    public boolean isTimestampCompleteOrEmpty(String value) {
        return value == null || value.isBlank() || root.settings().format.input().parse(value) != null;
    }

    private LoadedElement shownOrFail() {
        LoadedElement element = shown();
        if (element == null)
            root.perform(session, () -> {
                throw new BackendException("Only the rows of a table or view can be filtered and sorted.");
            });
        return element;
    }

    private void reload(LoadedElement element, List<String> columns, List<String> operators, List<?> values,
                        List<VornSort> sort, String storedFilter) {
        Vector<String> filterColumns = columns == null ? new Vector<>() : new Vector<>(columns);
        Vector<String> filterOperators = operators == null ? new Vector<>() : new Vector<>(operators);
        Vector<Object> filterValues = values == null ? new Vector<>() : new Vector<>(values);
        Vector<VornSort> sorts = sort == null ? new Vector<>() : new Vector<>(sort);
        selectElementWithQuickFiltersAndSort(element.schema, element.type, element.name, filterColumns,
                                             filterOperators, filterValues, sorts);
        if (root.lastActionSuccessful())
            storedFilterName = storedFilter;
    }

    // Stored filters of the shown element (see StoredFilters), addressed by name.

    private StoredFilters storedFilters(LoadedElement element) {
        String connection = root.connectionType() + "\n" + root.server() + "\n" + root.database() + "\n"
                            + root.username();
        return new StoredFilters(root.settings().supportFolder, connection, element.schema, element.name);
    }

    public String currentStoredFilter() {
        return shown() == null ? null : storedFilterName;
    }

    public Vector<String> getCompatibleStoredFiltersNames() {
        LoadedElement element = shown();
        return element == null ? new Vector<>() : new Vector<>(storedFilters(element).names());
    }

    /** The shown rows were read with other conditions or another sort than the current stored filter's. */
    public boolean currentFilterContainsChanges() {
        LoadedElement element = shown();
        String name = storedFilterName;
        StoredFilters.Stored stored = element == null || name == null ? null : storedFilters(element).find(name);
        if (stored == null)
            return false;
        return !QuickFilterLists.asked(element.quickFilterColumns, element.quickFilterOperators,
                                       element.quickFilterValues)
                    .equals(QuickFilterLists.asked(stored.columns, stored.operators, stored.values))
            || !QuickFilterLists.sortText(element.sort).equals(QuickFilterLists.sortText(stored.sort));
    }

    /** Keeps the shown rows' conditions and sort under the name, which becomes the current stored filter. */
    public void storeFilter(String name) {
        LoadedElement element = shown();
        root.perform(session, () -> {
            if (element == null)
                throw new BackendException("Only the filter of a table or view can be stored.");
            storedFilters(element).store(QuickFilterLists.stored(name, element));
            storedFilterName = name;
        });
    }

    public void updateCompatibleFilterName(String name, String newName) {
        LoadedElement element = shown();
        root.perform(session, () -> {
            if (element == null)
                throw new BackendException("There is no table whose stored filters could be renamed.");
            storedFilters(element).rename(name, newName);
            if (name != null && name.equals(storedFilterName))
                storedFilterName = newName;
        });
    }

    public void removeCompatibleFilter(String name) {
        LoadedElement element = shown();
        root.perform(session, () -> {
            if (element == null)
                throw new BackendException("There is no table whose stored filters could be removed.");
            storedFilters(element).remove(name);
            if (name != null && name.equals(storedFilterName))
                storedFilterName = null;
        });
    }

    /** Saves the shown rows' conditions and sort into the current stored filter. */
    public void overwriteCurrentFilter() {
        String name = storedFilterName;
        if (name == null) {
            root.perform(session, () -> {
                throw new BackendException("No stored filter is loaded.");
            });
            return;
        }
        storeFilter(name);
    }

    /** Loads the shown element's rows with the stored filter's conditions and sort. */
    public void loadStoredFilter(String name) {
        LoadedElement element = shownOrFail();
        if (element == null)
            return;
        StoredFilters.Stored stored = storedFilters(element).find(name);
        if (stored == null) {
            root.perform(session, () -> {
                throw new BackendException("There is no stored filter named '" + name + "'.");
            });
            return;
        }
        reload(element, stored.columns, stored.operators, stored.values, stored.sort, name);
    }

    /** A new description of the object for the info column; null without a connection. No database work. */
    public VornInfo elementDescription(String schema, String type, String name) {
        return VornInfo.describe(root, schema, type, name);
    }

    /**
     * A new description of the object the synonym stands for; null when the database has no synonyms, the
     * target is unknown, or the connection is busy (the synonym's own description then stands).
     */
    /** A new info object for the pages of one database session. */
    public VornInfo elementDescriptionForSessionInfo() {
        return VornInfo.describeSession(root);
    }

    public VornInfo elementDescriptionForReferringElement(String schema, String type, String name) {
        return VornInfo.describeSynonymTarget(root, schema, name);
    }

    // Emptying and dropping objects; the outcome is on the root.

    /** Empties the table; cascade also empties the tables whose foreign keys refer to it, where it can. */
    public void truncateElement(String schema, String type, String name, boolean cascade) {
        root.perform(session, () -> ElementActions.truncate(root, session, schema, type, name, cascade));
    }

    public void dropElement(String schema, String type, String name) {
        root.perform(session, () -> ElementActions.drop(root, session, schema, type, name));
    }
}
