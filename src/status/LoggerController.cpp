#include "status/LoggerController.h"
#include "platform/AppFolders.h"

#include "platform/MainThread.h"
#include "status/LoggerControllerDelegate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>

namespace
{

constexpr qint64 readBackBytes = 50000;
constexpr qint64 longestLineBytes = 8192;
const QString bannerRule = QStringLiteral("------------------------------------------------");
constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The long time format "yyyy-MM-dd HH:mm:ss.SSS Z": local time with its UTC offset as +hhmm.
QString longTime(const QDateTime &now)
{
    const int offset = now.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + (offset < 0 ? '-' : '+') +
           QStringLiteral("%1%2").arg(minutes / 60, 2, 10, QChar('0')).arg(minutes % 60, 2, 10, QChar('0'));
}

bool isMarker(const QString &field)
{
    return field == QLatin1String("+") || field == QLatin1String("-") || field == QLatin1String(".") ||
           field == QLatin1String("~");
}

// An entry line starts with a time and a marker; anything else continues the line before it.
bool isEntryLine(const QString &line)
{
    const QStringList fields = line.split(' ');
    return fields.size() >= 3 && isMarker(fields.at(1));
}

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n', start)) {
        for (qsizetype piece = start; piece < end; piece += longestLineBytes)
            lines.append(bytes.mid(piece, std::min(longestLineBytes, end - piece)));
        if (start == end)
            lines.append(QByteArray());
        start = end + 1;
    }
    return lines;
}

QStringList readTail(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const bool cut = file.size() > readBackBytes;
    if (cut)
        file.seek(file.size() - readBackBytes);
    QByteArray bytes = file.readAll();
    if (cut)
        bytes.remove(0, bytes.indexOf('\n') + 1);
    QStringList lines;
    for (const QByteArray &line : splitLines(bytes))
        lines.append(QString::fromUtf8(line));
    for (qsizetype i = lines.size() - 1; i >= 1; --i) {
        if (!isEntryLine(lines.at(i))) {
            lines[i - 1] += '\n' + lines.at(i);
            lines.removeAt(i);
        }
    }
    return lines;
}

} // namespace

LoggerController::LoggerController()
{
    const QString folder = logsFolder();
    const QString stamp = longTime(QDateTime::currentDateTime());
    // The millisecond in the name is not unique enough: two documents may start in one.
    for (int attempt = 0; attempt < 100 && !outputStream_; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->bounded(0x100000), 16);
        auto file = std::make_unique<QFile>(
            QDir(folder).filePath(QStringLiteral("document-%1 %2.log").arg(stamp, suffix)));
        if (file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::NewOnly, ownerOnly)) {
            logFileUrl_ = QUrl::fromLocalFile(file->fileName());
            outputStream_ = std::move(file);
        }
    }
    logBanner(QCoreApplication::translate("logger", "Starting session - %1").arg(stamp));
}

LoggerController::~LoggerController()
{
    std::lock_guard lock(mutex_);
    delete flushTimer_;
    flushTimer_ = nullptr;
    delegate_ = nullptr;
    flushToDisk();
}

QString LoggerController::logsFolder()
{
    return AppFolders::logs();
}

bool LoggerController::isOwnLogFile(const QUrl &url)
{
    if (!url.isLocalFile())
        return false;
    const QString path = url.toLocalFile();
    return AppFolders::holdsPlainFile(logsFolder(), path) && path.endsWith(QLatin1String(".log"));
}

QUrl LoggerController::logFileUrl() const
{
    std::lock_guard lock(mutex_);
    return logFileUrl_;
}

qint64 LoggerController::logged() const
{
    std::lock_guard lock(mutex_);
    return logged_;
}

bool LoggerController::activeStatus() const
{
    std::lock_guard lock(mutex_);
    return activeStatus_;
}

LoggerControllerDelegate *LoggerController::delegate() const
{
    std::lock_guard lock(mutex_);
    return delegate_;
}

void LoggerController::setDelegate(LoggerControllerDelegate *delegate)
{
    std::lock_guard lock(mutex_);
    delegate_ = delegate;
}

QString LoggerController::entryTime() const
{
    return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
}

void LoggerController::logLine(const QString &line)
{
    std::lock_guard lock(mutex_);
    const QString entry = entryTime() + ' ' + line;
    logQueue_.append(entry);
    entries_.append(entry);
    ++logged_;
    while (entries_.size() > maximumEntries)
        entries_.removeFirst();
    if (!flushTimer_ && !flushRequested_) {
        flushRequested_ = true;
        MainThread::post([logger = QPointer<LoggerController>(this)] {
            if (logger)
                logger->setTimer();
        });
    }
}

void LoggerController::logStatusStart(const QString &status)
{
    std::lock_guard lock(mutex_);
    logLine((activeStatus_ ? QStringLiteral(". ") : QStringLiteral("+ ")) + status);
    activeStatus_ = true;
}

void LoggerController::logStatusUpdate(const QString &text)
{
    logLine(QStringLiteral(". ") + text);
}

void LoggerController::logStatusEnd(const QString &status)
{
    std::lock_guard lock(mutex_);
    logLine((activeStatus_ ? QStringLiteral("- ") : QStringLiteral("+ ")) + status);
    activeStatus_ = false;
}

void LoggerController::logStatusErrorEnd(const QString &status, const QString &errorMessage)
{
    std::lock_guard lock(mutex_);
    logLine(QStringLiteral("~ ") + errorMessage);
    logLine(QStringLiteral("- ") + status);
    activeStatus_ = false;
}

LoggerController::LatestEntries LoggerController::latestEntries() const
{
    std::lock_guard lock(mutex_);
    return {entries_, logged_};
}

std::optional<QStringList> LoggerController::entriesSince(qint64 count) const
{
    std::lock_guard lock(mutex_);
    const qint64 missing = logged_ - count;
    if (missing > maximumEntries)
        return std::nullopt;
    if (missing <= 0)
        return QStringList();
    return entries_.mid(std::max<qint64>(0, entries_.size() - missing));
}

void LoggerController::setTimer()
{
    std::lock_guard lock(mutex_);
    flushRequested_ = false;
    if (flushTimer_)
        return;
    flushTimer_ = new QTimer(this);
    flushTimer_->setSingleShot(true);
    connect(flushTimer_, &QTimer::timeout, this, &LoggerController::flushFromTimer);
    flushTimer_->start(1000);
}

void LoggerController::flushFromTimer()
{
    std::lock_guard lock(mutex_);
    if (flushTimer_) {
        flushTimer_->deleteLater();
        flushTimer_ = nullptr;
    }
    if (delegate_)
        delegate_->loggerControllerWasUpdated(this);
    flushToDisk();
}

void LoggerController::flushToDisk()
{
    std::lock_guard lock(mutex_);
    if (outputStream_ && outputStream_->isOpen()) {
        for (const QString &entry : std::as_const(logQueue_)) {
            outputStream_->write(entry.toUtf8());
            outputStream_->write("\n", 1);
        }
        outputStream_->flush();
    }
    logQueue_.clear();
}

void LoggerController::readHotLinesFromLogFile(const QUrl &url)
{
    flushFromTimer();
    QStringList lines = readTail(url.toLocalFile());
    if (lines.size() > maximumEntries)
        lines = lines.mid(lines.size() - maximumEntries);
    std::lock_guard lock(mutex_);
    entries_ = lines;
    logged_ = lines.size();
}

void LoggerController::continueLogFile(const QUrl &url)
{
    if (!isOwnLogFile(url))
        return;
    destroy();
    {
        std::lock_guard lock(mutex_);
        logFileUrl_ = url;
    }
    readHotLinesFromLogFile(url);
    setupStream();
    logBanner(QCoreApplication::translate("logger", "Continuing interrupted session - %1")
                  .arg(longTime(QDateTime::currentDateTime())));
}

void LoggerController::setupStream()
{
    std::lock_guard lock(mutex_);
    auto file = std::make_unique<QFile>(logFileUrl_.toLocalFile());
    if (file->open(QIODevice::WriteOnly | QIODevice::Append, ownerOnly))
        outputStream_ = std::move(file);
}

void LoggerController::destroy()
{
    std::lock_guard lock(mutex_);
    delete flushTimer_;
    flushTimer_ = nullptr;
    outputStream_.reset();
    logQueue_.clear();
    if (!logFileUrl_.isEmpty() && isOwnLogFile(logFileUrl_))
        QFile::remove(logFileUrl_.toLocalFile());
}

void LoggerController::logBanner(const QString &middleLine)
{
    logLine(QStringLiteral("+ ") + bannerRule);
    logLine(QStringLiteral(". ") + middleLine);
    logLine(QStringLiteral("- ") + bannerRule);
}
