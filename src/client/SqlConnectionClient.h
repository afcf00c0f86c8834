#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QVariantList>

#include <optional>

// The root's SQL connection ("nl/dalmerik/vorn/VornSqlConnection"), which runs one statement at a
// time. The statement calls come from the execution thread; cancelQuery from the main thread while
// a statement runs. The outcome of a statement is the root's lastOutcome(). Virtual for the fake.
class SqlConnectionClient
{
public:
    explicit SqlConnectionClient(QoJavaObjectPtr connection);
    SqlConnectionClient(const SqlConnectionClient &) = delete;
    SqlConnectionClient &operator=(const SqlConnectionClient &) = delete;
    virtual ~SqlConnectionClient();

    // Whether the text holds anything to run; what it declines is skipped. No answer when the bridge
    // failed: the root's lastOutcome() then says why.
    virtual std::optional<bool> executable(const QString &sql);
    // Runs the text, whose "?" markers take the values in order; true when it produced rows.
    virtual bool executeQuery(const QString &sql, const QVariantList &parameters);
    // Rows touched by the last statement that produced none; negative when not reported.
    virtual int resultCount() const;
    // The verb of the last statement in upper case.
    virtual QString statementType() const;
    virtual void cancelQuery();

protected:
    SqlConnectionClient();

private:
    QoJavaObjectPtr connection_;
};
