#pragma once

#include "bridge/QoJavaObject.h"
#include "client/BackendOutcome.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

class VornRootClient;

// One object's description for the info column ("nl/dalmerik/vorn/VornInfo"), with a connection of
// its own. genericInfo answers "type" and "subtype" at once and the rest after fillOutGenericInfo;
// columns, indexes, constraints, triggers and ddl read the database the first time (on a worker
// thread, after a reservation) and answer what was read when asked again. Virtual for the fake.
class VornInfoClient
{
public:
    explicit VornInfoClient(QoJavaObjectPtr info);
    VornInfoClient(const VornInfoClient &) = delete;
    VornInfoClient &operator=(const VornInfoClient &) = delete;
    virtual ~VornInfoClient();

    virtual QVariantMap genericInfo() const;
    virtual void fillOutGenericInfo();

    // What the object can have; answered without database work.
    virtual bool couldContainTriggerInfo() const;
    virtual bool couldContainIndexInfo() const;
    virtual bool couldContainConstraintInfo() const;
    virtual bool couldContainPartitionInfo() const;
    virtual bool couldContainDdlInfo() const;
    virtual bool couldContainIndexColumnInfo() const;

    // Maps with "name", "type", "size", "default", "NoNulls", "ptype"; a function's result is named
    // "___RETURN___".
    virtual QVariantList columns();
    // "names", "columns" (name to column, direction, ...), "unicity", "indexPartitions".
    virtual QVariantMap indexes();
    // Maps with "name", "type" (P, U, C, R, EXT), "constraintColumns", "condition", "othertable",
    // "otherfirstcolumn"; the table's own first.
    virtual QVariantList constraints();
    virtual QStringList triggers();
    // Null when the database gives none.
    virtual QString ddl();
    // Whether the named "TABLE", "INDEX" or "CONSTRAINT" can be described; no database work.
    virtual bool canObtainInfoFor(const QString &name, const QString &type) const;

    virtual bool reserveBackgroundRoot(const QString &reason);
    virtual bool reserveForegroundRoot(const QString &reason);
    virtual void releaseReservedRoot();
    virtual void endConnection();
    // The backend root the info works on.
    virtual std::shared_ptr<VornRootClient> root() const;

    // Session pages: the rows of a page's query for the session's one or two identifiers (a null
    // second when it has one), each row a map of column to value, or a "name"/"value" pair per column
    // when transposed; none when the query could not be read. The wait is in seconds.
    virtual std::optional<QVariantList> sessionData(const QString &query, const QString &first,
                                                    const QString &second, bool transpose, float waitSeconds);
    // Runs a session action (cancel, terminate, ...) and answers its outcome.
    virtual BackendOutcome sessionAction(const QString &query, const QString &first, const QString &second);

protected:
    VornInfoClient();

private:
    bool ask(const char *selector) const;

    QoJavaObjectPtr info_;
};

using VornInfoClientPtr = std::shared_ptr<VornInfoClient>;
