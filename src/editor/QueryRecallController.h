#pragma once

#include "connection/ConnectionParameters.h"
#include "editor/QueryHistoryRecorder.h"
#include "sql/SQLParserComponent.h"

#include <QDateTime>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

class QueryRecallControllerDelegate
{
public:
    virtual ~QueryRecallControllerDelegate() = default;
    // The filtered list changed: after a save, a search or a connection filter change.
    virtual void queryRecallControllerUpdated() = 0;
};

// The history of executed statements, for the whole application and across runs: one entry per distinct
// statement, newest first, trimmed to the preferred length except for retained entries. Registered
// statements are merged and written two seconds after the last one, to "QueryRecall.data" in the
// program's data folder (JSON, owner-only). Main thread only.
class QueryRecallController : public QueryHistoryRecorder
{
public:
    static constexpr int saveDelayMilliseconds = 2000;

    // Reads the history file; a missing or unreadable one is an empty history.
    explicit QueryRecallController(const QString &filePath);
    // Saves at once when a save is pending.
    ~QueryRecallController() override;

    // The application's store, created on first use at the standard place.
    static QueryRecallController *sharedController();
    static QString defaultFilePath();

    void registerQuery(const SQLParserComponentList &query,
                       const ConnectionParametersPtr &connectionParameters) override;

    // Rows of the filtered list.
    qsizetype queryCount() const { return searchEntries_.size(); }
    SQLParserComponentList componentsForQueryAt(qsizetype row) const;
    bool storeForQueryAt(qsizetype row) const;
    // Seconds since 1 January 2001 UTC.
    double dateForQueryAt(qsizetype row) const;
    ConnectionParametersPtr connectionParametersForQueryAt(qsizetype row) const;
    // Retains or releases an entry; written at once.
    void updateStoreForQueryAt(qsizetype row, bool store);

    QList<ConnectionParametersPtr> connections() const { return uniqueConnections_; }
    QString search() const { return search_; }
    void setSearch(const QString &search);
    ConnectionParametersPtr connection() const { return connection_; }
    // Null: every connection.
    void setConnection(ConnectionParametersPtr connection);
    // Removes every entry that is not retained, whatever the filter; written at once.
    void clear();

    // Comments, literals and identifiers, then the connection's name, database, server, user and type.
    static QString searchStringForQuery(const SQLParserComponentList &query, const QVariantMap &connection);
    // The key under which repeated statements merge: layout and comments do not count, nor the letter
    // case of keywords and plain names; literals and quoted names keep theirs.
    static QString matchStringForQuery(const SQLParserComponentList &query);
    static double secondsSinceReferenceDate(const QDateTime &time);
    static QDateTime dateFromReferenceSeconds(double seconds);

    // Merges the registered statements, trims, writes the file and filters again.
    void store();
    bool savePending() const { return timer_.isActive(); }
    QVariantList entries() const { return entries_; }

    void setDelegate(QueryRecallControllerDelegate *delegate) { delegate_ = delegate; }

private:
    qsizetype itemWithMatchString(const QString &match) const;
    void scheduleStorage();
    void updateConnections();
    void updateSearch();
    void readFile();

    QString filePath_;
    QVariantList entries_;
    QVariantList addedEntries_;
    // Indexes into entries_ of the entries that pass the filter.
    QList<qsizetype> searchEntries_;
    QList<ConnectionParametersPtr> uniqueConnections_;
    QString search_ = QStringLiteral("");
    ConnectionParametersPtr connection_;
    QTimer timer_;
    QueryRecallControllerDelegate *delegate_ = nullptr;
};
