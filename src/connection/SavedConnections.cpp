#include "connection/SavedConnections.h"

#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QLoggingCategory>

namespace
{

Q_LOGGING_CATEGORY(savedLog, "vorn.connections")

UserDefaults &defaultsOrStandard(UserDefaults *defaults)
{
    return defaults ? *defaults : UserDefaults::standard();
}

// A free key beside the list, named like the files kept aside when they no longer read.
QString asideKey(const UserDefaults &defaults)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString key = QStringLiteral("%1.unreadable-%2").arg(SavedConnections::allConnectionsKey, stamp);
    for (int n = 2; defaults.contains(key); ++n)
        key = QStringLiteral("%1.unreadable-%2-%3").arg(SavedConnections::allConnectionsKey, stamp).arg(n);
    return key;
}

bool isList(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

} // namespace

const QString SavedConnections::allConnectionsKey = QStringLiteral("allConnections");
const QString SavedConnections::lastSelectedConnectionKey = QStringLiteral("lastSelectedConnection");
const QString SavedConnections::lastSelectedConnectionGroupingKey =
    QStringLiteral("lastSelectedConnectionGrouping");

QVariantList SavedConnections::storedList(UserDefaults *defaults)
{
    UserDefaults &store = defaultsOrStandard(defaults);
    if (!store.contains(allConnectionsKey))
        return {};
    const QVariant stored = store.objectForKey(allConnectionsKey);
    QVariantList connections;
    QVariantList unexpected;
    for (const QVariant &entry : isList(stored) ? stored.toList() : QVariantList()) {
        if (entry.typeId() == QMetaType::QVariantMap)
            connections.append(entry);
        else
            unexpected.append(entry);
    }
    if (isList(stored) && unexpected.isEmpty())
        return connections;

    const QString key = asideKey(store);
    store.setObject(isList(stored) ? QVariant(unexpected) : stored, key);
    store.setObject(connections, allConnectionsKey);
    store.synchronize();
    qCWarning(savedLog).noquote() << "The saved connections in" << store.filePath()
                                  << "held values that are no connections; they are kept under" << key;
    return connections;
}

QList<ConnectionParametersPtr> SavedConnections::allConnections(UserDefaults *defaults)
{
    QList<ConnectionParametersPtr> connections;
    for (const QVariant &entry : storedList(defaults))
        connections.append(std::make_shared<ConnectionParameters>(entry.toMap()));
    return connections;
}
