#include "document/ActivityEntries.h"

#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>

namespace
{

Q_LOGGING_CATEGORY(lcActivity, "vorn.activity")

QString activityText(const char *text)
{
    return QCoreApplication::translate("activity", text);
}

const QHash<QString, const char *> &stateTexts()
{
    static const QHash<QString, const char *> texts{
        {"IDLE", QT_TRANSLATE_NOOP("activity", "Idle")},
        {"CONNECT", QT_TRANSLATE_NOOP("activity", "Connecting...")},
        {"DISCONNECT", QT_TRANSLATE_NOOP("activity", "Disconnecting...")},
        {"LOADING_RESULTSET", QT_TRANSLATE_NOOP("activity", "Loading results...")},
        {"CANCEL_LOADING_RESULTSET", QT_TRANSLATE_NOOP("activity", "Cancelling loading results...")},
        {"EXECUTING_QUERY", QT_TRANSLATE_NOOP("activity", "Executing SQL statement...")},
        {"UPDATING_DATABASE", QT_TRANSLATE_NOOP("activity", "Updating database...")},
        {"CANCEL_EXECUTING_QUERY", QT_TRANSLATE_NOOP("activity", "Cancelling query execution...")},
        {"CONNECTION_META_DATA", QT_TRANSLATE_NOOP("activity", "Retrieving connection information...")},
        {"CONNECTION_META_DATA_TABLES", QT_TRANSLATE_NOOP("activity", "Retrieving table information...")},
        {"CONNECTION_META_DATA_INDICES", QT_TRANSLATE_NOOP("activity", "Retrieving index information...")},
        {"OBJECT_INFO_INDICES", QT_TRANSLATE_NOOP("activity", "Retrieving index information...")},
        {"CONNECTION_META_DATA_CONSTRAINTS",
         QT_TRANSLATE_NOOP("activity", "Retrieving constraint information...")},
        {"OBJECT_INFO_CONSTRAINTS", QT_TRANSLATE_NOOP("activity", "Retrieving constraint information...")},
        {"CONNECTION_META_DATA_KEYS", QT_TRANSLATE_NOOP("activity", "Retrieving key information...")},
        {"CONNECTION_META_DATA_TABLE_REFS",
         QT_TRANSLATE_NOOP("activity", "Retrieving referential key information...")},
        {"CONNECTION_META_DATA_PROCEDURES",
         QT_TRANSLATE_NOOP("activity", "Retrieving procedure information...")},
        {"CONNECTION_META_DATA_SEQUENCES",
         QT_TRANSLATE_NOOP("activity", "Retrieving sequence information...")},
        {"CONNECTION_META_DATA_COLUMNS", QT_TRANSLATE_NOOP("activity", "Retrieving column information...")},
        {"OBJECT_INFO_COLUMNS", QT_TRANSLATE_NOOP("activity", "Retrieving column information...")},
        {"CHECK_META_DATA", QT_TRANSLATE_NOOP("activity", "Validating connection information...")},
        {"SESSION_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving session information...")},
        {"KEEP_ALIVE", QT_TRANSLATE_NOOP("activity", "Keep connection alive...")},
        {"MANAGEMENT_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving management information...")},
        {"SESSIONS_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving sessions information...")},
        {"LOCKS_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving locks information...")},
        {"LONGOPS_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving longops information...")},
        {"DATABASE_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving database information...")},
        {"CLUSTERING_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving clustering information...")},
        {"OBJECTS_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving objects information...")},
        {"OBJECT_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving element information...")},
        {"OBJECT_INFO_TRIGGERS", QT_TRANSLATE_NOOP("activity", "Retrieving trigger information...")},
        {"OBJECT_INFO_DDL", QT_TRANSLATE_NOOP("activity", "Retrieving ddl information...")},
        {"TABLESPACES_INFO", QT_TRANSLATE_NOOP("activity", "Retrieving tablespaces information...")},
        {"ANALYZE", QT_TRANSLATE_NOOP("activity", "Analyzing...")},
        {"CHECK_RECYCLEBIN", QT_TRANSLATE_NOOP("activity", "Checking recycle bin...")},
        {"PROCEDURE_EXECUTE", QT_TRANSLATE_NOOP("activity", "Executing procedure...")},
        {"PROCEDURE_LOAD", QT_TRANSLATE_NOOP("activity", "Loading procedure...")},
        {"PROCEDURE_STORE", QT_TRANSLATE_NOOP("activity", "Storing procedure...")},
        {"IMPORT_PREPARE", QT_TRANSLATE_NOOP("activity", "Preparing import...")},
        {"IMPORT_DATA", QT_TRANSLATE_NOOP("activity", "Importing data...")},
        {"IMPORT_FINISHING", QT_TRANSLATE_NOOP("activity", "Finishing import...")}};
    return texts;
}

} // namespace

namespace ActivityEntries
{

QList<QVariantMap> ordered(const QVariantList &entries)
{
    QList<QVariantMap> list;
    for (const QVariant &entry : entries) {
        const QVariantMap settings = entry.toMap().value(QStringLiteral("settings")).toMap();
        const QVariant parent = settings.value(QStringLiteral("parentUid"));
        qsizetype at = list.size();
        if (parent.isValid()) {
            for (qsizetype i = 0; i < list.size(); ++i) {
                if (list.at(i).value(QStringLiteral("uid")).toLongLong() == parent.toLongLong()) {
                    at = i + 1;
                    break;
                }
            }
        }
        list.insert(at, settings);
    }
    return list;
}

QString stateString(const QString &code)
{
    const auto text = stateTexts().constFind(code);
    if (text == stateTexts().cend()) {
        qCWarning(lcActivity).noquote()
            << QStringLiteral("stateStringForCode needs support for '%1' state").arg(code);
        return QString();
    }
    return activityText(*text);
}

RowText rowText(const QVariantMap &settings, bool stopable)
{
    const QString code = settings.value(QStringLiteral("state")).toString();
    const QVariant info = settings.value(QStringLiteral("connectionInfo"));
    RowText row;
    row.status = stateString(code);
    row.message = settings.value(QStringLiteral("activity")).toString();
    row.stopable = stopable;
    const QVariant progress = settings.value(QStringLiteral("progress"));
    if (progress.isValid() && !progress.isNull())
        row.progress = progress.toDouble();
    if (code == QLatin1String("KEEP_ALIVE")) {
        row.message = activityText("Keep connection alive...");
    } else if (code == QLatin1String("IDLE")) {
        row.message = activityText("Idle");
        row.status = info.isValid() ? info.toString() : activityText("Not connected");
    } else if (code == QLatin1String("CONNECT") && info.isValid()) {
        row.status = activityText("Connecting to %1...").arg(info.toString());
    }
    row.active = !code.isEmpty() && code != QLatin1String("IDLE");
    return row;
}

} // namespace ActivityEntries
