#pragma once

// The fake of one object's description: plain fields for what the tests set, counters of what the
// info column asked. The reservation may be refused; any thread may call it.
#include "client/VornInfoClient.h"

#include <QHash>

#include <atomic>
#include <mutex>

class FakeVornInfoClient : public VornInfoClient
{
public:
    QVariantMap genericInfo() const override
    {
        std::lock_guard lock(mutex);
        return filled ? filledGeneric : generic;
    }
    void fillOutGenericInfo() override
    {
        std::lock_guard lock(mutex);
        filled = true;
    }
    bool couldContainTriggerInfo() const override { return triggerInfo; }
    bool couldContainIndexInfo() const override { return indexInfo; }
    bool couldContainConstraintInfo() const override { return constraintInfo; }
    bool couldContainPartitionInfo() const override { return partitionInfo; }
    bool couldContainDdlInfo() const override { return ddlInfo; }
    bool couldContainIndexColumnInfo() const override { return indexColumnInfo; }
    QVariantList columns() override { return columnList; }
    QVariantMap indexes() override { return indexTable; }
    QVariantList constraints() override { return constraintList; }
    QStringList triggers() override { return triggerNames; }
    QString ddl() override { return ddlText; }
    bool canObtainInfoFor(const QString &name, const QString &) const override
    {
        return obtainable.contains(name);
    }
    bool reserveBackgroundRoot(const QString &) override
    {
        ++reservations;
        backgroundReserved = true;
        return grantReservation;
    }
    bool reserveForegroundRoot(const QString &) override
    {
        ++reservations;
        return grantReservation;
    }
    void releaseReservedRoot() override { ++releases; }
    void endConnection() override { ++connectionsEnded; }
    std::shared_ptr<VornRootClient> root() const override { return ownRoot; }
    std::optional<QVariantList> sessionData(const QString &query, const QString &first, const QString &second,
                                            bool transpose, float) override
    {
        std::lock_guard lock(mutex);
        sessionQueries.append({query, first, second, transpose ? "transpose" : ""});
        if (!sessionRows.contains(query))
            return std::nullopt;
        return sessionRows.value(query);
    }
    BackendOutcome sessionAction(const QString &query, const QString &first, const QString &second) override
    {
        std::lock_guard lock(mutex);
        sessionActions.append({query, first, second});
        return actionError.isNull() ? BackendOutcome() : BackendOutcome::failure(actionError);
    }
    int sessionQueryCount() const
    {
        std::lock_guard lock(mutex);
        return int(sessionQueries.size());
    }
    QList<QStringList> actionsSent() const
    {
        std::lock_guard lock(mutex);
        return sessionActions;
    }

    // Set before the info is handed out.
    QVariantMap generic;
    QVariantMap filledGeneric;
    bool triggerInfo = false;
    bool indexInfo = false;
    bool constraintInfo = false;
    bool partitionInfo = false;
    bool ddlInfo = true;
    bool indexColumnInfo = false;
    QVariantList columnList;
    QVariantMap indexTable;
    QVariantList constraintList;
    QStringList triggerNames;
    QString ddlText;
    QStringList obtainable;
    bool grantReservation = true;
    std::shared_ptr<VornRootClient> ownRoot;
    // Session pages: the rows per query (a query without rows here answers none), and the failure
    // message of every action (null: actions succeed).
    QHash<QString, QVariantList> sessionRows;
    QString actionError;
    QList<QStringList> sessionQueries;
    QList<QStringList> sessionActions;

    std::atomic<int> reservations{0};
    std::atomic<int> releases{0};
    std::atomic<int> connectionsEnded{0};
    std::atomic<bool> backgroundReserved{false};

private:
    mutable std::mutex mutex;
    bool filled = false;
};
