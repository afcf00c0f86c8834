#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// The document's backend root as the SQL editor uses it: the connection's state and words, and its
// SQL connection, which runs one statement at a time. The statement calls come from the execution
// thread; cancelQuery comes from the main thread while a statement runs.
class SQLEditorRoot
{
public:
    virtual ~SQLEditorRoot() = default;

    virtual bool hasConnection() const = 0;
    virtual bool isConnected() const = 0;
    // Another action holds the root.
    virtual bool reserved() const = 0;
    virtual QString connectionType() const = 0;
    // The connection's own words; without a connection the standard ones.
    virtual QStringList reservedWords() const = 0;
    virtual QStringList contextWords() const = 0;
    // The words coloured before any connection exists.
    virtual QStringList defaultReservedWords() const = 0;

    // Whether the text holds anything to run; what it declines is skipped.
    virtual bool executable(const QString &sql) = 0;
    // Runs the text, whose "?" markers take the values in order; true when it produced rows. The
    // outcome is lastActionSuccessful and lastErrorMessage.
    virtual bool executeQuery(const QString &sql, const QVariantList &parameters) = 0;
    virtual bool lastActionSuccessful() const = 0;
    virtual QString lastErrorMessage() const = 0;
    // Rows touched by the last statement that produced none; negative when not reported.
    virtual qint32 resultCount() const = 0;
    // The verb of the last statement in upper case.
    virtual QString statementType() const = 0;
    virtual void cancelQuery() = 0;
};
