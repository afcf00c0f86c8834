#include "connection/SavedConnections.h"

#include "platform/UserDefaults.h"

namespace
{

UserDefaults &defaultsOrStandard(UserDefaults *defaults)
{
    return defaults ? *defaults : UserDefaults::standard();
}

} // namespace

const QString SavedConnections::allConnectionsKey = QStringLiteral("allConnections");
const QString SavedConnections::lastSelectedConnectionKey = QStringLiteral("lastSelectedConnection");
const QString SavedConnections::lastSelectedConnectionGroupingKey =
    QStringLiteral("lastSelectedConnectionGrouping");

QList<ConnectionParametersPtr> SavedConnections::allConnections(UserDefaults *defaults)
{
    QList<ConnectionParametersPtr> connections;
    for (const QVariant &entry : defaultsOrStandard(defaults).arrayForKey(allConnectionsKey)) {
        if (entry.typeId() == QMetaType::QVariantMap)
            connections.append(std::make_shared<ConnectionParameters>(entry.toMap()));
    }
    return connections;
}
