#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <mutex>
#include <optional>

class LoggerControllerDelegate;
class QFile;
class QTimer;

// The running log of one document: one text file per document in the Logs folder of Vorn's data
// folder, the latest entries in memory for the log pane, and one batched disk write per second.
// Entries may be logged from any thread; timers, flushing and deletion belong to the main thread.
class LoggerController : public QObject
{
    Q_OBJECT

public:
    static constexpr int maximumEntries = 300;

    struct LatestEntries {
        QStringList entries;
        qint64 logged = 0;
    };

    // Opens a new log file and writes the starting banner.
    LoggerController();
    ~LoggerController() override;

    // The folder every document log lives in; created (owner-only) when missing.
    static QString logsFolder();

    QUrl logFileUrl() const;
    qint64 logged() const;
    bool activeStatus() const;
    LoggerControllerDelegate *delegate() const;
    void setDelegate(LoggerControllerDelegate *delegate);

    void logLine(const QString &line);
    void logStatusStart(const QString &status);
    void logStatusUpdate(const QString &text);
    void logStatusEnd(const QString &status);
    void logStatusErrorEnd(const QString &status, const QString &errorMessage);

    LatestEntries latestEntries() const;
    // The entries logged after count entries; nothing when more than the in-memory window missed.
    std::optional<QStringList> entriesSince(qint64 count) const;

    void flushFromTimer();
    void flushToDisk();
    void readHotLinesFromLogFile(const QUrl &url);
    // Drops this logger's own new file and goes on writing the restored one. A file outside the
    // Logs folder is never touched: the logger then keeps its own file.
    void continueLogFile(const QUrl &url);
    // Stops writing and deletes the current file.
    void destroy();

    // True for a plain file directly inside the Logs folder (not a link out of it).
    static bool isOwnLogFile(const QUrl &url);

private:
    void setupStream();
    void setTimer();
    void logBanner(const QString &middleLine);
    QString entryTime() const;

    mutable std::recursive_mutex mutex_;
    QUrl logFileUrl_;
    qint64 logged_ = 0;
    LoggerControllerDelegate *delegate_ = nullptr;
    QStringList logQueue_;
    QStringList entries_;
    std::unique_ptr<QFile> outputStream_;
    QTimer *flushTimer_ = nullptr;
    bool flushRequested_ = false;
    bool activeStatus_ = false;
};
