#pragma once

#include "SqliteConnection.h"
#include "document/DocumentHelper.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// A private home for the real program under test: a SQLite database, a saved SQL document connected
// to it, preferences that keep the first-run windows away, and what the program leaves there to read
// back (logs, autosaved copies).
class ProgramHome
{
public:
    // Makes "<stem>.db", filled by the statements through sqlite3, and "<stem>.sql" connected to it
    // under the connection name, with the extra preferences (JSON members, comma-separated). Answers
    // what went wrong, empty when all is in place.
    QString make(const QString &stem, const QString &connectionName, const QString &statements = {},
                 const QString &extraPreferences = {})
    {
        if (!home_.isValid())
            return "no temporary home";
        database_ = home_.filePath(stem + ".db");
        const ConnectionParametersPtr parameters = sqliteConnection(database_, connectionName);
        if (!parameters)
            return "the database file cannot be made";
        if (!statements.isEmpty() && sqlite(statements).isNull())
            return "sqlite3 refused the statements (is it installed?)";
        QString sql = "select 1;\n";
        if (!DocumentHelper::createStorageSettingsForSQL(sql, parameters.get(), {}, {}))
            return "the document's settings cannot be stored";
        documentPath_ = home_.filePath(stem + ".sql");
        if (!write(documentPath_, sql.toUtf8()))
            return "the document cannot be written";
        QDir(home_.path()).mkpath(".config/Vorn");
        const QString preferences = QStringLiteral(R"({"last_auto_releasenotes": 999999%1%2})")
                                        .arg(extraPreferences.isEmpty() ? "" : ", ", extraPreferences);
        if (!write(home_.filePath(".config/Vorn/Vorn.json"), preferences.toUtf8()))
            return "the preferences cannot be written";
        return {};
    }

    QString path() const { return home_.path(); }
    QString filePath(const QString &name) const { return home_.filePath(name); }
    QString database() const { return database_; }
    QString documentPath() const { return documentPath_; }
    QString dataFolder() const { return home_.filePath(".local/share/Vorn"); }

    // What sqlite3 printed for the statements on the database, trimmed; null when it failed.
    QString sqlite(const QString &statements) const
    {
        QProcess process;
        process.start("sqlite3", {database_, statements});
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return QString();
        const QString printed = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        return printed.isNull() ? QStringLiteral("") : printed;
    }

    bool logsHold(const QString &text) const
    {
        return anyFileHolds(dataFolder() + "/Logs", "document-*.log", text);
    }
    // How often the document logs hold the text, all together.
    int logCount(const QString &text) const
    {
        int count = 0;
        QDirIterator files(dataFolder() + "/Logs", {"document-*.log"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly))
                count += QString::fromUtf8(file.readAll()).count(text);
        }
        return count;
    }
    bool autosaveHolds(const QString &text) const
    {
        return anyFileHolds(dataFolder() + "/Autosave", "*.sql", text);
    }

private:
    static bool write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    static bool anyFileHolds(const QString &folder, const QString &pattern, const QString &text)
    {
        QDirIterator files(folder, {pattern}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text))
                return true;
        }
        return false;
    }

    QTemporaryDir home_;
    QString database_;
    QString documentPath_;
};
