#pragma once

#include "bridge/QoJavaObject.h"
#include "client/BackendOutcome.h"
#include "client/BrowserMetadata.h"
#include "client/VornInfoClient.h"
#include "client/VornSort.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <optional>

// The root's browser ("nl/dalmerik/vorn/VornBrowser"): the selected schema and the object whose
// contents the root holds, with its filter, quick filters and sorts. Virtual for the fake.
class VornBrowserClient
{
public:
    explicit VornBrowserClient(QoJavaObjectPtr browser);
    VornBrowserClient(const VornBrowserClient &) = delete;
    VornBrowserClient &operator=(const VornBrowserClient &) = delete;
    virtual ~VornBrowserClient();

    virtual QStringList schemas() const;
    virtual QString selectedSchema() const;
    virtual void setSelectedSchema(const QString &schema);

    // The schema's element types ("TABLE", "VIEW", ...) are in the cache.
    virtual bool hasCachedTypesOfSchema(const QString &schema) const;
    // Reads the schema's element types and their elements into the cache when not there yet.
    virtual QStringList typesInSchema(const QString &schema);
    // The names of the elements of a type in display order, from the cache; an empty pattern is all,
    // otherwise a case-insensitive part of the name.
    virtual QStringList elementsOfTypeInSchemaLike(const QString &type, const QString &schema,
                                                   const QString &pattern);
    // The type of what a synonym (or alias) refers to; null when none.
    virtual QString referringTypeOfElementOfTypeInSchemaWithName(const QString &schema, const QString &type,
                                                                 const QString &name);
    virtual QStringList allColumnsInTable(const QString &schema, const QString &table);
    virtual QStringList allColumnsInSchema(const QString &schema);
    // Reads the schema's elements into the backend's cache when no action holds the connection; whether
    // they are cached now. Never waits for the connection.
    virtual bool readElementsOfSchemaWhenFree(const QString &schema);
    virtual QList<BrowserTableName> tablesWithColumnsNamed(const QString &schema, const QString &column);
    // Foreign keys between the table's column and another table, both ways; a null table is any table.
    virtual QList<ForeignKeyEntry>
    exportedKeysForColumnInSchemaAndTable(const QString &column, const QString &schema, const QString &table);
    virtual QList<ForeignKeyEntry> exportedKeysInSchemaAndTable(const QString &schema, const QString &table);
    // The element's name as SQL writes it, quoted where needed: without the schema when it is the
    // selected one, and always with it.
    virtual QString qualifiedTableNameOfElement(const QString &type, const QString &schema,
                                                const QString &name);
    virtual QString fullyQualifiedTableNameOfElement(const QString &type, const QString &schema,
                                                     const QString &name);

    // Makes the element's contents (a table's or view's rows) the root's current result set.
    virtual BackendOutcome selectElement(const QString &schema, const QString &type, const QString &name);
    // values: a QStringList of two or more values (IN), one QString (=), or a null QVariant (IS NULL).
    virtual BackendOutcome selectElementWithFilter(const QString &schema, const QString &type,
                                                   const QString &name, const QString &column,
                                                   const QVariant &values, bool negate);
    virtual BackendOutcome
    selectElementWithQuickFiltersAndSort(const QString &schema, const QString &type, const QString &name,
                                         const QStringList &columns, const QStringList &operators,
                                         const QVariantList &values, const QList<VornSort> &sort);
    // The element was last shown with a filter or a sort.
    virtual bool previousStateHadFilterOrSort(const QString &schema, const QString &type,
                                              const QString &name);

    // Reads the current object's contents again; the outcome is the root's lastOutcome().
    virtual void refresh();
    // A statement runs on the connection that the user may stop; stopping it asks the database to
    // cancel it. Any thread, without waiting for the running action.
    virtual bool canStopStoppableStatement() const;
    virtual void stopStoppableStatement();

    // The loaded object; a null name when the contents come from a statement.
    virtual QString name() const;
    virtual QString schema() const;
    virtual QString type() const;
    // The free filter of the loaded object; empty when none.
    virtual QString filter() const;
    virtual QList<VornSort> sort() const;
    // Quick filters: one entry per column offered, then the conditions in force, as plain values.
    virtual QVariantList quickFilterColumnInfo() const;
    virtual QVariantList quickFilterColumns() const;
    virtual QVariantList quickFilterOperators() const;
    // No value when no quick filter was ever applied to the object.
    virtual std::optional<QVariantList> quickFilterValues() const;

    // Changing the quick filter and sort of the loaded object reads its contents again (the outcome is the
    // root's lastOutcome()); the lists are parallel: column, operator code and value per condition.
    // Whether the conditions ask something other than the loaded contents were read with.
    virtual bool needsUpdateForQuickFilter(const QVariantList &columns, const QVariantList &operators,
                                           const QVariantList &values);
    virtual void updateQuickFilter(const QVariantList &columns, const QVariantList &operators,
                                   const QVariantList &values);
    virtual void updateSort(const QList<VornSort> &sort);
    // A null filter clears the conditions; otherwise it is one SQL condition.
    virtual void updateFilterAndSort(const QString &filter, const QList<VornSort> &sort);
    // The conditions of the last quick filter as text; null when it asked nothing.
    virtual QString lastFilterUsedForQuickFilter() const;
    // Empty, or complete enough to compare a number or a date-and-time column with.
    virtual bool isNumberCompleteOrEmpty(const QString &value) const;
    virtual bool isTimestampCompleteOrEmpty(const QString &value) const;

    // Quick filters stored under a name for the loaded object, kept by the backend; addressed by name.
    virtual QString currentStoredFilter() const;
    virtual QStringList getCompatibleStoredFiltersNames() const;
    virtual bool currentFilterContainsChanges() const;
    virtual BackendOutcome storeFilter(const QString &name);
    virtual BackendOutcome updateCompatibleFilterName(const QString &name, const QString &newName);
    virtual BackendOutcome removeCompatibleFilter(const QString &name);
    virtual BackendOutcome overwriteCurrentFilter();
    // Reads the loaded object again with the stored filter; the outcome is the root's lastOutcome().
    virtual void loadStoredFilter(const QString &name);

    // A new description of the object for the info column, answered at once; null without one.
    virtual VornInfoClientPtr elementDescription(const QString &schema, const QString &type,
                                                 const QString &name);
    // The description of what the synonym stands for; null when unknown (or the connection is busy).
    // A new info object for the pages of database sessions; null without a connection.
    virtual VornInfoClientPtr elementDescriptionForSessionInfo();
    virtual VornInfoClientPtr elementDescriptionForReferringElement(const QString &schema,
                                                                    const QString &type, const QString &name);

    // Sequences that may give a value to a column of the shown table; the one chosen last per column.
    virtual QStringList sequencesForColumn(const QString &column);
    virtual QString lastSequenceForColumn(const QString &column);
    virtual void storeLastSequenceForColumn(const QString &column, const QString &sequence);
    // Takes the sequence's next value; null with the failure on the root.
    virtual QString nextValueForSequence(const QString &sequence);

protected:
    VornBrowserClient();

private:
    QVariantList list(const char *selector) const;
    BackendOutcome outcomeOf(const QString &selector, const QVariantList &args);

    QoJavaObjectPtr browser_;
};
