#pragma once

#include "bridge/QoJavaObject.h"
#include "client/VornInfoClient.h"
#include "client/VornSort.h"

#include <QString>
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

    virtual QString selectedSchema() const;
    // Reads the current object's contents again; the outcome is the root's lastOutcome().
    virtual void refresh();

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

    // A new description of the object for the info column, answered at once; null without one.
    virtual VornInfoClientPtr elementDescription(const QString &schema, const QString &type,
                                                 const QString &name);
    // The description of what the synonym stands for; null when unknown (or the connection is busy).
    virtual VornInfoClientPtr elementDescriptionForReferringElement(const QString &schema,
                                                                    const QString &type, const QString &name);

protected:
    VornBrowserClient();

private:
    QVariantList list(const char *selector) const;

    QoJavaObjectPtr browser_;
};
